#include <gtest/gtest.h>

#include <QList>

#include <algorithm>

#include "core/Tables.h"
#include "report/EqualizationReport.h"
#include "report/RecordingCanvas.h"

namespace kov {

void PrintTo(const PrintedText& t, std::ostream* os);

namespace {

using P = PrintedText;

// A channel on its goal: 40 dB in every band, measured at two positions a decibel either side of it, a DA2500
// with nothing to correct.
LumoData TunedProject()
{
    LumoData d;
    InitTables(d);
    d.ProjectInfo(1) = "Smith Offices";
    d.ProjectInfo(2) = "3/14/2026";
    d.Generator = GeneratorDA2500;
    d.MaskTestCount(1) = 2;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        d.MaskFinal(1, b) = 40;
        d.MaskAverage(1, b) = 40;
        d.MaskTest(1, 1, b) = 39;
        d.MaskTest(2, 1, b) = 41;
    }
    d.MaskHighCutFreq(1) = 7000;
    return d;
}

QList<P> Printed(const LumoData& d)
{
    RecordingCanvas canvas;
    EXPECT_EQ(PrintReport(canvas, d), std::nullopt);
    return canvas.texts();
}

// 8 points: lines of 192 twips, under the last setting at 6662 (9.75 points, 234 high).
P Proof(int x, int y, const QString& text)
{
    return {1, x, y, 8, false, text};
}

TEST(ReportProofTest, TheVerdictAndItsFiguresFollowTheChannelsSettings)
{
    const QList<P> texts = Printed(TunedProject());
    // Each table's rows say their unit one column past their last item (the levels stand a unit right of theirs).
    EXPECT_TRUE(texts.contains(P{1, 10953, 3620, 9.75, false, "Hz"}));
    EXPECT_TRUE(texts.contains(P{1, 10953 + 153, 3854, 9.75, false, "dB"}));
    const auto level = std::find_if(texts.begin(), texts.end(),
                                    [](const P& t) { return t.text.startsWith("The A-weighted masking level is :"); });
    ASSERT_NE(level, texts.end());
    ASSERT_EQ(level->y, 6662);
    const qsizetype last = level - texts.begin();
    ASSERT_EQ(texts.size(), last + 23);
    EXPECT_EQ(texts[last + 1],
              Proof(765, 6896, "Tolerance: \u00b12.0 dB per band, \u00b10.5 dBA overall. Verdict: \u2714 PASSED"));
    // Each band's mark stands in its band's column.
    EXPECT_EQ(texts[last + 2], Proof(765, 7088, "0.0\u2714"));
    EXPECT_EQ(texts[last + 19], Proof(10387, 7088, "0.0\u2714"));
    EXPECT_EQ(texts[last + 20], Proof(10953, 7088, "dB"));
    EXPECT_EQ(texts[last + 21], Proof(765, 7280,
                                      "Deviation from the goal: measured RMS 0.0 dB, worst 0.0 dB at 160 Hz; after the "
                                      "fit RMS 0.0 dB, worst 0.0 dB at 160 Hz."));
    EXPECT_EQ(texts[last + 22], Proof(765, 7472,
                                      "Positions: 2 tests, widest spread 2.0 dB at 160 Hz; A-weighted levels against "
                                      "the average: -1.0, +1.0 dBA."));
}

TEST(ReportProofTest, ABandTheFiltersCannotReachFailsTheChannel)
{
    LumoData d = TunedProject();
    // 14 dB short at 2 kHz: the DA2500 sets 12 of them, 2 remain, at the edge of the usual window; with a window of
    // 1.5 dB they are outside it.
    d.MaskAverage(1, 33) = 26;
    d.MaskCorrection(1, 33) = 14;
    d.MaskBandTolerance = 1.5F;
    d.MaskLevelTolerance = 5;
    const QList<P> texts = Printed(d);
    EXPECT_TRUE(
        texts.contains(Proof(765, 6896,
                             "Tolerance: \u00b11.5 dB per band, \u00b15.0 dBA overall. Verdict: \u2718 FAILED: 1 "
                             "band outside \u00b11.5 dB (2000 Hz)")));
    EXPECT_TRUE(texts.contains(Proof(6991, 7088, "-2.0\u2718")));
    EXPECT_TRUE(texts.contains(Proof(6425, 7088, "0.0\u2714")));
}

// Ten positions far apart and every band outside: the fullest texts would run off the paper, so each line says as
// much as fits between the margins.
TEST(ReportProofTest, EveryLineOfTheProofStaysOnThePaper)
{
    LumoData d = TunedProject();
    d.MaskTestCount(1) = 10;
    for (int t = 1; t <= 10; ++t) {
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            d.MaskTest(t, 1, b) = 30.0F + 2.5F * static_cast<f32>(t);
    }
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        d.MaskAverage(1, b) = 20;
    RecordingCanvas canvas;
    ASSERT_EQ(PrintReport(canvas, d), std::nullopt);
    RecordingCanvas ruler;
    for (const P& t : canvas.texts()) {
        ruler.setFontSize(t.fontSize);
        EXPECT_LE(t.x + ruler.textWidth(t.text), 12240 - 765) << t.text.toStdString();
    }
    EXPECT_TRUE(canvas.texts().contains(Proof(
        765, 6896,
        "Tolerance: \u00b12.0 dB per band, \u00b10.5 dBA overall. Verdict: \u2718 FAILED: 18 bands outside \u00b12.0 "
        "dB; overall level -20.0 dBA from the goal")));
}

// Under each paging channel's settings: where its loudspeakers are, the background, the level and its rating. The
// next channel still begins 800 twips below the settings, as if the line were not there.
TEST(ReportProofTest, EachPagingChannelSaysWhatItsIntelligibilityRestsOn)
{
    LumoData d = TunedProject();
    d.MaskFinal(1, 22) = 0;
    d.PageSpecOption = 1;  // the database's background
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        d.SpecLevel(0, b) = 30;
        // 12 dB over the background in every band: 12 / 30 of the weights, which sum to 0.0333.
        d.PageSpectrum(1, b) = 42;
        d.PageSpectrum(2, b) = 60;
    }
    d.PageSpeakerOption(1) = 1;
    d.PageLevel(1) = 71.6F;
    d.PageLevel(2) = 80.2F;
    const QList<P> texts = Printed(d);
    const auto line = [&](const char* start) {
        return std::find_if(texts.begin(), texts.end(), [&](const P& t) { return t.text.startsWith(start); });
    };
    const auto first = line("Speaker location: In Ceiling Plenum.");
    ASSERT_NE(first, texts.end());
    EXPECT_EQ(first->text,
              QStringLiteral("Speaker location: In Ceiling Plenum. Background spectrum: Background. Paging "
                             "level: 72 dBA. Intelligibility: Poor (articulation index 0.40)."));
    const auto second = line("Speaker location: none stored.");
    ASSERT_NE(second, texts.end());
    EXPECT_EQ(second->text,
              QStringLiteral("Speaker location: none stored. Background spectrum: Background. Paging level: "
                             "80 dBA. Intelligibility: Excellent (articulation index 1.00)."));
    const auto title = line("THE PAGING SPECTRUM for Channel 2");
    ASSERT_NE(title, texts.end());
    EXPECT_EQ(title->y, first->y + 800);

