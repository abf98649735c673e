#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/Tables.h"
#include "paging/PagingSettings.h"

using namespace kov;

namespace {

constexpr int Ch = 1;

LumoData Project(int generator, int location)
{
    LumoData d;
    InitTables(d);
    d.Generator = generator;
    d.PageSpeakerOptionEdit(Ch) = location;
    d.PageLevelEdit(Ch) = 61.25f;
    return d;
}

TEST(TrebleSettingTest, CaptionsByLocation)
{
    const char* expected[] = {"Set to +3 Dots", "Set to +2 Dots", "Set to +5 Dots", "Set Straight Up"};
    for (int location = 1; location <= 4; ++location) {
        LumoData d = Project(GeneratorVO120RDAR131, location);
        const PagingSettingsView v = ShowPagingSettings(d, Ch);
        EXPECT_EQ(std::tuple(v.frame, v.trebleText),
                  std::tuple(SettingsFrame::Treble, QString::fromLatin1(expected[location - 1])));
    }
    EXPECT_FALSE(ShowTrebleSetting(0).has_value() || ShowTrebleSetting(5).has_value());
}

TEST(Da2500SettingsTest, Location4ShowsBands28To35)
{
    LumoData d = Project(GeneratorDA2500, 4);
    const PagingSettingsView v = ShowPagingSettings(d, Ch);
    EXPECT_EQ(std::tuple(v.frame, v.hideNote, v.doneEnabled), std::tuple(SettingsFrame::ThirdOctave, true, true));
    ASSERT_TRUE(v.thirdOctave.has_value());
    const Da2500Settings& s = *v.thirdOctave;
    const char* bands[] = {" 0.0", " 0.0", " 0.0", " 0.0", " 0.0", " 0.0", "+1.0", "+1.0", "+1.0",
                           "+2.0", "+2.0", "+2.0", "+1.0", "+1.0", " 0.0", " 0.0", " 0.0", " 0.0"};
    for (int b = 22; b <= 39; ++b)
        EXPECT_EQ(s.bandTexts(b), QString::fromLatin1(bands[b - 22])) << b;
    EXPECT_EQ(std::tuple(s.channelText, s.levelText, s.lowText, s.highText, d.PageLowpassFreqEdit(Ch),
                         d.PageHighpassFreqEdit(Ch)),
              std::tuple("1", " 61.2", " 100", " 5000", 100, 5000));
}

TEST(Da2500SettingsTest, CurvesOfTheOtherLocations)
{
    // Location 1 takes PagingShape2 (6 dB at 1.6 to 2.5 kHz), 2 PagingShape3, 3 PagingShape4 (8 dB at 2 to 3.15 kHz).
    // (location, band, text)
    const std::tuple<int, int, const char*> cases[] = {
        {1, 24, " 0.0"}, {1, 25, "+1.0"}, {1, 33, "+6.0"}, {1, 39, "+1.0"}, {2, 30, "+4.0"},
        {2, 37, "+1.0"}, {2, 38, " 0.0"}, {3, 35, "+8.0"}, {3, 39, "+4.0"}, {3, 22, " 0.0"}};
    for (const auto& [location, band, text] : cases) {
        LumoData d = Project(GeneratorDA2500, location);
        const auto s = ShowResults(d, Ch);
        ASSERT_TRUE(s.has_value());
        EXPECT_EQ(s->bandTexts(band), QString::fromLatin1(text)) << location << ' ' << band;
    }
    LumoData none = Project(GeneratorDA2500, 0);
    EXPECT_FALSE(ShowResults(none, Ch).has_value());
    EXPECT_EQ(none.PageLowpassFreqEdit(Ch), 0);
}

using Control = std::tuple<f32, f32, f32>;  // frequency, width, level

TEST(MixerSettingsTest, PresetsIntoTheWorkingSet)
{
    // (location, EQ control 1, EQ control 2)
    const std::tuple<int, Control, Control> cases[] = {
        {1, {2000, 2.0f, 6.0f}, {0, 0, 0}},
        {2, {2000, 2.0f, 4.0f}, {0, 0, 0}},
        {3, {2500, 1.5f, 8.0f}, {1250, 0.75f, 3.0f}},
        {4, {2000, 2.0f, 2.0f}, {0, 0, 0}},
    };
    for (const auto& [location, first, second] : cases) {
        SCOPED_TRACE(location);
        LumoData d = Project(GeneratorZUVAR24, location);
        for (int k = 1; k <= 8; ++k)
            std::tie(d.PageEqFreqEdit(Ch, k), d.PageEqWidthEdit(Ch, k), d.PageEqLevelEdit(Ch, k)) = Control(999, 9, 9);
        ASSERT_TRUE(SetMixerEq(d, Ch));
        for (int k = 1; k <= 8; ++k) {
            const Control expected = k == 1 ? first : k == 2 ? second : Control{0, 0, 0};
            EXPECT_EQ(Control(d.PageEqFreqEdit(Ch, k), d.PageEqWidthEdit(Ch, k), d.PageEqLevelEdit(Ch, k)), expected)
                << k;
        }
        // The other paging channel is not touched.
        EXPECT_EQ(d.PageEqFreqEdit(2, 1), 0);
    }
}

TEST(MixerSettingsTest, RowsForLocations3And4)
{
    // Under the floor two controls are set, in the ceiling one; the others are bypassed.
    const MixerRow bypass{"Bypass", "", ""};
    const std::tuple<int, std::vector<MixerRow>> cases[] = {
        {3,
         {{"EQ Freq =2500 Hz", "EQ  BW =1.50 Oct", "EQ Level =+8.0 dB"},
          {"EQ Freq =1250 Hz", "EQ  BW =0.75 Oct", "EQ Level =+3.0 dB"}}},
        {4, {{"EQ Freq =2000 Hz", "EQ  BW =2.00 Oct", "EQ Level =+2.0 dB"}}},
    };
    for (const auto& [location, set] : cases) {
        LumoData d = Project(GeneratorZUVAR24, location);
        const PagingSettingsView v = ShowPagingSettings(d, Ch);
        EXPECT_EQ(std::tuple(v.frame, v.note),
                  std::tuple(SettingsFrame::Mixer, QStringLiteral("Press DONE to save data.")));
        ASSERT_TRUE(v.mixer.has_value());
        for (int k = 1; k <= 8; ++k)
            EXPECT_EQ((*v.mixer)(k), k <= static_cast<int>(set.size()) ? set[static_cast<std::size_t>(k - 1)] : bypass)
                << k;
    }
}

TEST(ShowSettingsTest, TwiceGivesTheSame)
{
    for (const int generator : {GeneratorVO120R, GeneratorDA2500, GeneratorZUVAR24}) {
        LumoData d = Project(generator, 1);
        const PagingSettingsView first = ShowPagingSettings(d, Ch);
        const LumoData after = d;
        // The presets do not follow the calculated spectrum either.
        d.PageSpectrumEdit(Ch, 30) = 77;
        const PagingSettingsView second = ShowPagingSettings(d, Ch);
        d.PageSpectrumEdit(Ch, 30) = 0;
        EXPECT_EQ(std::tuple(d == after, first.trebleText, first.mixer),
                  std::tuple(true, second.trebleText, second.mixer))
            << generator;
        EXPECT_TRUE(first.thirdOctave.has_value() == second.thirdOctave.has_value() &&
                    (!first.thirdOctave || first.thirdOctave->bandTexts == second.thirdOctave->bandTexts));
    }
}

TEST(ShowSettingsTest, OtherProductsShowNothing)
{
    for (const int generator : {GeneratorNone, GeneratorDU3001, GeneratorRUZ1200U}) {
        LumoData d = Project(generator, 2);
        const LumoData before = d;
        const PagingSettingsView v = ShowPagingSettings(d, Ch);
        EXPECT_EQ(std::tuple(v.frame, v.doneEnabled, d == before), std::tuple(SettingsFrame::None, true, true));
    }
}

}  // namespace
