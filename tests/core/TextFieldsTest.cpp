#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <future>
#include <random>
#include <tuple>

#include <QtGlobal>
#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "core/Numbers.h"
#include "core/ProgramFolder.h"
#include "core/TextFields.h"
#include "tests/support/FailDevice.h"

using namespace kov;
using kov::test::FailDevice;

namespace {

// Line and text in one comparison, worded as the database messages put them.
QString ErrorText(const TextFieldReader& r)
{
    return r.error().text + QStringLiteral(" on line ") + QString::number(r.error().line);
}

// The texts written as one line.
QByteArray TextLine(const QStringList& texts)
{
    TextFieldWriter w;
    for (const QString& text : texts)
        w.text(text);
    w.endLine();
    return w.bytes();
}

// The texts read in turn, up to `count` or the first read that fails.
QStringList ReadTexts(const QByteArray& bytes, qsizetype count)
{
    TextFieldReader r(bytes);
    QStringList texts;
    QString text;
    while (texts.size() < count && r.readText(text))
        texts.append(text);
    return texts;
}

// Reads in turn as `ops` says (n a number, i an integer, t a text, s a skipped field): how many reads succeeded, and
// the error the reader holds afterwards, and whether it is at the end.
std::tuple<int, QString, bool> ReadInTurn(const QByteArray& bytes, const char* ops)
{
    TextFieldReader r(bytes);
    f32 number = 0;
    i16 integer = 0;
    QString text;
    int good = 0;
    for (const char* op = ops; *op != '\0'; ++op) {
        const bool ok = *op == 'n'   ? r.readNumber(number)
                        : *op == 'i' ? r.readInteger(integer)
                        : *op == 't' ? r.readText(text)
                                     : r.skipField();
        good += ok ? 1 : 0;
    }
    return {good, r.failed() ? ErrorText(r) : QString(), r.atEnd()};
}

TEST(TextFieldWriter, WritesAMixedLineByteExact)
{
    TextFieldWriter w;
    w.text(QStringLiteral("Background"));
    for (const f32 v : {45.5f, 40.f, .5f, -.5f, 0.f})
        w.number(v);
    w.endLine();
    w.integer(-32768);
    w.integer(7);
    w.text(QString());
    w.endLine();
    EXPECT_EQ(w.bytes(), QByteArray("\"Background\",45.5,40,.5,-.5,0\r\n-32768,7,\"\"\r\n"));
}

TEST(TextFieldWriter, TextIsLatin1WhereLatin1HoldsItAndReadsBackAsWritten)
{
    // (text, the bytes between the quotes, the text read back or nullptr for the text itself)
    const std::tuple<const char16_t*, const char*, const char16_t*> cases[] = {
        {u"Z\u00fcrich", "Z\xfcrich", nullptr},
        {u"B\u00fcro \u00c4rzte \u00e9t\u00e9 \u00ff", "B\xfcro \xc4rzte \xe9t\xe9 \xff", nullptr},
        {u"\u0141\u00d3D\u0179", "\xc5\x81\xc3\x93\x44\xc5\xb9", nullptr},
        {u"/home/\u0141ukasz/", "/home/\xc5\x81ukasz/", nullptr},
        // Latin-1 would give C3 A9, which reads as UTF-8 for e-acute.
        {u"\u00c3\u00a9", "\xc3\x83\xc2\xa9", nullptr},
        {u"\u00c2\u00b0C", "\xc3\x82\xc2\xb0\x43", nullptr},
        // One letter beyond Latin-1 takes the whole text to UTF-8.
        {u"Z\u00fcrich \u0141\u00f3d\u017a", "Z\xc3\xbcrich \xc5\x81\xc3\xb3\x64\xc5\xba", nullptr},
        {u"a\u20acb\U0001F600c", "a\xe2\x82\xac\x62\xf0\x9f\x98\x80\x63", nullptr},
        {u"B\u00fcro \"Nord\"", "B\xfcro 'Nord'", u"B\u00fcro 'Nord'"},
        {u"two\r\nlines", "two  lines", u"two  lines"},
        {u"end\u001aof", "end of", u"end of"},
    };
    for (const auto& [typed, quoted, back] : cases) {
        const QString text = QStringView(typed).toString();
        const QByteArray bytes = TextLine({text, QStringLiteral("next")});
        EXPECT_EQ(bytes, "\"" + QByteArray(quoted) + "\",\"next\"\r\n") << quoted;
        EXPECT_EQ(ReadTexts(bytes, 3), QStringList({back ? QStringView(back).toString() : text, "next"})) << quoted;
    }
}

TEST(TextFieldWriter, EveryShortTextOfLatin1AndBeyondReadsBackExactly)
{
    // Lead and continuation bytes of UTF-8 as Latin-1 letters, and letters beyond Latin-1, in every order.
    QStringList letters;
    for (const char16_t* letter : {u"a", u"\u00c3", u"\u00a9", u"\u00c2", u"\u00b0", u"\u00e2", u"\u0080", u"\u00bf",
                                   u"\u00f0", u"\u0141", u"\U0001F600"})
        letters.append(QStringView(letter).toString());
    std::vector<QString> texts{QString()};
    std::size_t from = 0;
    for (int length = 1; length <= 3; ++length) {
        const std::size_t to = texts.size();
        for (std::size_t i = from; i < to; ++i) {
            for (const QString& letter : letters)
                texts.push_back(texts[i] + letter);
        }
        from = to;
    }
    TextFieldWriter w;
    for (const QString& text : texts) {
        w.text(text);
        w.endLine();
    }
    TextFieldReader r(w.bytes());
    for (const QString& text : texts) {
        QString back;
        ASSERT_TRUE(r.readText(back));
        EXPECT_EQ(back, text);
    }
}

TEST(TextFieldWriter, NumbersReadBackExactly)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> level(-200.f, 200.f);
    std::vector<f32> values;
    for (int i = 0; i < 2000; ++i)
        values.push_back(level(random));
    values.push_back(1.f / 3.f);
    values.push_back(std::nextafter(1.f, 2.f));
    TextFieldWriter w;
    for (std::size_t i = 0; i < values.size(); ++i) {
        w.number(values[i]);
        if (i % 7 == 6)
            w.endLine();
    }
    w.endLine();
    TextFieldReader r(w.bytes());
    for (const f32 v : values) {
        f32 back = 0;
        ASSERT_TRUE(r.readNumber(back)) << ErrorText(r).toStdString();
        ASSERT_EQ(back, v);
    }
    EXPECT_TRUE(r.atEnd());
}

