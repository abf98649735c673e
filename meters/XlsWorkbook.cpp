#include <QFile>
#include <QScopeGuard>

#include <freexl.h>

#include <algorithm>
#include <cmath>

#include "meters/WorkbookFormats.h"

namespace kov {

namespace {

// FreeXL crashes on some damaged files and allocates what a file declares; it runs in the workbook reader process,
// which the program starts with a time and a memory limit (WorkbookReader.cpp).

WorkbookError CannotOpen(const QString& reason)
{
    return WorkbookError{WorkbookError::CannotOpen, reason, 0};
}

QString OpenFailure(int code)
{
    switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return QStringLiteral("the file cannot be opened");
        case FREEXL_INSUFFICIENT_MEMORY:
            return QStringLiteral(
                "the workbook declares far more cells than a workbook of levels has, more than "
                "the memory its reader may take");
        case FREEXL_BIFF_WORKBOOK_NOT_FOUND:
            // Excel encrypts an .xlsx with a password to open into a compound file of this kind.
            return QStringLiteral("the file holds no Excel workbook; it may be protected by a password");
        case FREEXL_UNSUPPORTED_CHARSET:
            return QStringLiteral("the workbook's character set is not supported");
        default:
            return QStringLiteral("the workbook is damaged");
    }
}

bool HasText(int type)
{
    // A date is no level either; its text ("2024-03-01") is what the person would see.
    return type == FREEXL_CELL_TEXT || type == FREEXL_CELL_SST_TEXT || type == FREEXL_CELL_DATE ||
           type == FREEXL_CELL_DATETIME || type == FREEXL_CELL_TIME;
}

WorkbookCell CellOf(const FreeXL_CellValue& value)
{
    WorkbookCell cell;
    if (value.type == FREEXL_CELL_INT || value.type == FREEXL_CELL_DOUBLE) {
        const double number = value.type == FREEXL_CELL_INT ? double(value.value.int_value) : value.value.double_value;
        // As the .xlsx reader does with a value that is no number: a NaN from a damaged record is never a level.
        if (std::isfinite(number)) {
            cell.kind = WorkbookCell::Number;
            cell.number = number;
        } else {
            cell.kind = WorkbookCell::Text;
            cell.text = QString::number(number);
        }
    } else if (HasText(value.type)) {
        cell.kind = WorkbookCell::Text;
        cell.text = QString::fromUtf8(value.value.text_value ? value.value.text_value : "");
    }
    return cell;
}

}  // namespace

WorkbookRead ReadXlsCells(const QString& path, const CellBlock& block)
{
    const void* handle = nullptr;
    const int openCode = freexl_open(QFile::encodeName(path).constData(), &handle);
    if (openCode != FREEXL_OK)
        return CannotOpen(OpenFailure(openCode));
    // Opening sets aside room for every cell a sheet declares; FreeXL 1.0.6 answers an allocation that failed there
    // with success and no workbook.
    if (!handle)
        return CannotOpen(OpenFailure(FREEXL_INSUFFICIENT_MEMORY));
    const auto close = qScopeGuard([handle] { freexl_close(handle); });
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return CannotOpen(QStringLiteral("the workbook is protected by a password"));
    unsigned int sheetCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
        return CannotOpen(QStringLiteral("the workbook is damaged"));
    if (block.sheet < 1 || unsigned(block.sheet) > sheetCount)
        return WorkbookError{WorkbookError::NoSuchSheet, {}, int(sheetCount)};
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(block.sheet - 1)) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return CannotOpen(QStringLiteral("the workbook is damaged"));

    // The dimensions are counts: cells past them do not exist, and FreeXL refuses to be asked for them.
    SheetCells sheet(SheetCells::Format::Xls, block);
    const int lastRow = int(std::min<qint64>(block.lastRow, rows));
    const int lastColumn = std::min(block.lastColumn, int(columns));
    for (int row = std::max(block.firstRow, 1); row <= lastRow; ++row) {
        for (int column = std::max(block.firstColumn, 1); column <= lastColumn; ++column) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(handle, unsigned(row - 1), static_cast<unsigned short>(column - 1), &value) !=
                FREEXL_OK)
                return CannotOpen(QStringLiteral("the workbook is damaged (cell %1%2 cannot be read)")
                                      .arg(ColumnLetters(column))
                                      .arg(row));
            const WorkbookCell cell = CellOf(value);
            if (cell.kind != WorkbookCell::Empty)
                sheet.set(row, column, cell);
        }
    }
    return sheet;
}

}  // namespace kov
