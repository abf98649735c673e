#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <chrono>

#include "meters/Workbook.h"

// The readers behind ReadWorkbookCells, one per file format, and the workbook reader process that runs them; only
// the meters library, the reader program and their tests include this.
namespace kov {

// An .xlsx file (and the zip parts in it) is read whole into memory; a meter's workbook is a few hundred
// kilobytes, so anything past this is not one, or is a zip bomb.
inline constexpr qint64 MaxWorkbookBytes = 64 * 1024 * 1024;

// A block of a few hundred cells comes to a few kilobytes. One long shared string can fill every cell of a block,
// so the reader refuses to send more than this rather than let a crafted file fill the program's memory.
inline constexpr qsizetype MaxReaderMessageBytes = 1 << 20;

// The .xls reader on the file itself (FreeXL opens files by name only), in this process.
WorkbookRead ReadXlsCells(const QString& path, const CellBlock& block);

// ---- The workbook reader process -----------------------------------------------------------------------------

// A meter's workbook reads in milliseconds and a few megabytes; the reader's libraries map some 60 MiB of address
// space. A reader still busy after this time has met a file made to keep it so; one that needs more address space
// than this is reading a file that declares far more cells than a workbook of levels has (an .xls whose one cell
// lies in IV65536 makes FreeXL ask for 270 MB), or the largest .xlsx the reader takes in (64 MiB) unpacking to the
// same again.
struct ReaderLimits {
    std::chrono::milliseconds time{10000};
    qint64 addressSpaceBytes = qint64(256) * 1024 * 1024;
};

// An address-space limit and AddressSanitizer's shadow memory do not go together: a sanitized build runs its
// reader with the time limit only.
#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool ReaderMemoryLimited = false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool ReaderMemoryLimited = false;
#else
inline constexpr bool ReaderMemoryLimited = true;
#endif
#else
inline constexpr bool ReaderMemoryLimited = true;
#endif

// The reader program's file name, and where the program looks for it: beside itself (a build folder, the Windows
// installation), then in ../libexec/kov (the Debian package's /usr/libexec/kov beside /usr/bin/kov).
QString WorkbookReaderName();
QStringList WorkbookReaderPlaces();
// The first of those places that holds the reader; empty when none does.
QString FindWorkbookReader();

// Runs `reader` on the file and waits for its answer, letting `clock` run the window's events meanwhile. A reader
// that crashes, outlives the time limit, or answers with anything but a whole message is a refusal.
WorkbookRead ReadWithWorkbookReader(const QString& reader, const QString& path, const CellBlock& block, Clock& clock,
                                    const ReaderLimits& limits = {});

// The reader's command line: the block's sheet, first and last row, first and last column, then the file.
QStringList WorkbookReaderArguments(const QString& path, const CellBlock& block);

// The answer the reader writes to its standard output, and its reading back: a magic, the outcome, and for cells
// their count and each cell's place, kind, number and UTF-8 text, every length checked against what is left and
// every place against the block. Anything that does not decode whole is a reader that stopped half way.
QByteArray EncodeWorkbookRead(const WorkbookRead& read);
WorkbookRead DecodeWorkbookRead(const QByteArray& message, const CellBlock& block);

}  // namespace kov