TEST(TextFieldReader, ReadsNumbersInAllForms)
{
    // (field, expected)
    const std::tuple<const char*, f32> cases[] = {
        {"45", 45.f}, {"45.5", 45.5f},  {"-.5", -.5f},  {".5", .5f},     {"0.5", .5f},
        {"+3", 3.f},  {"1E+02", 100.f}, {"1e-2", .01f}, {"  45 ", 45.f}, {"\t-12.25\t", -12.25f},
        {"", 0.f},    {"   ", 0.f},     {"-0", 0.f},    {"5.", 5.f},     {"1e-60", 0.f},
        {"007", 7.f}, {"2.5E1", 25.f}};
    for (const auto& [field, expected] : cases) {
        TextFieldReader r(QByteArray(field) + ",9\r\n");
        f32 v = -1;
        f32 next = 0;
        EXPECT_TRUE(r.readNumber(v)) << field << ": " << ErrorText(r).toStdString();
        EXPECT_TRUE(r.readNumber(next)) << field;
        EXPECT_EQ(std::tuple(v, next, r.atEnd()), std::tuple(expected, 9.f, true)) << field;
    }
}

TEST(TextFieldReader, RejectsWhatIsNotANumber)
{
    for (const char* field :
         {"4x", "x", "-", ".", "1e", "1e+", "1..2", "1.2.3", "inf", "nan", "4 5", "--1", "0x10", "1e39"}) {
        // A number beyond a single's range is an overflow, not a mismatch.
        const QString reason = std::strcmp(field, "1e39") == 0
                                   ? QStringLiteral("Overflow (\"%1\") on line 2")
                                   : QStringLiteral("Type mismatch (\"%1\" is not a number) on line 2");
        const auto [good, error, end] = ReadInTurn(QByteArray("1\r\n") + field + "\r\n", "nn");
        EXPECT_EQ(std::tuple(good, error), std::tuple(1, reason.arg(QString::fromLatin1(field)))) << field;
    }
}

