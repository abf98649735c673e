#include <gtest/gtest.h>

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <chrono>
#include <ostream>
#include <tuple>

#include <future>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#ifdef Q_OS_WIN
#include <windows.h>
#endif

#include "meters/Workbook.h"
#include "meters/WorkbookFormats.h"
#include "tests/meters/MeterFixtures.h"
#include "tests/support/TestClock.h"

using namespace kov;

namespace kov {
void PrintTo(const WorkbookCell& cell, std::ostream* os)
{
    static const char* const kinds[] = {"Empty", "Number", "Text", "Boolean", "ErrorValue", "FormulaWithoutValue"};
    *os << kinds[cell.kind] << "(" << cell.number << ", \"" << cell.text.toStdString() << "\")";
}
}  // namespace kov

namespace {

// Every value below is copied from the data of tests/fixtures/meters/make_workbooks.py.

using test::Bool;
using test::Error;
using test::NoResult;
using test::Num;
using test::Txt;
const WorkbookCell Empty{};

constexpr auto& Fixture = test::MeterFixture;

// Through the workbook reader beside the tests, as the program reads.
WorkbookRead Read(const QString& path, const CellBlock& block)
{
    test::TestClock clock;
    return ReadWorkbookCells(path, block, clock);
}

SheetCells Cells(const WorkbookRead& read, const std::string& what)
{
    if (const WorkbookError* error = std::get_if<WorkbookError>(&read)) {
        ADD_FAILURE() << what << ": " << error->reason.toStdString();
        return {};
    }
    return std::get<SheetCells>(read);
}

struct Expected {
    int row;
    int column;
    WorkbookCell cell;
};

template <std::size_t N>
void ExpectCells(const SheetCells& sheet, const Expected (&cells)[N], const std::string& what)
{
    for (const Expected& e : cells)
        EXPECT_EQ(sheet.at(e.row, e.column), e.cell) << what << " " << e.row << ":" << e.column;
}

constexpr CellBlock Bk2250Levels{2, 2, 11, 147, 164};
constexpr CellBlock ExcelLevels{1, 9, 26, 2, 11};

TEST(Workbook, BothFormatsReadTheSameLevels)
{
    const SheetCells xls = Cells(Read(Fixture("bk2250.xls"), Bk2250Levels), "xls");
    const SheetCells xlsx = Cells(Read(Fixture("bk2250.xlsx"), Bk2250Levels), "xlsx");
    EXPECT_EQ(xls.format(), SheetCells::Format::Xls);
    EXPECT_EQ(xlsx.format(), SheetCells::Format::Xlsx);
    EXPECT_FALSE(xls.formulaResultsReadable());
    EXPECT_TRUE(xlsx.formulaResultsReadable());
    int numbers = 0;
    for (int row = 2; row <= 11; ++row) {
        for (int column = 147; column <= 164; ++column) {
            if ((row == 4 && column == 150) || (row == 5 && column == 151))
                continue;  // the formulas, below
            EXPECT_EQ(xls.at(row, column), xlsx.at(row, column)) << row << ":" << column;
            numbers += xlsx.at(row, column).kind == WorkbookCell::Number;
        }
    }
    EXPECT_EQ(numbers, 10 * 18 - 2);
    // A formula's stored result (ET4) reads from an .xlsx only, where EU5 holds none; FreeXL shows any formula cell as
    // empty. Cells the file has beside the block are not read.
    const Expected levels[] = {{2, 147, Num(48.0)}, {2, 164, Num(29.3)},  {3, 156, Num(38.4)},  {4, 151, Num(44.2)},
                               {4, 152, Num(43.1)}, {11, 147, Num(50.7)}, {11, 164, Num(32.0)}, {4, 150, Num(49.6)},
                               {5, 151, NoResult},  {2, 146, Empty},      {2, 165, Empty},      {1, 147, Empty},
                               {12, 147, Empty}};
    ExpectCells(xlsx, levels, "bk2250");
    EXPECT_EQ(xls.at(4, 150), Empty);
    EXPECT_EQ(xls.at(5, 151), Empty);
}

TEST(Workbook, TextsBooleansAndErrors)
{
    const CellBlock summary{1, 1, 4, 1, 2};
    const CellBlock flags{2, 2, 3, 169, 170};
    for (const char* name : {"bk2250.xls", "bk2250.xlsx"}) {
        // The .xlsx holds "KOV test" as two runs of rich text.
        ExpectCells(Cells(Read(Fixture(name), summary), name),
                    {{1, 1, Txt("Project")}, {1, 2, Txt("KOV test")}, {2, 2, Txt("B&K 2250")}, {3, 2, Num(3001234)}},
                    name);
    }
    const SheetCells xlsx = Cells(Read(Fixture("bk2250.xlsx"), flags), "xlsx");
    ExpectCells(xlsx, {{2, 169, Bool(true)}, {3, 169, Bool(false)}, {2, 170, Error("#DIV/0!")}}, "xlsx flags");
    // FreeXL gives TRUE and FALSE as the numbers they stand for.
    const SheetCells xls = Cells(Read(Fixture("bk2250.xls"), flags), "xls");
    ExpectCells(xls, {{2, 169, Num(1)}, {3, 169, Num(0)}}, "xls flags");
}

TEST(Workbook, KovLayoutInBothFormats)
{
    for (const char* name : {"excel.xls", "excel.xlsx"}) {
        const SheetCells sheet = Cells(Read(Fixture(name), ExcelLevels), name);
        const Expected cells[] = {{9, 2, Num(55.0)},   {26, 11, Num(38.2)},   {14, 6, Num(0)}, {20, 11, Num(100)},
                                  {12, 7, Txt("n/a")}, {13, 10, Txt("45.2")}, {20, 8, Empty},  {9, 5, Empty},
                                  {9, 1, Empty},       {8, 2, Empty}};
        ExpectCells(sheet, cells, name);
        EXPECT_EQ(sheet.at(15, 9), sheet.formulaResultsReadable() ? Num(52.8) : Empty) << name;
    }
}

TEST(Workbook, OtherProducersParts)
{
    // Inline strings, rows and cells without references, a prefixed namespace, sheets out of part order.
    const QString path = Fixture("handmade.xlsx");
    // clang-format off
    const Expected sheet1[] = {
        {1, 1, Txt("Level")}, {1, 2, Txt("LZeq")}, {1, 3, Txt(" 8 kHz ")}, {2, 1, Num(41.5)}, {2, 2, Num(42)},
        {2, 3, Bool(true)}, {2, 4, Txt("Band")}, {3, 1, Empty}, {4, 2, Num(43.25)}, {4, 3, Error("#N/A")},
        {4, 4, Empty}, {4, 5, NoResult}, {4, 6, NoResult}, {4, 7, Txt("ok")}, {5, 1, Txt("1e400")},
        {5, 2, Txt("abc")}, {5, 3, Txt("2024-03-01T09:00:00")}, {5, 4, Bool(false)}, {7, 1, Num(-3.5)}};
    // clang-format on
    ExpectCells(Cells(Read(path, {1, 1, 7, 1, 7}), "handmade"), sheet1, "handmade sheet 1");
    const Expected sheet2[] = {{1, 1, Num(7)}, {1, 2, Num(8)}};
    ExpectCells(Cells(Read(path, {2, 1, 1, 1, 2}), "handmade 2"), sheet2, "handmade sheet 2");
    const Expected narrow[] = {{2, 2, Num(42)}, {4, 3, Error("#N/A")}, {2, 1, Empty},
                               {7, 1, Empty},   {1, 2, Empty},         {2, 4, Empty}};
    ExpectCells(Cells(Read(path, {1, 2, 4, 2, 3}), "narrow"), narrow, "handmade narrow block");
}

TEST(Workbook, MissingSheetGivesTheCount)
{
    // (workbook, sheet asked for, sheets it has)
    const std::tuple<const char*, int, int> cases[] = {
        {"onesheet.xlsx", 2, 1}, {"bk2250.xlsx", 3, 2},   {"bk2250.xls", 3, 2},
        {"bk2250.xls", 0, 2},    {"broken.xlsx", 11, 10},
    };
    for (const auto& [name, sheet, count] : cases) {
        const WorkbookRead read = Read(Fixture(name), {sheet, 1, 1, 1, 1});
        const WorkbookError* error = std::get_if<WorkbookError>(&read);
        ASSERT_NE(error, nullptr) << name << " " << sheet;
        EXPECT_EQ(error->kind, WorkbookError::NoSuchSheet) << name;
        EXPECT_EQ(error->sheetCount, count) << name;
    }
}

void ExpectCannotOpen(const WorkbookRead& read, const std::string& what, const char* because = "")
{
    const WorkbookError* error = std::get_if<WorkbookError>(&read);
    ASSERT_NE(error, nullptr) << what << " was read";
    EXPECT_EQ(error->kind, WorkbookError::CannotOpen) << what;
    EXPECT_FALSE(error->reason.isEmpty()) << what;
    EXPECT_TRUE(error->reason.contains(QLatin1StringView(because))) << what << ": " << error->reason.toStdString();
}

TEST(Workbook, DamagedSheetsAreRefused)
{
    const QString path = Fixture("broken.xlsx");
    ExpectCells(Cells(Read(path, {1, 1, 1, 1, 2}), "good sheet"), {{1, 1, Num(1)}, {1, 2, Num(2)}},
                "broken.xlsx sheet 1");
    // Reading stops past the block, before the XML breaks off.
    ExpectCells(Cells(Read(path, {2, 1, 1, 1, 2}), "cut short"), {{1, 2, Num(2)}}, "sheet 2, row 1");
    // Each sheet refused for its own fault, not for one met on the way.
    // (sheet, its fault, what the reason says)
    const std::tuple<int, const char*, const char*> cases[] = {
        {2, "XML cut short", "XML of xl/worksheets/sheet2.xml is damaged"},
        {3, "document type", "document type"},
        {4, "shared string 5 of 1", "shared string"},
        {5, "unknown r:id", "does not say where its sheet 5 is"},
        {6, "part not in the archive", "sheet 6 is missing"},
        {7, "checksum", "sheet7.xml is damaged"},
        {8, "3 GiB unpacked", "sheet8.xml would unpack to more"},
        {9, "target outside", "outside"},
        {10, "cell A0", "\"A0\""},
    };
    for (const auto& [sheet, fault, because] : cases)
        ExpectCannotOpen(Read(path, {sheet, 1, 5, 1, 5}), fault, because);
}

TEST(Workbook, TruncatedArchivesAreRefused)
{
    const QByteArray whole = test::MeterFixtureBytes("bk2250.xlsx");
    ASSERT_GT(whole.size(), 1000);
    for (const qsizetype size : {qsizetype(0), qsizetype(3), qsizetype(30), whole.size() / 2, whole.size() - 10})
        ExpectCannotOpen(ParseXlsxCells(whole.left(size), Bk2250Levels), "cut to " + std::to_string(size));
}

TEST(Workbook, TheFirstBytesTellTheFormat)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto write = [&](const char* to, const QByteArray& bytes) {
        const QString target = dir.filePath(QString::fromLatin1(to));
        QFile file(target);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return target;
    };
    // Named for the other format, read for what they are.
    for (const auto& [from, to, format] : {std::tuple{"excel.xlsx", "levels.xls", SheetCells::Format::Xlsx},
                                           {"excel.xls", "levels.xlsx", SheetCells::Format::Xls}}) {
        const QString copy = dir.filePath(QString::fromLatin1(to));
        ASSERT_TRUE(QFile::copy(Fixture(from), copy));
        const SheetCells sheet = Cells(Read(copy, ExcelLevels), to);
        EXPECT_EQ(sheet.format(), format) << to;
        EXPECT_EQ(sheet.at(9, 2), Num(55.0)) << to;
    }

