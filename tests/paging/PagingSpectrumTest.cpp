#include <gtest/gtest.h>

#include <limits>
#include <tuple>
#include <vector>

#include "core/Levels.h"
#include "core/Tables.h"
#include "paging/PagingSpectrum.h"

using namespace kov;

namespace {

constexpr int Ch = 2;

LumoData Tables(int generator = GeneratorZUVAR24)
{
    LumoData d;
    InitTables(d);
    d.Generator = static_cast<i16>(generator);
    return d;
}

BandArray Spectrum(std::initializer_list<f32> bands22to39)
{
    BandArray s;
    int b = FirstDataBand;
    for (const f32 v : bands22to39)
        s(b++) = v;
    return s;
}

BandArray Flat(f32 level)
{
    return Spectrum({level, level, level, level, level, level, level, level, level, level, level, level, level, level,
                     level, level, level, level});
}

// The backgrounds of tests/fixtures/paging_reference.py.
const BandArray Office = Spectrum({47.5f, 46.8f, 45.2f, 44.9f, 43.1f, 42.0f, 40.6f, 39.8f, 38.3f, 37.5f, 36.2f, 34.9f,
                                   33.1f, 31.8f, 30.2f, 28.7f, 26.9f, 25.0f});
const BandArray MaskingResult = Spectrum({44.7f, 45.1f, 45.6f, 46.2f, 46.4f, 46.5f, 45.3f, 44.1f, 42.9f, 41.7f, 40.5f,
                                          39.3f, 36.3f, 33.3f, 30.3f, 27.3f, 24.3f, 21.3f});
const BandArray Hum = Spectrum({70, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10, 10});
const BandArray Rumble = Spectrum({62, 58, 54, 50, 46, 42, 38, 34, 30, 27, 24, 21, 18, 15, 12, 10, 8, 6});

// Runs the calculation the way the window does and keeps every step.
std::vector<PagingStep> RunAll(PagingCalculation& calc)
{
    std::vector<PagingStep> steps{calc.start()};
    while (calc.needsRaise())
        steps.push_back(calc.raise());
    return steps;
}

TEST(ArticulationIndexTest, TermsAreClippedAtZeroAndThirtyDecibelsAndOnlyWeightedBandsCount)
{
    const LumoData d = Tables();
    // (paging spectrum minus background in every band, index) The weights sum to 0.0333: 12 dB gives 0.3996, 30 dB
    // and more 0.999, both rounded to 0.01.
    for (const auto& [above, index] :
         {std::pair{-10.f, 0.f}, {0.f, 0.f}, {12.f, 0.4f}, {30.f, 1.f}, {45.f, 1.f}, {15.f, 0.5f}, {3.f, 0.1f}})
        EXPECT_EQ(ArticulationIndex(d, Flat(40 + above), Flat(40)), index) << above;

    BandArray s = Flat(40);
    // Bands 22, 38 and 39 carry no weight; band 33 (2 kHz) carries 0.0038 and alone gives 0.114 at 30 dB.
    s(22) = s(38) = s(39) = 90;
    const f32 unweighted = ArticulationIndex(d, s, Flat(40));
    s(33) = 70;
    EXPECT_EQ(std::tuple(unweighted, ArticulationIndex(d, s, Flat(40))), std::tuple(0.f, 0.11f));
}

TEST(IntelligibilityRatingTest, Boundaries)
{
    const std::pair<f32, const char*> cases[] = {
        {0.0f, "Poor"}, {0.6f, "Poor"},  {0.61f, "Marginal"}, {0.7f, "Marginal"},  {0.71f, "Fair"},
        {0.8f, "Fair"}, {0.81f, "Good"}, {0.89f, "Good"},     {0.9f, "Excellent"}, {1.0f, "Excellent"}};
    for (const auto& [index, rating] : cases)
        EXPECT_EQ(IntelligibilityRating(index), QString::fromLatin1(rating)) << index;
}

TEST(BackgroundOptionsTest, CaptionsStatesAndSpectraByProduct)
{
    using S = BackgroundSource;
    const BackgroundOption notUsed{"Not used", false, {}};
    // (product, option, what it is)
    const std::tuple<int, int, BackgroundOption> cases[] = {
        {GeneratorZUVAR24, 1, {"Background", true, {S::Database, 0}}},
        {GeneratorZUVAR24, 2, {"MG24 Channel 3", true, {S::Masking, 3}}},
        {GeneratorZUVAR24, 4, {"MG24 Channel 5", true, {S::Masking, 5}}},
        {GeneratorZUVAR24, 5, {"Mg24 Channel 6", true, {S::Masking, 6}}},
        {GeneratorDA2500, 3, {"DA2500 Channel 2", true, {S::Masking, 2}}},
        {GeneratorDA2500, 4, notUsed},
        {GeneratorVO120R, 2, {"VO120R Mask", true, {S::Masking, 1}}},
        {GeneratorVO120R, 3, notUsed},
        {GeneratorVO120R, 5, notUsed},
        {GeneratorVO120RDAR131, 2, {"VO120R Mask", true, {S::Masking, 1}}},
        {GeneratorVO120RDAR131, 3, notUsed},
        {GeneratorVO120RDAR131, 5, notUsed},
    };
    for (const auto& [generator, option, expected] : cases)
        EXPECT_EQ(BackgroundOptions(generator)(option), expected) << generator << ' ' << option;
}

TEST(ChoosingTest, UnequalizedMaskingChannelIsNotAvailable)
{
    LumoData d = Tables(GeneratorZUVAR24);
    ActivatePaging(d, Ch);
    d.PageSpeakerOptionEdit(Ch) = 1;
    // Option 3 stands for masking channel 4, which has never been fitted.
    const PagingChoice c = ChooseBackground(d, Ch, 3);
    EXPECT_EQ(
        std::tuple(c.unavailable, c.background.has_value(), c.calculateEnabled, d.PageSpecOptionEdit),
        std::tuple(std::optional(Message{"The Channel4 spectrum is not available.", "No data", MsgIcon::Critical}),
                   false, false, 3));
    // A speaker location chosen after that still has nothing to calculate over.
    EXPECT_FALSE(ChooseSpeakerLocation(d, Ch, 2, BandArray{}).calculateEnabled);
}

TEST(ChoosingTest, BothOrdersEndReadyToCalculate)
{
    for (const bool speakerFirst : {true, false}) {
        LumoData d = Tables(GeneratorDA2500);
        SetChannelRow(d.MaskMatched, 2, Flat(30.5f));
        SCOPED_TRACE(speakerFirst);
        const PagingStart start = ActivatePaging(d, Ch);
        EXPECT_EQ(std::tuple(start.caption, start.note),
                  std::tuple(QStringLiteral("Setting Paging Equalizer Corrections for Channel2"),
                             QStringLiteral(
                                 "Choose the speaker location and the backgound or masking spectrum for the area.")));
        const PagingChoice first =
            speakerFirst ? ChooseSpeakerLocation(d, Ch, 4, BandArray{}) : ChooseBackground(d, Ch, 3);
        EXPECT_EQ(std::tuple(first.note, first.calculateEnabled),
                  std::tuple(QString::fromLatin1(speakerFirst ? "Choose the reference background spectrum."
                                                              : "Choose the speaker location.."),
                             false));
        const PagingChoice last = speakerFirst
                                      ? ChooseBackground(d, Ch, 3)
                                      : ChooseSpeakerLocation(d, Ch, 4, first.background.value_or(BandArray{}));
        EXPECT_EQ(std::tuple(last.note, last.calculateEnabled, d.PageSpeakerOptionEdit(Ch), d.PageSpecOptionEdit),
                  std::tuple("Press CALCULATE to create the paging spectrum.", true, 4, 3));
    }
}

TEST(ChoosingTest, BackgroundRowIsBands22To39OfTheProjectSpectrum)
{
    LumoData d = Tables(GeneratorZUVAR24);
    for (int b = FirstBand; b <= LastBand; ++b) {
        d.SpecLevel(0, b) = 50.f;
        d.MaskMatched(3, b) = 40.f;
    }
    ActivatePaging(d, Ch);
    // An edit of the Mask window that was never stored does not count.
    d.MaskMatchedEdit(3, 22) = 0;
    const BandArray mask = ChooseBackground(d, Ch, 2).background.value_or(BandArray{});
    EXPECT_EQ(std::tuple(mask(22), mask(39), mask(21), mask(40)), std::tuple(40, 40, 0, 0));
    EXPECT_EQ(ChooseBackground(d, Ch, 1).background.value_or(BandArray{})(30), 50);
}

TEST(ActivatePagingTest, KeepsTheOtherChannelsStoredResults)
{
    LumoData d = Tables();
    d.PageLevel(1) = 61.5f;
    d.PageSpectrum(1, 30) = 58.25f;
    d.PageEqFreq(1, 1) = 2500;
    d.PageSpeakerOption(1) = 3;
    d.PageSpeakerOption(2) = 2;
    d.PageSpecOption = 2;
    ActivatePaging(d, Ch);
    // The choices shown unselected are unselected.
    EXPECT_EQ(std::tuple(d.PageLevelEdit(1), d.PageSpectrumEdit(1, 30), d.PageEqFreqEdit(1, 1),
                         d.PageSpeakerOptionEdit(1), d.PageSpeakerOptionEdit(Ch), d.PageSpecOptionEdit),
              std::tuple(61.5f, 58.25f, 2500, 3, 0, 0));
}

TEST(PagingCalculationTest, StartThatReachesTheTargetGivesOneLine)
{
    LumoData d = Tables(GeneratorDA2500);
    PagingCalculation calc(d, Ch, Hum);
    const PagingStep s = calc.start();
    // 57.0 dBA of hum, start 52.0; 30 dB above the room in every weighted band: index 1.
    EXPECT_EQ(std::tuple(calc.needsRaise(), s.index, s.level, calc.lines()),
              std::tuple(false, 1.0f, 61.2f, QStringList{"dBA  Intelligibility", "61    Excellent"}));
    EXPECT_EQ(std::tuple(d.PageSpectrumEdit(Ch, 12), d.PageSpectrumEdit(Ch, 37), d.PageSpectrumEdit(Ch, 42),
                         d.PageSpectrumEdit(Ch, 43)),
              std::tuple(52.f, 43.f, 32.f, 52.f));
    const PagingEnd end = calc.done();
    EXPECT_EQ(std::tuple(end.reached, end.note),
              std::tuple(true, std::optional<QString>("Press Show Settings to show page results then open DA2500 "
                                                      "software and transfer the settings.  Then press Done.")));
}

// Printed by tests/fixtures/paging_reference.py for the rumble, one row for each raise from none on: (level, its
// text, index, rating, the line of the list or "" for none).
// clang-format off
const std::tuple<f32, const char*, f32, const char*, const char*> RumbleSteps[] = {
    {57.4f, "57", 0.67f, "Marginal", "57    Marginal"}, {57.9f, "58", 0.68f, "Marginal", ""},
    {58.4f, "58", 0.7f, "Marginal", ""}, {58.9f, "59", 0.71f, "Fair", "59    Fair"}, {59.4f, "59", 0.72f, "Fair", ""},
    {59.9f, "60", 0.73f, "Fair", ""}, {60.4f, "60", 0.75f, "Fair", ""}, {60.9f, "61", 0.76f, "Fair", ""},
    {61.4f, "61", 0.77f, "Fair", ""}, {61.9f, "62", 0.78f, "Fair", ""}, {62.4f, "62", 0.79f, "Fair", ""},
    {62.9f, "63", 0.79f, "Fair", ""}, {63.4f, "63", 0.8f, "Fair", ""}, {63.9f, "64", 0.81f, "Good", "64    Good"},
    {64.4f, "64", 0.82f, "Good", ""}, {64.9f, "65", 0.83f, "Good", ""}, {65.4f, "65", 0.83f, "Good", ""},
    {65.9f, "66", 0.84f, "Good", ""}, {66.4f, "66", 0.85f, "Good", ""}, {66.9f, "67", 0.85f, "Good", ""},
    {67.4f, "67", 0.86f, "Good", ""}, {67.9f, "68", 0.87f, "Good", ""}, {68.4f, "68", 0.87f, "Good", ""},
    {68.9f, "69", 0.88f, "Good", ""}, {69.4f, "69", 0.88f, "Good", ""}, {69.9f, "70", 0.89f, "Good", ""},
    {70.4f, "70", 0.89f, "Good", ""}, {70.9f, "71", 0.9f, "Excellent", "71    Excellent"},
};
// clang-format on

TEST(PagingCalculationTest, RumbleStepByStep)
{
    LumoData d = Tables(GeneratorZUVAR24);
    PagingCalculation calc(d, Ch, Rumble);
    const std::vector<PagingStep> steps = RunAll(calc);
    ASSERT_EQ(steps.size(), std::size(RumbleSteps));
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const auto& [level, levelText, index, rating, line] = RumbleSteps[i];
        const PagingStep& s = steps[i];
        EXPECT_EQ(
            std::tuple(s.raises, s.level, s.levelText, s.index, s.rating, s.listLine.value_or(QStringLiteral("none"))),
            std::tuple(static_cast<int>(i), level, levelText, index, rating,
                       *line ? QString::fromLatin1(line) : "none"))
            << i;
    }
    // 48.2 to start, 27 raises of 0.5 dB.
    EXPECT_EQ(std::tuple(d.PageLevelEdit(Ch), d.PageSpectrumEdit(Ch, 22), d.PageSpectrumEdit(Ch, 32),
                         d.PageSpectrumEdit(Ch, 37), d.PageSpectrumEdit(Ch, 42)),
              std::tuple(70.9f, 61.7f, 60.7f, 52.7f, 41.7f));
    EXPECT_EQ(calc.done().note, "Press Show Settings to show page results then press Done to save settings to a file.");
}

