#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "paging/EqReview.h"

using namespace kov;

namespace {

TEST(EqReviewTest, OnlyPagingLine2)
{
    LumoData d;
    // Line 1 would show control 2 (location 3); it is empty in the file all the same.
    d.EqPageChannel(2) = 2;
    d.EqPageFreq(2, 1) = 2000;
    d.EqPageWidth(2, 1) = 2;
    d.EqPageLevel(2, 1) = 6;
    d.EqPageFreq(2, 2) = 1250;
    d.PageSpeakerOption(2) = 4;
    d.PageSpeakerOption(1) = 3;
    const EqFileReview r = ShowEqFile(d);
    EXPECT_FALSE(r.paging(1).has_value());
    ASSERT_TRUE(r.paging(2).has_value());
    EXPECT_EQ(std::tuple(r.paging(2)->control1, r.paging(2)->control2, r.paging(2)->bypassed),
              std::tuple(EqControlTexts{"EQ Freq =2000 Hz", "EQ  BW =2.00 Oct", "EQ Level =+6.0 dB"},
                         EqControlTexts{"Bypass", "", ""}, "Bypass"));
    EXPECT_FALSE(r.masking(3) || r.masking(4) || r.masking(5) || r.masking(6));
}

TEST(EqReviewTest, LevelsWholeOnLine1AndTenthsOnLine2)
{
    // (level, its text on line 1, on line 2)
    for (const auto& [level, line1, line2] : {std::tuple{6.f, "EQ Level =+6 dB", "EQ Level =+6.0 dB"},
                                              {0.f, "EQ Level = 0 dB", "EQ Level = 0.0 dB"},
                                              {2.5f, "EQ Level =+2 dB", "EQ Level =+2.5 dB"},
                                              {-3.f, "EQ Level =- 3 dB", "EQ Level =- 3.0 dB"}}) {
        SCOPED_TRACE(level);
        LumoData d;
        for (int k = 1; k <= 2; ++k) {
            d.EqPageChannel(k) = k;
            d.EqPageLevel(k, 1) = level;
            d.EqPageLevel(k, 2) = level;
            d.PageSpeakerOption(k) = 3;
        }
        const EqFileReview r = ShowEqFile(d);
        ASSERT_TRUE(r.paging(1) && r.paging(2));
        EXPECT_EQ(QStringList({r.paging(1)->control1[2], r.paging(1)->control2[2], r.paging(2)->control1[2],
                               r.paging(2)->control2[2]}),
                  QStringList({line1, line1, line2, line2}));
    }
}

TEST(EqReviewTest, ControlTwoOnlyForLocation3)
{
    LumoData d;
    // The location is the project's, not the working set's.
    d.EqPageChannel(1) = 1;
    d.EqPageFreq(1, 2) = 1250;
    d.EqPageWidth(1, 2) = 0.75f;
    d.EqPageLevel(1, 2) = 3;
    d.PageSpeakerOptionEdit(1) = 3;
    d.PageSpeakerOption(1) = 1;
    EXPECT_EQ(ShowEqFile(d).paging(1)->control2, (EqControlTexts{"Bypass", "", ""}));
    d.PageSpeakerOption(1) = 3;
    EXPECT_EQ(ShowEqFile(d).paging(1)->control2,
              (EqControlTexts{"EQ Freq =1250 Hz", "EQ  BW =0.75 Oct", "EQ Level =+3 dB"}));
}

TEST(EqReviewTest, MaskingLines)
{
    LumoData d;
    d.EqChannel(5) = 5;
    d.EqHighCutFreq(5) = 6300;
    d.EqLowCutFreq(5) = 100;
    d.EqGain(5) = -4;
    d.EqBand(5, 22) = 0;
    d.EqBand(5, 23) = -3;
    d.EqBand(5, 39) = 12;
    d.EqBand(5, 40) = 7;
    d.EqChannel(6) = 6;
    d.EqGain(6) = 2;
    const EqFileReview r = ShowEqFile(d);
    EXPECT_FALSE(r.masking(3) || r.masking(4));
    ASSERT_TRUE(r.masking(5) && r.masking(6));
    const auto& m5 = *r.masking(5);
    // A cutoff of 0 in "####" shows nothing.
    EXPECT_EQ(QStringList({m5.highCut, m5.lowCut, m5.gain, m5.bandTexts(22), m5.bandTexts(23), m5.bandTexts(39),
                           r.masking(6)->gain, r.masking(6)->highCut}),
              QStringList({"6300", "100", "- 4.0", " 0.0", "- 3.0", "+12.0", "+2.0", ""}));
    EXPECT_FALSE(r.paging(1) || r.paging(2));
}

TEST(EqReviewTest, ControlIndices)
{
    EXPECT_EQ((std::vector{ReviewMixIndex(1, 1), ReviewMixIndex(1, 3), ReviewMixIndex(2, 1), ReviewMixIndex(2, 3)}),
              (std::vector{1, 3, 4, 6}));
    EXPECT_EQ(
        (std::vector{ReviewBandIndex(3, 22), ReviewBandIndex(4, 22), ReviewBandIndex(5, 39), ReviewBandIndex(6, 39)}),
        (std::vector{22, 42, 79, 99}));
}

}  // namespace
