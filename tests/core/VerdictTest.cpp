#include <gtest/gtest.h>

#include <QList>

#include <vector>

#include "core/FolderFile.h"
#include "core/ProjectFile.h"
#include "core/Tables.h"
#include "core/Verdict.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/ParseError.h"

using namespace kov;
using kov::test::FileLines;
using kov::test::GoldenFile;
using kov::test::HandBuiltProject;
using kov::test::JoinLines;
using kov::test::ParseError;

namespace {

BandArray Flat(f32 level)
{
    BandArray a;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        a(b) = level;
    return a;
}

BandArray With(BandArray a, int band, f32 level)
{
    a(band) = level;
    return a;
}

LumoData Tables()
{
    LumoData d;
    InitTables(d);
    return d;
}

}  // namespace

TEST(DeviationTest, RootMeanSquareAndTheWorstBand)
{
    const struct {
        const char* name;
        BandArray levels;
        Deviation expected;
    } cases[] = {
        {"on the goal", Flat(40), {0, 0, 22}},
        // sqrt((9 + 9) / 18) = 1; of two bands as far off, the first is named.
        {"three up at 315 Hz and down at 1 kHz", With(With(Flat(40), 25, 43), 30, 37), {1.0F, 3.0F, 25}},
        // sqrt(16 / 18) = 0.943
        {"four down at 8 kHz", With(Flat(40), 39, 36), {0.9F, -4.0F, 39}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DeviationFrom(Flat(40), c.levels), c.expected) << c.name;
}

TEST(ResultAfterFitTest, CorrectionsCountAsFarAsTheFiltersReach)
{
    const struct {
        const char* name;
        int generator;
        f32 correction;
        f32 result;  // of an adjusted 40 dB
    } cases[] = {
        {"DA2500 within its range", GeneratorDA2500, 12, 52},
        {"DA2500 past +12", GeneratorDA2500, 14, 52},
        {"DU3001 past -12", GeneratorDU3001, -13, 28},
        {"ZUV-AR24 past -30", GeneratorZUVAR24, -32, 10},
        {"ZUV-AR24 past +15", GeneratorZUVAR24, 16, 55},
        {"VO120R+DAR131 has no range checked", GeneratorVO120RDAR131, 20, 60},
        {"VO120R has no 1/3-octave filters", GeneratorVO120R, 5, 40},
        {"RUZ1200U has none either", GeneratorRUZ1200U, 5, 40},
    };
    for (const auto& c : cases) {
        const BandArray result = ResultAfterFit(c.generator, Flat(40), With(Flat(0), 30, c.correction));
        EXPECT_EQ(result(30), c.result) << c.name;
        EXPECT_EQ(result(29), 40) << c.name;
    }
}

TEST(JudgeChannelTest, EachBandAndTheOverallLevelAgainstTheirTolerances)
{
    const LumoData d = Tables();
    const struct {
        const char* name;
        BandArray result;
        Tolerance tolerance;
        bool bandInside;  // 1 kHz
        bool levelInside;
        bool passed;
    } cases[] = {
        {"on the goal", Flat(40), {}, true, true, true},
        {"a band at the edge", With(Flat(40), 30, 42), {2, 5, 2}, true, true, true},
        {"a band just past it", With(Flat(40), 30, 42.01F), {2, 5, 2}, false, true, false},
        {"a band just below it", With(Flat(40), 30, 37.99F), {2, 5, 2}, false, true, false},
        {"the level at its edge", Flat(40.5F), {20, 0.5F, 2}, true, true, true},
        {"the level past it", Flat(40.6F), {20, 0.5F, 2}, true, false, false},
        {"the level below it", Flat(39.4F), {20, 0.5F, 2}, true, false, false},
        {"a wider window", With(Flat(40), 30, 43), {3, 5, 2}, true, true, true},
    };
    for (const auto& c : cases) {
        const ChannelVerdict v = JudgeChannel(d, Flat(40), Flat(41), c.result, c.tolerance);
        EXPECT_EQ(v.inside(30), c.bandInside) << c.name;
        EXPECT_TRUE(v.inside(31)) << c.name;
        EXPECT_EQ(v.levelInside, c.levelInside) << c.name;
        EXPECT_EQ(v.passed, c.passed) << c.name;
        EXPECT_EQ(v.before, (Deviation{1, 1, 22})) << c.name;
    }
}

TEST(SpreadTest, RangeAcrossPositionsAndEachPositionAgainstTheAverage)
{
    const LumoData d = Tables();
    const PositionSpread s = SpreadOfTests(d, {Flat(40), Flat(41), With(Flat(45), 33, 51)}, 2);
    EXPECT_EQ(s.count, 3);
    EXPECT_EQ(s.range(22), 5);
    EXPECT_EQ(s.widest, 11);
    EXPECT_EQ(s.widestBand, 33);
    ASSERT_EQ(s.levelOffsets.size(), 3U);
    EXPECT_LT(s.levelOffsets[0], -2);
    EXPECT_GT(s.levelOffsets[2], 3);
    EXPECT_EQ(s.outliers, (std::vector<int>{1, 3}));

    // Flat tests move their A-weighted level by what they move: 40, 41 and 45 about an average of 42.
    const PositionSpread flat = SpreadOfTests(d, {Flat(40), Flat(41), Flat(45)}, 2);
    EXPECT_EQ(flat.levelOffsets, (std::vector<f32>{-2, -1, 3}));
    EXPECT_EQ(flat.outliers, std::vector<int>{3});
    EXPECT_EQ(SpreadOfTests(d, {}, 2).count, 0);
}

TEST(AverageOfTestsTest, TheMeanOfEachBandInTenths)
{
    const BandArray average = AverageOfTests({Flat(40), With(Flat(41), 30, 42.25F), Flat(41)});
    EXPECT_EQ(average(22), 40.7F);
    EXPECT_EQ(average(30), 41.1F);  // 123.25 / 3 = 41.083
    EXPECT_EQ(average(40), 0);
}

TEST(VerdictTextTest, WordsAndMarksSayIt)
{
    const LumoData d = Tables();
    // Up 3 dB at 315 Hz and down 3 at 1 kHz leave the A-weighted level within 0.2 dB of the goal's.
    const BandArray twoOff = With(With(Flat(40), 25, 43), 30, 37);
    const ChannelVerdict bands = JudgeChannel(d, Flat(40), twoOff, twoOff, {});
    EXPECT_EQ(VerdictText(bands, d.BandFreq),
              QStringLiteral("\u2718 FAILED: 2 bands outside \u00b12.0 dB (315, 1000 Hz)"));
    EXPECT_EQ(DeviationText(bands, d.BandFreq),
              QStringLiteral("Deviation from the goal: measured RMS 1.0 dB, worst +3.0 dB at 315 Hz; after the fit RMS "
                             "1.0 dB, worst +3.0 dB at 315 Hz."));
    EXPECT_EQ(VerdictTexts(bands, d.BandFreq).back(), QStringLiteral("\u2718 FAILED: 2 bands outside \u00b12.0 dB"));
    const ChannelVerdict level = JudgeChannel(d, Flat(40), Flat(40), Flat(40.6F), {});
    EXPECT_EQ(VerdictText(level, d.BandFreq), QStringLiteral("\u2718 FAILED: overall level +0.6 dBA from the goal"));
    const ChannelVerdict oneBand = JudgeChannel(d, Flat(40), Flat(40), With(Flat(40), 39, 37), {});
    EXPECT_EQ(VerdictText(oneBand, d.BandFreq), QStringLiteral("\u2718 FAILED: 1 band outside \u00b12.0 dB (8000 Hz)"));
    const ChannelVerdict passed = JudgeChannel(d, Flat(40), Flat(40), Flat(40), {});
    EXPECT_EQ(VerdictText(passed, d.BandFreq), QStringLiteral("\u2714 PASSED"));
    EXPECT_EQ(DeviationText(passed, d.BandFreq),
              QStringLiteral("Deviation from the goal: measured RMS 0.0 dB, worst 0.0 dB at 160 Hz; after the fit RMS "
                             "0.0 dB, worst 0.0 dB at 160 Hz."));
    EXPECT_EQ(ToleranceText({}), QStringLiteral("Tolerance: \u00b12.0 dB per band, \u00b10.5 dBA overall"));
    EXPECT_EQ(BandMark(true), QStringLiteral("\u2714"));
    EXPECT_EQ(BandMark(false), QStringLiteral("\u2718"));

    const PositionSpread spread = SpreadOfTests(d, {Flat(40), Flat(41), Flat(45)}, 2);
    EXPECT_EQ(SpreadText(spread, 2, d.BandFreq),
              QStringLiteral("Positions: 3 tests, widest spread 5.0 dB at 160 Hz; A-weighted levels against the "
                             "average: -2.0, -1.0, +3.0 dBA. Test 3 is more than 2.0 dBA from the average."));
    EXPECT_EQ(SpreadText(SpreadOfTests(d, {Flat(40)}, 2), 2, d.BandFreq),
              QStringLiteral("Positions: 1 test, widest spread 0.0 dB at 160 Hz; A-weighted levels against the "
                             "average: 0.0 dBA."));
    EXPECT_EQ(SpreadText(SpreadOfTests(d, {}, 2), 2, d.BandFreq), QStringLiteral("Positions: no tests held."));
    EXPECT_EQ(SpreadTexts(spread, 2, d.BandFreq).mid(1),
              QStringList({"Positions: 3 tests, widest spread 5.0 dB at 160 Hz; A-weighted levels -2.0 to +3.0 dBA "
                           "against the average. Test 3 is more than 2.0 dBA from the average.",
                           "Positions: 3 tests, widest spread 5.0 dB at 160 Hz; levels -2.0 to +3.0 dBA against the "
                           "average; 1 more than 2.0 dBA from it."}));
    EXPECT_EQ(SpreadSummary(spread, 2, d.BandFreq),
              QStringLiteral("Widest spread 5.0 dB at 160 Hz. Test 3 is more than 2.0 dBA from the average."));
    EXPECT_EQ(SpreadSummary(SpreadOfTests(d, {Flat(40), Flat(41), Flat(45)}, 1), 1, d.BandFreq),
              QStringLiteral("Widest spread 5.0 dB at 160 Hz. Tests 1, 3 are more than 1.0 dBA from the average."));
    EXPECT_EQ(SpreadSummary(SpreadOfTests(d, {Flat(40), Flat(41), Flat(45)}, 3), 3, d.BandFreq),
              QStringLiteral("Widest spread 5.0 dB at 160 Hz. All tests within 3.0 dBA of the average."));
    EXPECT_EQ(SpreadSummary(SpreadOfTests(d, {Flat(40)}, 2), 2, d.BandFreq), QString());
}

TEST(VerdictTextTest, SignedTenths)
{
    const struct {
        f32 x;
        const char* text;
    } cases[] = {{0, "0.0"}, {0.04F, "0.0"}, {-0.04F, "0.0"}, {1.25F, "+1.2"}, {-0.35F, "-0.4"}, {12, "+12.0"}};
    for (const auto& c : cases)
        EXPECT_EQ(SignedTenths(c.x), QString::fromLatin1(c.text)) << c.x;
}

// The project's tolerances are the first three fields of line 3, which older copies wrote as zeros and skip.
TEST(ProjectToleranceTest, KeptInLineThreeAndWrittenOnlyWhenNotTheUsual)
{
    const QByteArray golden = GoldenFile(QStringLiteral("HANDBUILT.MSK"));
    ASSERT_FALSE(golden.isEmpty());
    LumoData d;
    InitTables(d);
    HandBuiltProject(d);
    ASSERT_EQ(FileLines(ProjectFileBytes(d))[2], "0,0,0,0,0,0,0,0,0,0");
    const struct {
        const char* line3;
        Tolerance expected;
        const char* written;  // line 3 as the project is written again
    } cases[] = {
        {"0,0,0,0,0,0,0,0,0,0", {}, "0,0,0,0,0,0,0,0,0,0"},
        {"2.5,1,3,0,0,0,0,0,0,0", {2.5F, 1, 3}, "2.5,1,3,0,0,0,0,0,0,0"},
        {"2,.5,2,0,0,0,0,0,0,0", {}, "0,0,0,0,0,0,0,0,0,0"},
        {"-1,99,.05,0,0,0,0,0,0,0", {}, "0,0,0,0,0,0,0,0,0,0"},
        {"20,.1,0,0,0,0,0,0,0,0", {20, 0.1F, 2}, "20,.1,0,0,0,0,0,0,0,0"},
    };
    for (const auto& c : cases) {
        QList<QByteArray> lines = FileLines(golden);
        lines[2] = c.line3;
        const Parsed<LumoData> parsed = ParseProjectFile(JoinLines(lines), d);
        ASSERT_EQ(ParseError(parsed), "") << c.line3;
        const LumoData read = std::get<LumoData>(parsed);
        EXPECT_EQ(ProjectTolerance(read), c.expected) << c.line3;
        EXPECT_EQ(FileLines(ProjectFileBytes(read))[2], c.written) << c.line3;
    }
}

TEST(InstallerTest, KeptInTheFolderFileOnlyOnceNamed)
{
    LumoData d;
    d.CommPort = 1;
    EXPECT_EQ(FolderFileBytes(d), "1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
    d.InstallerCompany = QStringLiteral("Acme Sound, Inc.");
    d.InstallerName = QStringLiteral("J\u00f6rg Smith");
    const QByteArray named = "1,\"\",\"\",\"\",\"\",\"\",\"\",\"\",9600,\"Acme Sound, Inc.\",\"J\xf6rg Smith\"\r\n";
    EXPECT_EQ(FolderFileBytes(d), named);

    LumoData other;
    const Parsed<LumoData> parsed = ParseFolderFile(named, other);
    ASSERT_EQ(ParseError(parsed), "");
    EXPECT_EQ(std::get<LumoData>(parsed).InstallerCompany, d.InstallerCompany);
    EXPECT_EQ(std::get<LumoData>(parsed).InstallerName, d.InstallerName);
    // A file without the fields names nobody, whoever the copy in memory named.
    const Parsed<LumoData> older = ParseFolderFile("1,\"\",\"\",\"\",\"\",\"\",\"\",\"COM7\",19200\r\n", d);
    ASSERT_EQ(ParseError(older), "");
    EXPECT_EQ(std::get<LumoData>(older).InstallerCompany, QString());
    EXPECT_EQ(std::get<LumoData>(older).InstallerName, QString());
}
