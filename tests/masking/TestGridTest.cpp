#include <gtest/gtest.h>

#include <optional>
#include <tuple>
#include <vector>

#include "core/Tables.h"
#include "core/TextValue.h"
#include "masking/TestGrid.h"

using namespace kov;

namespace {

constexpr int Ch = 2;

LumoData Tables()
{
    LumoData d;
    InitTables(d);
    return d;
}

// Fills test columns 1..count with `level` + test number / 10 in every band, the way a typed test looks.
TestGrid FilledGrid(int count, double level = 40)
{
    TestGrid g;
    g.setCount(count);
    for (int t = 1; t <= count; ++t)
        for (int k = 1; k <= GridBandCount; ++k)
            g.setText(TestBandToCell(t, k), QString::number(level + t / 10.0 + k, 'f', 1));
    return g;
}

TEST(TestGridCells, CellNumbersAndBack)
{
    // (test, band, cell)
    for (const auto& [test, band, cell] : {std::tuple{1, 1, 1}, {1, 18, 18}, {2, 1, 19}, {3, 5, 41}, {10, 18, 180}})
        EXPECT_EQ(std::tuple(TestBandToCell(test, band), CellToTestBand(cell)), std::tuple(cell, TestBand{test, band}))
            << cell;
    EXPECT_EQ(std::tuple(GridIndexToBand(1), GridIndexToBand(18)), std::tuple(22, 39));
}

TEST(CellNumberTest, OnlyAWholeNumberIsAValue)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"45", 45},     {"45,5", 45.5}, {" 45.5 ", 45.5}, {"\t45\t", 45}, {".5", 0.5}, {",5", 0.5},
        {"45.", 45},    {"-3", -3},     {"+7.25", 7.25},  {"4x.5", {}},   {"4e1", {}}, {"45abc", {}},
        {"45,5,1", {}}, {"1.2.3", {}},  {"4,5.", {}},     {"4 5", {}},    {"- 3", {}}, {"--4", {}},
        {"4-", {}},     {"-", {}},      {".", {}},        {"-.", {}},     {"+-4", {}}, {"", {}}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(CellNumber(QString::fromLatin1(text)), value) << text;
}

TEST(LeaveCellTest, KeepsLevelsFrom1To99RoundedToATenth)
{
    const LumoData d = Tables();
    // (typed, cell, shown or "" when emptied with the out-of-range note, the note's frequency)
    const std::tuple<const char*, int, const char*, const char*> cases[] = {
        {"1", 1, "1.0", ""},      {"99", 1, "99.0", ""},   {"0.9", 1, "", "160"},    {"99.1", 18, "", "8000"},
        {"abc", 1, "", "160"},    {"", 30, "", "2000"},    {"45.25", 1, "45.2", ""}, {"45.75", 1, "45.8", ""},
        {"4x.5", 1, "", "160"},   {"45,5", 1, "45.5", ""}, {"0.95", 1, "1.0", ""},   {"0.94", 1, "", "160"},
        {"99.05", 1, "99.0", ""}, {"99.15", 1, "", "160"}, {"-50", 1, "", "160"}};
    for (const auto& [typed, cell, shown, frequency] : cases) {
        SCOPED_TRACE(typed);
        TestGrid g;
        g.setCount(2);
        g.setText(cell, QStringLiteral("12.0"));
        const CellExit exit = LeaveCell(g, d, cell, QString::fromLatin1(typed));
        EXPECT_FLOAT_EQ(g.value(cell), static_cast<f32>(BasicVal(QString::fromLatin1(shown))));
        const QString note = *shown ? QString()
                                    : QStringLiteral("The sound level at ") + frequency +
                                          QStringLiteral(" Hz was out of range (1 to 99). Reenter.");
        EXPECT_EQ(std::tuple(g.text(cell), exit.note, exit.testOneComplete), std::tuple(shown, note, false));
    }
}

TEST(LeaveCellTest, CompletingTestOneAveragesEveryBand)
{
    const LumoData d = Tables();
    TestGrid g;
    g.setCount(1);
    for (int k = 1; k <= 17; ++k) {
        EXPECT_FALSE(LeaveCell(g, d, k, QStringLiteral("40")).testOneComplete);
        EXPECT_EQ(g.averageText(k), QString()) << k;
    }
    const CellExit exit = LeaveCell(g, d, 18, QStringLiteral("40"));
    // 40 dB in every band is 51.5 dBA to a tenth, shown as the even whole number.
    EXPECT_EQ(std::tuple(exit.testOneComplete, exit.levelText), std::tuple(true, "52"));
    for (int k = 1; k <= GridBandCount; ++k)
        EXPECT_EQ(g.averageText(k), QStringLiteral("40.0")) << k;
}

