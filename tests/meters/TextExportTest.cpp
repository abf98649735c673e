#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <functional>
#include <map>
#include <tuple>
#include <vector>

#include "meters/MeterFiles.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/meters/MeterFixtures.h"
#include "tests/support/ParseError.h"

using namespace kov;
using kov::test::ParseError;

namespace {

// The levels below are those of tests/fixtures/meters/make_exports.py, rounded by hand where the reader rounds.

// dsp30.txt: 45.25 46.35 45.75 48.05 47.84 46.96 45.1 44 43.45 42.65 41.551 40.2 38.85 37.15 35.5 33.349 30.95 28.25
const std::vector<f32> Dsp30Levels{45.2f, 46.4f, 45.8f, 48.0f, 47.8f, 47.0f, 45.1f, 44.0f, 43.4f,
                                   42.6f, 41.6f, 40.2f, 38.8f, 37.2f, 35.5f, 33.3f, 31.0f, 28.2f};

// ie45.ivi, last five characters: 45.35 46.25 47.05 48.15 " 47.8" 46.96 45.75 " --.-" 44.44 43.65 " 42.5" 41.85
// 40.15 " 38.7" "36.5" " 34.9" 32.25 30.55
const std::vector<f32> Ie45Levels{45.4f, 46.2f, 47.0f, 48.2f, 47.8f, 47.0f, 45.8f, 0.0f,  44.4f,
                                  43.6f, 42.5f, 41.8f, 40.2f, 38.7f, 36.5f, 34.9f, 32.2f, 30.6f};

// paa3.paa, by record. Record 4 holds 0, 0, 40 at the bottom; record 5 has 0 in 1 kHz..1.6 kHz below 37.5 and
// above 41.5.
// clang-format off
const std::map<int, std::vector<f32>> Paa3Levels{
    {3, {28.3, 29.3, 30.3, 31.3, 32.3, 33.3, 34.3, 35.3, 36.3, 37.3, 38.3, 39.3, 40.3, 41.3, 42.3, 43.3, 44.3, 45.3}},
    {4, {-2.0, -4.0, 40.0, 32.4, 33.4, 34.4, 35.4, 36.4, 37.4, 38.4, 39.4, 40.4, 41.4, 42.4, 43.4, 44.4, 45.4, 46.4}},
    {5, {30.5, 31.5, 32.5, 33.5, 34.5, 35.5, 36.5, 37.5, 35.5, 33.5, 31.5, 41.5, 42.5, 43.5, 44.5, 45.5, 46.5, 47.5}},
    {10, {36.0, 37.0, 38.0, 39.0, 40.0, 41.0, 42.0, 43.0, 44.0, 45.0, 46.0, 47.0, 48.0, 49.0, 50.0, 51.0, 52.0, 53.0}},
};
// clang-format on

constexpr auto& FixturePath = test::MeterFixture;
constexpr auto& Fixture = test::MeterFixtureBytes;

std::vector<f32> Row(const MeterTests& tests, int test)
{
    std::vector<f32> row;
    for (int band = 1; band <= 18; ++band)
        row.push_back(tests.levels(test, band));
    return row;
}

const std::vector<f32> Untouched(18, 0.0f);

constexpr auto& Lines = test::FileLines;  // without their CRLF

// Lines first..last (1-based) of `bytes`, each with CRLF, the last one too when `lastLineEnd`.
QByteArray LineRange(const QByteArray& bytes, int first, int last, bool lastLineEnd = true)
{
    QByteArray out = Lines(bytes).mid(first - 1, last - first + 1).join("\r\n");
    return lastLineEnd ? out + "\r\n" : out;
}

// `bytes` with field `field` of line `line` (both 1-based) replaced; a null `text` removes the field.
QByteArray WithField(const QByteArray& bytes, int line, int field, const QByteArray& text)
{
    QList<QByteArray> lines = Lines(bytes);
    QList<QByteArray> fields = lines[line - 1].split(',');
    if (text.isNull())
        fields.removeAt(field - 1);
    else
        fields[field - 1] = text;
    lines[line - 1] = fields.join(',');
    return lines.join("\r\n") + (bytes.endsWith("\r\n") ? "\r\n" : "");
}

class TextExportTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(dsp30.isEmpty() || ie45.isEmpty() || paa3.isEmpty() || paa3Short.isEmpty())
            << "run tests/fixtures/meters/make_exports.py";
    }
    const QByteArray dsp30 = Fixture("dsp30.txt");
    const QByteArray ie45 = Fixture("ie45.ivi");
    const QByteArray paa3 = Fixture("paa3.paa");
    const QByteArray paa3Short = Fixture("paa3_short.paa");
};

}  // namespace

