#include <gtest/gtest.h>

#include <array>

#include <cmath>
#include <functional>
#include <tuple>
#include <utility>
#include <vector>

#include "core/Tables.h"

using namespace kov;

namespace {

LumoData Tables()
{
    LumoData d;
    InitTables(d);
    return d;
}

}  // namespace

TEST(BandTables, CentreFrequenciesAndAWeightsAsPrinted)
{
    const LumoData d = Tables();
    const int hz[] = {25,  31,   40,   50,   63,   80,   100,  125,  160,  200,  250,  315,   400,   500,  630,
                      800, 1000, 1250, 1600, 2000, 2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};
    const int dbA[] = {-45, -39, -35, -30, -26, -22, -19, -16, -13, -11, -9, -7, -5, -3, -2,
                       -1,  0,   1,   1,   1,   1,   1,   1,   0,   0,   -1, -2, -4, -7};
    for (int b = 14; b <= 42; ++b) {
        EXPECT_EQ(d.BandFreq(b), hz[b - 14]) << "band " << b;
        EXPECT_EQ(d.AWeight(b), dbA[b - 14]) << "band " << b;
    }
    for (int b : {12, 13, 43}) {
        EXPECT_EQ(d.BandFreq(b), 0);
        EXPECT_EQ(d.AWeight(b), 0);
    }
}

TEST(BandTables, PagingAndArticulationTables)
{
    const LumoData d = Tables();
    // (name, table, the first band of the values, the values)
    const std::tuple<const char*, const BandArray&, int, std::vector<float>> rows[] = {
        {"ArticulationWeight",
         d.ArticulationWeight,
         23,
         {.0004f, .0010f, .0010f, .0014f, .0014f, .0020f, .0020f, .0024f, .0030f, .0037f, .0038f, .0034f, .0034f,
          .0024f, .0020f}},
        {"PagingRollOff", d.PagingRollOff, 32, {-1, -2, -3, -5, -7, -9, -11, -13, -15, -17, -20}},
        {"PagingShape2", d.PagingShape2, 25, {1, 2, 3, 3, 4, 5, 5, 6, 6, 6, 5, 4, 3, 2, 1}},
        {"PagingShape3", d.PagingShape3, 25, {1, 2, 3, 3, 3, 4, 4, 4, 4, 3, 3, 2, 1}},
        {"PagingShape4", d.PagingShape4, 25, {1, 2, 3, 4, 5, 6, 7, 7, 8, 8, 8, 7, 6, 5, 4, 2}},
    };
    for (const auto& [name, table, first, values] : rows) {
        for (int b = FirstBand; b <= LastBand; ++b) {
            const int i = b - first;
            const float want = i >= 0 && i < static_cast<int>(values.size()) ? values[i] : 0.f;
            EXPECT_FLOAT_EQ(table(b), want) << name << " band " << b;
        }
    }
    // The weights, checked one by one above, add up to 0.0333.

    // Shape 1 has a gap: bands 28..35, then band 42 alone.
    const float shape1[] = {1, 1, 1, 2, 2, 2, 1, 1};
    for (int b = FirstBand; b <= LastBand; ++b) {
        const float want = b >= 28 && b <= 35 ? shape1[b - 28] : b == 42 ? 8.f : 0.f;
        EXPECT_FLOAT_EQ(d.PagingShape1(b), want) << "band " << b;
    }
    EXPECT_FLOAT_EQ(d.LnToDb10, 4.3429448f);
}

TEST(AWeightedLevel, ClampsTheBandRangeAndHandsItBack)
{
    const LumoData d = Tables();
    Indexed2<f32, 1, 10, FirstBand, LastBand> levels;
    for (int b = FirstBand; b <= LastBand; ++b)
        levels(3, b) = 50;
    i16 low = 10, high = 43;
    // 50 dB in bands 14..42 only: 10 log10 of the sum of 10^((50 + A)/10) is 61.853 dBA; bands 12, 13 and 43,
    // with no A-weight, would add 50 dB each.
    EXPECT_FLOAT_EQ(AWeightedLevel(d, 3, low, high, levels), 61.9f);
    EXPECT_EQ(std::tuple(low, high), std::tuple(14, 42));
}

