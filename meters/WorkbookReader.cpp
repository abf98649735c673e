#include <QCoreApplication>
#include <QDataStream>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QIODevice>
#include <QList>
#include <QPoint>
#include <QProcess>

#include <utility>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
// After windows.h, whose types it uses.
#include <tlhelp32.h>
#endif

#include "core/Clock.h"
#include "meters/WorkbookFormats.h"

namespace kov {

namespace {

const QByteArray Magic = QByteArrayLiteral("KOVWB1");

enum Outcome : quint8 { CellsRead = 0, Refused = 1, SheetMissing = 2 };

WorkbookError CannotOpen(const QString& reason)
{
    return WorkbookError{WorkbookError::CannotOpen, reason, 0};
}

WorkbookError ReaderStopped()
{
    return CannotOpen(QStringLiteral("the workbook is damaged (its reader stopped)"));
}

void WriteText(QDataStream& out, const QString& text)
{
    const QByteArray utf8 = text.toUtf8();
    out << quint32(utf8.size());
    out.writeRawData(utf8.constData(), int(utf8.size()));
}

// Nothing is allocated for a length before the bytes it claims are known to be there.
bool ReadText(QDataStream& in, QString& text)
{
    quint32 size = 0;
    in >> size;
    if (in.status() != QDataStream::Ok || size > quint32(in.device()->bytesAvailable()))
        return false;
    QByteArray utf8(qsizetype(size), Qt::Uninitialized);
    if (in.readRawData(utf8.data(), int(size)) != int(size))
        return false;
    text = QString::fromUtf8(utf8);
    return true;
}

bool InBlock(const CellBlock& block, int row, int column)
{
    return row >= block.firstRow && row <= block.lastRow && column >= block.firstColumn && column <= block.lastColumn;
}

#ifdef Q_OS_WIN
// The reader's limit on Windows: a job object that caps the memory it may commit and ends it when the job's
// handle closes, so a reader left running when this function returns (or when KOV itself ends) goes too.
class ReaderJob {
public:
    ReaderJob() = default;
    ReaderJob(const ReaderJob&) = delete;
    ReaderJob& operator=(const ReaderJob&) = delete;
    ~ReaderJob()
    {
        if (m_job != nullptr)
            CloseHandle(m_job);
    }

    // Puts the suspended process `pid` in the job, then lets it run. False when it could not be let run; a limit
    // that could not be set leaves the reader with the time limit only.
    bool limitAndResume(qint64 pid, qint64 memoryBytes)
    {
        const DWORD id = DWORD(pid);
        if (HANDLE process = OpenProcess(PROCESS_SET_QUOTA | PROCESS_TERMINATE, FALSE, id)) {
            m_job = CreateJobObjectW(nullptr, nullptr);
            if (m_job != nullptr) {
                JOBOBJECT_EXTENDED_LIMIT_INFORMATION limit{};
                limit.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
                if (memoryBytes > 0) {
                    limit.BasicLimitInformation.LimitFlags |= JOB_OBJECT_LIMIT_PROCESS_MEMORY;
                    limit.ProcessMemoryLimit = SIZE_T(memoryBytes);
                }
                SetInformationJobObject(m_job, JobObjectExtendedLimitInformation, &limit, sizeof limit);
                AssignProcessToJobObject(m_job, process);
            }
            CloseHandle(process);
        }
        // The process was made suspended so that it does nothing before its limit holds; its one thread is resumed.
        bool resumed = false;
        HANDLE threads = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
        if (threads == INVALID_HANDLE_VALUE)
            return false;
        THREADENTRY32 entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Thread32First(threads, &entry); more; more = Thread32Next(threads, &entry)) {
            if (entry.th32OwnerProcessID != id)
                continue;
            if (HANDLE thread = OpenThread(THREAD_SUSPEND_RESUME, FALSE, entry.th32ThreadID)) {
                resumed = ResumeThread(thread) != DWORD(-1) || resumed;
                CloseHandle(thread);
            }
        }
        CloseHandle(threads);
        return resumed;
    }

private:
    HANDLE m_job = nullptr;
};
#endif

}  // namespace

