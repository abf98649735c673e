#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"
#include "meters/DownloadLevels.h"

namespace kov {

// The grid of measured tests: ten test columns of eighteen bands, band index k = 1..18 standing for bands
// 22..39 (160 Hz .. 8 kHz). Cell (test t, band index k) is number (t - 1) * 18 + k.
inline constexpr int GridBandCount = 18;
inline constexpr int MaxTests = 10;
inline constexpr int GridCellCount = MaxTests * GridBandCount;

inline constexpr int GridIndexToBand(int bandIndex)
{
    return bandIndex + FirstDataBand - 1;
}

int TestBandToCell(int test, int bandIndex);

struct TestBand {
    int test = 0;       // 1..10, 0 = none
    int bandIndex = 0;  // 1..18

    bool operator==(const TestBand&) const = default;
};
TestBand CellToTestBand(int cell);

// The value of a typed cell, given only when the whole text is a number: blanks around it, an optional sign, and
// digits with at most one decimal point or comma ("45,5" is 45.5, ".5" and "45." are fine), at least one digit.
// A slip such as "4x.5" or "4 5" must not pass as the number it starts with, and exponents are no sound levels.
std::optional<double> CellNumber(const QString& text);

// The grid as the Mask window shows it. Each cell holds the text it shows and the value that text stands for
// (CellNumber of the text; 0 = missing, and so is a text that is no number), the average labels hold their text and
// value, and count() is the number of visible test columns. After every call that changes the grid the window copies
// the texts into its controls and shows columns 1..count().
class TestGrid {
public:
    const QString& text(int cell) const { return m_text(cell); }
    f32 value(int cell) const { return m_value(cell); }
    f32 value(int test, int bandIndex) const { return m_value(TestBandToCell(test, bandIndex)); }
    // Puts a text into a cell unchecked (the cell editing rules are in LeaveCell).
    void setText(int cell, const QString& text);
    void clearCell(int cell) { setText(cell, QString()); }

    // LabAvg(k): the text shown and its value (0 when empty).
    const QString& averageText(int bandIndex) const { return m_avgText(bandIndex); }
    f32 average(int bandIndex) const { return m_avgValue(bandIndex); }
    void setAverage(int bandIndex, f32 mean);  // "##.0" for a mean above 0, else empty
    void clearAverage(int bandIndex);

    // The averages as a spectrum over bands 22..39.
    BandArray averageSpectrum() const;

    // Visible test columns: 0 before the grid stage, then 1..10 (set values are kept within 0..10).
    int count() const { return m_count; }
    void setCount(int count);

    bool operator==(const TestGrid&) const = default;

private:
    int m_count = 0;
    Indexed<QString, 1, GridCellCount> m_text;
    Indexed<f32, 1, GridCellCount> m_value;
    Indexed<QString, 1, GridBandCount> m_avgText;
    Indexed<f32, 1, GridBandCount> m_avgValue;
};

// ---- Texts -------------------------------------------------------------------------------------------------

inline const QString EnterDataNote = QStringLiteral("Enter data manually or download them.");
inline const QString TooManyTestsNote = QStringLiteral("Cannot add more than ten tests.");
inline const QString EditOrCalculateNote = QStringLiteral("You may edit entries or press Calculate.");
inline const QString FirstEntryNote =
    QStringLiteral("You may enter data manually or download them from the LD824. DSP30,IE-33, or an Excel file.");
inline const QString NothingDownloadedNote = QStringLiteral("No tests have been downloaded.  Try another source.");
inline const QString DownloadCompleteNote =
    QStringLiteral("Download complete. You may edit the data or press Calculate..");
Message TestDeletionMessage();      // the "Drop Test" button
Message CalculationErrorMessage();  // an average that cannot be computed

// "The sound level at 160 Hz was out of range (1 to 99). Reenter."
QString OutOfRangeNote(const LumoData& d, int bandIndex);
// "Data are missing in Test 2 at 160 Hz."
QString MissingDataNote(const LumoData& d, int test, int bandIndex);

// ---- Averages and levels -----------------------------------------------------------------------------------

// Arithmetic mean of the dB values of band k over tests 1..count, rounded to 0.1 (half to even), put into the
// grid's LabAvg(k). Returns true (failed) when there are no tests; the label is then left as it was.
bool AverageBand(TestGrid& grid, int bandIndex);

// The "##" A-weighted level of the eighteen averages of the grid (DatAvg, DatAWgt2 during the grid stage).
QString GridLevelText(const LumoData& d, const TestGrid& grid);
// The same of the channel's MaskAverageEdit.
QString AverageLevelText(const LumoData& d, int ch);

// ---- Cells -------------------------------------------------------------------------------------------------

// The last cell of tests 1..n, scanned in cell order, whose value is 0; test 0 when every cell holds a value.
TestBand FindMissingCell(const TestGrid& grid, int n);

// The first cell of tests 1..count, in cell order, whose value is 0, with its missing-data note: "Calculate" puts
// the focus there instead of fitting a hole. nullopt when every shown cell holds a value.
struct MissingCell {
    int cell = 0;
    QString note;
};
std::optional<MissingCell> FirstMissingCell(const TestGrid& grid, const LumoData& d);

// A cell receives the focus: the test it belongs to becomes CurrentTest; the note to show, if any.
struct CellEntry {
    int currentTest = 0;
    std::optional<QString> note;  // nullopt: leave LabNote as it is
};
CellEntry EnterCell(const TestGrid& grid, int cell);

// A cell loses the focus with `typed` in it: the value, rounded to 0.1 half to even, is kept when 1..99 and
// shown "#0.0"; otherwise, and when the text is no number (CellNumber), the cell is emptied. When test 1 is then
// complete the averages of all eighteen bands are recomputed.
struct CellExit {
    QString note;                  // LabNote: "" or the out-of-range note
    bool testOneComplete = false;  // then: Add Test, Clear Data and Calculate are enabled ...
    QString levelText;             // ... and DatAvg and DatAWgt2 show this
};
CellExit LeaveCell(TestGrid& grid, const LumoData& d, int cell, const QString& typed);

// ---- Test columns ------------------------------------------------------------------------------------------

// Removes test column t: later columns move one to the left, the last is emptied, the count falls by one and
// the averages are recomputed. With one test only its cells and the averages are emptied and the count stays 1.
void DeleteTest(TestGrid& grid, int test);

// A click on the test label of column t: DeleteTest, then the averages go into MaskAverageEdit. A label click
// does not take the focus, so the window first hands the cell being typed in to LeaveCell.
struct TestDrop {
    int currentTest = 1;
    QString levelText;  // DatAvg and DatAWgt2
};
TestDrop DropTest(TestGrid& grid, LumoData& d, int ch, int test);

// "Add Test". At ten tests nothing is added: the note is shown and the button disabled.
struct TestAddition {
    bool added = false;
    int currentTest = 0;
    bool addTestEnabled = true;
    std::optional<QString> note;
    int focusCell = 0;  // the first cell of the new test; 0 when nothing was added
};
TestAddition AddTest(TestGrid& grid, LumoData& d, int ch);

// "Add Test" receiving the focus: when a cell of tests 1..currentTest is empty, the window beeps and shows the
// returned note; adding is not prevented.
std::optional<QString> AddTestFocusNote(const TestGrid& grid, const LumoData& d, int currentTest);

// ---- Navigation --------------------------------------------------------------------------------------------

enum class GridKey { Left, Up, Right, Down, Enter };

struct GridTarget {
    enum Kind { Stay, Cell, AddTest, Calculate, DownloadLD };
    Kind kind = Stay;
    int cell = 0;  // for Cell

