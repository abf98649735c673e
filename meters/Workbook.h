#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <variant>

namespace kov {

class Clock;

// One cell as a workbook stores it. A formula cell gives its stored result as the number or text it is; one
// whose result the file does not keep is `FormulaWithoutValue`.
struct WorkbookCell {
    enum Kind { Empty, Number, Text, Boolean, ErrorValue, FormulaWithoutValue };
    Kind kind = Empty;
    double number = 0;  // Number, Boolean (1 or 0)
    QString text;       // Text; ErrorValue ("#DIV/0!")

    bool operator==(const WorkbookCell&) const = default;
};

// The block of one sheet an import reads: sheet, rows and columns are 1-based, as a spreadsheet numbers them.
struct CellBlock {
    int sheet = 1;
    int firstRow = 1;
    int lastRow = 1;
    int firstColumn = 1;
    int lastColumn = 1;
};

// The cells of one block of one sheet; a cell outside the block, or one the sheet does not have, is Empty.
class SheetCells {
public:
    enum class Format { Xls, Xlsx };

    SheetCells() = default;
    SheetCells(Format format, CellBlock block) : m_format(format), m_block(block) {}

    Format format() const { return m_format; }
    const CellBlock& block() const { return m_block; }
    // An .xls file read here shows a formula cell as Empty, whatever result it stores; an .xlsx file keeps it.
    bool formulaResultsReadable() const { return m_format == Format::Xlsx; }

    WorkbookCell at(int row, int column) const { return m_cells.value(key(row, column)); }
    void set(int row, int column, const WorkbookCell& cell) { m_cells.insert(key(row, column), cell); }

private:
    static quint64 key(int row, int column) { return (quint64(quint32(row)) << 32) | quint32(column); }
    Format m_format = Format::Xlsx;
    CellBlock m_block;
    QHash<quint64, WorkbookCell> m_cells;
};

// Why a workbook gave no cells: it could not be opened (damaged, not a workbook, protected), or it has fewer
// sheets than the block asks for.
struct WorkbookError {
    enum Kind { CannotOpen, NoSuchSheet };
    Kind kind = CannotOpen;
    QString reason;      // CannotOpen: in words, "not an Excel workbook", "the zip archive is damaged"
    int sheetCount = 0;  // NoSuchSheet: how many the workbook has
};

using WorkbookRead = std::variant<SheetCells, WorkbookError>;

// Reads the block from an .xls (BIFF, through FreeXL) or .xlsx (Office Open XML) workbook; which one is told by
// the file's first bytes, not by its name. Only regular files are read. The reading runs in the program's workbook
// reader (kov_workbook_reader, beside the program), a process of its own with a time and a memory limit, so that a
// damaged or crafted file costs a message, never the session; `clock` lets the window's events run meanwhile.
WorkbookRead ReadWorkbookCells(const QString& path, const CellBlock& block, Clock& clock);

// The same reading in this process, with no limit but the file's size: what the workbook reader runs.
WorkbookRead ReadWorkbookHere(const QString& path, const CellBlock& block);

// The .xlsx reader on the bytes of the file: shared strings, cell references, cached results of formula cells.
WorkbookRead ParseXlsxCells(const QByteArray& bytes, const CellBlock& block);

// "EQ", "FH": the column letters of a 1-based column number, for messages that name a cell.
QString ColumnLetters(int column);

}  // namespace kov
