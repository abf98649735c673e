#include <gtest/gtest.h>

#include <QRegularExpression>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "meters/MeterExports.h"
#include "tests/meters/MeterFixtures.h"

using namespace kov;

namespace {

// The figures tests/fixtures/meters/make_spectrum_exports.py wrote beside the files: for the reports and tables the
// levels it wrote, for the frequency responses its own combination of the points into bands.
std::map<std::string, std::vector<double>> ScriptFigures()
{
    std::map<std::string, std::vector<double>> figures;
    for (const QByteArray& line : test::MeterFixtureBytes("expected_bands.txt").split('\n')) {
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const QList<QByteArray> fields = line.split(' ');
        std::vector<double>& levels = figures[fields[0].toStdString()];
        for (qsizetype i = 1; i < fields.size(); ++i)
            levels.push_back(fields[i].toDouble());
    }
    return figures;
}

const QByteArray Report = test::MeterFixtureBytes("slm_report.txt");
const QByteArray ReportAcross = test::MeterFixtureBytes("slm_report_across.txt");
const QByteArray Semicolon = test::MeterFixtureBytes("table_semicolon.csv");
const QByteArray TableRows = test::MeterFixtureBytes("table_rows.csv");

QByteArray Replaced(QByteArray bytes, const char* from, const char* to)
{
    EXPECT_TRUE(bytes.contains(from)) << from;
    return bytes.replace(from, to);
}

// The report without the band lines that begin with these frequencies ("6300.0|8000.0").
QByteArray WithoutBands(const QByteArray& report, const char* bands)
{
    const QRegularExpression lines(QStringLiteral("^\t(%1)\t[^\n]*\n").arg(QLatin1String(bands)),
                                   QRegularExpression::MultilineOption);
    return QString::fromLatin1(report).remove(lines).toLatin1();
}

// `bytes` with cell `column` of line `line` (both 0-based), cells split by `separator`, replaced.
QByteArray WithCell(const QByteArray& bytes, qsizetype line, char separator, int column, const char* text)
{
    QList<QByteArray> lines = bytes.split('\n');
    QList<QByteArray> cells = lines[line].split(separator);
    cells[column] = text;
    lines[line] = cells.join(separator);
    return lines.join('\n');
}

// The report with its LZeq level (the fourth cell) of the band line of `band` replaced.
QByteArray WithReportLevel(const char* band, const char* text)
{
    return WithCell(Report, Report.left(Report.indexOf(QByteArray("\n\t") + band + "\t") + 1).count('\n'), '\t', 3,
                    text);
}

// The semicolon table with cell (row, column), both 1-based as a spreadsheet counts them, replaced.
QByteArray WithTableCell(int row, int column, const char* text)
{
    return WithCell(Semicolon, row - 1, ';', column - 1, text);
}

MeterImport TableImport(const QByteArray& bytes, const TableMapping& mapping)
{
    const auto table = ParseMeterTable(bytes);
    if (const Message* refused = std::get_if<Message>(&table))
        return *refused;
    return TableTests(std::get<MeterTable>(table), mapping);
}

const TableMapping SemicolonTests{TableMapping::Bands::InColumn, 0, {1, 2, 3}};

// A response at every 10 Hz from 100 Hz to 10 kHz, at one level.
QByteArray FlatResponse(double level)
{
    QByteArray bytes = "* flat\n";
    for (int f = 100; f <= 10000; f += 10)
        bytes += QByteArray::number(f) + " " + QByteArray::number(level) + "\n";
    return bytes;
}

std::string Refusal(const MeterImport& read)
{
    const Message* m = std::get_if<Message>(&read);
    if (!m)
        return "(tests)";
    EXPECT_EQ(m->title, "File Error");
    EXPECT_EQ(m->icon, MsgIcon::Critical);
    return m->text.toStdString();
}

}  // namespace

