#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "core/Tables.h"
#include "masking/Goal.h"

using namespace kov;

namespace {

constexpr int Ch = 4;

// A database whose entry i (1..20) is a -3 dB per octave shape starting at 40 + i dB.
LumoData Database()
{
    LumoData d;
    InitTables(d);
    for (int i = 0; i <= 20; ++i) {
        d.SpecName(i) = QStringLiteral("Shape %1").arg(i);
        for (int b = 22; b <= 39; ++b)
            d.SpecLevel(i, b) = static_cast<f32>(40 + i) - static_cast<f32>(b - 22);
    }
    return d;
}

TEST(GoalListTest, LeavesOutEmptySlotsAndEntriesAbove15AndNotesAChoice)
{
    LumoData d = Database();
    d.SpecName(3) = "Empty";
    d.SpecName(7) = " Empty ";
    d.SpecName(8) = "Empty room";
    EXPECT_EQ(GoalListEntries(d), (QList<int>{1, 2, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15}));

    EXPECT_EQ(GoalListFocusNote(d, Ch), QStringLiteral("Click on desired spectrum shape."));
    EXPECT_EQ(d.MaskSpectrumIndexEdit(Ch), 2);
    EXPECT_EQ(GoalListFocusNote(d, Ch), "The spectrum Shape 2 was previously chosen. You may chose another.");
}

TEST(SelectGoalTest, TakesTheShapeAndShowsRecommendations)
{
    LumoData d = Database();
    const GoalView first = SelectGoalEntry(d, Ch, 1);
    // 41 dB at 160 Hz falling 1 dB a band: 43.3 dBA.
    EXPECT_EQ(
        std::tuple(d.MaskSpectrumIndexEdit(Ch), d.MaskFinalEdit(Ch, 22), d.MaskFinalEdit(Ch, 39), first.levelText),
        std::tuple(1, 41.f, 24.f, "43"));
    const QString recommendation = first.recommendation.value_or("");
    EXPECT_EQ(recommendation.split(u'\n').size(), 5);
    EXPECT_TRUE(recommendation.startsWith(QStringLiteral("Panels less than 60 inches: 48\nPanels near")));
    EXPECT_EQ(first.note,
              "Present fixed level is shown below. Adjust to desired level with buttons, then click CHOOSE.");

    const GoalView second = SelectGoalEntry(d, Ch, 2);
    EXPECT_EQ(second.recommendation, QStringLiteral("No or fiberglass ceiling, CAC less than 30:  45\n"
                                                    "Low density mineral tile, CAC near 30: 44\n"
                                                    "High denisty meineral tile, CAC near 35: 42"));
    EXPECT_FALSE(SelectGoalEntry(d, Ch, 3).recommendation.has_value());

    // The level is whole decibels as plain text: 40 dB in every band is 51.5 dBA to a tenth, 52 whole.
    for (int b = 22; b <= 39; ++b)
        d.SpecLevel(5, b) = 40;
    EXPECT_EQ(SelectGoalEntry(d, Ch, 5).levelText, QStringLiteral("52"));
}

TEST(SelectGoalTest, ReselectingDiscardsSteps)
{
    LumoData d = Database();
    const GoalView view = SelectGoalEntry(d, Ch, 6);
    ASSERT_TRUE(RaiseGoal(d, Ch, view.levelText).changed && RaiseGoal(d, Ch, view.levelText).changed);
    EXPECT_EQ(d.MaskFinalEdit(Ch, 30), 40 + 6 - 8 + 2);
    // 46 dB at 160 Hz falling 1 dB a band: 48.3 dBA.
    EXPECT_EQ(std::tuple(SelectGoalEntry(d, Ch, 6).levelText, view.levelText), std::tuple("48", "48"));
    EXPECT_EQ(d.MaskFinalEdit(Ch, 30), 40 + 6 - 8);
}

// Steps the goal with the level text each step shows until a step is refused: the last level shown, and the refusal.
std::tuple<QString, std::optional<Message>> StepUntilRefused(LumoData& d, bool up)
{
    QString shown = GoalLevelText(d, Ch);
    for (int i = 0; i < 200; ++i) {
        const GoalStep step = up ? RaiseGoal(d, Ch, shown) : LowerGoal(d, Ch, shown);
        if (!step.changed)
            return {shown, step.error};
        shown = step.levelText;
    }
    return {};
}

TEST(GoalStepTest, UpToSeventyOneAndDownToThirtyNine)
{
    LumoData d = Database();
    SelectGoalEntry(d, Ch, 10);
    EXPECT_EQ(StepUntilRefused(d, true), std::tuple("71", std::optional(Message{"The masking spectrum is set too high",
                                                                                "Range Error", MsgIcon::Critical})));
    EXPECT_EQ(GoalLevelText(d, Ch), QStringLiteral("71"));
    EXPECT_EQ(StepUntilRefused(d, false), std::tuple("39", std::optional(Message{"The masking spectrum is set too low.",
                                                                                 "Range Error", MsgIcon::Critical})));
}

TEST(GoalStepTest, LimitsReadFromTheShownTextAndNoStepWithoutAnEntry)
{
    LumoData d = Database();
    SelectGoalEntry(d, Ch, 10);
    // (shown, up, changed)
    for (const auto& [shown, up, changed] : {std::tuple{"70", true, true},
                                             {"71", true, false},
                                             {"40", false, true},
                                             {"39", false, false},
                                             {"", true, true},
                                             {"", false, false}}) {
        const f32 before = d.MaskFinalEdit(Ch, 25);
        const GoalStep step = up ? RaiseGoal(d, Ch, shown) : LowerGoal(d, Ch, shown);
        EXPECT_EQ(std::tuple(step.changed, step.error.has_value(), d.MaskFinalEdit(Ch, 25)),
                  std::tuple(changed, !changed, changed ? before + (up ? 1.f : -1.f) : before))
            << shown;
    }
    // In range without an entry: nothing.
    LumoData none = Database();
    const GoalStep step = RaiseGoal(none, Ch, QStringLiteral("50"));
    EXPECT_EQ(std::tuple(step.changed, step.error.has_value(), none.MaskFinalEdit(Ch, 30)),
              std::tuple(false, false, 0.f));
}

TEST(ConfirmGoalTest, RefusesEmptyQuietOrChannellessGoals)
{
    LumoData d = Database();
    SelectGoalEntry(d, Ch, 10);
    const Message invalid{"You have chosen an empty or invalid spectrum. Try another.", "Masking Spectrum"};
    EXPECT_EQ(std::tuple(ConfirmGoal(d, Ch, "35").refusal, ConfirmGoal(d, Ch, "").refusal),
              std::tuple(invalid, invalid));
    EXPECT_EQ(d.MaskFinalEdit(Ch, 21), 0);
    EXPECT_TRUE(ConfirmGoal(d, Ch, QStringLiteral("36")).accepted);

    d.SpecName(10) = QStringLiteral("Empty ");
    EXPECT_EQ(ConfirmGoal(d, Ch, QStringLiteral("50")).refusal, invalid);

    const GoalChoice noChannel = ConfirmGoal(d, 0, QStringLiteral("50"));
    EXPECT_EQ(std::tuple(noChannel.accepted, noChannel.refusal),
              std::tuple(false, std::optional(Message{"Enter the channel for the masking signal.", "Channel Number",
                                                      MsgIcon::Information})));
}

TEST(ConfirmGoalTest, ExtrapolatesOctavesAndGoalLevel)
{
    LumoData d = Database();
    SelectGoalEntry(d, Ch, 10);
    for (int b = 22; b <= 39; ++b)
        d.MaskFinalEdit(Ch, b) = 40;
    d.MaskFinalEdit(Ch, 22) = 45;
    d.MaskFinalEdit(Ch, 38) = 50;
    d.MaskFinalEdit(Ch, 39) = 49;
    const GoalChoice choice = ConfirmGoal(d, Ch, GoalLevelText(d, Ch));
    ASSERT_TRUE(choice.accepted);
    EXPECT_EQ(
        std::tuple(d.MaskFinalEdit(Ch, 21), d.MaskFinalEdit(Ch, 20), d.MaskFinalEdit(Ch, 40), d.MaskFinalEdit(Ch, 41)),
        std::tuple(46.f, 47.f, 48.f, 47.f));

    // 24 .. 36: three bands of 40 dB, 44.77; 21: 47, 46, 45 -> 50.85; 39: 50, 49, 48 -> 53.85.
    for (const auto& [band, level] :
         {std::pair{21, 51.f}, {24, 45.f}, {27, 45.f}, {30, 45.f}, {33, 45.f}, {36, 45.f}, {39, 54.f}})
        EXPECT_EQ(d.MaskFinalOctaveEdit(Ch, band), level) << band;
    EXPECT_EQ(d.MaskFinalOctaveEdit(Ch, 22), 0);

    // Bands 22..32: 45 once and 40 ten times.
    const double expected = 10 * std::log10(std::pow(10.0, 4.5) + 10 * std::pow(10.0, 4.0));
    EXPECT_NEAR(choice.goalLevel, expected, 1e-4);
}

TEST(ConfirmGoalTest, OctavesRoundTheProductBeforeItBecomesASingle)
{
    LumoData d = Database();
    SelectGoalEntry(d, Ch, 10);
    for (int b = 22; b <= 39; ++b)
        d.MaskFinalEdit(Ch, b) = 40;
    // 59.4999946 and 55.4999948: made singles first, both would read as ties and go up.
    d.MaskFinalEdit(Ch, 23) = 37.4f;
    d.MaskFinalEdit(Ch, 24) = 59.4f;
    d.MaskFinalEdit(Ch, 25) = 41.7f;
    d.MaskFinalEdit(Ch, 26) = 55.4f;
    d.MaskFinalEdit(Ch, 27) = 37.7f;
    d.MaskFinalEdit(Ch, 28) = 33.4f;
    ASSERT_TRUE(ConfirmGoal(d, Ch, GoalLevelText(d, Ch)).accepted);
    EXPECT_EQ(std::tuple(d.MaskFinalOctaveEdit(Ch, 24), d.MaskFinalOctaveEdit(Ch, 27)), std::tuple(59.f, 55.f));
}

TEST(LevelTo1600Test, EnergySumOf160To1600Hz)
{
    BandArray s;
    for (int b = 21; b <= 33; ++b)
        s(b) = b == 21 || b == 33 ? 90 : 40;  // 2 kHz and above do not count, nor does 125 Hz
    EXPECT_NEAR(LevelTo1600(s), 40 + 10 * std::log10(11.0), 1e-5);
    EXPECT_FLOAT_EQ(LevelTo1600(BandArray{}), static_cast<f32>(10 * std::log10(11.0)));
}

}  // namespace