TEST(EnterCellTest, NoteOnlyOnAnEmptyFirstCell)
{
    TestGrid g;
    g.setCount(2);
    EXPECT_EQ(std::tuple(EnterCell(g, 1).note, EnterCell(g, 1).currentTest),
              std::tuple(std::optional(EnterDataNote), 1));
    EXPECT_EQ(std::tuple(EnterCell(g, 2).note.has_value(), EnterCell(g, 20).currentTest), std::tuple(false, 2));
    g.setText(1, QStringLiteral("40.0"));
    EXPECT_FALSE(EnterCell(g, 1).note.has_value());
}

TEST(AverageBandTest, ArithmeticMeanOfTheDecibelsAndNothingWithoutTests)
{
    // (the tests' cells in band 4, the average's label and value)
    const std::tuple<std::vector<const char*>, const char*, f32> cases[] = {
        {{"40.0", "60.0"}, "50.0", 50},
        {{"45.1", "45.2"}, "45.2", 45.2f},
        {{"45.1", "45.0"}, "45.0", 45.0f},
        {{"40.0", ""}, "20.0", 20},
        {{"45.0", "45.1", "45.1"}, "45.1", 45.1f},
        {{"-5.0", "3.0"}, "", 0},
        {{"0.0"}, "", 0},
        {{"5.0", "4.0"}, "4.5", 4.5f},
    };
    for (const auto& [cells, label, value] : cases) {
        TestGrid g;
        g.setCount(static_cast<int>(cells.size()));
        for (int t = 1; t <= g.count(); ++t)
            g.setText(TestBandToCell(t, 4), QString::fromLatin1(cells[static_cast<std::size_t>(t - 1)]));
        EXPECT_EQ(std::tuple(AverageBand(g, 4), g.averageText(4)), std::tuple(false, label)) << cells[0];
        EXPECT_FLOAT_EQ(g.average(4), value) << cells[0];
    }
    // No tests: the average fails and leaves the label.
    TestGrid g = FilledGrid(1);
    ASSERT_FALSE(AverageBand(g, 3));
    const QString before = g.averageText(3);
    g.setCount(0);
    const bool failed = AverageBand(g, 3);
    EXPECT_EQ(std::tuple(failed, g.averageText(3)), std::tuple(true, before));
}

TEST(FindMissingCellTest, LastEmptyCellOfTheFirstNTestsAndFirstHoleForCalculate)
{
    TestGrid g = FilledGrid(3);
    EXPECT_EQ(FindMissingCell(g, 3), TestBand{});
    for (const auto& [test, band] : {std::pair{1, 7}, {2, 3}, {3, 1}})
        g.clearCell(TestBandToCell(test, band));
    EXPECT_EQ((std::vector{FindMissingCell(g, 1), FindMissingCell(g, 2), FindMissingCell(g, 3), FindMissingCell(g, 0)}),
              (std::vector<TestBand>{{1, 7}, {2, 3}, {3, 1}, {}}));

    const LumoData d = Tables();
    EXPECT_EQ(AddTestFocusNote(g, d, 2), QStringLiteral("Data are missing in Test 2 at 250 Hz."));
    EXPECT_FALSE(AddTestFocusNote(FilledGrid(2), d, 2).has_value());

    // For Calculate: the first hole of the shown tests.
    TestGrid two = FilledGrid(2);
    EXPECT_FALSE(FirstMissingCell(two, d).has_value());
    two.clearCell(TestBandToCell(2, 5));
    EXPECT_EQ(FirstMissingCell(two, d).value_or(MissingCell{}).cell, 23);
    two.setText(TestBandToCell(1, 12), QStringLiteral("4x.5"));
    const MissingCell missing = FirstMissingCell(two, d).value_or(MissingCell{});
    EXPECT_EQ(std::tuple(missing.cell, missing.note),
              std::tuple(12, QStringLiteral("Data are missing in Test 1 at 2000 Hz.")));
    two.setCount(0);
    EXPECT_FALSE(FirstMissingCell(two, d).has_value());
}

TEST(DeleteTestTest, LaterColumnsMoveLeftAndTheLastOrOnlyColumnEmpties)
{
    TestGrid g = FilledGrid(3);
    const QString third = g.text(TestBandToCell(3, 5));
    DeleteTest(g, 2);
    EXPECT_EQ(g.count(), 2);
    for (int k = 1; k <= GridBandCount; ++k) {
        EXPECT_EQ(std::tuple(g.value(2, k), g.text(TestBandToCell(3, k))), std::tuple(FilledGrid(3).value(3, k), ""))
            << k;
        // Tests 1 and 3 were 40.1 + k and 40.3 + k.
        EXPECT_FLOAT_EQ(g.average(k), 40.2f + k) << k;
    }
    EXPECT_EQ(g.text(TestBandToCell(2, 5)), third);

    // The last column, and the only one.
    TestGrid last = FilledGrid(3);
    DeleteTest(last, 3);
    EXPECT_EQ(std::tuple(last.count(), last.value(3, 1), last.average(1)), std::tuple(2, 0.f, 41.2f));

    TestGrid one = FilledGrid(1);
    AverageBand(one, 1);
    DeleteTest(one, 1);
    EXPECT_EQ(one.count(), 1);
    for (int k = 1; k <= GridBandCount; ++k)
        EXPECT_EQ(one.text(k) + one.averageText(k), QString()) << k;
}