TEST(SpectrumExportTest, ReadersGiveTheScriptsFigures)
{
    ASSERT_FALSE(Report.isEmpty() || Semicolon.isEmpty()) << "run tests/fixtures/meters/make_spectrum_exports.py";
    const auto figures = ScriptFigures();
    const QByteArray response = test::MeterFixtureBytes("response_log.txt");
    const QByteArray linear = test::MeterFixtureBytes("response_linear.txt");
    // (what, the read, the script's figures of each test in order)
    const std::tuple<const char*, MeterImport, std::vector<std::string>> cases[] = {
        {"report: the first unweighted Leq unasked", ParseSpectrumReport(Report), {"report/LZeq"}},
        {"report: a quantity asked in other case", ParseSpectrumReport(Report, " lzfmin"), {"report/LZFmin"}},
        {"report: a weighted one when asked", ParseSpectrumReport(Report, "LAeq"), {"report/LAeq"}},
        {"report without the leading empty column",
         ParseSpectrumReport(QByteArray(Report).replace("\n\t", "\n")),
         {"report/LZeq"}},
        {"report with a BOM and LF lines",
         ParseSpectrumReport("\xef\xbb\xbf" + QByteArray(Report).replace("\r\n", "\n")),
         {"report/LZeq"}},
        {"report: bands along the row, decimal commas", ParseSpectrumReport(ReportAcross), {"report/LZeq"}},
        {"report: bands along the row, LAFmax", ParseSpectrumReport(ReportAcross, "LAFmax"), {"report/LAFmax"}},
        {"response at 1/48 octave", ParseFrequencyResponse(response), {"response_log"}},
        {"response on a linear grid from 0 Hz, tabs, decimal commas",
         ParseFrequencyResponse(linear),
         {"response_linear"}},
        {"response with commas between the values",
         ParseFrequencyResponse(QByteArray(response).replace(' ', ',')),
         {"response_log"}},
        {"table: bands down column A", TableImport(Semicolon, SemicolonTests), {"table/1", "table/2", "table/3"}},
        {"table: columns in the order chosen",
         TableImport(Semicolon, {TableMapping::Bands::InColumn, 0, {3, 1}}),
         {"table/3", "table/1"}},
        {"table with tabs",
         TableImport(QByteArray(Semicolon).replace(';', '\t'), SemicolonTests),
         {"table/1", "table/2", "table/3"}},
        {"table: bands along row 1, quoted names",
         TableImport(TableRows, {TableMapping::Bands::InRow, 0, {2, 1}}),
         {"table/5", "table/4"}},
    };
    for (const auto& [what, read, keys] : cases) {
        SCOPED_TRACE(what);
        ASSERT_EQ(Refusal(read), "(tests)");
        const MeterTests& tests = std::get<MeterTests>(read);
        ASSERT_EQ(tests.count, static_cast<int>(keys.size()));
        for (int t = 1; t <= tests.count; ++t) {
            const std::vector<double>& levels = figures.at(keys[static_cast<std::size_t>(t - 1)]);
            for (int k = 1; k <= 18; ++k)
                EXPECT_NEAR(tests.levels(t, k), levels[static_cast<std::size_t>(k - 1)], 0.001)
                    << "test " << t << " band " << k;
        }
        for (int k = 1; k <= 20; ++k)
            EXPECT_EQ(tests.levels(tests.count + 1, k), 0.0f);
        EXPECT_FALSE(tests.notice);
    }
}