QByteArray EncodeWorkbookRead(const WorkbookRead& read)
{
    QByteArray message;
    {
        QDataStream out(&message, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_0);
        out.writeRawData(Magic.constData(), int(Magic.size()));
        if (const WorkbookError* error = std::get_if<WorkbookError>(&read)) {
            out << quint8(error->kind == WorkbookError::NoSuchSheet ? SheetMissing : Refused)
                << qint32(error->sheetCount);
            WriteText(out, error->reason);
        } else {
            const SheetCells& sheet = std::get<SheetCells>(read);
            const CellBlock& b = sheet.block();
            QList<std::pair<QPoint, WorkbookCell>> cells;
            for (int row = b.firstRow; row <= b.lastRow; ++row) {
                for (int column = b.firstColumn; column <= b.lastColumn; ++column) {
                    const WorkbookCell cell = sheet.at(row, column);
                    if (cell.kind != WorkbookCell::Empty)
                        cells.append({QPoint(column, row), cell});
                }
            }
            out << quint8(CellsRead) << quint8(sheet.format() == SheetCells::Format::Xls ? 0 : 1)
                << quint32(cells.size());
            for (const auto& [place, cell] : cells) {
                out << qint32(place.y()) << qint32(place.x()) << quint8(cell.kind) << cell.number;
                WriteText(out, cell.text);
            }
        }
    }
    if (message.size() > MaxReaderMessageBytes)
        return EncodeWorkbookRead(
            CannotOpen(QStringLiteral("the cells to read hold far more text than a workbook of levels has")));
    return message;
}

WorkbookRead DecodeWorkbookRead(const QByteArray& message, const CellBlock& block)
{
    if (!message.startsWith(Magic))
        return ReaderStopped();
    QDataStream in(message);
    in.setVersion(QDataStream::Qt_6_0);
    in.skipRawData(int(Magic.size()));
    quint8 outcome = 0;
    in >> outcome;
    WorkbookRead read;
    if (outcome == Refused || outcome == SheetMissing) {
        qint32 sheetCount = 0;
        QString reason;
        in >> sheetCount;
        if (!ReadText(in, reason))
            return ReaderStopped();
        read = WorkbookError{outcome == SheetMissing ? WorkbookError::NoSuchSheet : WorkbookError::CannotOpen, reason,
                             sheetCount};
    } else if (outcome == CellsRead) {
        quint8 format = 0;
        quint32 count = 0;
        in >> format >> count;
        if (format > 1)
            return ReaderStopped();
        SheetCells sheet(format == 0 ? SheetCells::Format::Xls : SheetCells::Format::Xlsx, block);
        for (quint32 i = 0; i < count; ++i) {
            qint32 row = 0;
            qint32 column = 0;
            quint8 kind = 0;
            WorkbookCell cell;
            in >> row >> column >> kind >> cell.number;
            if (in.status() != QDataStream::Ok || !InBlock(block, row, column) || kind == WorkbookCell::Empty ||
                kind > WorkbookCell::FormulaWithoutValue || !ReadText(in, cell.text))
                return ReaderStopped();
            cell.kind = WorkbookCell::Kind(kind);
            sheet.set(row, column, cell);
        }
        read = sheet;
    } else {
        return ReaderStopped();
    }
    // A message with anything after its end is no message of this reader's either.
    if (in.status() != QDataStream::Ok || !in.atEnd())
        return ReaderStopped();
    return read;
}

QString WorkbookReaderName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("kov_workbook_reader.exe");
#else
    return QStringLiteral("kov_workbook_reader");
#endif
}