TEST_F(TextExportTest, OneTestRoundedHalfToEvenWhateverTheLineEnds)
{
    using Parse = Parsed<MeterTests> (*)(const QByteArray&);
    const std::tuple<const char*, Parse, QByteArray, const std::vector<f32>&> cases[] = {
        {"DSP30 as exported, last line without its line end", ParseDsp30, dsp30, Dsp30Levels},
        {"DSP30 LF lines", ParseDsp30, QByteArray(dsp30).replace("\r\n", "\n"), Dsp30Levels},
        {"DSP30 CR lines", ParseDsp30, QByteArray(dsp30).replace("\r\n", "\r"), Dsp30Levels},
        {"DSP30 a summary after the levels", ParseDsp30, dsp30 + "\r\n\"LAeq\",52.6\r\n\"Note", Dsp30Levels},
        {"IE-45 as exported", ParseIe45, ie45, Ie45Levels},
        {"IE-45 LF lines", ParseIe45, QByteArray(ie45).replace("\r\n", "\n"), Ie45Levels},
        {"IE-45 CR lines", ParseIe45, QByteArray(ie45).replace("\r\n", "\r"), Ie45Levels},
        {"IE-45 the last band line without its line end", ParseIe45, LineRange(ie45, 1, 46, false), Ie45Levels},
    };
    for (const auto& [what, parse, bytes, levels] : cases) {
        const Parsed<MeterTests> parsed = parse(bytes);
        SCOPED_TRACE(what);
        ASSERT_EQ(ParseError(parsed), "");
        const MeterTests& tests = std::get<MeterTests>(parsed);
        EXPECT_EQ(std::tuple(tests.count, Row(tests, 1), Row(tests, 2), tests.notice.has_value()),
                  std::tuple(1, levels, Untouched, false));
    }
}

TEST_F(TextExportTest, DamagedOrShortExportsAreRefusedWhole)
{
    using Parse = Parsed<MeterTests> (*)(const QByteArray&);
    // (what, parser, bytes, error)
    const std::tuple<const char*, Parse, QByteArray, const char*> cases[] = {
        {"DSP30 empty", ParseDsp30, QByteArray(), "line 1: Input past end of file"},
        {"DSP30 the last pair missing", ParseDsp30, LineRange(dsp30, 1, 30), "line 31: Input past end of file"},
        {"DSP30 the last level missing", ParseDsp30, LineRange(dsp30, 1, 30) + "\"8kHz\",",
         "line 31: Input past end of file"},
        {"DSP30 a level that is a text", ParseDsp30, WithField(dsp30, 20, 2, "OVER"),
         "line 20: Type mismatch (\"OVER\" is not a number)"},
        // A line end before a field is no separator of its own, so the next line's label is taken for the level.
        {"DSP30 a level left empty at the line end", ParseDsp30, WithField(dsp30, 14, 2, ""),
         "line 15: Type mismatch (\"200Hz\" is not a number)"},
        {"DSP30 a header value that is a text", ParseDsp30, WithField(dsp30, 1, 2, "\"DSP30\""),
         "line 1: Type mismatch (\"DSP30\" is not a number)"},
        {"IE-45 empty", ParseIe45, QByteArray(), "line 1: Input past end of file"},
        {"IE-45 45 lines", ParseIe45, LineRange(ie45, 1, 45), "line 46: Input past end of file"},
        {"IE-45 a Ctrl-Z after line 40", ParseIe45, LineRange(ie45, 1, 40) + "\x1a" + LineRange(ie45, 41, 48),
         "line 41: Input past end of file"},
        {"IE-45 a level past the single range", ParseIe45,
         LineRange(ie45, 1, 33) + "  5 kHz      .3e49\r\n" + LineRange(ie45, 35, 48), "line 34: Overflow (\".3e49\")"},
    };
    for (const auto& [what, parse, bytes, error] : cases)
        EXPECT_EQ(ParseError(parse(bytes)), error) << what;
}