    bool operator==(const GridTarget&) const = default;
};

// Where a key pressed in `cell` moves the focus, with `count` visible test columns. Moves to a hidden or
// non-existent cell give Stay. Down from the last cell goes to Add Test only while it is enabled; Enter there
// goes to Calculate when it is enabled, else to the LD824 download button.
GridTarget NavigateGrid(int cell, int count, GridKey key, bool addTestEnabled, bool calculateEnabled);

// ---- Buttons and their enabling ----------------------------------------------------------------------------

// The buttons of the grid stage a step sets; nullopt leaves a button as it is.
struct GridButtons {
    std::optional<bool> addTest;    // CmdUpTest
    std::optional<bool> dropTest;   // CmdDnTest
    std::optional<bool> clear;      // CmdClear
    std::optional<bool> calculate;  // CmdCalc
    std::optional<bool> download;   // FramDownload

    bool operator==(const GridButtons&) const = default;
};

struct GridStep {
    GridButtons buttons;
    QString note;                    // LabNote
    QString levelText;               // DatAvg and DatAWgt2
    GridTarget focus;                // Stay = no focus change
    std::optional<int> currentTest;  // nullopt: CurrentTest stays
    std::optional<Message> failure;  // shown once; the step ended there
    int averageFailures = 0;         // RefreshGridAndAverage: one "Calculation Error" box for each
};

// "Clear Data": every cell and average emptied, one visible column; the window resets the download state.
GridStep ClearData(TestGrid& grid, LumoData& d, int ch);

// ---- Working set -------------------------------------------------------------------------------------------

// The stored tests 1..count of the channel into the grid: each level rounded to 0.1 and shown "#0.0" (a stored
// 0 shows "0.0" and counts as missing). Columns beyond the count are left as they are. A count outside 0..10
// from a damaged file is taken as the nearest of 0 and 10.
void LoadGrid(TestGrid& grid, const LumoData& d, int ch);

// The grid into the working set: tests 1..count and the averages, rounded to 0.1; the count as well.
void StoreGrid(const TestGrid& grid, LumoData& d, int ch);

// Entering the grid stage after "Choose": the stored tests and their averages, or an empty first column.
GridStep EnterGridStage(TestGrid& grid, LumoData& d, int ch);

// After a download that left its levels in `levels` and the number of tests in MaskTestCountEdit(ch): the
// levels, rounded to 0.1, go into MaskTestEdit and the grid; the averages into the grid and MaskAverageEdit.
GridStep RefreshGridAndAverage(TestGrid& grid, LumoData& d, int ch, const DownloadLevels& levels);

}  // namespace kov