TEST(PagingCalculationTest, ListAIOverRealisticBackgrounds)
{
    // Printed by tests/fixtures/paging_reference.py: (what, background, raises, level, at 1250 and 5000 Hz, ListAI).
    // clang-format off
    const std::tuple<const char*, const BandArray*, int, f32, f32, f32, QStringList> cases[] = {
        {"office", &Office, 44, 75.0f, 65.8f, 56.8f,
         {"dBA  Intelligibility", "53    Poor", "66    Marginal", "69    Fair", "72    Good", "75    Excellent"}},
        {"masking", &MaskingResult, 43, 78.0f, 68.8f, 59.8f,
         {"dBA  Intelligibility", "56    Poor", "69    Marginal", "72    Fair", "75    Good", "78    Excellent"}},
    };
    // clang-format on
    for (const auto& [name, background, raises, level, at31, at37, lines] : cases) {
        SCOPED_TRACE(name);
        LumoData d = Tables();
        PagingCalculation calc(d, Ch, *background);
        const std::vector<PagingStep> steps = RunAll(calc);
        EXPECT_EQ(std::tuple(steps.back().raises, d.PageLevelEdit(Ch), d.PageSpectrumEdit(Ch, 31),
                             d.PageSpectrumEdit(Ch, 37), calc.lines()),
                  std::tuple(raises, level, at31, at37, lines));
        EXPECT_TRUE(calc.done().reached);
    }
}