QStringList WorkbookReaderPlaces()
{
    const QString here = QCoreApplication::applicationDirPath();
    return {here, QDir::cleanPath(here + QStringLiteral("/../libexec/kov"))};
}

QString FindWorkbookReader()
{
    for (const QString& folder : WorkbookReaderPlaces()) {
        const QFileInfo reader(QDir(folder).filePath(WorkbookReaderName()));
        if (reader.isFile() && reader.isExecutable())
            return reader.filePath();
    }
    return {};
}

QStringList WorkbookReaderArguments(const QString& path, const CellBlock& block)
{
    QStringList arguments;
    for (const int n : {block.sheet, block.firstRow, block.lastRow, block.firstColumn, block.lastColumn})
        arguments << QString::number(n);
    // A path that starts with "-" is still the file.
    arguments << QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    return arguments;
}

WorkbookRead ReadWithWorkbookReader(const QString& reader, const QString& path, const CellBlock& block, Clock& clock,
                                    const ReaderLimits& limits)
{
    // Qt 6.4 leaves a descriptor open each time a program with a child modifier fails to start, so a reader that
    // cannot be run is told before it is tried.
    const QFileInfo program(reader);
    if (!program.isFile() || !program.isExecutable())
        return CannotOpen(QStringLiteral("the program's workbook reader %1 could not be started (it is missing or "
                                         "cannot be run)")
                              .arg(QDir::toNativeSeparators(reader)));
    QProcess process;
    process.setProgram(reader);
    process.setArguments(WorkbookReaderArguments(path, block));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
#ifdef Q_OS_UNIX
    // Runs in the child between fork and exec, so only calls that are safe there. No core file either: a reader that
    // crashes on a damaged file is expected now and then.
    const rlim_t addressSpace = ReaderMemoryLimited ? rlim_t(limits.addressSpaceBytes) : RLIM_INFINITY;
    process.setChildProcessModifier([addressSpace] {
        const rlimit memory{addressSpace, addressSpace};
        setrlimit(RLIMIT_AS, &memory);
        const rlimit noCore{0, 0};
        setrlimit(RLIMIT_CORE, &noCore);
    });
#elif defined(Q_OS_WIN)
    process.setCreateProcessArgumentsModifier(
        [](QProcess::CreateProcessArguments* args) { args->flags |= CREATE_SUSPENDED; });
    ReaderJob job;
#endif

    const QDeadlineTimer deadline(limits.time);
    process.start(QIODevice::ReadOnly);
    if (!process.waitForStarted(int(limits.time.count())))
        return CannotOpen(
            QStringLiteral("the program's workbook reader could not be started (%1)").arg(process.errorString()));
#ifdef Q_OS_WIN
    if (!job.limitAndResume(process.processId(), ReaderMemoryLimited ? limits.addressSpaceBytes : 0)) {
        process.kill();
        process.waitForFinished(5000);
        return CannotOpen(QStringLiteral("the program's workbook reader could not be started (%1)")
                              .arg(QStringLiteral("it could not be let run")));
    }
#endif

    // The person's window goes on drawing while the reader works; the limit is the real time, which the clock of a
    // test need not keep.
    QByteArray message;
    bool tooLong = false;
    bool tooMuch = false;
    while (process.state() != QProcess::NotRunning) {
        process.waitForFinished(10);
        message += process.readAllStandardOutput();
        if (message.size() > MaxReaderMessageBytes) {
            tooMuch = true;
            break;
        }
        if (deadline.hasExpired()) {
            tooLong = true;
            break;
        }
        clock.letEventsRun();
    }
    if (process.state() != QProcess::NotRunning) {
        process.kill();
        process.waitForFinished(5000);
    }
    message += process.readAllStandardOutput();
    if (tooLong)
        return CannotOpen(QStringLiteral("the workbook took too long to read"));
    if (tooMuch || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return ReaderStopped();
    return DecodeWorkbookRead(message, block);
}

}  // namespace kov
