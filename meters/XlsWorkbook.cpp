#include <QFile>

#include <freexl.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "meters/WorkbookFormats.h"

namespace kov {

namespace {

// FreeXL crashes on some damaged files, and a crafted one might keep it busy for ever; either would take the
// person's unsaved work with it. So FreeXL runs in a child process, which sends back through a pipe a Header and
// then, if it read the block, Header::cells CellRecords, each followed by its UTF-8 text. Both ends are this same
// program, so the structs travel as they lie in memory.
enum Outcome : qint32 { Read, OpenFailed, Protected, Damaged, NoSuchSheet, CellUnreadable, TooLarge };

struct Header {
    qint32 outcome = Read;
    qint32 detail = 0;  // OpenFailed: FreeXL's code; NoSuchSheet: the sheet count; CellUnreadable: the row
    qint32 column = 0;  // CellUnreadable
    quint32 cells = 0;
};

struct CellRecord {
    qint32 row;
    qint32 column;
    qint32 type;  // FreeXL's
    quint32 textBytes;
    double number;
};

// A block of a few hundred cells comes to a few kilobytes. One long shared string can fill every cell of a block,
// so the child stops at this rather than let a crafted file fill the memory.
constexpr size_t MaxMessageBytes = 1 << 20;

WorkbookError CannotOpen(const QString& reason)
{
    return WorkbookError{WorkbookError::CannotOpen, reason, 0};
}

// Out of processes or descriptors: nothing to do with the file, but it cannot be read now either.
WorkbookError CannotStart(int error)
{
    return CannotOpen(QStringLiteral("the workbook cannot be read: %1").arg(QString::fromLocal8Bit(strerror(error))));
}

WorkbookError ReaderStopped()
{
    return CannotOpen(QStringLiteral("the workbook is damaged (its reader stopped)"));
}

QString OpenFailure(int code)
{
    switch (code) {
        case FREEXL_FILE_NOT_FOUND:
            return QStringLiteral("the file cannot be opened");
        case FREEXL_INSUFFICIENT_MEMORY:
            return QStringLiteral("there is not enough memory to read the workbook");
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

WorkbookCell CellOf(const CellRecord& record, const char* text)
{
    WorkbookCell cell;
    if (record.type == FREEXL_CELL_INT || record.type == FREEXL_CELL_DOUBLE) {
        // As the .xlsx reader does with a value that is no number: a NaN from a damaged record is never a level.
        if (std::isfinite(record.number)) {
            cell.kind = WorkbookCell::Number;
            cell.number = record.number;
        } else {
            cell.kind = WorkbookCell::Text;
            cell.text = QString::number(record.number);
        }
    } else if (HasText(record.type)) {
        cell.kind = WorkbookCell::Text;
        cell.text = QString::fromUtf8(text, record.textBytes);
    }
    return cell;
}

// In the child, forked from a program with other threads: FreeXL, plain memory and system calls, nothing of Qt.
Header ReadInChild(const char* path, const CellBlock& block, std::string& cells)
{
    const void* handle = nullptr;
    const int openCode = freexl_open(path, &handle);
    if (openCode != FREEXL_OK)
        return {OpenFailed, openCode};
    unsigned int password = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_PASSWORD, &password) == FREEXL_OK && password == FREEXL_BIFF_OBFUSCATED)
        return {Protected};
    unsigned int sheetCount = 0;
    if (freexl_get_info(handle, FREEXL_BIFF_SHEET_COUNT, &sheetCount) != FREEXL_OK)
        return {Damaged};
    if (block.sheet < 1 || unsigned(block.sheet) > sheetCount)
        return {NoSuchSheet, qint32(sheetCount)};
    unsigned int rows = 0;
    unsigned short columns = 0;
    if (freexl_select_active_worksheet(handle, static_cast<unsigned short>(block.sheet - 1)) != FREEXL_OK ||
        freexl_worksheet_dimensions(handle, &rows, &columns) != FREEXL_OK)
        return {Damaged};

    // The dimensions are counts: cells past them do not exist, and FreeXL refuses to be asked for them.
    Header header;
    const int lastRow = int(std::min<qint64>(block.lastRow, rows));
    const int lastColumn = std::min(block.lastColumn, int(columns));
    for (int row = std::max(block.firstRow, 1); row <= lastRow; ++row) {
        for (int column = std::max(block.firstColumn, 1); column <= lastColumn; ++column) {
            FreeXL_CellValue value{};
            if (freexl_get_cell_value(handle, unsigned(row - 1), static_cast<unsigned short>(column - 1), &value) !=
                FREEXL_OK)
                return {CellUnreadable, row, column};
            if (value.type == FREEXL_CELL_NULL)
                continue;
            const char* text = HasText(value.type) && value.value.text_value ? value.value.text_value : "";
            const CellRecord record{row, column, value.type, quint32(strlen(text)),
                                    value.type == FREEXL_CELL_INT      ? double(value.value.int_value)
                                    : value.type == FREEXL_CELL_DOUBLE ? value.value.double_value
                                                                       : 0.0};
            if (sizeof(Header) + cells.size() + sizeof record + record.textBytes > MaxMessageBytes)
                return {TooLarge};
            cells.append(reinterpret_cast<const char*>(&record), sizeof record).append(text, record.textBytes);
            ++header.cells;
        }
    }
    return header;
}

[[noreturn]] void RunChild(int pipe, const char* path, const CellBlock& block)
{
    // A crash handler the program may install is for the program, not for this copy of it.
    for (const int crash : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT})
        signal(crash, SIG_DFL);
    std::string cells;
    const Header header = ReadInChild(path, block, cells);
    std::string message(reinterpret_cast<const char*>(&header), sizeof header);
    if (header.outcome == Read)
        message += cells;
    for (size_t sent = 0; sent < message.size();) {
        const ssize_t n = write(pipe, message.data() + sent, message.size() - sent);
        if (n < 0 && errno != EINTR)
            _exit(1);
        sent += size_t(std::max<ssize_t>(n, 0));
    }
    // Not exit(): the program's atexit handlers and destructors are not this copy's to run. FreeXL's handle and
    // memory go with the process.
    _exit(0);
}

WorkbookRead Decode(const QByteArray& message, const CellBlock& block)
{
    Header header;
    if (size_t(message.size()) < sizeof header)
        return ReaderStopped();
    memcpy(&header, message.constData(), sizeof header);
    switch (header.outcome) {
        case Read:
            break;
        case OpenFailed:
            return CannotOpen(OpenFailure(header.detail));
        case Protected:
            return CannotOpen(QStringLiteral("the workbook is protected by a password"));
        case Damaged:
            return CannotOpen(QStringLiteral("the workbook is damaged"));
        case NoSuchSheet:
            return WorkbookError{WorkbookError::NoSuchSheet, {}, header.detail};
        case CellUnreadable:
            return CannotOpen(QStringLiteral("the workbook is damaged (cell %1%2 cannot be read)")
                                  .arg(ColumnLetters(header.column))
                                  .arg(header.detail));
        case TooLarge:
            return CannotOpen(QStringLiteral("the cells to read hold far more text than a workbook of levels has"));
        default:
            return ReaderStopped();
    }
    SheetCells sheet(SheetCells::Format::Xls, block);
    size_t at = sizeof header;
    for (quint32 i = 0; i < header.cells; ++i) {
        CellRecord record;
        if (message.size() - at < sizeof record)
            return ReaderStopped();
        memcpy(&record, message.constData() + at, sizeof record);
        at += sizeof record;
        if (message.size() - at < record.textBytes || record.row < block.firstRow || record.row > block.lastRow ||
            record.column < block.firstColumn || record.column > block.lastColumn)
            return ReaderStopped();
        const WorkbookCell cell = CellOf(record, message.constData() + at);
        at += record.textBytes;
        if (cell.kind != WorkbookCell::Empty)
            sheet.set(record.row, record.column, cell);
    }
    if (at != size_t(message.size()))
        return ReaderStopped();
    return sheet;
}

}  // namespace

