#include <gtest/gtest.h>

#include <QDir>
#include <initializer_list>
#include <tuple>

#include "meters/MeterFiles.h"
#include "tests/meters/MeterFixtures.h"

namespace kov {
namespace {

using test::Num;
using test::Txt;
const WorkbookCell Formula = test::NoResult;
const WorkbookCell Empty{};

// A B&K 2250 sheet with `rows` measurements: row r, band k holds 40 + r + k / 10.
SheetCells BkSheet(int rows, SheetCells::Format format = SheetCells::Format::Xlsx)
{
    SheetCells s(format, Bk2250Block);
    for (int r = 2; r < 2 + rows; ++r) {
        for (int c = 147; c <= 164; ++c)
            s.set(r, c, Num(40 + r + (c - 146) / 10.0));
    }
    return s;
}

// KOV's own layout: column c (B..K) holds test c - 1, 50 + c + k / 10 in band k.
SheetCells ExcelSheet(std::initializer_list<int> columns, SheetCells::Format format = SheetCells::Format::Xlsx)
{
    SheetCells s(format, ExcelBlock);
    for (int c : columns) {
        for (int k = 1; k <= 18; ++k)
            s.set(k + 8, c, Num(50 + c + k / 10.0));
    }
    return s;
}

// `s` with the cell at `row`, `column` replaced.
SheetCells With(SheetCells s, int row, int column, const WorkbookCell& cell)
{
    s.set(row, column, cell);
    return s;
}

MeterTests Tests(const MeterImport& result)
{
    EXPECT_TRUE(std::holds_alternative<MeterTests>(result))
        << (std::holds_alternative<Message>(result) ? std::get<Message>(result).text.toStdString() : "");
    return std::holds_alternative<MeterTests>(result) ? std::get<MeterTests>(result) : MeterTests{};
}

TEST(Bk2250Test, TheTestsRunToTheFirstRowThatStartsWithZero)
{
    for (const int rows : {1, 4, 10}) {
        SheetCells s = BkSheet(rows);
        // A number below the block is never a test, and a row after the end of the tests never counts.
        s.set(12, 147, Num(50));
        if (rows < 9)
            s.set(rows + 3, 147, Num(60));
        const MeterTests t = Tests(Bk2250Tests(s, QStringLiteral("bk.xlsx")));
        EXPECT_EQ(t.count, rows);
        EXPECT_FALSE(t.notice) << rows;
    }
}

TEST(Bk2250Test, LevelsAreLimitedAndAZeroBeyondTheFirstBandIsKept)
{
    // (row, column, the cell, the level read as test row - 1, band column - 146)
    const std::tuple<int, int, WorkbookCell, f32> cases[] = {
        {2, 148, Num(100), 99}, {2, 149, Num(99.5), 99.5f}, {2, 150, Num(-3), 0},
        {2, 151, Num(0), 0},    {3, 164, Num(250), 99},     {3, 163, Txt(" 47.5 "), 47.5f},
    };
    SheetCells s = BkSheet(2);
    for (const auto& [row, column, cell, level] : cases)
        s.set(row, column, cell);
    const MeterTests t = Tests(Bk2250Tests(s, QStringLiteral("bk.xlsx")));
    ASSERT_EQ(t.count, 2);
    EXPECT_EQ(t.levels(1, 1), 40 + 2 + 0.1f);
    for (const auto& [row, column, cell, level] : cases)
        EXPECT_EQ(t.levels(row - 1, column - 146), level) << row << ":" << column;
}

Message Refusal(const MeterImport& result)
{
    EXPECT_TRUE(std::holds_alternative<Message>(result)) << "tests were handed over";
    return std::holds_alternative<Message>(result) ? std::get<Message>(result) : Message{};
}

TEST(WorkbookImportTest, AWorkbookWithNoTestIsRefusedAndSaysWhy)
{
    SheetCells xlsFormulas(SheetCells::Format::Xls, Bk2250Block);  // FreeXL shows formula cells as empty
    SheetCells xlsxFormulas = BkSheet(3);
    for (int r = 2; r <= 11; ++r)
        xlsxFormulas.set(r, 147, Formula);
    SheetCells excelXls(SheetCells::Format::Xls, ExcelBlock);
    // (case, the import, its message)
    const std::tuple<const char*, MeterImport, const char*> cases[] = {
        // A cell that is no level refuses the whole workbook and is named.
        {"B&K, a text", Bk2250Tests(With(BkSheet(3), 3, 150, Txt("OVL")), QStringLiteral("/jobs/bk.xlsx")),
         "Nothing was imported from the workbook /jobs/bk.xlsx. Error: cell ET3 of sheet 2 holds \"OVL\", which is not "
         "a level occurred in BK download module."},
        {"B&K, no rows", Bk2250Tests(BkSheet(0), QStringLiteral("/jobs/bk.xlsx")),
         "Nothing was imported from the workbook /jobs/bk.xlsx. Error: sheet 2 has no row with 18 levels in columns EQ "
         "to FH of rows 2 to 11 occurred in BK download module."},
        {"B&K, .xls of formulas", Bk2250Tests(xlsFormulas, QStringLiteral("bk.xls")),
         "Nothing was imported from the workbook bk.xls. Error: sheet 2 has no row with 18 levels in columns EQ to FH "
         "of rows 2 to 11; cells EQ2, EQ3, EQ4, EQ5, EQ6 and 175 more are empty or hold formulas, whose results cannot "
         "be read from an .xls workbook (saving it as .xlsx keeps formula results) occurred in BK download module."},
        {"B&K, .xlsx formulas without results", Bk2250Tests(xlsxFormulas, QStringLiteral("bk.xlsx")),
         "Nothing was imported from the workbook bk.xlsx. Error: sheet 2 has no row with 18 levels in columns EQ to FH "
         "of rows 2 to 11; cells EQ2, EQ3, EQ4, EQ5, EQ6 and 5 more hold formulas whose results the workbook does not "
         "keep (saving the workbook again in the spreadsheet program stores them) occurred in BK download module."},
        {"B&K, one formula", Bk2250Tests(With(BkSheet(0), 2, 147, Formula), QStringLiteral("bk.xlsx")),
         "Nothing was imported from the workbook bk.xlsx. Error: sheet 2 has no row with 18 levels in columns EQ to FH "
         "of rows 2 to 11; cell EQ2 holds a formula whose result the workbook does not keep (saving the workbook again "
         "in the spreadsheet program stores it) occurred in BK download module."},
        {"Excel, a text", ExcelTests(With(ExcelSheet({}), 9, 2, Txt("n/a")), QStringLiteral("kov.xlsx")),
         "Nothing was imported from the workbook kov.xlsx. Error: sheet 1 has no column with 18 levels between 0 and "
         "100 in rows 9 to 26 of columns B to K occurred in Excel download module."},
        {"Excel, .xls of formulas", ExcelTests(excelXls, QStringLiteral("kov.xls")),
         "Nothing was imported from the workbook kov.xls. Error: sheet 1 has no column with 18 levels between 0 and "
         "100 in rows 9 to 26 of columns B to K; cells B9, B10, B11, B12, B13 and 175 more are empty or hold formulas, "
         "whose results cannot be read from an .xls workbook (saving it as .xlsx keeps formula results) occurred in "
         "Excel download module."},
    };
    // The path as the system writes it: \\jobs\\bk.xlsx on Windows.
    const QString jobs = QStringLiteral("/jobs/bk.xlsx");
    for (const auto& [what, result, text] : cases) {
        const QString shown = QString::fromUtf8(text).replace(jobs, QDir::toNativeSeparators(jobs));
        EXPECT_EQ(Refusal(result), (Message{shown, QStringLiteral("File Error"), MsgIcon::Critical})) << what;
    }
}

TEST(Bk2250Test, AFirstBandThatOnlyLooksEmptyBesideLevelsIsNamed)
{
    // (format, the cell in row 4, column EQ; tests; the notice's first line or "" for none)
    const std::tuple<SheetCells::Format, WorkbookCell, int, const char*> cases[] = {
        {SheetCells::Format::Xls, Empty, 2,
         "Cell EQ4 of sheet 2 is empty or holds a formula, whose result cannot be read from an .xls workbook; the "
         "tests end before row 4."},
        {SheetCells::Format::Xlsx, Formula, 2,
         "Cell EQ4 of sheet 2 holds a formula whose result the workbook does not keep; the tests end before row 4."},
        // An .xlsx keeps formula results, so an empty cell there is empty.
        {SheetCells::Format::Xlsx, Empty, 2, ""},
        {SheetCells::Format::Xls, Num(0), 2, ""},
    };
    for (const auto& [format, first, count, notice] : cases) {
        const MeterTests t = Tests(Bk2250Tests(With(BkSheet(5, format), 4, 147, first), QStringLiteral("bk")));
        EXPECT_EQ(t.count, count);
        EXPECT_EQ(t.notice ? t.notice->text.section(QLatin1Char('\n'), 0, 0) : QString(), QLatin1String(notice));
    }
}

TEST(Bk2250Test, AnEmptyXlsCellAmongLevelsIsTakenAsZeroAndNamed)
{
    const MeterTests t =
        Tests(Bk2250Tests(With(BkSheet(2, SheetCells::Format::Xls), 3, 160, Empty), QStringLiteral("bk")));
    EXPECT_EQ(t.count, 2);
    EXPECT_EQ(t.levels(2, 14), 0.0f);
    ASSERT_TRUE(t.notice);
    EXPECT_EQ(
        t.notice->text,
        QStringLiteral("Cell FD3 of sheet 2 is empty or holds a formula, whose result cannot be read from an .xls "
                       "workbook; it was taken as 0 and shows as missing.\nSaving the workbook as .xlsx keeps "
                       "formula results."));
}

TEST(ExcelTest, ValidColumnsArePackedInOrder)
{
    // B, D and F hold tests; C, E and G..K are empty.
    const MeterTests t = Tests(ExcelTests(ExcelSheet({2, 4, 6}), {}));
    EXPECT_EQ(std::tuple(t.count, t.levels(1, 1), t.levels(2, 1), t.levels(3, 18), t.notice.has_value()),
              std::tuple(3, 52.1f, 54.1f, 57.8f, false));
}

TEST(ExcelTest, AColumnCountsOnlyWhenEveryValueLiesStrictlyBetweenZeroAndOneHundred)
{
    const auto check = [](const WorkbookCell& cell, bool counted) {
        const MeterTests t = Tests(ExcelTests(With(ExcelSheet({2, 3, 4}), 14, 3, cell), {}));
        EXPECT_EQ(t.count, counted ? 3 : 2) << cell.kind << " " << cell.number;
        // Column D moves up into the place of C when C is left out.
        EXPECT_EQ(t.levels(2, 1), counted ? 53.1f : 54.1f);
    };
    for (const WorkbookCell& cell : {Num(0.01), Num(99.99), Txt("45")})
        check(cell, true);
    for (const WorkbookCell& cell :
         {Num(0), Num(100), Num(-4), Empty, Txt("n/a"), Formula, test::Bool(true), test::Error("#N/A")})
        check(cell, false);
}

TEST(ExcelTest, ALeftOutColumnWithLevelsInItIsNamedByItsFirstDoubtfulCell)
{
    // (format, the cell in row 14 of column C, the notice's first line or "" for none)
    const std::tuple<SheetCells::Format, WorkbookCell, const char*> cases[] = {
        {SheetCells::Format::Xls, Empty,
         "Cell C14 of sheet 1 is empty or holds a formula, whose result cannot be read from an .xls workbook; column "
         "C was not imported."},
        {SheetCells::Format::Xlsx, Formula,
         "Cell C14 of sheet 1 holds a formula whose result the workbook does not keep; column C was not imported."},
        {SheetCells::Format::Xlsx, Txt("n/a"),
         "Cell C14 of sheet 1 holds \"n/a\", which is not a level; column C was not imported."},
        {SheetCells::Format::Xlsx, Empty, ""},
        {SheetCells::Format::Xls, Num(120), ""},
    };
    for (const auto& [format, cell, notice] : cases) {
        const MeterTests t = Tests(ExcelTests(With(ExcelSheet({2, 3}, format), 14, 3, cell), {}));
        EXPECT_EQ(t.count, 1);
        EXPECT_EQ(t.notice ? t.notice->text.section(QLatin1Char('\n'), 0, 0) : QString(), QLatin1String(notice));
    }
    // Columns E..K are empty in an .xls too: nothing there to speak of.
    EXPECT_FALSE(Tests(ExcelTests(ExcelSheet({2}, SheetCells::Format::Xls), {})).notice);
}

}  // namespace
}  // namespace kov