TEST(TextFieldReader, QuotedTexts)
{
    // One string for all reads, so a field that leaves it untouched shows the text before it.
    EXPECT_EQ(ReadTexts("  \"Office, 2nd floor\"  ,\"\",plain text , \"x\" junk,\"B\xfcro\"\r\n", 6),
              QStringList({"Office, 2nd floor", "", "plain text", "x", QStringLiteral("B\u00fcro")}));
}

// A text no person types (a 16 MB project name) is a damaged file; what the writer writes always reads back.
TEST(TextFieldReader, ATextPastAnyTypedLengthIsAReadError)
{
    const QString e = QStringLiteral("\u00e9");      // two UTF-8 bytes
    const QString k = QStringLiteral("\u30ab");      // three UTF-8 bytes
    const QString g = QStringLiteral("\U0001D11E");  // four UTF-8 bytes, two UTF-16 halves
    // (what, text, whether it reads, what the writer keeps of the text)
    const std::tuple<const char*, QString, bool, QString> cases[] = {
        {"at the limit", QString(4096, u'a'), true, QString(4096, u'a')},
        {"two-byte UTF-8 at the limit", e.repeated(4096), true, e.repeated(4096)},
        {"UTF-8 at the limit", k.repeated(4096), true, k.repeated(4096)},
        {"one past", QString(4097, u'a'), false, QString(4096, u'a')},
        {"UTF-8 one past", k.repeated(4097), false, k.repeated(4096)},
        {"two halves across the limit", QString(4095, u'a') + g, false, QString(4095, u'a')},
        {"two halves at the limit", QString(4094, u'a') + g, true, QString(4094, u'a') + g},
        {"far past", QString(100000, u'a'), false, QString(4096, u'a')},
    };
    for (const auto& [what, text, reads, written] : cases) {
        const auto [good, message, end] = ReadInTurn("1,\"" + text.toUtf8() + "\"\r\n", "st");
        const QString error = reads ? QString() : QStringLiteral("Text too long (more than 4096 characters) on line 1");
        EXPECT_EQ(std::tuple(good, message), std::tuple(reads ? 2 : 1, error)) << what;
        EXPECT_EQ(ReadTexts(TextLine({text}), 2), QStringList{written}) << what;
    }
    TextFieldReader unquoted(QByteArray(5000, 'x') + "\r\n");
    QString read;
    EXPECT_FALSE(unquoted.readText(read));
}

TEST(TextFieldReader, TextBytesOfOlderFilesStayLatin1UnlessTheyAreUtf8)
{
    // (bytes, text)
    const std::tuple<const char*, const char16_t*> cases[] = {
        {"\xd3\x44", u"\u00d3D"},
        {"\xc3\x93\x44", u"\u00d3D"},
        {"Z\xfcrich \xc5\x81", u"Z\u00fcrich \u00c5\u0081"},  // not UTF-8 as a whole
        {"\xc3(", u"\u00c3("},
        {"\xc0\x80", u"\u00c0\u0080"},                      // overlong
        {"\xed\xa0\x80", u"\u00ed\u00a0\u0080"},            // a surrogate
        {"\xf4\x90\x80\x80", u"\u00f4\u0090\u0080\u0080"},  // past U+10FFFF
        {"ab\xc5", u"ab\u00c5"},                            // a sequence cut short
        {"\xef\xbb\xbf\x61", u"\ufeffa"},
    };
    for (const auto& [bytes, text] : cases) {
        EXPECT_EQ(ReadTexts("\"" + QByteArray(bytes) + "\"\r\n", 1), QStringList{QStringView(text).toString()})
            << bytes;
    }
}