WorkbookRead ReadXlsCells(const QString& path, const CellBlock& block, std::chrono::milliseconds timeLimit)
{
    const QByteArray name = QFile::encodeName(path);
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0)
        return CannotStart(errno);
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        RunChild(ends[1], name.constData(), block);
    }
    if (child < 0) {
        const int error = errno;
        close(ends[0]);
        close(ends[1]);
        return CannotStart(error);
    }
    close(ends[1]);

    // Up to the end of the message, which comes when the child exits (or crashes), or up to the time limit.
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + timeLimit;
    QByteArray message;
    bool ended = false;
    while (!ended && size_t(message.size()) <= MaxMessageBytes && Clock::now() < deadline) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd readable{ends[0], POLLIN, 0};
        const int ready = poll(&readable, 1, int(std::min<decltype(left)>(left, 1000)));
        if (ready < 0 && errno != EINTR)
            break;
        if (ready <= 0)
            continue;
        char chunk[16384];
        const ssize_t n = read(ends[0], chunk, sizeof chunk);
        if (n < 0 && errno != EINTR)
            break;
        ended = n == 0;
        message.append(chunk, std::max<ssize_t>(n, 0));
    }
    const bool timedOut = !ended && Clock::now() >= deadline;
    close(ends[0]);
    if (!ended)
        kill(child, SIGKILL);
    int status = 0;
    pid_t reaped;
    while ((reaped = waitpid(child, &status, 0)) < 0 && errno == EINTR) {
    }
    if (timedOut)
        return CannotOpen(QStringLiteral("the workbook took too long to read"));
    if (!ended || reaped != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return ReaderStopped();
    return Decode(message, block);
}

}  // namespace kov