TEST(SpectrumExportTest, BadFilesGiveTheirMessageAndNoTests)
{
    const char* const Needs = "; KOV needs every band from 160 Hz to 8000 Hz.";
    const char* const Range = "KOV needs 141.3 Hz to 8912.5 Hz (the bands 160 Hz to 8000 Hz).";
    QByteArray loud = FlatResponse(130);
    const std::tuple<const char*, MeterImport, std::string> cases[] = {
        {"report: not one", ParseSpectrumReport(test::MeterFixtureBytes("dsp30.txt")),
         "The file has no \"# RTA Results\" section of a spectrum report."},
        {"report: bands missing", ParseSpectrumReport(WithoutBands(Report, "6300.0|8000.0")),
         std::string("The RTA results have no band 6300 Hz and 8000 Hz") + Needs},
        {"report: cut after 800 Hz", ParseSpectrumReport(Report.left(Report.indexOf("\t1000.0\t"))),
         std::string("The RTA results have no band 1000 Hz, 1250 Hz, 1600 Hz, 2000 Hz, 2500 Hz, 3150 Hz, 4000 Hz, 5000 "
                     "Hz, 6300 Hz and 8000 Hz") +
             Needs},
        {"report: a 1/6-octave band",
         ParseSpectrumReport(Replaced(Report, "\t1250.0\t", "\t1120.0\t40.0\t40.0\t40.0\t40.0\r\n\t1250.0\t")),
         "The band \"1120.0\" of the RTA results is no 1/3-octave band; KOV reads 1/3-octave spectra only."},
        {"report: a band below the grid twice", ParseSpectrumReport(Replaced(Report, "\n\t125.0\t", "\n\t100\t")),
         "The RTA results hold the band \"100\" twice."},
        {"report: a band twice", ParseSpectrumReport(Replaced(Report, "\n\t1250.0\t", "\n\t1000\t")),
         "The RTA results hold the band 1000 Hz twice."},
        {"report: a level that is none", ParseSpectrumReport(WithReportLevel("1000.0", "-.-")),
         "The LZeq level of 1000 Hz reads \"-.-\", which is no level."},
        {"report: an empty level", ParseSpectrumReport(WithReportLevel("1000.0", "")),
         "The LZeq level of 1000 Hz is empty."},
        {"report: a level the grid cannot hold", ParseSpectrumReport(WithReportLevel("8000.0", "100.0")),
         "The LZeq level of 8000 Hz is 100 dB; KOV takes levels between 0 and 100 dB."},
        {"report: a quantity it lacks", ParseSpectrumReport(Report, "LCpeak"),
         "The report holds no LCpeak; it holds LAeq, LZeq, LAFmax and LZFmin."},
        {"report: no unweighted Leq", ParseSpectrumReport(Replaced(Report, "\tLZeq\t", "\tLZSmax\t")),
         "The report holds no unweighted equivalent level (LZeq or Leq); it holds LAeq, LZSmax, LAFmax and LZFmin."},
        {"report: two results", ParseSpectrumReport(Report + "# RTA Results\r\n"),
         "The file has 2 \"# RTA Results\" sections; KOV reads a report of one."},
        {"report: bands both ways", ParseSpectrumReport(Replaced(Report, "\tBand [Hz]\t\t\t\t", "\tBand [Hz]\t1\t2")),
         "KOV cannot tell how the RTA results are laid out: it finds band frequencies neither only down the \"Band "
         "[Hz]\" column nor only along its row."},
        {"report: no band heading", ParseSpectrumReport(Replaced(Report, "Band [Hz]", "Frequency")),
         "The RTA results have no \"Band [Hz]\" heading over their band frequencies."},
        {"response: too short", ParseFrequencyResponse(test::MeterFixtureBytes("response_short.txt")),
         std::string("The response covers 200 Hz to 20000 Hz; ") + Range},
        {"response: a band without a point", ParseFrequencyResponse("* octaves\n100 60\n1000 60\n10000 60\n"),
         std::string("The response has no point within the band 160 Hz (141.3 Hz to 177.8 Hz). The response covers 100 "
                     "Hz to 10000 Hz; ") +
             Range},
        {"response: falling frequencies", ParseFrequencyResponse("* r\n100 60\n90 60\n"),
         "The frequencies of the response do not rise at line 3 (90 Hz)."},
        {"response: words among the points", ParseFrequencyResponse("* r\r\n100 60\r\nclipped\r\n"),
         "Line 3 of the response is not a frequency, a level and an optional phase: \"clipped\"."},
        {"response: four values", ParseFrequencyResponse("* r\n100 60 0 1\n"),
         "Line 2 of the response is not a frequency, a level and an optional phase: \"100 60 0 1\"."},
        {"response: comments only", ParseFrequencyResponse("* a\n* b\n"),
         "The file holds no frequency response (lines of frequency and level)."},
        {"response: too loud", ParseFrequencyResponse(loud),
         "The band 160 Hz of the response comes to 130 dB; KOV takes levels between 0 and 100 dB."},
        {"table: empty", TableImport("  \r\n", SemicolonTests), "The file is empty."},
        {"table: prose", TableImport("A text file\nof words only\n", SemicolonTests),
         "KOV finds no table in the file: no line of it is split into cells by commas, semicolons or tabs."},
        {"table: too few numbers", TableImport("a;b\n1;2\n", SemicolonTests),
         "The table holds 2 numbers; a test needs the levels of 18 bands."},
        {"table: a quote never closed", TableImport(Semicolon + "\"open;1\r\n", SemicolonTests),
         "The table has a double quote that is never closed."},
        {"table: no level column", TableImport(Semicolon, {TableMapping::Bands::InColumn, 0, {}}),
         "No column of levels was chosen."},
        {"table: eleven tests",
         TableImport(Semicolon, {TableMapping::Bands::InRow, 0, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}}),
         "11 rows of levels were chosen; the grid holds ten tests."},
        {"table: no such band column", TableImport(Semicolon, {TableMapping::Bands::InColumn, 9, {1}}),
         "The table has no column number 10."},
        {"table: bands and levels in one column", TableImport(Semicolon, {TableMapping::Bands::InColumn, 0, {1, 0}}),
         "The bands are in column A; it cannot hold levels too."},
        {"table: a column twice", TableImport(Semicolon, {TableMapping::Bands::InColumn, 0, {2, 1, 2}}),
         "Column C is chosen twice."},
        {"table: an empty level", TableImport(WithTableCell(15, 3, ""), SemicolonTests),
         "Cell C15 (1000 Hz) is empty."},
        {"table: a level that is none", TableImport(WithTableCell(15, 3, "n/a"), SemicolonTests),
         "Cell C15 (1000 Hz) holds \"n/a\", which is no level."},
        {"table: a decimal point among decimal commas", TableImport(WithTableCell(15, 3, "50.4"), SemicolonTests),
         "Cell C15 (1000 Hz) holds \"50.4\", which is no level."},
        {"table: a level of 0", TableImport(WithTableCell(15, 3, "0"), SemicolonTests),
         "Cell C15 (1000 Hz) holds 0 dB; KOV takes levels between 0 and 100 dB."},
        {"table: a 1/6-octave band", TableImport(WithTableCell(16, 1, "1120"), SemicolonTests),
         "Cell A16 holds \"1120\", which is no 1/3-octave band."},
        {"table: a band twice", TableImport(WithTableCell(16, 1, "1k"), SemicolonTests),
         "Cells A15 and A16 both hold the band 1000 Hz."},
        {"table: a band missing", TableImport(WithTableCell(24, 1, "Summe"), SemicolonTests),
         std::string("Column A has no band 8000 Hz") + Needs},
    };
    for (const auto& [what, read, message] : cases)
        EXPECT_EQ(Refusal(read), message + " Nothing was imported.") << what;
}