TEST(TextFieldReader, AFileCutShortIsPastItsEndButOlderEndingsRead)
{
    // (what, bytes, fields read as texts, the error or nullptr when all read)
    const std::tuple<const char*, QByteArray, int, const char*> cases[] = {
        {"number cut short", "1,88.64198\r\n2,88.64", 4, "Input past end of file on line 2"},
        {"text without its closing quote", "1,\"C:\\JOBS\\\",\"/home/ann/jo", 3, "Input past end of file on line 1"},
        {"text cut inside a line break", "\"two\r\nlines", 1, "Input past end of file on line 2"},
        {"closed text without a line end", "\"a\",\"b\"", 2, "Input past end of file on line 1"},
        {"Ctrl-Z right after the last field", "1,2\x1a\r\n", 2, "Input past end of file on line 1"},
        {"line end", "1,2\r\n", 2, nullptr},
        {"bare CR or LF", "1,2\r3,4\n", 4, nullptr},
        {"blank lines", "1,2\r\n\r\n \r\n", 2, nullptr},
        {"Ctrl-Z", "1,\"b\"\r\n\x1a", 2, nullptr},
        {"Ctrl-Z and padding", "1,2\r\n\x1a\x1a\x1ajunk", 2, nullptr},
    };
    for (const auto& [what, bytes, fields, error] : cases) {
        EXPECT_EQ(std::get<1>(ReadInTurn(bytes, QByteArray(fields, 't').constData())), QString::fromLatin1(error))
            << what;
    }
}

TEST(TextFieldReader, Integers)
{
    // (field, ok, expected)
    const std::tuple<const char*, bool, i16> cases[] = {
        {"5", true, 5},           {"-32768", true, -32768}, {"32767", true, 32767}, {"2.5", true, 2},
        {"3.5", true, 4},         {" -7 ", true, -7},       {"", true, 0},          {"1e3", true, 1000},
        {"32767.4", true, 32767}, {"32767.5", false, 0},    {"32768", false, 0},    {"-32769", false, 0},
        {"99999", false, 0},      {"1e40", false, 0},       {"1e400", false, 0}};
    for (const auto& [field, ok, expected] : cases) {
        TextFieldReader r(QByteArray("\r\n\r\n") + field + ",0\r\n");
        i16 v = -1;
        const bool read = r.readInteger(v);
        const QString error =
            ok ? QString() : QStringLiteral("Overflow (\"%1\") on line 3").arg(QString::fromLatin1(field));
        // What a refused read leaves in the integer is no one's business.
        EXPECT_EQ(std::tuple(read, ok ? v : expected, r.failed() ? ErrorText(r) : QString()),
                  std::tuple(ok, expected, error))
            << field;
    }
}