TEST(DeleteTestTest, DropTestHandsTheAveragesToTheWorkingSet)
{
    LumoData d = Tables();
    d.MaskTestCountEdit(Ch) = 2;
    TestGrid g = FilledGrid(2);
    const TestDrop drop = DropTest(g, d, Ch, 1);
    // Test 2 is left, 41.2 dB at 160 Hz rising 1 dB a band: 65 dBA.
    EXPECT_EQ(std::tuple(drop.currentTest, d.MaskTestCountEdit(Ch), drop.levelText, d.MaskAverageEdit(Ch, 22),
                         d.MaskAverageEdit(Ch, 39)),
              std::tuple(1, 1, "65", 41.2f, 58.2f));
}

TEST(NavigateGridTest, ArrowsAndEnter)
{
    using T = GridTarget;
    // (cell, tests, key, Add Test enabled, Calculate enabled, where the focus goes)
    // clang-format off
    const std::tuple<int, int, GridKey, bool, bool, GridTarget> cases[] = {
        {19, 2, GridKey::Left, true, true, {T::Cell, 1}},     {5, 2, GridKey::Left, true, true, {}},
        {1, 2, GridKey::Up, true, true, {}},                  {19, 2, GridKey::Up, true, true, {T::Cell, 18}},
        {1, 2, GridKey::Right, true, true, {T::Cell, 19}},    {19, 2, GridKey::Right, true, true, {}},
        {18, 1, GridKey::Right, true, true, {}},              {18, 2, GridKey::Down, true, true, {T::Cell, 19}},
        {36, 2, GridKey::Down, true, true, {T::AddTest}},     {36, 2, GridKey::Down, false, true, {}},
        {180, 10, GridKey::Down, false, true, {}},            {36, 2, GridKey::Enter, true, true, {T::Calculate}},
        {36, 2, GridKey::Enter, true, false, {T::DownloadLD}}, {5, 2, GridKey::Enter, true, false, {T::Cell, 6}},
        {18, 2, GridKey::Enter, true, true, {T::Cell, 19}}};
    // clang-format on
    for (const auto& [cell, count, key, addTest, calc, target] : cases)
        EXPECT_EQ(NavigateGrid(cell, count, key, addTest, calc), target) << cell << " key " << static_cast<int>(key);
}

TEST(AddTestTest, TenTestsAtMost)
{
    LumoData d = Tables();
    TestGrid g;
    g.setCount(1);
    const std::optional<QString> tenTests = QStringLiteral("Cannot add more than ten tests.");
    const TestAddition second = AddTest(g, d, Ch);
    EXPECT_EQ(std::tuple(second.added, second.currentTest, second.focusCell, second.addTestEnabled, second.note,
                         d.MaskTestCountEdit(Ch)),
              std::tuple(true, 2, 19, true, std::optional<QString>(), 2));
    g.setCount(9);
    const TestAddition tenth = AddTest(g, d, Ch);
    EXPECT_EQ(std::tuple(tenth.added, tenth.focusCell, tenth.addTestEnabled, tenth.note),
              std::tuple(true, 163, false, tenTests));
    const TestAddition eleventh = AddTest(g, d, Ch);
    EXPECT_EQ(std::tuple(eleventh.added, eleventh.addTestEnabled, eleventh.note, g.count(), d.MaskTestCountEdit(Ch)),
              std::tuple(false, false, tenTests, 10, 10));
}

TEST(WorkingSetTest, StoreAndLoadGrid)
{
    LumoData d = Tables();
    TestGrid g = FilledGrid(2);
    g.setText(TestBandToCell(2, 3), QString());
    for (int k = 1; k <= GridBandCount; ++k)
        AverageBand(g, k);
    StoreGrid(g, d, Ch);
    EXPECT_EQ(std::tuple(d.MaskTestCountEdit(Ch), d.MaskTestEdit(2, Ch, 24), d.MaskTestEdit(2, Ch, 23)),
              std::tuple(2, 0.f, 42.2f));
    // (43.1 + 0) / 2 = 21.55, half to even.
    EXPECT_EQ(std::tuple(d.MaskAverageEdit(Ch, 24), d.MaskAverageEdit(Ch, 39)), std::tuple(21.6f, 58.2f));

    d.MaskTestEdit(1, Ch, 22) = 45.25f;
    TestGrid loaded;
    LoadGrid(loaded, d, Ch);
    EXPECT_EQ(std::tuple(loaded.count(), loaded.text(1), loaded.text(TestBandToCell(2, 3)), loaded.value(2, 3)),
              std::tuple(2, "45.2", "0.0", 0.f));

    d.MaskTestCountEdit(Ch) = 15;
    LoadGrid(loaded, d, Ch);
    EXPECT_EQ(loaded.count(), 10);
}