    const QByteArray xls = test::MeterFixtureBytes("bk2250.xls");
    const QByteArray compoundHeader("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
    const QString notWorkbooks[] = {
        Fixture("notaworkbook.xls"),
        Fixture("notaworkbook.xlsx"),
        write("empty.xls", {}),
        write("header.xls", compoundHeader + QByteArray(1024, '\0')),
        write("half.xls", xls.left(xls.size() / 2)),
    };
    for (const QString& path : notWorkbooks)
        ExpectCannotOpen(Read(path, ExcelLevels), path.toStdString());
}

// The stand-in readers are shell scripts, and descriptors and children are counted the POSIX way.
#ifdef Q_OS_UNIX
int OpenDescriptors()
{
    int count = 0;
    if (DIR* dir = opendir("/proc/self/fd")) {
        while (readdir(dir))
            ++count;
        closedir(dir);
    }
    return count;
}

// A stand-in for the workbook reader: a shell script in `dir` that runs `body`.
QString FakeReader(const QTemporaryDir& dir, const char* name, const char* body)
{
    const QString path = dir.filePath(QLatin1String(name));
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(QByteArray("#!/bin/sh\n") + body + "\n");
    file.close();
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

TEST(Workbook, AReaderThatStopsHangsOrOverreachesCostsOnlyTheRead)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString real = FindWorkbookReader();
    ASSERT_FALSE(real.isEmpty());
    const QString sleeper = FakeReader(dir, "sleeps", "exec sleep 30");
    const QString chatter = FakeReader(dir, "chatters", "exec cat /dev/zero");
    const QString babbler = FakeReader(dir, "babbles", "printf 'KOVWB1\\002'");
    const QString file = Fixture("excel.xlsx");
    // (what, reader, file, block, what the reason says)
    const std::tuple<const char*, QString, QString, CellBlock, const char*> cases[] = {
        // FreeXL crashes on it while it opens it.
        {"damaged.xls", real, Fixture("damaged.xls"), Bk2250Levels, "reader stopped"},
        {"damaged.xls, sheet 3", real, Fixture("damaged.xls"), {3, 1, 1, 1, 1}, "reader stopped"},
        {"a reader that never answers", sleeper, file, ExcelLevels, "took too long"},
        {"a reader that never stops talking", chatter, file, ExcelLevels, "reader stopped"},
        {"half a message", babbler, file, ExcelLevels, "reader stopped"},
        {"no reader", dir.filePath(QStringLiteral("absent")), file, ExcelLevels, "could not be started"},
        // Nesting that would cost the reader a gigabyte when the file held a few million levels.
        {"deep.xlsx", real, Fixture("deep.xlsx"), ExcelLevels, "nests its elements deeper than a workbook does"},
    };
    for (const auto& [what, reader, path, block, because] : cases) {
        SCOPED_TRACE(what);
        const int descriptors = OpenDescriptors();
        test::TestClock clock;
        const auto start = std::chrono::steady_clock::now();
        ExpectCannotOpen(ReadWithWorkbookReader(reader, path, block, clock, {std::chrono::milliseconds(2000)}), what,
                         because);
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_EQ(OpenDescriptors(), descriptors);
        // The reader was waited for: no child is left, running or a zombie.
        errno = 0;
        EXPECT_EQ(waitpid(-1, nullptr, WNOHANG), -1);
        EXPECT_EQ(errno, ECHILD);
    }
    // The window's events ran while the reader was waited for.
    test::TestClock clock;
    ExpectCannotOpen(ReadWithWorkbookReader(sleeper, file, ExcelLevels, clock, {std::chrono::milliseconds(300)}),
                     "sleeps", "took too long");
    EXPECT_GT(clock.yields(), 5);
    // And the next workbook reads as ever.
    EXPECT_EQ(Cells(Read(Fixture("bk2250.xls"), Bk2250Levels), "after").at(2, 147), Num(48.0));
}
#endif

TEST(Workbook, ASheetThatDeclaresEveryCellIsRefusedByTheReadersMemoryLimit)
{
    if (!ReaderMemoryLimited)
        GTEST_SKIP() << "a sanitized build runs its reader without a memory limit";
#ifdef Q_OS_WIN
    if (GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr)
        GTEST_SKIP() << "Wine keeps a job's memory cap without holding its processes to it";
#endif
    // One cell in IV65536 of a 5.6 KB file: FreeXL would set aside 270 MB for the sheet.
    ExpectCannotOpen(Read(Fixture("bigsheet.xls"), ExcelLevels), "bigsheet.xls", "far more cells");
}

TEST(Workbook, TheReadersAnswerDecodesOnlyWhole)
{
    SheetCells sheet(SheetCells::Format::Xls, ExcelLevels);
    sheet.set(9, 2, Num(55.5));
    sheet.set(26, 11, Txt("n/a \xC3\xA4"));
    sheet.set(12, 5, NoResult);
    const QByteArray message = EncodeWorkbookRead(sheet);
    const SheetCells back = Cells(DecodeWorkbookRead(message, ExcelLevels), "whole");
    EXPECT_EQ(back.format(), SheetCells::Format::Xls);
    ExpectCells(back, {{9, 2, Num(55.5)}, {26, 11, Txt("n/a \xC3\xA4")}, {12, 5, NoResult}, {9, 3, Empty}}, "back");
    const WorkbookRead error = DecodeWorkbookRead(
        EncodeWorkbookRead(WorkbookError{WorkbookError::NoSuchSheet, QStringLiteral("x"), 3}), ExcelLevels);
    ASSERT_TRUE(std::holds_alternative<WorkbookError>(error));
    EXPECT_EQ(std::get<WorkbookError>(error).kind, WorkbookError::NoSuchSheet);
    EXPECT_EQ(std::get<WorkbookError>(error).sheetCount, 3);
    // Cut anywhere, with a byte more, or read for a block that does not hold its cells: the reader stopped.
    for (qsizetype size = 0; size < message.size(); ++size)
        ExpectCannotOpen(DecodeWorkbookRead(message.left(size), ExcelLevels), "cut", "reader stopped");
    ExpectCannotOpen(DecodeWorkbookRead(message + '\0', ExcelLevels), "longer", "reader stopped");
    ExpectCannotOpen(DecodeWorkbookRead(message, {1, 9, 25, 2, 11}), "other block", "reader stopped");
}

TEST(Workbook, OnlyRegularFilesAreOpened)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QStringList paths{dir.path(), dir.filePath(QStringLiteral("absent.xls"))};
#ifdef Q_OS_UNIX
    const QString fifo = dir.filePath(QStringLiteral("levels.xlsx"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    paths.prepend(fifo);
#endif
    for (const QString& path : paths) {
        auto reading = std::async(std::launch::async, [&] { return Read(path, ExcelLevels); });
        if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << path.toStdString() << " blocks";
#ifdef Q_OS_UNIX
            // A writer that comes and goes lets the waiting open through.
            ::close(::open(QFile::encodeName(path).constData(), O_RDWR));
#endif
        }
        ExpectCannotOpen(reading.get(), path.toStdString());
    }
}

TEST(Workbook, ColumnLetters)
{
    const std::pair<int, const char*> cases[] = {{1, "A"},     {26, "Z"},      {27, "AA"},  {52, "AZ"},
                                                 {53, "BA"},   {147, "EQ"},    {164, "FH"}, {702, "ZZ"},
                                                 {703, "AAA"}, {16384, "XFD"}, {0, ""}};
    for (const auto& [column, letters] : cases)
        EXPECT_EQ(ColumnLetters(column), QLatin1StringView(letters)) << column;
}

}  // namespace