TEST(SpectrumExportTest, TablesAreReadAsWritten)
{
    const auto read = [](const QByteArray& bytes) {
        const auto table = ParseMeterTable(bytes);
        EXPECT_TRUE(std::holds_alternative<MeterTable>(table));
        return std::holds_alternative<MeterTable>(table) ? std::get<MeterTable>(table) : MeterTable{};
    };
    const QString title = QString::fromUtf8("Messprotokoll B\u00fcro 3. OG \u2013 Raum 12");
    const QByteArray utf8 = QString::fromLatin1(Semicolon).toUtf8().replace("\xc2\x96", "\xe2\x80\x93");
    const TextEncoding w1252 = TextEncoding::Windows1252;
    // (what, bytes, separator and decimal, encoding, row and column of a cell, its text, the mapping suggested)
    const std::tuple<const char*, QByteArray, const char*, TextEncoding, int, int, QString, std::optional<TableMapping>>
        cases[] = {
            {"semicolons in Windows-1252", Semicolon, ";,", w1252, 0, 0, title, SemicolonTests},
            {"the same in UTF-8", utf8, ";,", TextEncoding::Utf8, 0, 0, title, SemicolonTests},
            {"the same with tabs", QByteArray(Semicolon).replace(';', '\t'), "\t,", w1252, 3, 1, "Messung 1",
             SemicolonTests},
            {"commas, quoted names, a BOM", TableRows, ",.", TextEncoding::Utf8WithBom, 1, 0, "Raum \"Nord\", Platz 1",
             TableMapping{TableMapping::Bands::InRow, 0, {1, 2}}},
            {"no line of bands", WithTableCell(15, 1, "1,5"), ";,", w1252, 14, 0, "1,5", std::nullopt},
        };
    for (const auto& [what, bytes, separatorAndDecimal, encoding, row, column, text, mapping] : cases) {
        SCOPED_TRACE(what);
        const MeterTable table = read(bytes);
        EXPECT_EQ(std::tuple(QString() + table.separator + table.decimal, table.encoding, table.cell(row, column)),
                  std::tuple(QString::fromLatin1(separatorAndDecimal), encoding, text));
        EXPECT_EQ(SuggestTableMapping(table), mapping);
    }
    const MeterTable semicolon = read(Semicolon);
    // A line of separators only is blank.
    EXPECT_EQ(
        std::tuple(semicolon.rows.size(), semicolon.columnCount, semicolon.rows[2].isEmpty(), semicolon.number(4, 1)),
        std::tuple(25, 4, true, 50.4));

    // Another export of the same layout (other tests, another day) keeps the key; another layout has its own.
    const QString key = semicolon.layoutKey;
    EXPECT_EQ(key, "semicolon|4|Frequenz [Hz]|Messung|Messung|Messung");
    EXPECT_EQ(read(Replaced(Replaced(Semicolon, "Messung 1", "Messung 7"), "01.12.2026", "02.12.2026")).layoutKey, key);
    EXPECT_NE(read(Replaced(Semicolon, "Messung 3", "Pegel")).layoutKey, key);
    EXPECT_NE(read(QByteArray(Semicolon).replace(';', '\t')).layoutKey, key);
    EXPECT_NE(read(TableRows).layoutKey, key);
}