TEST(TextFieldReader, TheFirstErrorStaysAndEveryReadAfterItFails)
{
    // (what, bytes, the reads in turn, how many succeed, the error, at the end)
    const std::tuple<const char*, QByteArray, const char*, int, const char*, bool> cases[] = {
        // The rest of the data is fine, yet every further read fails and the first error stays.
        {"a mismatch", "1,x,3\r\n", "nnntsn", 1, "Type mismatch (\"x\" is not a number) on line 1", false},
        {"skips up to the end", "\"name\",0,\"skip me\"\r\n", "ssst", 3, "Input past end of file on line 2", true},
        {"an empty file", "", "n", 0, "Input past end of file on line 1", true},
        // A comma before the line end promises nothing more on that line.
        {"a comma at the line end", "1,\r\n", "nn", 1, "Input past end of file on line 2", true},
        {"lines counted across every kind of line end and a text of two lines",
         "1\r\n2\n3\r4\r\n\"x\ny\"\r\n5\r\nbad\r\n", "nnnntnn", 6, "Type mismatch (\"bad\" is not a number) on line 8",
         true},
        {"an integer with a letter", "12a\r\n", "i", 0, "Type mismatch (\"12a\" is not a number) on line 1", true},
        {"all read", "\"a\",1\r\n", "tn", 2, "", true},
        {"blank lines, one of blanks, and a record on two lines", "1\r\n\r\n  \r\n2,\r\n3\r\n", "nnn", 3, "", true},
        {"one field of two read", "\"a\",1\r\n", "s", 1, "", false},
    };
    for (const auto& [what, bytes, ops, good, error, end] : cases) {
        EXPECT_EQ(ReadInTurn(bytes, ops), std::make_tuple(good, QString::fromLatin1(error), end)) << what;
    }
    EXPECT_EQ(ReadTexts("\"x\ny\"\r\n", 1), QStringList{"x\ny"});
}

TEST(TextFieldReader, LongGarbageIsShortenedInTheMessage)
{
    const QString error = std::get<1>(ReadInTurn(QByteArray(100000, 'z') + "\r\n", "n"));
    EXPECT_LT(error.size(), 100);
    EXPECT_TRUE(error.startsWith(QStringLiteral("Type mismatch (\"zzzz"))) << error.toStdString();
}

class WholeFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return m_dir.filePath(name); }
    static QByteArray contents(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    QTemporaryDir m_dir;
};

// A read's outcome, compared whole.
std::tuple<bool, bool, QByteArray, QString> Outcome(const FileReadResult& r)
{
    return {r.ok, r.notFound, r.data, r.error};
}

TEST_F(WholeFileTest, SaveAndReadBack)
{
    const QByteArray data("\"a\",1\r\n\xfc\r\n");
    QString error = "stale";
    ASSERT_TRUE(SaveWholeFile(path("x.dat"), data, &error));
    EXPECT_TRUE(error.isEmpty());
    EXPECT_EQ(Outcome(ReadWholeFile(path("x.dat"))), std::tuple(true, false, data, QString()));
    // Saving again replaces the contents whole.
    ASSERT_TRUE(SaveWholeFile(path("x.dat"), "z"));
    EXPECT_EQ(contents(path("x.dat")), "z");
}

// Leftover copies are found by their lock and a save is killed with fork: POSIX ways.
#ifdef Q_OS_UNIX
// What a save killed between linking its copy and renaming it leaves: that copy goes with the next save of the
// file, and nothing of a like name that is not such a copy.
TEST_F(WholeFileTest, ASaveRemovesLeftoverCopiesOfItsFileAndNothingElse)
{
    const struct {
        const char* name;
        bool removed;
    } cases[] = {
        {"P.MSK.Blkulk", true},         {"P.MSK.ABCDEF", true},  {"P.MSK.Blkul1", false},  // not six letters
        {"P.MSK.Blkul", false},                                                            // five
        {"P.MSK.Blkulkk", false},                                                          // seven
        {"P.MSK-Blkulk", false},        {"p.msk.Blkulk", false},                           // another file's name
        {"Q.MSK.Blkulk", false},                                                           // the copy of another file
        {"P.MSK.Blkul\xc3\xa9", false}, {"P.MSK.Locked", false},                           // a save still writes it
        {"P.MSK.Linked", false},                                                           // a link, not a copy
    };
    QDir folder(m_dir.path());
    ASSERT_TRUE(SaveWholeFile(path("elsewhere"), "linked"));
    ASSERT_EQ(::symlink("elsewhere", QFile::encodeName(path("P.MSK.Linked")).constData()), 0);
    ASSERT_TRUE(folder.mkdir("P.MSK.Folder"));
    int locked = -1;
    for (const auto& c : cases) {
        const QString name = QString::fromUtf8(c.name);
        if (name == "P.MSK.Linked")
            continue;
        ASSERT_TRUE(SaveWholeFile(path(name), "copy"));
        if (name == "P.MSK.Locked") {
            locked = ::open(QFile::encodeName(path(name)).constData(), O_RDONLY);
            ASSERT_EQ(::flock(locked, LOCK_EX), 0);
        }
    }
    ASSERT_TRUE(SaveWholeFile(path("P.MSK"), "saved"));
    ::close(locked);
    for (const auto& c : cases) {
        const QFileInfo left(path(QString::fromUtf8(c.name)));
        EXPECT_EQ(!left.exists() && !left.isSymLink(), c.removed) << c.name;
    }
    EXPECT_TRUE(QFileInfo(path("P.MSK.Folder")).isDir());
    EXPECT_EQ(contents(path("elsewhere")), "linked");
    EXPECT_EQ(contents(path("P.MSK")), "saved");
}