TEST_F(TextExportTest, Ie45BandLinesOfEveryShape)
{
    // (line 29, the 160 Hz line; the level read)
    const std::pair<QByteArray, f32> cases[] = {
        {"45", 45.0f},
        {"  160 Hz     145.35", 45.4f},  // only five characters count
        {"  160 Hz      45.35 ", 5.4f},  // a trailing blank is one of the five
        {"  160 Hz    45.3dB", 5.3f},
        {"  160 Hz     4 5.3", 45.3f},  // blanks inside a number are ignored
    };
    for (const auto& [line, level] : cases) {
        QList<QByteArray> lines = Lines(ie45);
        lines[28] = line;
        const Parsed<MeterTests> parsed = ParseIe45(lines.join("\r\n"));
        SCOPED_TRACE(line.constData());
        ASSERT_EQ(ParseError(parsed), "");
        EXPECT_EQ(std::get<MeterTests>(parsed).levels(1, 1), level);
        EXPECT_EQ(std::get<MeterTests>(parsed).levels(1, 2), 46.2f);
    }
}

TEST_F(TextExportTest, Paa3RecordsInTheRangeBecomeTestsInFileOrder)
{
    // (start, end, the records read)
    const std::tuple<int, int, std::vector<int>> cases[] = {
        {3, 5, {3, 4, 5}}, {10, 10, {10}}, {1, 10, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}};
    for (const auto& [start, end, records] : cases) {
        const Parsed<MeterTests> parsed = ParsePaa3(paa3, start, end);
        SCOPED_TRACE(testing::Message() << start << ".." << end);
        ASSERT_EQ(ParseError(parsed), "");
        const MeterTests& tests = std::get<MeterTests>(parsed);
        ASSERT_EQ(tests.count, static_cast<int>(records.size()));
        for (int test = 1; test <= tests.count; ++test) {
            const int record = records[static_cast<std::size_t>(test - 1)];
            if (Paa3Levels.count(record)) {
                EXPECT_EQ(Row(tests, test), Paa3Levels.at(record)) << "record " << record << " as test " << test;
            }
        }
        EXPECT_EQ(Row(tests, tests.count + 1), Untouched);
        EXPECT_FALSE(tests.notice);
    }
}

TEST_F(TextExportTest, Paa3ZeroLevelsCascadeFromTheBandBelow)
{
    // (fields 13..30 of record 1, the levels read)
    const std::pair<QByteArray, std::vector<f32>> cases[] = {
        // zeros from the bottom
        {"0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,45.5",
         {-2, -4, -6, -8, -10, -12, -14, -16, -18, -20, -22, -24, -26, -28, -30, -32, -34, 45.5f}},
        // zeros at the top
        {"30,31,32,33,34,35,36,37,38,39,40,41,42,43,44,45,0,0",
         {30, 31, 32, 33, 34, 35, 36, 37, 38, 39, 40, 41, 42, 43, 44, 45, 43, 41}},
        // negative zero and empty fields are 0
        {"41.3,-0,,42.1,0.0,0,40,0,39.9,38,37,36,35,34,33,32,31,30",
         {41.3f, 39.3f, 37.3f, 42.1f, 40.1f, 38.1f, 40, 38, 39.9f, 38, 37, 36, 35, 34, 33, 32, 31, 30}},
    };
    for (const auto& [written, expected] : cases) {
        SCOPED_TRACE(written.constData());
        QList<QByteArray> lines = Lines(paa3);
        QList<QByteArray> fields = lines[4].split(',');
        const QList<QByteArray> levels = written.split(',');
        ASSERT_EQ(levels.size(), 18);
        for (int k = 0; k < 18; ++k)
            fields[12 + k] = levels[k];
        lines[4] = fields.join(',');
        const Parsed<MeterTests> parsed = ParsePaa3(lines.join("\r\n"), 1, 2);
        ASSERT_EQ(ParseError(parsed), "");
        EXPECT_EQ(Row(std::get<MeterTests>(parsed), 1), expected);
        // The cascade starts afresh in every record.
        EXPECT_EQ(std::get<MeterTests>(parsed).levels(2, 1), 27.2f);
    }
}