TEST(SpectrumExportTest, EveryFormatIsToldByItsBytes)
{
    const std::tuple<const char*, QByteArray, std::optional<MeterFormat>> cases[] = {
        {"dsp30.txt", test::MeterFixtureBytes("dsp30.txt"), MeterFormat::Dsp30},
        {"ie45.ivi", test::MeterFixtureBytes("ie45.ivi"), MeterFormat::Ie45},
        {"paa3.paa", test::MeterFixtureBytes("paa3.paa"), MeterFormat::Paa3},
        {"bk2250.xls", test::MeterFixtureBytes("bk2250.xls"), MeterFormat::WorkbookXls},
        {"excel.xlsx", test::MeterFixtureBytes("excel.xlsx"), MeterFormat::WorkbookXlsx},
        {"slm_report.txt", Report, MeterFormat::SpectrumReport},
        {"slm_report_across.txt", ReportAcross, MeterFormat::SpectrumReport},
        {"a damaged report, for its own message", WithoutBands(Report, "160.0"), MeterFormat::SpectrumReport},
        {"response_log.txt", test::MeterFixtureBytes("response_log.txt"), MeterFormat::FrequencyResponse},
        {"response_linear.txt", test::MeterFixtureBytes("response_linear.txt"), MeterFormat::FrequencyResponse},
        {"table_semicolon.csv", Semicolon, MeterFormat::Table},
        {"table_rows.csv", TableRows, MeterFormat::Table},
        {"DSP30 labels that are no bands", Replaced(test::MeterFixtureBytes("dsp30.txt"), "\"160Hz\"", "\"Lmax\""),
         MeterFormat::Table},
        {"a text named .xls", test::MeterFixtureBytes("notaworkbook.xls"), std::nullopt},
        {"a zip without a workbook", test::MeterFixtureBytes("notaworkbook.xlsx"), std::nullopt},
        {"empty", QByteArray(), std::nullopt},
    };
    for (const auto& [what, bytes, format] : cases) {
        SCOPED_TRACE(what);
        ASSERT_FALSE(bytes.isNull() && format) << "missing fixture";
        const auto told = RecogniseMeterFile(bytes);
        const MeterFormat* kind = std::get_if<MeterFormat>(&told);
        EXPECT_EQ(kind ? std::optional(*kind) : std::nullopt, format)
            << (kind ? MeterFormatName(*kind) : std::get<Message>(told).text).toStdString();
    }
    EXPECT_EQ(Refusal(std::get<Message>(RecogniseMeterFile("hello\n"))),
              "KOV cannot tell what this file is. It reads Goldline DSP30 text exports, Ivie IE-45 reports, Phonic "
              "PAA3 exports, B&K 2250 and KOV-layout Excel workbooks (.xls, .xlsx), 1/3-octave spectrum reports of "
              "sound level meters, frequency-response text exports of measurement software, and tables of levels "
              "separated by commas, semicolons or tabs. Nothing was imported.");
    // An IE-45 report is told by half of its band lines naming their band: nine of eighteen do, eight do not (the
    // fixture's 4 kHz line names none).
    const auto withoutLabels = [](int count) {
        QList<QByteArray> lines = test::MeterFixtureBytes("ie45.ivi").split('\n');
        for (int i = 28; i < 28 + count; ++i)
            lines[i] = QByteArray(lines[i].size() - 6, ' ') + lines[i].right(6);
        return lines.join('\n');
    };
    EXPECT_EQ(RecogniseMeterFile(withoutLabels(8)), (std::variant<MeterFormat, Message>(MeterFormat::Ie45)));
    EXPECT_NE(RecogniseMeterFile(withoutLabels(9)), (std::variant<MeterFormat, Message>(MeterFormat::Ie45)));
}