// Without weights, or over a background that is no number, the index cannot rise and the calculation gives up after
// the most raises; over an infinite background it stops at once.
TEST(PagingCalculationTest, GivesUpWhenTheIndexCannotRiseAndStopsAtOnceOverAnInfiniteBackground)
{
    constexpr f32 Inf = std::numeric_limits<f32>::infinity();
    LumoData withoutWeights = Tables();
    withoutWeights.ArticulationWeight.fill(0);
    BandArray oneBand = Office;
    oneBand(30) = Inf;
    // (data, background, raises)
    const std::tuple<LumoData, BandArray, int> cases[] = {
        {withoutWeights, Office, MaxPagingRaises},
        {Tables(), Flat(std::numeric_limits<f32>::quiet_NaN()), MaxPagingRaises},
        {Tables(), oneBand, 0},
        {Tables(), Flat(Inf), 0},
    };
    for (auto [d, background, raises] : cases) {
        SCOPED_TRACE(testing::Message() << "case with " << raises << " raises, band 30 " << background(30));
        PagingCalculation calc(d, Ch, background);
        const std::vector<PagingStep> steps = RunAll(calc);
        EXPECT_EQ(std::tuple(steps.back().raises, raises > 0 ? steps.back().index : 0.f), std::tuple(raises, 0.f));
        const PagingEnd end = calc.done();
        EXPECT_EQ(std::tuple(end.reached, end.note.has_value(), end.failure.value_or(Message{}).title),
                  std::tuple(false, false, "Calculation Error"));
    }
}

}  // namespace