    d.PageSpecOption = 0;
    const QList<P> unrated = Printed(d);
    EXPECT_TRUE(std::any_of(unrated.begin(), unrated.end(), [](const P& t) {
        return t.text.endsWith(
            "Background spectrum: none stored. Paging level: 72 dBA. Intelligibility: not rated (no "
            "background spectrum to rate it against).");
    }));
}

// The installer stands under the header in the plain font; nothing else moves for it, not even the paging block
// that follows wherever the header left off.
TEST(ReportProofTest, TheInstallerIsNamedUnderEveryHeaderAndMovesNothing)
{
    LumoData d = TunedProject();
    d.PageSpectrum(1, 22) = 40;
    d.PageEqFreq(1, 1) = 1000;
    const QList<P> without = Printed(d);
    d.InstallerCompany = QStringLiteral("Acme Sound");
    d.InstallerName = QStringLiteral("J. Smith");
    QList<P> with = Printed(d);
    // "Installer: Acme Sound, J. Smith": 31 characters of 97.5 twips, 3022 wide, half of it 1511.
    for (int page : {1, 2}) {
        const P installer{page, 6120 - 1511, 1638, 9.75, false, "Installer: Acme Sound, J. Smith"};
        EXPECT_EQ(with.removeAll(installer), 1) << page;
    }
    EXPECT_EQ(with, without);
}

}  // namespace

}  // namespace kov