// Saves killed at random moments, as by a power cut or kill -9: the file is always the old one or the new one
// whole, and no copy of it is left once the program starts again or saves it again.
TEST_F(WholeFileTest, ASaveKilledAtAnyMomentLeavesTheOldOrNewFileAndTheNextStartOrSaveNoCopy)
{
    // In memory where the system has a place for it: a kill tests the program, not the disk, and without the disk's
    // syncs the kills fall on the steps between them far more often. A folder of its own, where no installed copy
    // beside it can be taken for its data.
    const QTemporaryDir memory(QStringLiteral("/dev/shm/kov-XXXXXX"));
    const QString folder = (memory.isValid() ? memory.path() : m_dir.path()) + QStringLiteral("/bin");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString target = QDir(folder).filePath("P.MSK");
    const QByteArray versions[] = {QByteArray(8000, 'o') + "\r\n", QByteArray(9000, 'n') + "\r\n"};
    const auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(SaveWholeFile(target, versions[0]));
    // The kills fall anywhere within about one save, however fast this disk is: on every step of it.
    const auto oneSave =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - started);
    std::mt19937 random(std::random_device{}());
    std::uniform_int_distribution<long> moment(0, oneSave.count() + 200);
    int copiesSeen = 0;
    for (int round = 0; round < 200; ++round) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            for (int i = 1;; ++i)
                SaveWholeFile(target, versions[i % 2]);
        }
        ::usleep(static_cast<useconds_t>(moment(random)));
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);

        const QByteArray now = contents(target);
        ASSERT_TRUE(now == versions[0] || now == versions[1]) << "round " << round << ": " << now.size() << " bytes";
        copiesSeen += int(QDir(folder).entryList(QDir::Files | QDir::Hidden).size()) - 1;
        if (round % 2 == 0)
            ASSERT_TRUE(SaveWholeFile(target, now));
        else
            ASSERT_FALSE(PrepareProgramFolder(folder, QString()).failure);
        ASSERT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList{"P.MSK"}) << "round " << round;
    }
    std::printf("%d copies were left by the kills and removed\n", copiesSeen);
}
#endif

TEST_F(WholeFileTest, NotFound)
{
    for (const QString& p : {path("missing.dat"), path("no/such/folder/x.dat")})
        EXPECT_EQ(Outcome(ReadWholeFile(p)),
                  std::tuple(false, true, QByteArray(), "File not found: " + QDir::toNativeSeparators(p)));
}