TEST_F(TextExportTest, Paa3ReadsOnlyAWholeExportOfTenRecords)
{
    // (what, bytes, error or "" when it reads)
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"the last line without its line end", paa3.chopped(2), ""},
        {"a summary after the tenth record", paa3 + "\"Average\",1,2,3\r\n\"unfinished", ""},
        {"nine records", paa3Short, "line 14: Input past end of file"},
        {"a text as record number", WithField(paa3, 5, 1, "\"one\""),
         "line 5: Type mismatch (\"one\" is not a number)"},
        {"a text in a level outside the range", WithField(paa3, 11, 20, "OVL"),
         "line 11: Type mismatch (\"OVL\" is not a number)"},
        {"a field missing in record 3", WithField(paa3, 7, 40, QByteArray()),
         "line 8: Type mismatch (\"Office 104\" is not a number)"},
        {"a record cut inside its name", LineRange(paa3, 1, 13) + "10,\"Office 1", "line 14: Input past end of file"},
    };
    for (const auto& [what, bytes, error] : cases) {
        SCOPED_TRACE(what);
        const Parsed<MeterTests> parsed = ParsePaa3(bytes, 3, 5);
        EXPECT_EQ(ParseError(parsed), error);
        if (const MeterTests* tests = std::get_if<MeterTests>(&parsed)) {
            EXPECT_EQ(tests->count, 3);
            EXPECT_EQ(Row(*tests, 2), Paa3Levels.at(4));
        }
    }
}

TEST_F(TextExportTest, FilesThatCannotBeReadGiveTheMeterMessages)
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    QFile shortIe45(folder + QStringLiteral("/SHORT.IVI"));
    ASSERT_TRUE(shortIe45.open(QIODevice::WriteOnly) && shortIe45.write(LineRange(ie45, 1, 45)) > 0);
    shortIe45.close();

    using Reader = std::function<MeterImport(const QString&)>;
    const Reader paa3File = [](const QString& path) { return DownloadPaa3(path, 1, 3); };
    // (reader, path, message)
    const std::tuple<Reader, QString, QString> cases[] = {
        // DSP30 missing, IE-45 short
        {ReadDsp30File, folder + "/GONE.TXT", "File GONE.TXT could not be recovered in" + folder + "/."},
        {ReadIe45File, folder + "/SHORT.IVI", "File SHORT.IVI could not be recovered in" + folder + "/."},
        // PAA3 missing, nine records
        {paa3File, folder + "/GONE.PAA", "The file " + folder + "/GONE.PAA could not be found."},
        {paa3File, FixturePath("paa3_short.paa"), "The file " + FixturePath("paa3_short.paa") + " could not be found."},
    };
    for (const auto& [read, path, text] : cases) {
        const MeterImport result = read(path);
        ASSERT_TRUE(std::holds_alternative<Message>(result)) << path.toStdString();
        EXPECT_EQ(std::get<Message>(result), (Message{text, QStringLiteral("File Error"), MsgIcon::Critical}));
    }
}
