#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <variant>

#include "core/Message.h"
#include "meters/ExportText.h"
#include "meters/MeterFiles.h"

// The readers of what today's meters and measurement software export as text, and the recognition of any meter
// file KOV reads by its bytes. Every reader takes the file's bytes and gives the tests or the one message that says
// why there are none ("File Error", critical, ending in "Nothing was imported."). Levels are handed over as the file
// holds them (the grid rounds them to 0.1 dB when it takes them); every one lies strictly between 0 and 100 dB, or
// the file is refused, as the Excel layout refuses a column.
namespace kov {

// ---- A sound level meter's 1/3-octave spectrum report ---------------------------------------------------------
//
// Tab-separated text in sections, each opened by a line that begins with '#' ("# Hardware Configuration",
// "# Measurement Setup", "# RTA Results"). In the RTA results a cell "Band [Hz]" heads the band frequencies. The
// common layout runs the bands down that column with one column per quantity: a row above names each column's
// quantity ("LZeq", "LAFmax", "LZFmin"), a "[dB]" row gives the units, then one row per band, and a "#CheckSum"
// line closes the results. The bands may instead run along the "Band [Hz]" row, each quantity in a row of its own
// named at its left. Either way every band frequency must be a 1/3-octave band (a finer analysis is refused), each
// of the eighteen bands 160 Hz to 8000 Hz must be there once, and the bands outside them are left aside.

// The quantities the report's RTA results hold, in the report's order; empty when they cannot be read.
QStringList SpectrumReportQuantities(const QByteArray& bytes);

// The one test of `quantity` (compared without regard to case), or, when `quantity` is empty, of the first
// quantity that is an unweighted equivalent level (its name ends in "eq" and does not begin with "LA" or "LC":
// "LZeq", "Leq"): the program weights the bands itself, so a weighted spectrum is taken only when asked for.
MeterImport ParseSpectrumReport(const QByteArray& bytes, const QString& quantity = {});

// ---- A frequency-response export of room-measurement software --------------------------------------------------
//
// Lines beginning with '*' are comments; every other line holds a frequency in Hz, a level in dB and optionally a
// phase, separated by blanks, tabs, semicolons or commas, with a decimal point (or a decimal comma where the
// values are not separated by commas). Header lines of words before the first point are left aside. The
// frequencies rise from line to line.
//
// The levels become 1/3-octave band levels by power over each band's base-10 edges (IEC 61260-1): every point
// covers the frequencies from halfway to the point below it to halfway to the point above it (the first and the
// last point cover nothing beyond themselves), and a band's level is the power mean of the points that lie within
// its edges (lower edge included, upper excluded), each point's power weighted by the width in Hz of the part of
// its span inside the band:
//     L = 10 log10( sum_i w_i 10^(L_i / 10) / sum_i w_i ).
// A response that reaches a level spectrum's bands in Hz weights the points as the band's power is spread over Hz,
// so closely or unevenly spaced points (a linear FFT grid, 1/48-octave steps) count for what they cover.
// A file that does not reach from the lower edge of 160 Hz (141.3 Hz) to the upper edge of 8000 Hz (8912.5 Hz),
// or that has a band without a point, is refused with the range it covers.
MeterImport ParseFrequencyResponse(const QByteArray& bytes);

// ---- Any table of levels (CSV, semicolon- or tab-separated) ---------------------------------------------------

// A table as read, for a window that shows its first rows and lets the person point at the bands and the levels.
struct MeterTable {
    QList<QStringList> rows;  // the cells of each line, trimmed; rows may be ragged, a blank line has none
    int columnCount = 0;      // the most cells any row has
    QChar separator;          // ',', ';' or '\t'
    QChar decimal;            // '.' or ','
    TextEncoding encoding = TextEncoding::Utf8;
    // The same for every export of one layout, so that a mapping chosen once can be offered again: the separator,
    // the number of columns and the column titles (the last row of words above the first row of numbers, digits
    // left out so that "Test 3" and "Test 4" are the same title).
    QString layoutKey;

    // The text of a cell (0-based); empty outside the table.
    QString cell(int row, int column) const;
    // Its number in the table's decimal separator.
    std::optional<double> number(int row, int column) const;
};

// The separator is the one of comma, semicolon and tab that splits the most lines into the same number of cells
// (outside double quotes); the decimal separator is a comma only where commas do not separate cells and most
// decimal numbers use one. A table needs two columns and some numbers.
std::variant<MeterTable, Message> ParseMeterTable(const QByteArray& bytes);

// Where the person says the bands and the levels are.
struct TableMapping {
    enum class Bands { InColumn, InRow };
    // InColumn: the band frequencies run down column `bandLine` and each of `levelLines` is a column of levels;
    // InRow: the bands run along row `bandLine` and each of `levelLines` is a row of levels. Lines are 0-based.
    Bands bands = Bands::InColumn;
    int bandLine = 0;
    QList<int> levelLines;  // one test each, in this order (at most ten)

    bool operator==(const TableMapping&) const = default;
};

// The tests the mapping points at. The band line is read as band labels; a cell there that is no frequency (a
// heading) is left aside, one that is a frequency but no 1/3-octave band refuses the table, and the eighteen grid
// bands must each be there once. Every level cell of the grid bands must hold a level; a refusal names the cell as
// a spreadsheet would ("C12").
MeterImport TableTests(const MeterTable& table, const TableMapping& mapping);

// A mapping for the window to start from: the first column (else row) that names all eighteen grid bands, with
// every other column (row) whose cells of those bands all hold levels, at most ten; none when there is no such line.
std::optional<TableMapping> SuggestTableMapping(const MeterTable& table);

// ---- Which format a file is -----------------------------------------------------------------------------------

enum class MeterFormat {
    Dsp30,
    Ie45,
    Paa3,
    WorkbookXls,   // by its compound-file signature
    WorkbookXlsx,  // a zip package with an "xl/" part
    SpectrumReport,
    FrequencyResponse,
    Table,
};

// What a person would call the format: "Goldline DSP30 text export".
QString MeterFormatName(MeterFormat format);

// The format by the file's bytes, never by its name; an empty file, or one of no format KOV reads, is a message
// that names the formats it reads. The older exports are told by their layout: a PAA3 export that reads whole, a
// DSP30 export whose eighteen band labels are 160 Hz to 8000 Hz, an IE-45 report whose band lines name their bands.
std::variant<MeterFormat, Message> RecogniseMeterFile(const QByteArray& bytes);

// The bytes of a chosen export; a file that cannot be read is a message that names it and the system's reason.
std::variant<QByteArray, Message> ReadMeterFileBytes(const QString& path);

}  // namespace kov
