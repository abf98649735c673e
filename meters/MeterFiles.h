#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <variant>

#include "core/Message.h"
#include "core/TextFields.h"
#include "meters/DownloadLevels.h"
#include "meters/Workbook.h"

namespace kov {

// Tests read from a meter's file: TestLevel(test, band) for tests 1..count and bands 1..18 (160 Hz to 8 kHz),
// every one of them written, and what else the person should know of the cells that were not read.
struct MeterTests {
    DownloadLevels levels{};
    int count = 0;
    // Shown after the hand-over: a cell that may hold a level the reader could not take (an empty cell beside
    // numbers, which in an .xls file may be a formula; a formula without a stored result).
    std::optional<Message> notice;
};

// The tests, or the one message that says why there are none; a failed read changes nothing.
using MeterImport = std::variant<MeterTests, Message>;

// ---- Text exports (the bytes of the file) --------------------------------------------------------------------

// Goldline DSP30: 12 pairs (text, number) skipped, then 18 pairs (band label, level); one test, each level
// rounded to 0.1.
Parsed<MeterTests> ParseDsp30(const QByteArray& bytes);

// Ivie IE-45: 28 lines skipped, then 18 lines whose last five characters hold the level (their leading number,
// 0 when there is none); one test, each level rounded to 0.1. A file of fewer than 46 lines, or a level past
// the single range ("9E99"), is a read error.
Parsed<MeterTests> ParseIe45(const QByteArray& bytes);

// Phonic PAA3: 67 header fields, then exactly ten records of 66 fields with the levels in fields 13..30.
// Records startFile..endFile become tests 1..; a level of exactly 0 becomes the level of the band below minus
// 2 dB (0 below 160 Hz), cascading upwards.
Parsed<MeterTests> ParsePaa3(const QByteArray& bytes, int startFile, int endFile);

// ---- The files, with the messages the Mask window shows ------------------------------------------------------

// "File " + name + " could not be recovered in" + folder + "." (title "File Error", critical).
MeterImport ReadDsp30File(const QString& path);
// As the DSP30: a damaged or short file is reported, never half read.
MeterImport ReadIe45File(const QString& path);
// "The file " + path + " could not be found." (title "File Error", critical).
MeterImport DownloadPaa3(const QString& path, int startFile, int endFile);

// ---- Workbooks ------------------------------------------------------------------------------------------------

// A cell's value read as a number: a number, or a text that is one ("45.2" typed as text); an empty cell, and a
// formula whose result the file does not keep, are 0. Anything else (other text, TRUE, #N/A) is no level.
std::optional<double> CellLevel(const WorkbookCell& cell);

// Every workbook that gives no test is one message ("File Error", critical) that names the file (`path`), says why
// and ends in " occurred in BK download module." or " occurred in Excel download module."; the grid and the
// channel's tests stay as they were.

// B&K 2250: sheet 2, one test per row 2..11, levels in columns 147..164 (EQ..FH). A 0 in column 147 ends the
// tests; a level below 0 is stored as 0 and one of 100 or more as 99. A cell that is no level refuses the whole
// workbook, and so does a first row that starts with 0.
inline constexpr CellBlock Bk2250Block{2, 2, 11, 147, 164};
MeterImport Bk2250Tests(const SheetCells& sheet, const QString& path);

// Any workbook laid out for KOV: sheet 1, tests in columns B..K, bands in rows 9..26. A column counts only when
// all 18 of its values lie strictly between 0 and 100; the counted ones become tests 1.. in column order. No column
// counted refuses the workbook.
inline constexpr CellBlock ExcelBlock{1, 9, 26, 2, 11};
MeterImport ExcelTests(const SheetCells& sheet, const QString& path);

// The workbook read (through the workbook reader, `clock` letting the window's events run) and its tests; a
// workbook that cannot be opened, or lacks the sheet, is one such message too.
MeterImport ReadBk2250File(const QString& path, Clock& clock);
MeterImport ReadExcelFile(const QString& path, Clock& clock);

}  // namespace kov