TEST_F(WholeFileTest, TooLarge)
{
    ASSERT_TRUE(SaveWholeFile(path("big.dat"), QByteArray(101, 'x')));
    EXPECT_EQ(Outcome(ReadWholeFile(path("big.dat"), 100)),
              std::tuple(false, false, QByteArray(),
                         QDir::toNativeSeparators(path("big.dat")) + " is too large to be a KOV data file"));
    EXPECT_TRUE(ReadWholeFile(path("big.dat"), 101).ok);
}

// Pipes and /dev/null are POSIX's.
#ifdef Q_OS_UNIX
TEST_F(WholeFileTest, OnlyFilesAreReadAndNothingElseBlocks)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("sub"));
    ASSERT_EQ(mkfifo(QFile::encodeName(path("PIPE.MSK")).constData(), 0600), 0);
    // (entry, why)
    const std::tuple<QString, const char*> cases[] = {
        {path("sub"), "it is a folder"},
        {path("PIPE.MSK"), "it is not a file"},
        {QStringLiteral("/dev/null"), "it is not a file"},
    };
    for (const auto& [entry, why] : cases) {
        auto reading = std::async(std::launch::async, [&] { return ReadWholeFile(entry); });
        if (reading.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            ADD_FAILURE() << entry.toStdString() << " blocks";
            // A writer that comes and goes lets the waiting open through to the end of the pipe.
            ::close(::open(QFile::encodeName(entry).constData(), O_RDWR));
        }
        EXPECT_EQ(Outcome(reading.get()),
                  std::tuple(false, false, QByteArray(),
                             QStringLiteral("Cannot open %1 (%2)").arg(QDir::toNativeSeparators(entry), why)));
    }
}
#endif

TEST_F(WholeFileTest, FailedSaveLeavesWhatWasThere)
{
    QString error;
    EXPECT_FALSE(SaveWholeFile(path("no/such/folder/x.dat"), "data", &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path("no/such/folder/x.dat")))) << error.toStdString();
    EXPECT_FALSE(QFile::exists(path("no/such/folder/x.dat")));

    // A folder where the file should be: it and its contents survive, and no temporary is left behind.
    ASSERT_TRUE(QDir(m_dir.path()).mkdir("x.dat"));
    ASSERT_TRUE(SaveWholeFile(path("x.dat/inside"), "old"));
    error.clear();
    EXPECT_FALSE(SaveWholeFile(path("x.dat"), "new", &error));
    EXPECT_TRUE(error.contains(QDir::toNativeSeparators(path("x.dat")))) << error.toStdString();
    EXPECT_EQ(contents(path("x.dat/inside")), "old");
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"x.dat"});
}

TEST_F(WholeFileTest, AFailingDiskLeavesTheOldFileAndSaysWhy)
{
    using Step = FailDevice::Step;
    const QByteArray old = "\"old\",1\r\n";
    const QByteArray fresh = QByteArray("\"new\",2\r\n").repeated(100);
    // (what, the step that fails, after how many bytes, the reason)
    const std::tuple<const char*, Step, qint64, const char*> cases[] = {
        {"folder may not be written", Step::Open, 0, "Permission denied"},
        {"first write refused", Step::Write, 0, "No space left on device"},
        {"part of the bytes taken", Step::Write, 700, "No space left on device"},
#ifdef Q_OS_UNIX
        {"nothing flushed", Step::Flush, 0, "File too large"},
        {"part flushed", Step::Flush, 700, "File too large"},
#endif
    };
    for (const auto& [what, step, failAfter, why] : cases) {
        ASSERT_TRUE(SaveWholeFile(path("x.dat"), old));
        QString reason;
        bool saved = true;
        {
            FailDevice disk(path("x.dat"), step, failAfter);
            saved = WriteSaveFile(disk, fresh, reason);
        }
        EXPECT_EQ(std::tuple(saved, reason, contents(path("x.dat")),
                             QDir(m_dir.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden)),
                  std::tuple(false, QString::fromLatin1(why), old, QStringList{"x.dat"}))
            << what;
    }
}

}  // namespace
