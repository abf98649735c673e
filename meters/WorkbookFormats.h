#pragma once

#include <QString>

#include <chrono>

#include "meters/Workbook.h"

// The readers behind ReadWorkbookCells, one per file format; only the meters library includes this.
namespace kov {

// An .xlsx file (and the zip parts in it) is read whole into memory; a meter's workbook is a few hundred
// kilobytes, so anything past this is not one, or is a zip bomb.
inline constexpr qint64 MaxWorkbookBytes = 64 * 1024 * 1024;

// A meter's .xls reads in milliseconds; a reader still busy after this has met a file made to keep it so.
inline constexpr std::chrono::milliseconds XlsReadTimeLimit{10000};

// The .xls reader on the file itself: FreeXL opens files by name only. FreeXL runs in a child process, stopped
// when `timeLimit` has passed.
WorkbookRead ReadXlsCells(const QString& path, const CellBlock& block,
                          std::chrono::milliseconds timeLimit = XlsReadTimeLimit);

}  // namespace kov
