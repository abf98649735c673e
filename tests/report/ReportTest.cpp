#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <tuple>
#include <utility>
#include <vector>

#include "core/Tables.h"
#include "report/EqualizationReport.h"
#include "report/PrinterData.h"
#include "report/RecordingCanvas.h"

namespace kov {

void PrintTo(const PrintedText& t, std::ostream* os)
{
    *os << "page " << t.page << " (" << t.x << ", " << t.y << ") " << t.fontSize << (t.bold ? " bold " : " ") << '"'
        << t.text.toStdString() << '"';
}

namespace {

using P = PrintedText;

LumoData Project(int generator)
{
    LumoData d;
    InitTables(d);
    d.ProjectInfo(1) = "Smith Offices";
    d.ProjectInfo(2) = "3/14/2026";
    d.Generator = generator;
    return d;
}

// A channel with results: 1 dB at 160 Hz and 60 dB at 1 kHz, so the A-weighted level is 60 (the other bands add
// less than 25 to 10^6 in the power sum).
void GiveMaskingResults(LumoData& d, int ch)
{
    d.MaskFinal(ch, 22) = 1;
    d.MaskFinal(ch, 30) = 60;
    d.MaskFinalOctave(ch, 24) = 52.5f;
    d.MaskFinalOctave(ch, 27) = 53.5f;
    d.MaskCorrection(ch, 23) = 2;
    d.MaskCorrection(ch, 24) = -1.5f;
    d.MaskHighCutFreq(ch) = 4000;
    d.MaskHighCutSlope(ch) = 12;
    d.MaskLowCutFreq(ch) = 200;
    d.MaskLowCutSlope(ch) = 6;
    d.MaskGainChange(ch) = 3;
}

void GivePagingResults(LumoData& d, int pch)
{
    // Control 7 is beyond the six controls the unit has.
    d.PageSpectrum(pch, 22) = 40;
    d.PageLowpassFreq(pch) = 100;
    d.PageHighpassFreq(pch) = 5000;
    d.PageLevel(pch) = 72.5f;
    d.PageEqFreq(pch, 1) = 1000;
    d.PageEqWidth(pch, 1) = 1.5f;
    d.PageEqLevel(pch, 1) = 4.5f;
    d.PageEqFreq(pch, 7) = 500;
}

// A plain line of 9.75 points at (x, y) on `page`.
P L(int x, int y, const QString& text, int page = 2)
{
    return {page, x, y, 9.75, false, text};
}

void ExpectPrinted(const RecordingCanvas& c, const std::vector<P>& expected)
{
    for (const P& e : expected)
        EXPECT_TRUE(c.texts().contains(e)) << ::testing::PrintToString(e);
}

// ---- Layout ---------------------------------------------------------------------------------------------------

TEST(ReportLayoutTest, FollowsThePageWidth)
{
    // (page width, unit, centre, margin, columns of bands 22, 23, 24 and 39)
    const std::vector<std::vector<int>> cases{
        // 566.1 a step, rounded each time: always 566 apart.
        {12240, 153, 6120, 765, 765, 1331, 1897, 10387},
        // 532.8 a step: 533 apart.
        {11520, 144, 5760, 720, 720, 1253, 1786, 9781},
        // 18.5 a step lands on halves: 43.5 goes up to 44, then 62.5 down to 62, ...
        {479, 5, 200, 25, 25, 44, 62, 332},
    };
    for (const std::vector<int>& c : cases) {
        const ReportLayout l = ReportLayoutFor(c[0]);
        EXPECT_EQ((std::vector<int>{c[0], l.ReportUnit, l.ReportCentre, l.ReportMargin, l.ReportColumn(22),
                                    l.ReportColumn(23), l.ReportColumn(24), l.ReportColumn(39)}),
                  c);
    }
}

// ---- Page header ----------------------------------------------------------------------------------------------

TEST(PageHeaderTest, PrintsNumberTitleProjectAndDate)
{
    RecordingCanvas c;
    const LumoData d = Project(GeneratorDA2500);
    ReportLayout l = ReportLayoutFor(c.pageWidth());
    ASSERT_TRUE(PrintPageHeader(c, d, l, 3));
    EXPECT_EQ(c.texts(), (QList<P>{{1, 1000, 100, 10, false, "Page 3"},
                                   {1, 3480, 650, 16, true, "MASKING SYSTEM EQUALIZATON REPORT"},
                                   {1, 4800, 1050, 12, true, "Project: Smith Offices"},
                                   {1, 5220, 1350, 12, true, "Date: 3/14/2026"}}));
    EXPECT_EQ(std::tuple(l.ReportY, c.fontBold(), c.fontSize()), std::tuple(1350, true, 12.0));
}

// ---- Pages --------------------------------------------------------------------------------------------------------

const P Mask1{1, 4080, 2150, 12, true, "THE MASKING SPECTRUM for Channel 1"};
const P Mask3Low{1, 4080, 7800, 12, true, "THE MASKING SPECTRUM for Channel 3"};
// After the header the printer stands one 12-point line below the date: 1350 + 288 + 800.
P Paging(int page, int ch)
{
    return {page, 4140, 2438, 12, true, QStringLiteral("THE PAGING SPECTRUM for Channel %1").arg(ch)};
}

TEST(ReportPagesTest, BlocksLandOnTheirPages)
{
    // (what, masking channels given results, paging channels, pages, every block title in order)
    const std::tuple<const char*, std::vector<int>, std::vector<int>, int, std::vector<P>> cases[] = {
        {"no results", {}, {}, 1, {}},
        {"three masking channels and paging",
         {1, 3, 5},
         {1},
         3,
         {Mask1, Mask3Low, {2, 4080, 2150, 12, true, "THE MASKING SPECTRUM for Channel 5"}, Paging(3, 1)}},
        {"two masking channels fill page 1 and no more", {1, 3}, {}, 1, {Mask1, Mask3Low}},
        {"two masking channels, paging on the next page", {1, 3}, {2}, 2, {Mask1, Mask3Low, Paging(2, 2)}},
        {"paging without masking", {}, {1}, 2, {Paging(2, 1)}},
    };
    for (const auto& [what, masking, paging, pages, expectedTitles] : cases) {
        SCOPED_TRACE(what);
        LumoData d = Project(GeneratorDA2500);
        for (int ch : masking)
            GiveMaskingResults(d, ch);
        for (int pch : paging)
            GivePagingResults(d, pch);
        // Results in every band but 160 Hz, or a negative one there, do not count.
        d.MaskFinal(2, 30) = 60;
        d.MaskFinal(4, 22) = -1;
        d.PageSpectrum(2, 30) = 60;
        RecordingCanvas canvas;
        EXPECT_EQ(PrintReport(canvas, d), std::nullopt);
        EXPECT_EQ(std::tuple(canvas.page(), canvas.endDocCount()), std::tuple(pages, 1));
        std::vector<P> titles;
        std::copy_if(canvas.texts().begin(), canvas.texts().end(), std::back_inserter(titles),
                     [](const P& t) { return t.text.startsWith("THE "); });
        EXPECT_EQ(titles, expectedTitles);
        if (masking.empty() && paging.empty()) {
            EXPECT_EQ(canvas.texts().size(), 4);  // the header alone
        }
        for (int page = 1; page <= pages; ++page) {
            const QList<P> on = canvas.textsOnPage(page);
            ASSERT_GE(on.size(), 4);
            EXPECT_EQ(std::tuple(on[0].text, on[3].text),
                      std::tuple(QStringLiteral("Page %1").arg(page), "Date: 3/14/2026"));
        }
    }
}

// The printer object's font carries over: into the next page's header and into the next report.
TEST(ReportTest, FontCarriesOver)
{
    LumoData d = Project(GeneratorDA2500);
    for (int ch : {1, 2, 3})
        GiveMaskingResults(d, ch);
    RecordingCanvas canvas;
    ASSERT_EQ(PrintReport(canvas, d), std::nullopt);
    ExpectPrinted(canvas, {{1, 1000, 100, 10, false, "Page 1"}, {2, 1000, 100, 9.75, false, "Page 2"}});

    RecordingCanvas again;
    ASSERT_EQ(PrintReport(again, Project(GeneratorDA2500)), std::nullopt);
    ASSERT_EQ(PrintReport(again, Project(GeneratorDA2500)), std::nullopt);
    EXPECT_EQ(again.texts()[4], (P{1, 1000, 100, 12, true, "Page 1"}));
}

// ---- Masking block --------------------------------------------------------------------------------------------

// The filters are named after the product's unit.
TEST(MaskingBlockTest, PrintsSpectraCorrectionsAndSettings)
{
    for (const auto& [generator, high, low] :
         {std::tuple{GeneratorZUVAR24, "High Cut", "Low Cut"}, {GeneratorDA2500, "Low Pass", "High Pass"}}) {
        SCOPED_TRACE(generator);
        LumoData d = Project(generator);
        GiveMaskingResults(d, 1);
        RecordingCanvas canvas;
        ASSERT_EQ(PrintReport(canvas, d), std::nullopt);
        const QString h = QLatin1String(high);
        const QString l = QLatin1String(low);
        const std::vector<P> expected{
            Mask1,
            // 36 characters of 97.5 twips: 3510 wide.
            L(4365, 2450, "FINAL 1 OCTAVE BAND MASKING SPECTRUM", 1),
            L(4161, 2684, " 250 ", 1),
            L(4727, 2684, " 500 ", 1),
            L(6991, 2684, " 8000 ", 1),
            L(4314, 2918, " 52 ", 1),
            L(4880, 2918, " 54 ", 1),
            L(7144, 2918, " 0 ", 1),
            L(0, 3152, "", 1),
            // 38 characters: 3705 wide, half of it 1852.
            L(4268, 3386, "FINAL 1/3 OCTAVE BAND MASKING SPECTRUM", 1),
            L(765, 3620, " 160 ", 1),
            L(918, 3854, " 1 ", 1),
            L(5446, 3854, " 60 ", 1),
            L(765, 4556, " 160 ", 1),
            L(765, 4790, " 0.0", 1),
            L(1331, 4790, "+2.0", 1),
            L(1897, 4790, "- 1.5", 1),
            L(5438, 5258, "OTHER SETTINGS", 1),
            L(765, 5492, h + " filter cutoff frequency:  4000 Hz.", 1),
            L(765, 5726, h + " filter slope:  12 dB/octave.", 1),
            L(765, 5960, l + " filter cutoff frequency:  200 Hz.", 1),
            L(765, 6194, l + " filter slope:  6 dB/octave.", 1),
            L(765, 6428, "Required change in generator gain: +3 dB.", 1),
            L(765, 6662, "The A-weighted masking level is :60 dB.", 1),
        };
        ExpectPrinted(canvas, expected);
        // Title, subtitle, 6 + 6 octave items, 4 rows of 18 bands, 3 empty lines, 2 titles, 6 settings; then the
        // proof: the verdict, 18 band marks, the deviation and the spread; and the unit of each of the 7 rows.
        EXPECT_EQ(canvas.texts().size(), 4 + 2 + 12 + 72 + 3 + 3 + 6 + 21 + 7);
    }
}

// The gain to set carries its own sign, in whole decibels rounded half to even.
TEST(GainLineTest, SignedWholeDecibels)
{
    const std::vector<std::pair<f32, const char*>> cases{{-3, "-3 dB."},   {0, " 0 dB."},    {-0.4f, " 0 dB."},
                                                         {0.4f, " 0 dB."}, {2.5f, "+2 dB."}, {-3.5f, "-4 dB."}};
    for (const auto& [gain, text] : cases) {
        LumoData d = Project(GeneratorDA2500);
        GiveMaskingResults(d, 1);
        d.MaskGainChange(1) = gain;
        RecordingCanvas canvas;
        ASSERT_EQ(PrintReport(canvas, d), std::nullopt);
        ExpectPrinted(canvas, {L(765, 6428, QStringLiteral("Required change in generator gain: ") + text, 1)});
    }
}

// ---- Paging block ---------------------------------------------------------------------------------------------

// Both paging channels share one page. The DA2500 lines are the curve of the location, channel, level and band
// limits the Page window showed; a location the project does not hold has no preset to stand for it.
TEST(PagingBlockTest, BothChannelsShareOnePage)
{
    // (product, lines expected, the locations of channels 1 and 2: mostly 4, "Face-Down in Suspended Ceiling", and 3,
    // "Under Raised Access Floor")
    const std::tuple<int, std::vector<P>, i16, i16> cases[] = {
        {GeneratorDU3001,
         {Paging(2, 1),
          L(3634, 2738, "1/3 OCTAVE BAND PAGING SPECTRUM SETTINGS IN MG UNIT"),
          L(765, 2972, " 160 "),
          L(765, 3206, " 0.0"),
          L(6425, 3206, "- 1.0"),
          L(765, 3440, "Lowpass cutoff frequency:  100 Hz."),
          L(765, 3674, "Lowpass filter slope: - 12 dB/Octave."),
          L(765, 3908, "Highpass filter cutoff frequency:  5000 Hz."),
          L(765, 4142, "Highpass filter slope: 12 dB/octave."),
          L(765, 4376, "Overall paging level for good intelligibility:  72 dBA."),
          // 800 below the line the first block ended on (4376 + 234).
          {2, 4140, 5410, 12, true, "THE PAGING SPECTRUM for Channel 2"}},
         4,
         3},
        {GeneratorZUVAR24,
         {Paging(2, 1),
          L(4122, 2738, "PARAMETIC EQUALIZER SETTINGS IN MG24 UNIT"),
          L(765, 2938, "EQ Control 1"),
          L(1265, 3138, "EQ Type = Parametric"),
          L(1265, 3338, "EQ Freq = 1000 Hz"),
          L(1265, 3538, "EQ  BW = 1.5 Oct"),
          L(1265, 3738, "EQ Level = 4 dB"),
          L(765, 3938, "EQ Control 2"),
          L(1265, 4138, "Bypass"),
          L(765, 5538, "EQ Control 6"),
          L(1265, 5738, "Bypass"),
          {2, 4140, 6772, 12, true, "THE PAGING SPECTRUM for Channel 2"}},
         4,
         3},
        {GeneratorDA2500,
         {Paging(2, 1),
          L(3439, 2738, "1/3 OCTAVE BAND PAGING SPECTRUM SETTINGS IN DA2500 UNIT"),
          L(765, 2972, " 160 "),
          L(10387, 2972, " 8000 "),
          L(3595, 3206, " 0.0"),
          L(4161, 3206, "+1.0"),
          L(5859, 3206, "+2.0"),
          L(8123, 3206, "+1.0"),
          L(8689, 3206, " 0.0"),
          L(765, 3440, "Paging channel: 1."),
          L(765, 3674, "Low limit of the paging band: 100 Hz."),
          L(765, 3908, "High limit of the paging band: 5000 Hz."),
          L(765, 4142, "Overall paging level for good intelligibility: 72.5 dBA."),
          {2, 4140, 5176, 12, true, "THE PAGING SPECTRUM for Channel 2"},
          L(6991, 5944, "+8.0"),
          L(10387, 5944, "+4.0"),
          L(765, 6178, "Paging channel: 2.")},
         4,
         3},
        {GeneratorVO120R,
         {Paging(2, 1),
          L(5048, 2738, "VO120R PAGING SETTINGS"),
          L(765, 2972, "Treble Setting: Set Straight Up"),
          {2, 4140, 4006, 12, true, "THE PAGING SPECTRUM for Channel 2"},
          L(765, 4540, "Treble Setting: Set to +5 Dots")},
         4,
         3},
        {GeneratorVO120RDAR131,
         {L(765, 2972, "Treble Setting: Set to +3 Dots"),
          L(765, 4540, "No speaker location is stored for this channel.")},
         1,
         0},
        {GeneratorDA2500,
         {L(765, 2972, "No speaker location is stored for this channel."),
          {2, 4140, 4006, 12, true, "THE PAGING SPECTRUM for Channel 2"}},
         5,
         3},
    };
    for (const auto& [generator, expected, location1, location2] : cases) {
        SCOPED_TRACE(generator);
        LumoData d = Project(generator);
        GivePagingResults(d, 1);
        GivePagingResults(d, 2);
        d.PageSpeakerOption(1) = location1;
        d.PageSpeakerOption(2) = location2;
        RecordingCanvas canvas;
        ASSERT_EQ(PrintReport(canvas, d), std::nullopt);
        EXPECT_EQ(canvas.page(), 2);
        ExpectPrinted(canvas, expected);
        // The unit has six controls: the seventh of each channel is not printed.
        if (generator == GeneratorZUVAR24) {
            EXPECT_EQ(std::count_if(canvas.texts().begin(), canvas.texts().end(),
                                    [](const P& t) { return t.text.startsWith("EQ Control"); }),
                      12);
        }
    }
}

// ---- Failure --------------------------------------------------------------------------------------------------

TEST(ReportFailureTest, StopsWithPrintError)
{
    // (where it fails, the texts recorded, the documents ended)
    for (const auto& [atEnd, texts, ended] : {std::tuple{false, 5, 0}, {true, 130, 1}}) {
        SCOPED_TRACE(atEnd ? "at the end of the document" : "at the sixth text");
        LumoData d = Project(GeneratorDA2500);
        GiveMaskingResults(d, 1);
        RecordingCanvas canvas;
        if (atEnd)
            canvas.failAtEndDoc("Printer not ready");
        else
            canvas.failAtPrint(6, "Printer not ready");
        EXPECT_EQ(PrintReport(canvas, d),
                  (Message{"Printer not ready occurred in printing. Report cannot be completed.", "Print Error",
                           MsgIcon::Critical}));
        EXPECT_EQ(std::tuple(canvas.texts().size(), canvas.endDocCount()), std::tuple(qsizetype{texts}, ended));
    }
}

// ---- Printer selection ----------------------------------------------------------------------------------------

TEST(PrinterDataLinesTest, ListsWhatThePrinterTells)
{
    // (everything; a quality code; unknowns; out of range)
    const std::pair<PrinterCharacteristics, QStringList> cases[] = {
        {{"Office Laser", "Times New Roman", 2, 1, 600, "lpd://10.0.0.7/queue"},
         {"   CURRENT PRINTER", "Office Laser", "Font: Times New Roman", "Font Size: Variable",
          "Orientation: Landscape", "Mode: Black and White", "Print Quality: 600 DPI", "Port: lpd://10.0.0.7/queue"}},
        {{"Draft Jet", "Arial", 1, 2, -4, ""},
         {"   CURRENT PRINTER", "Draft Jet", "Font: Arial", "Font Size: Variable", "Orientation: Portrait",
          "Mode: Color", "Print Quality: -4 DPI", "Port: "}},
        {{"Old Printer", "Times New Roman", std::nullopt, std::nullopt, std::nullopt, std::nullopt},
         {"   CURRENT PRINTER", "Old Printer", "Font: Times New Roman", "Font Size: Variable"}},
        {{"", "", 3, 0, 300, std::nullopt}, {"   CURRENT PRINTER", "Font Size: Variable", "Print Quality: 300 DPI"}},
    };
    for (const auto& [printer, lines] : cases)
        EXPECT_EQ(PrinterDataLines(printer), lines);
}

TEST(PrinterOrientationTest, TogglesToLandscapeOnlyFromPortrait)
{
    const std::vector<std::pair<int, int>> cases{{1, 2}, {2, 1}, {0, 1}, {3, 1}};
    for (const auto& [from, to] : cases)
        EXPECT_EQ(ToggledOrientation(from), to) << from;
}

// 49 characters at 14 points: 6860 twips wide and 336 high, halves 3430 and 168. Half-page ties go to the even
// neighbour: 6120.5 - 3430 and 7921.5 - 168.
TEST(TestPageTest, StandsInTheMiddleAndEndsTheDocument)
{
    for (const auto& [width, height, y] : {std::tuple{12240, 15840, 7752}, {12241, 15843, 7754}}) {
        RecordingCanvas canvas(width, height);
        EXPECT_EQ(PrintTestPage(canvas), std::nullopt);
        const P expected{1, 2690, y, 14, false, "This is a test print to check printer connection."};
        EXPECT_EQ(std::tuple(canvas.texts(), canvas.endDocCount()), std::tuple(QList<P>{expected}, 1));
    }
}

TEST(TestPageFailureTest, SaysWhyAndSendsNothing)
{
    RecordingCanvas canvas;
    canvas.failAtPrint(1, "Printer not ready");
    EXPECT_EQ(PrintTestPage(canvas), (Message{"Printer not ready occurred. Could not complete test print.",
                                              "Print Error", MsgIcon::Information}));
    EXPECT_EQ(canvas.endDocCount(), 0);
}

}  // namespace
}  // namespace kov
