#include <QDir>
#include <QStringList>

#include <cmath>

#include "meters/MeterFiles.h"

namespace kov {

namespace {

constexpr int BandCount = 18;
constexpr int MaxNoticeCells = 5;

const QString WorkbookNoticeTitle = QStringLiteral("Workbook Cells");

QString CellName(int row, int column)
{
    return ColumnLetters(column) + QString::number(row);
}

// A cell that may hold a level the file does not let us read: in an .xls an empty cell may be a formula (its
// result is not readable there); in an .xlsx only a formula without a stored result is.
bool MayHideLevel(const SheetCells& sheet, const WorkbookCell& cell)
{
    if (cell.kind == WorkbookCell::FormulaWithoutValue)
        return true;
    return cell.kind == WorkbookCell::Empty && !sheet.formulaResultsReadable();
}

QString HiddenLevelText(const SheetCells& sheet, int row, int column)
{
    const QString cell = QStringLiteral("Cell %1 of sheet %2").arg(CellName(row, column)).arg(sheet.block().sheet);
    if (sheet.formulaResultsReadable())
        return cell + QStringLiteral(" holds a formula whose result the workbook does not keep");
    return cell + QStringLiteral(" is empty or holds a formula, whose result cannot be read from an .xls workbook");
}

QString Advice(const SheetCells& sheet)
{
    return sheet.formulaResultsReadable()
               ? QStringLiteral("Saving the workbook again in the spreadsheet program stores formula results.")
               : QStringLiteral("Saving the workbook as .xlsx keeps formula results.");
}

std::optional<Message> Notice(const SheetCells& sheet, const QStringList& lines)
{
    if (lines.isEmpty())
        return std::nullopt;
    QStringList shown = lines.mid(0, MaxNoticeCells);
    if (lines.size() > MaxNoticeCells)
        shown << QStringLiteral("(and %1 more)").arg(lines.size() - MaxNoticeCells);
    shown << Advice(sheet);
    return Message{shown.join(QLatin1Char('\n')), WorkbookNoticeTitle, MsgIcon::Exclamation};
}

bool RowHoldsNumbers(const SheetCells& sheet, int row, int firstColumn, int lastColumn)
{
    for (int c = firstColumn; c <= lastColumn; ++c) {
        if (sheet.at(row, c).kind == WorkbookCell::Number)
            return true;
    }
    return false;
}

bool ColumnHoldsNumbers(const SheetCells& sheet, int column, int firstRow, int lastRow)
{
    for (int r = firstRow; r <= lastRow; ++r) {
        if (sheet.at(r, column).kind == WorkbookCell::Number)
            return true;
    }
    return false;
}

QString Shown(const WorkbookCell& cell)
{
    switch (cell.kind) {
        case WorkbookCell::Boolean:
            return cell.number != 0 ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        default:
            return QStringLiteral("\"%1\"").arg(cell.text);
    }
}

// Every workbook failure names the file and ends in the phrase of the import it stopped.
const QString Bk2250Module = QStringLiteral(" occurred in BK download module.");
const QString ExcelModule = QStringLiteral(" occurred in Excel download module.");

Message WorkbookFailure(const QString& path, const QString& reason, const QString& module)
{
    return {QStringLiteral("Nothing was imported from the workbook %1. Error: %2")
                    .arg(QDir::toNativeSeparators(path), reason) +
                module,
            QStringLiteral("File Error"), MsgIcon::Critical};
}

Message WorkbookProblem(const QString& path, const WorkbookError& error, int sheet, const QString& module)
{
    if (error.kind == WorkbookError::NoSuchSheet)
        return WorkbookFailure(path,
                               QStringLiteral("it has no sheet %1 (it has %2)")
                                   .arg(sheet)
                                   .arg(error.sheetCount == 1 ? QStringLiteral("one sheet")
                                                              : QStringLiteral("%1 sheets").arg(error.sheetCount)),
                               module);
    return WorkbookFailure(path, error.reason, module);
}

// Why a block gave no test may be cells whose levels the file does not let us read: "; cells EQ2, ER2 hold
// formulas ...", or nothing when the block has none.
QString HiddenLevelsOfBlock(const SheetCells& sheet)
{
    const CellBlock& b = sheet.block();
    QStringList cells;
    int count = 0;
    for (int c = b.firstColumn; c <= b.lastColumn; ++c) {
        for (int r = b.firstRow; r <= b.lastRow; ++r) {
            if (MayHideLevel(sheet, sheet.at(r, c)) && ++count <= MaxNoticeCells)
                cells << CellName(r, c);
        }
    }
    if (count == 0)
        return {};
    const QString named =
        cells.join(QStringLiteral(", ")) +
        (count > MaxNoticeCells ? QStringLiteral(" and %1 more").arg(count - MaxNoticeCells) : QString());
    if (sheet.formulaResultsReadable())
        return count == 1 ? QStringLiteral(
                                "; cell %1 holds a formula whose result the workbook does not keep (saving "
                                "the workbook again in the spreadsheet program stores it)")
                                .arg(named)
                          : QStringLiteral(
                                "; cells %1 hold formulas whose results the workbook does not keep (saving "
                                "the workbook again in the spreadsheet program stores them)")
                                .arg(named);
    return count == 1 ? QStringLiteral(
                            "; cell %1 is empty or holds a formula, whose result cannot be read from an .xls "
                            "workbook (saving it as .xlsx keeps formula results)")
                            .arg(named)
                      : QStringLiteral(
                            "; cells %1 are empty or hold formulas, whose results cannot be read from an .xls "
                            "workbook (saving it as .xlsx keeps formula results)")
                            .arg(named);
}

}  // namespace

std::optional<double> CellLevel(const WorkbookCell& cell)
{
    switch (cell.kind) {
        case WorkbookCell::Empty:
        case WorkbookCell::FormulaWithoutValue:
            return 0.0;
        case WorkbookCell::Number:
            return std::isfinite(cell.number) ? std::optional<double>(cell.number) : std::nullopt;
        case WorkbookCell::Text: {
            // A spreadsheet took a number typed as text for that number when it was read as one.
            bool ok = false;
            const double v = cell.text.trimmed().toDouble(&ok);
            return ok && std::isfinite(v) ? std::optional<double>(v) : std::nullopt;
        }
        case WorkbookCell::Boolean:
        case WorkbookCell::ErrorValue:
            break;
    }
    return std::nullopt;
}

MeterImport Bk2250Tests(const SheetCells& sheet, const QString& path)
{
    const CellBlock& b = Bk2250Block;
    MeterTests tests;
    QStringList hidden;
    for (int r = b.firstRow; r <= b.lastRow; ++r) {
        ++tests.count;
        bool ended = false;
        for (int c = b.firstColumn; c <= b.lastColumn; ++c) {
            const WorkbookCell cell = sheet.at(r, c);
            const std::optional<double> v = CellLevel(cell);
            if (!v)
                return WorkbookFailure(path,
                                       QStringLiteral("cell %1 of sheet %2 holds %3, which is not a level")
                                           .arg(CellName(r, c))
                                           .arg(b.sheet)
                                           .arg(Shown(cell)),
                                       Bk2250Module);
            const bool hides = MayHideLevel(sheet, cell);
            if (*v == 0 && c == b.firstColumn) {
                // The meter leaves the rows after its last measurement empty; a first band that only looks empty
                // beside levels in the same row is worth a word, since the tests stop there.
                if (hides && RowHoldsNumbers(sheet, r, c + 1, b.lastColumn))
                    hidden << HiddenLevelText(sheet, r, c) + QStringLiteral("; the tests end before row %1.").arg(r);
                --tests.count;
                ended = true;
                break;
            }
            if (hides)
                hidden << HiddenLevelText(sheet, r, c) + QStringLiteral("; it was taken as 0 and shows as missing.");
            const f32 level = *v < 0 ? 0.0f : *v < 100 ? static_cast<f32>(*v) : 99.0f;
            tests.levels(r - 1, c - (b.firstColumn - 1)) = level;
        }
        if (ended)
            break;
    }
    // No test would leave the channel with none, hiding the tests it has; so nothing changes and the person hears
    // why.
    if (tests.count == 0)
        return WorkbookFailure(path,
                               QStringLiteral("sheet %1 has no row with 18 levels in columns %2 to %3 of rows %4 to %5")
                                       .arg(b.sheet)
                                       .arg(ColumnLetters(b.firstColumn), ColumnLetters(b.lastColumn))
                                       .arg(b.firstRow)
                                       .arg(b.lastRow) +
                                   HiddenLevelsOfBlock(sheet),
                               Bk2250Module);
    tests.notice = Notice(sheet, hidden);
    return tests;
}

MeterImport ExcelTests(const SheetCells& sheet, const QString& path)
{
    const CellBlock& b = ExcelBlock;
    MeterTests tests;
    QStringList refused;
    for (int c = b.firstColumn; c <= b.lastColumn; ++c) {
        f32 column[BandCount + 1] = {};
        std::optional<QString> why;  // the first cell that refuses the column
        bool valid = true;
        for (int r = b.firstRow; r <= b.lastRow; ++r) {
            const WorkbookCell cell = sheet.at(r, c);
            const std::optional<double> v = CellLevel(cell);
            if (v && *v > 0 && *v < 100) {
                column[r - b.firstRow + 1] = static_cast<f32>(*v);
                continue;
            }
            if (valid && !v)
                why = QStringLiteral("Cell %1 of sheet %2 holds %3, which is not a level")
                          .arg(CellName(r, c))
                          .arg(b.sheet)
                          .arg(Shown(cell));
            else if (valid && MayHideLevel(sheet, cell))
                why = HiddenLevelText(sheet, r, c);
            valid = false;
        }
        if (valid) {
            ++tests.count;
            for (int k = 1; k <= BandCount; ++k)
                tests.levels(tests.count, k) = column[k];
        } else if (why && ColumnHoldsNumbers(sheet, c, b.firstRow, b.lastRow)) {
            // An unused column is no news; one with levels in it that was left out is.
            refused << *why + QStringLiteral("; column %1 was not imported.").arg(ColumnLetters(c));
        }
    }
    if (tests.count == 0)
        return WorkbookFailure(
            path,
            QStringLiteral(
                "sheet %1 has no column with 18 levels between 0 and 100 in rows %2 to %3 of columns %4 to %5")
                    .arg(b.sheet)
                    .arg(b.firstRow)
                    .arg(b.lastRow)
                    .arg(ColumnLetters(b.firstColumn), ColumnLetters(b.lastColumn)) +
                HiddenLevelsOfBlock(sheet),
            ExcelModule);
    tests.notice = Notice(sheet, refused);
    return tests;
}

MeterImport ReadBk2250File(const QString& path, Clock& clock)
{
    const WorkbookRead read = ReadWorkbookCells(path, Bk2250Block, clock);
    if (const WorkbookError* error = std::get_if<WorkbookError>(&read))
        return WorkbookProblem(path, *error, Bk2250Block.sheet, Bk2250Module);
    return Bk2250Tests(std::get<SheetCells>(read), path);
}

MeterImport ReadExcelFile(const QString& path, Clock& clock)
{
    const WorkbookRead read = ReadWorkbookCells(path, ExcelBlock, clock);
    if (const WorkbookError* error = std::get_if<WorkbookError>(&read))
        return WorkbookProblem(path, *error, ExcelBlock.sheet, ExcelModule);
    return ExcelTests(std::get<SheetCells>(read), path);
}

}  // namespace kov