TEST(WorkingSetTest, EnterGridStageWithAndWithoutTests)
{
    LumoData d = Tables();
    TestGrid g = FilledGrid(3);
    const GridStep fresh = EnterGridStage(g, d, Ch);
    EXPECT_EQ(std::tuple(g.count(), d.MaskTestCountEdit(Ch), g.text(TestBandToCell(2, 1)), fresh.note),
              std::tuple(1, 1, "", FirstEntryNote));
    EXPECT_EQ(std::tuple(fresh.buttons, fresh.focus),
              std::tuple(GridButtons{false, false, std::nullopt, false, true}, GridTarget{GridTarget::Cell, 1}));

    d.MaskTestCountEdit(Ch) = 2;
    for (int b = 22; b <= 39; ++b) {
        d.MaskTestEdit(1, Ch, b) = 40.f;
        d.MaskTestEdit(2, Ch, b) = 45.3f;
    }
    const GridStep stored = EnterGridStage(g, d, Ch);
    // 42.65, half to even: 42.6 dB in every band, 54.1 dBA to a tenth.
    EXPECT_EQ(std::tuple(stored.failure.has_value(), g.count(), g.averageText(1), stored.note, stored.levelText,
                         d.MaskAverageEdit(Ch, 30)),
              std::tuple(false, 2, "42.6", EditOrCalculateNote, "54", 42.6f));
    EXPECT_EQ(std::tuple(stored.buttons, stored.focus),
              std::tuple(GridButtons{true, true, std::nullopt, true, true}, GridTarget{GridTarget::Calculate}));

    // Ten stored tests fill the grid: Add Test starts off.
    d.MaskTestCountEdit(Ch) = 10;
    for (int t = 3; t <= 10; ++t)
        for (int b = 22; b <= 39; ++b)
            d.MaskTestEdit(t, Ch, b) = 40;
    EXPECT_EQ(EnterGridStage(g, d, Ch).buttons.addTest, false);
}

TEST(WorkingSetTest, RefreshAfterADownload)
{
    LumoData d = Tables();
    DownloadLevels levels;
    for (int k = 1; k <= 20; ++k) {
        levels(1, k) = 45.25f;
        levels(2, k) = 50.05f;
    }
    d.MaskTestCountEdit(Ch) = 2;
    TestGrid g;
    const GridStep step = RefreshGridAndAverage(g, d, Ch, levels);
    // Band index 19 of the buffer is no grid band.
    EXPECT_EQ(std::tuple(step.averageFailures, d.MaskTestEdit(1, Ch, 40), g.text(TestBandToCell(2, 18)), step.note,
                         d.MaskTestEdit(1, Ch, 22), d.MaskTestEdit(2, Ch, 39), d.MaskAverageEdit(Ch, 22)),
              std::tuple(0, 0.f, "50.0", DownloadCompleteNote, 45.2f, 50.f, 47.6f));
    EXPECT_EQ(std::tuple(step.buttons, step.focus),
              std::tuple(GridButtons{true, true, true, true, std::nullopt}, GridTarget{GridTarget::Calculate}));

    d.MaskTestCountEdit(Ch) = 0;
    const GridStep none = RefreshGridAndAverage(g, d, Ch, levels);
    EXPECT_EQ(
        std::tuple(none.averageFailures, none.buttons, none.note, none.focus),
        std::tuple(18, GridButtons{false, false, false, false, std::nullopt}, NothingDownloadedNote, GridTarget{}));

    d.MaskTestCountEdit(Ch) = 10;
    EXPECT_EQ(RefreshGridAndAverage(g, d, Ch, levels).buttons.addTest, false);
}

TEST(WorkingSetTest, ClearData)
{
    LumoData d = Tables();
    TestGrid g = FilledGrid(4);
    AverageBand(g, 1);
    const GridStep step = ClearData(g, d, Ch);
    EXPECT_EQ(std::tuple(g.count(), d.MaskTestCountEdit(Ch),
                         g.text(1) + g.text(TestBandToCell(4, 18)) + g.averageText(1), step.note, step.currentTest),
              std::tuple(1, 1, "", EnterDataNote, 1));
    EXPECT_EQ(std::tuple(step.buttons, step.focus),
              std::tuple(GridButtons{false, std::nullopt, std::nullopt, false, std::nullopt},
                         GridTarget{GridTarget::Cell, 1}));
}

}  // namespace
