#include "masking/TestGrid.h"

#include <algorithm>

#include "core/Levels.h"
#include "core/Numbers.h"

namespace kov {

namespace {

const QString CellFormat = QStringLiteral("#0.0");
const QString AverageFormat = QStringLiteral("##.0");

int ClampedCount(int count)
{
    return std::clamp(count, 0, MaxTests);
}

QString BandFrequencyText(const LumoData& d, int bandIndex)
{
    return PlainNumber(static_cast<f32>(d.BandFreq(GridIndexToBand(bandIndex))));
}

bool TestOneComplete(const TestGrid& grid)
{
    for (int k = 1; k <= GridBandCount; ++k) {
        if (grid.value(1, k) == 0)
            return false;
    }
    return true;
}

void ClearGrid(TestGrid& grid)
{
    for (int cell = 1; cell <= GridCellCount; ++cell)
        grid.clearCell(cell);
    for (int k = 1; k <= GridBandCount; ++k)
        grid.clearAverage(k);
}

void AverageAllBands(TestGrid& grid)
{
    for (int k = 1; k <= GridBandCount; ++k)
        AverageBand(grid, k);
}

}  // namespace

int TestBandToCell(int test, int bandIndex)
{
    return (test - 1) * GridBandCount + bandIndex;
}

TestBand CellToTestBand(int cell)
{
    return TestBand{(cell - 1) / GridBandCount + 1, (cell - 1) % GridBandCount + 1};
}

std::optional<double> CellNumber(const QString& text)
{
    QString number = text.trimmed();
    // toDouble alone would also take exponents, "inf" and "nan"; it still judges where signs and the point stand.
    for (const QChar c : number) {
        if (!((c >= u'0' && c <= u'9') || c == u'.' || c == u',' || c == u'+' || c == u'-'))
            return std::nullopt;
    }
    number.replace(u',', u'.');
    bool ok = false;
    const double x = number.toDouble(&ok);
    return ok ? std::optional<double>(x) : std::nullopt;
}

void TestGrid::setText(int cell, const QString& text)
{
    m_text(cell) = text;
    m_value(cell) = static_cast<f32>(CellNumber(text).value_or(0));
}

void TestGrid::setAverage(int bandIndex, f32 mean)
{
    if (mean > 0) {
        m_avgText(bandIndex) = FormatNumber(mean, AverageFormat);
        m_avgValue(bandIndex) = mean;
    } else {
        clearAverage(bandIndex);
    }
}

void TestGrid::clearAverage(int bandIndex)
{
    m_avgText(bandIndex).clear();
    m_avgValue(bandIndex) = 0;
}

BandArray TestGrid::averageSpectrum() const
{
    BandArray s;
    for (int k = 1; k <= GridBandCount; ++k)
        s(GridIndexToBand(k)) = m_avgValue(k);
    return s;
}

void TestGrid::setCount(int count)
{
    m_count = ClampedCount(count);
}

Message TestDeletionMessage()
{
    return {QStringLiteral("Click on test number box to delete that test."), QStringLiteral("Test Deletion"),
            MsgIcon::Information};
}

Message CalculationErrorMessage()
{
    return {QStringLiteral("Average could not be calculated. Equalizaton cannot be continued with these data."),
            QStringLiteral("Calculation Error"), MsgIcon::Information};
}

QString OutOfRangeNote(const LumoData& d, int bandIndex)
{
    return QStringLiteral("The sound level at ") + BandFrequencyText(d, bandIndex) +
           QStringLiteral(" Hz was out of range (1 to 99). Reenter.");
}

QString MissingDataNote(const LumoData& d, int test, int bandIndex)
{
    return QStringLiteral("Data are missing in Test") + NumberText(static_cast<f32>(test)) + QStringLiteral(" at ") +
           BandFrequencyText(d, bandIndex) + QStringLiteral(" Hz.");
}

bool AverageBand(TestGrid& grid, int bandIndex)
{
    const int count = grid.count();
    if (count <= 0)
        return true;
    double sum = 0;
    for (int t = 1; t <= count; ++t)
        sum += grid.value(t, bandIndex);
    grid.setAverage(bandIndex, static_cast<f32>(RoundHalfEven(sum / count, 1)));
    return false;
}

QString GridLevelText(const LumoData& d, const TestGrid& grid)
{
    return LevelDisplay(d, grid.averageSpectrum());
}

QString AverageLevelText(const LumoData& d, int ch)
{
    return LevelDisplay(d, ChannelRow(d.MaskAverageEdit, ch));
}

TestBand FindMissingCell(const TestGrid& grid, int n)
{
    TestBand missing;
    for (int t = 1; t <= ClampedCount(n); ++t) {
        for (int k = 1; k <= GridBandCount; ++k) {
            if (grid.value(t, k) == 0)
                missing = TestBand{t, k};
        }
    }
    return missing;
}

std::optional<MissingCell> FirstMissingCell(const TestGrid& grid, const LumoData& d)
{
    for (int t = 1; t <= grid.count(); ++t) {
        for (int k = 1; k <= GridBandCount; ++k) {
            if (grid.value(t, k) == 0)
                return MissingCell{TestBandToCell(t, k), MissingDataNote(d, t, k)};
        }
    }
    return std::nullopt;
}

CellEntry EnterCell(const TestGrid& grid, int cell)
{
    CellEntry entry;
    entry.currentTest = CellToTestBand(cell).test;
    if (cell == 1 && grid.value(1) == 0)
        entry.note = EnterDataNote;
    return entry;
}

CellExit LeaveCell(TestGrid& grid, const LumoData& d, int cell, const QString& typed)
{
    CellExit exit;
    const std::optional<double> typedValue = CellNumber(typed);
    const double x = typedValue ? RoundHalfEven(*typedValue, 1) : 0;
    if (typedValue && x >= 1 && x <= 99) {
        grid.setText(cell, FormatNumber(x, CellFormat));
    } else {
        grid.clearCell(cell);
        exit.note = OutOfRangeNote(d, CellToTestBand(cell).bandIndex);
    }
    if (TestOneComplete(grid)) {
        exit.testOneComplete = true;
        // Every band, not only the one just left: a test typed in top to bottom completes test 1 at its last
        // cell, and the averages handed to the fit must cover all eighteen bands.
        AverageAllBands(grid);
        exit.levelText = GridLevelText(d, grid);
    }
    return exit;
}

void DeleteTest(TestGrid& grid, int test)
{
    const int count = grid.count();
    if (test < 1 || test > count)
        return;
    if (count == 1) {
        for (int k = 1; k <= GridBandCount; ++k) {
            grid.clearCell(TestBandToCell(test, k));
            grid.clearAverage(k);
        }
        return;
    }
    for (int j = test; j < count; ++j) {
        for (int k = 1; k <= GridBandCount; ++k)
            grid.setText(TestBandToCell(j, k), grid.text(TestBandToCell(j + 1, k)));
    }
    for (int k = 1; k <= GridBandCount; ++k)
        grid.clearCell(TestBandToCell(count, k));
    grid.setCount(count - 1);
    AverageAllBands(grid);
}

TestDrop DropTest(TestGrid& grid, LumoData& d, int ch, int test)
{
    DeleteTest(grid, test);
    d.MaskTestCountEdit(ch) = static_cast<i16>(grid.count());
    for (int k = 1; k <= GridBandCount; ++k)
        d.MaskAverageEdit(ch, GridIndexToBand(k)) = grid.average(k);
    return TestDrop{1, AverageLevelText(d, ch)};
}

TestAddition AddTest(TestGrid& grid, LumoData& d, int ch)
{
    TestAddition add;
    if (grid.count() >= MaxTests) {
        // The button is disabled at ten tests; should a click still arrive, say why nothing happens.
        add.addTestEnabled = false;
        add.note = TooManyTestsNote;
        return add;
    }
    grid.setCount(grid.count() + 1);
    d.MaskTestCountEdit(ch) = static_cast<i16>(grid.count());
    add.added = true;
    add.currentTest = grid.count();
    add.addTestEnabled = grid.count() < MaxTests;
    if (!add.addTestEnabled)
        add.note = TooManyTestsNote;
    add.focusCell = TestBandToCell(add.currentTest, 1);
    return add;
}

std::optional<QString> AddTestFocusNote(const TestGrid& grid, const LumoData& d, int currentTest)
{
    const TestBand missing = FindMissingCell(grid, currentTest);
    if (missing.test == 0)
        return std::nullopt;
    return MissingDataNote(d, missing.test, missing.bandIndex);
}

GridTarget NavigateGrid(int cell, int count, GridKey key, bool addTestEnabled, bool calculateEnabled)
{
    const int lastCell = ClampedCount(count) * GridBandCount;
    const auto toCell = [lastCell](int target) {
        return target >= 1 && target <= lastCell ? GridTarget{GridTarget::Cell, target} : GridTarget{};
    };
    switch (key) {
        case GridKey::Left:
            return cell >= GridBandCount + 1 ? toCell(cell - GridBandCount) : GridTarget{};
        case GridKey::Up:
            return cell >= 2 ? toCell(cell - 1) : GridTarget{};
        case GridKey::Right:
            return cell < (count - 1) * GridBandCount + 1 ? toCell(cell + GridBandCount) : GridTarget{};
        case GridKey::Down:
            if (cell >= lastCell && addTestEnabled)
                return GridTarget{GridTarget::AddTest, 0};
            return toCell(cell + 1);
        case GridKey::Enter:
            if (cell >= lastCell)
                return GridTarget{calculateEnabled ? GridTarget::Calculate : GridTarget::DownloadLD, 0};
            return toCell(cell + 1);
    }
    return GridTarget{};
}

GridStep ClearData(TestGrid& grid, LumoData& d, int ch)
{
    ClearGrid(grid);
    grid.setCount(1);
    d.MaskTestCountEdit(ch) = 1;
    GridStep step;
    step.buttons.addTest = false;
    step.buttons.calculate = false;
    step.note = EnterDataNote;
    step.currentTest = 1;
    step.focus = GridTarget{GridTarget::Cell, 1};
    return step;
}

void LoadGrid(TestGrid& grid, const LumoData& d, int ch)
{
    grid.setCount(d.MaskTestCountEdit(ch));
    for (int t = 1; t <= grid.count(); ++t) {
        for (int k = 1; k <= GridBandCount; ++k) {
            const f32 level = RoundSingle(d.MaskTestEdit(t, ch, GridIndexToBand(k)), 1);
            grid.setText(TestBandToCell(t, k), FormatNumber(level, CellFormat));
        }
    }
}

void StoreGrid(const TestGrid& grid, LumoData& d, int ch)
{
    d.MaskTestCountEdit(ch) = static_cast<i16>(grid.count());
    for (int k = 1; k <= GridBandCount; ++k) {
        const int b = GridIndexToBand(k);
        for (int t = 1; t <= grid.count(); ++t)
            d.MaskTestEdit(t, ch, b) = RoundSingle(grid.value(t, k), 1);
        d.MaskAverageEdit(ch, b) = RoundSingle(grid.average(k), 1);
    }
}

GridStep EnterGridStage(TestGrid& grid, LumoData& d, int ch)
{
    GridStep step;
    if (d.MaskTestCountEdit(ch) != 0) {
        LoadGrid(grid, d, ch);
        for (int k = 1; k <= GridBandCount; ++k) {
            if (AverageBand(grid, k)) {
                step.failure = CalculationErrorMessage();
                return step;
            }
            d.MaskAverageEdit(ch, GridIndexToBand(k)) = RoundSingle(grid.average(k), 1);
        }
        step.levelText = AverageLevelText(d, ch);
        // Ten stored tests are as many as the grid holds.
        step.buttons.addTest = grid.count() < MaxTests;
        step.buttons.dropTest = true;
        step.buttons.download = true;
        step.buttons.calculate = true;
        step.focus = GridTarget{GridTarget::Calculate, 0};
        step.note = EditOrCalculateNote;
        return step;
    }
    step.buttons.addTest = false;
    step.buttons.dropTest = false;
    step.buttons.calculate = false;
    step.buttons.download = true;
    ClearGrid(grid);
    step.note = FirstEntryNote;
    grid.setCount(1);
    d.MaskTestCountEdit(ch) = 1;
    step.focus = GridTarget{GridTarget::Cell, 1};
    return step;
}

GridStep RefreshGridAndAverage(TestGrid& grid, LumoData& d, int ch, const DownloadLevels& levels)
{
    GridStep step;
    grid.setCount(d.MaskTestCountEdit(ch));
    d.MaskTestCountEdit(ch) = static_cast<i16>(grid.count());
    const int count = grid.count();
    for (int t = 1; t <= count; ++t) {
        for (int k = 1; k <= GridBandCount; ++k) {
            const f32 v = RoundSingle(levels(t, k), 1);
            d.MaskTestEdit(t, ch, GridIndexToBand(k)) = v;
            grid.setText(TestBandToCell(t, k), FormatNumber(v, CellFormat));
        }
    }
    for (int k = 1; k <= GridBandCount; ++k) {
        if (AverageBand(grid, k))
            ++step.averageFailures;
        d.MaskAverageEdit(ch, GridIndexToBand(k)) = RoundSingle(grid.average(k), 1);
    }
    step.levelText = AverageLevelText(d, ch);
    step.buttons.addTest = count > 0 && count < MaxTests;
    step.buttons.dropTest = count >= 2;
    if (count < 1) {
        step.buttons.clear = false;
        step.buttons.calculate = false;
        step.note = NothingDownloadedNote;
    } else {
        step.buttons.clear = true;
        step.buttons.calculate = true;
        step.note = DownloadCompleteNote;
        step.focus = GridTarget{GridTarget::Calculate, 0};
    }
    return step;
}

}  // namespace kov