TEST(AWeightedLevel, MatchesAnIndependentSum)
{
    const LumoData d = Tables();
    // Integer A-weights of bands 22..39, from the printed table.
    const int aw[] = {-13, -11, -9, -7, -5, -3, -2, -1, 0, 1, 1, 1, 1, 1, 1, 0, 0, -1};
    auto reference = [&](auto level) {
        double sum = 0;
        for (int b = 22; b <= 39; ++b)
            sum += std::pow(10.0, (aw[b - 22] + level(b)) / 10.0);
        return std::round(10.0 * 10.0 * std::log10(sum)) / 10.0;
    };
    // (name, level of band b)
    const std::pair<const char*, std::function<double(int)>> cases[] = {
        {"0 dB in every band", [](int) { return 0.0; }},
        {"flat 45 dB", [](int) { return 45.0; }},
        {"falling 5 dB per octave", [](int b) { return 60.0 - 5.0 * (b - 22) / 3.0; }},
        {"office background", [](int b) { return b < 30 ? 48.0 - (b - 22) : 40.0 - 2.0 * (b - 30); }},
    };
    for (const auto& [name, level] : cases) {
        Indexed2<f32, 1, 6, FirstBand, LastBand> levels;
        for (int b = 22; b <= 39; ++b)
            levels(2, b) = static_cast<f32>(level(b));
        i16 low = 22, high = 39;
        EXPECT_NEAR(AWeightedLevel(d, 2, low, high, levels), reference(level), 1e-4) << name;
    }
    // The 0 dB spectrum by hand: 10 log10 of the sum of 10^(A/10) over 160 Hz .. 8 kHz.
    Indexed2<f32, 1, 6, FirstBand, LastBand> zero;
    i16 low = 22, high = 39;
    EXPECT_FLOAT_EQ(AWeightedLevel(d, 1, low, high, zero), 11.5f);
}

TEST(AWeightedLevel, RoundsTheProductBeforeItBecomesASingle)
{
    const LumoData d = Tables();
    // Sums whose product lies a hair off a tie; made a single first, each would read as the tie itself.
    // (spectrum, expected)
    const std::tuple<std::array<f32, 18>, f32> cases[] = {
        {{66.2f, 63.8f, 68.4f, 49.9f, 46.9f, 45.4f, 62.0f, 57.2f, 62.9f, 55.5f, 31.5f, 65.1f, 65.2f, 26.6f, 32.0f,
          54.1f, 48.6f, 55.0f},
         71.5f},  // 71.4500066
        {{52.2f, 38.6f, 49.7f, 31.2f, 20.7f, 41.4f, 32.1f, 64.5f, 60.8f, 63.3f, 48.9f, 69.1f, 66.0f, 20.6f, 45.0f,
          46.8f, 20.6f, 69.4f},
         74.5f},  // 74.5499949
    };
    for (const auto& [spectrum, expected] : cases) {
        Indexed2<f32, 1, 6, FirstBand, LastBand> levels;
        for (int b = 22; b <= 39; ++b)
            levels(1, b) = spectrum[static_cast<std::size_t>(b - 22)];
        i16 low = 22, high = 39;
        EXPECT_EQ(AWeightedLevel(d, 1, low, high, levels), expected);
    }
}

TEST(AWeightedLevel, EmptySumGivesZero)
{
    const LumoData d = Tables();
    BandArray s;
    i16 low = 30, high = 20;  // nothing to sum
    EXPECT_EQ(AWeightedLevelOf(d, s, low, high), 0.f);
    // Levels so low that the sum underflows to 0 must not reach the logarithm either.
    for (int b = FirstBand; b <= LastBand; ++b)
        s(b) = -1e6f;
    low = 22;
    high = 39;
    EXPECT_EQ(AWeightedLevelOf(d, s, low, high), 0.f);
}

TEST(CheckAllowedChars, OnlyTheLastCharacterDecides)
{
    struct Case {
        const char* text;
        const QString& allowed;
        int want;
    };
    const QString none;
    const Case cases[] = {
        {"", DigitsAndPoint, 0},
        {"", none, 0},
        {"12", DigitsAndPoint, 1},
        {"12A", DigitsAndPoint, 0},
        {"A1", DigitsAndPoint, 1},  // an earlier rejected character is not looked at again
        {"45.5", DigitsAndPoint, 1},
        {"-5", SignedDigits, 1},
        {"5-", SignedDigits, 0},  // the minus only as the first character
        {"-", SignedDigits, 1},
        {"--", SignedDigits, 0},
        {"x", none, 1},
        {"c:\\prog", FolderNameChars, 1},      // upper-cased before the comparison
        {"ZUV-AR24.", FolderNameChars, 0},     // the point is not in the folder set
        {"ZUV-AR24.EXE", FolderNameChars, 1},  // ...but only the last character is judged
        {"MY DIR", FolderNameChars, 1},
        {"MY ", FolderNameChars, 0},
        {"A-", FolderNameChars, 1},  // the minus is not leading in this set, so it is allowed anywhere
    };
    for (const Case& c : cases)
        EXPECT_EQ(CheckAllowedChars(QString::fromUtf8(c.text), c.allowed), c.want) << '"' << c.text << '"';
}
