#include <gtest/gtest.h>

#include <QString>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <tuple>

#include "core/Numbers.h"

using namespace kov;

namespace {

struct RoundCase {
    double x;
    int decimals;
    double expected;
};

class RoundHalfEvenTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundHalfEvenTest, RoundsDoubleAndSingle)
{
    const RoundCase c = GetParam();
    EXPECT_EQ(RoundHalfEven(c.x, c.decimals), c.expected) << c.x << " at " << c.decimals;
    EXPECT_EQ(RoundSingle(static_cast<f32>(c.x), c.decimals), static_cast<f32>(c.expected))
        << c.x << " at " << c.decimals;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RoundHalfEvenTest,
    ::testing::Values(
        // ties go to the even neighbour
        RoundCase{2.5, 0, 2}, RoundCase{3.5, 0, 4}, RoundCase{-2.5, 0, -2}, RoundCase{-3.5, 0, -4},
        RoundCase{0.5, 0, 0}, RoundCase{1.5, 0, 2}, RoundCase{0.125, 2, 0.12}, RoundCase{0.375, 2, 0.38},
        RoundCase{-1.25, 1, -1.2}, RoundCase{45.25, 1, 45.2}, RoundCase{45.35, 1, 45.4}, RoundCase{32766.5, 0, 32766},
        // ties in their seven-digit text though a hair off one in binary (45.45 lies above, 2.675 below): the
        // binary value alone would give 45.5 and 2.67
        RoundCase{45.45, 1, 45.4}, RoundCase{0.35, 1, 0.4}, RoundCase{-45.35, 1, -45.4}, RoundCase{2.675, 2, 2.68},
        // a single made a double is still judged on its seven-digit text
        RoundCase{45.35f, 1, 45.4},
        // not ties
        RoundCase{2.51, 0, 3}, RoundCase{2.49, 0, 2}, RoundCase{-2.51, 0, -3}, RoundCase{45.26, 1, 45.3},
        RoundCase{0.126, 2, 0.13}, RoundCase{0.004, 2, 0}, RoundCase{9.96, 1, 10}, RoundCase{99.5, 0, 100},
        RoundCase{0.05, 0, 0}, RoundCase{0.0004, 0, 0}, RoundCase{1234.5678, 2, 1234.57}, RoundCase{12345, 0, 12345},
        RoundCase{7, 2, 7}));

TEST(RoundHalfEven, DoublesBeyondSevenDigitsRoundOnTheirValue)
{
    EXPECT_EQ(RoundHalfEven(123456.785001, 2), 123456.79);
    EXPECT_EQ(RoundHalfEven(123456.784, 2), 123456.78);
    EXPECT_EQ(RoundHalfEven(1234567.6, 0), 1234568);
    EXPECT_EQ(RoundHalfEven(-98765.4321, 2), -98765.43);
}

TEST(RoundHalfEven, NeverGivesNegativeZero)
{
    for (const double x : {-0.5, -0.4, -0.04, -0.0, -0.001}) {
        const double r = RoundHalfEven(x, x == -0.04 ? 1 : 0);
        EXPECT_EQ(r, 0.0) << x;
        EXPECT_FALSE(std::signbit(r)) << x;
        EXPECT_FALSE(std::signbit(RoundSingle(static_cast<f32>(x), 0))) << x;
    }
    EXPECT_FALSE(std::signbit(RoundHalfEven(-0.004, 2)));
}

TEST(SingleToI16, RoundsHalfEvenAndSaturates)
{
    // (x, expected)
    const std::tuple<f32, i16> cases[] = {
        {2.5f, 2},           {3.5f, 4},         {-2.5f, -2},         {-0.5f, 0},        {7.49f, 7},
        {32767.f, 32767},    {32767.4f, 32767}, {32768.f, 32767},    {1e9f, 32767},     {-32768.f, -32768},
        {-32768.6f, -32768}, {-1e9f, -32768},   {-32767.5f, -32768}, {32766.5f, 32766}, {0.f, 0}};
    for (const auto& [x, expected] : cases) {
        EXPECT_EQ(SingleToI16(x), expected) << x;
    }
    EXPECT_EQ(SingleToI16(std::numeric_limits<f32>::infinity()), 32767);
    EXPECT_EQ(SingleToI16(-std::numeric_limits<f32>::infinity()), -32768);
}

// The three texts of a single: plain, with the blank of a value that is not negative, and for the data files
// (nullptr: the plain text). Where the 7-digit text reads back as another single ("10.00001" lands on the
// neighbour of 10.0000105f), the field text takes the digits it needs.
TEST(PlainNumber, CasesWithBlankAndAsField)
{
    // (x, plain, withBlank, field)
    const std::tuple<f32, const char*, const char*, const char*> cases[] = {
        {45.5f, "45.5", " 45.5", nullptr},
        {40.f, "40", " 40", nullptr},
        {.5f, ".5", " .5", nullptr},
        {-.5f, "-.5", "-.5", nullptr},
        {0.f, "0", " 0", nullptr},
        {-0.f, "0", " 0", nullptr},
        {-12.25f, "-12.25", "-12.25", nullptr},
        {7000.f, "7000", " 7000", nullptr},
        {3.f, "3", " 3", nullptr},
        {-2.5f, "-2.5", "-2.5", nullptr},
        {45.1f, "45.1", " 45.1", nullptr},
        {0.1f, ".1", " .1", nullptr},
        {1.f / 3.f, ".3333333", " .3333333", ".33333334"},
        {0.0001f, ".0001", " .0001", nullptr},
        {0.00012345f, ".00012345", " .00012345", nullptr},
        {100000.f, "100000", " 100000", nullptr},
        {123456.7f, "123456.7", " 123456.7", nullptr},
        {12345678.f, "12345680", " 12345680", "12345678"},
        {16777216.f, "16777220", " 16777220", "16777216"},
        {1e10f, "10000000000", " 10000000000", nullptr},
        {1e-10f, ".0000000001", " .0000000001", nullptr},
        {9.9999999f, "10", " 10", nullptr},
        {std::nextafter(1.f, 2.f), "1", " 1", "1.0000001"},
        {10.0000105f, "10.00001", " 10.00001", "10.0000105"},
        {-10.0000105f, "-10.00001", "-10.00001", "-10.0000105"}};
    for (const auto& [x, plain, withBlank, field] : cases) {
        EXPECT_EQ(PlainNumber(x), QString::fromLatin1(plain)) << plain;
        EXPECT_EQ(NumberText(x), QString::fromLatin1(withBlank)) << plain;
        EXPECT_EQ(FieldNumber(x), QString::fromLatin1(field != nullptr ? field : plain)) << plain;
    }
}

f32 ReadBack(const QString& text)
{
    std::string s = text.toStdString();
    const std::size_t point = s.find('.');
    if (point == 0 || (point == 1 && s[0] == '-'))
        s.insert(point, 1, '0');
    f32 v = std::numeric_limits<f32>::quiet_NaN();
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    EXPECT_TRUE(res.ec == std::errc() && res.ptr == s.data() + s.size()) << s;
    return v;
}

// Digits from the first to the last that is not 0.
int SignificantDigitCount(const QString& text)
{
    std::string digits;
    for (const QChar c : text) {
        if (c.isDigit())
            digits += static_cast<char>(c.unicode());
    }
    const std::size_t first = digits.find_first_not_of('0');
    return first == std::string::npos ? 0 : static_cast<int>(digits.find_last_not_of('0') - first + 1);
}

// Checks one single: the text reads back exactly, has no exponent and no leading zero, and is the 7-digit text
// whenever that one reads back.
void CheckField(f32 x)
{
    const QString text = FieldNumber(x);
    ASSERT_EQ(ReadBack(text), x) << text.toStdString();
    ASSERT_FALSE(text.contains(u'e') || text.contains(u'E')) << text.toStdString();
    ASSERT_FALSE(text.startsWith(QStringLiteral("0.")) || text.startsWith(QStringLiteral("-0."))) << text.toStdString();
    const QString seven = PlainNumber(x);
    if (ReadBack(seven) == x) {
        ASSERT_EQ(text, seven);
    } else {
        ASSERT_GT(SignificantDigitCount(text), 7) << text.toStdString();
        ASSERT_LE(SignificantDigitCount(text), 9) << text.toStdString();
    }
}

TEST(FieldNumber, RoundTripSweep)
{
    // Every hundredth and tenth the installer types, across the range of levels and frequencies.
    for (int i = -20000; i <= 20000; ++i) {
        CheckField(static_cast<f32>(i) / 100.f);
        CheckField(static_cast<f32>(i) / 10.f);
    }
    // Consecutive singles where the spacing is finest relative to 7 digits.
    for (const f32 start : {1.f, 9.99f, 45.f, 1000.f, 8000.f, 99999.f, .001f, .3f}) {
        f32 x = start;
        for (int i = 0; i < 20000; ++i) {
            CheckField(x);
            CheckField(-x);
            x = std::nextafter(x, 2 * x);
        }
    }
    // Random bit patterns between 1e-3 and 1e5.
    std::mt19937 random(12345);
    std::uniform_int_distribution<std::uint32_t> bits(0x3A83126Fu, 0x47C35000u);  // 1e-3f .. 1e5f
    for (int i = 0; i < 200000; ++i) {
        const std::uint32_t b = bits(random);
        f32 x = 0;
        std::memcpy(&x, &b, sizeof x);
        CheckField(x);
    }
    // Extremes, which must still print without an exponent.
    for (const f32 x : {std::numeric_limits<f32>::max(), std::numeric_limits<f32>::min(),
                        std::numeric_limits<f32>::denorm_min(), 1e-20f, 3e30f}) {
        CheckField(x);
        CheckField(-x);
    }
}

struct FormatCase {
    double x;
    const char* pattern;
    const char* expected;
};

class FormatNumberTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatNumberTest, Formats)
{
    const FormatCase c = GetParam();
    EXPECT_EQ(FormatNumber(c.x, QString::fromLatin1(c.pattern)), QString::fromLatin1(c.expected))
        << c.x << " in \"" << c.pattern << '"';
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, FormatNumberTest,
    ::testing::Values(
        FormatCase{0, "#0.0", "0.0"}, FormatCase{3, "#0.0", "3.0"}, FormatCase{45.25, "#0.0", "45.2"},
        FormatCase{45.35, "#0.0", "45.4"}, FormatCase{-3.2, "#0.0", "-3.2"}, FormatCase{123.45, "#0.0", "123.4"},
        FormatCase{0, "+#0.0", "+0.0"}, FormatCase{3, "+#0.0", "+3.0"}, FormatCase{12.75, "+#0.0", "+12.8"},
        FormatCase{-1.25, "+#0.0", "-+1.2"}, FormatCase{0, " #0.0", " 0.0"}, FormatCase{-3.2, " #0.0", "- 3.2"},
        FormatCase{-0.04, " #0.0", "- 0.0"}, FormatCase{-0.05, " #0.0", "- 0.0"}, FormatCase{-0.06, " #0.0", "- 0.1"},
        FormatCase{-12.25, " #0.0", "- 12.2"}, FormatCase{0, "##", ""}, FormatCase{5, "##", "5"},
        FormatCase{38.7, "##", "39"}, FormatCase{12345, "##", "12345"}, FormatCase{0.5, "##", ""},
        FormatCase{1.5, "##", "2"}, FormatCase{-20, "##", "-20"}, FormatCase{0, "## dBA", " dBA"},
        FormatCase{38.7, "## dBA", "39 dBA"}, FormatCase{40.5, "## dBA", "40 dBA"}, FormatCase{0, "##.0", ".0"},
        FormatCase{3.25, "##.0", "3.2"}, FormatCase{0, "0.00", "0.00"}, FormatCase{1.5, "0.00", "1.50"},
        FormatCase{0.125, "0.00", "0.12"}, FormatCase{2.675, "0.00", "2.68"}, FormatCase{-0.333, "0.00", "-0.33"},
        FormatCase{0, "#0", "0"}, FormatCase{70, "#0", "70"}, FormatCase{2.5, "#0", "2"}, FormatCase{0, "+#0", "+0"},
        FormatCase{5, "+#0", "+5"}, FormatCase{-5, " #0", "- 5"}, FormatCase{0, " #0", " 0"},
        FormatCase{-0.4, " #0", "- 0"}, FormatCase{100, " ###0", " 100"}, FormatCase{5000, " ###0", " 5000"},
        FormatCase{0, " ###0", " 0"}, FormatCase{12500, " ###0", " 12500"}, FormatCase{5, "####", "5"},
        FormatCase{0, "####", ""}, FormatCase{1, "#", "1"}, FormatCase{0, "#", ""}, FormatCase{0, "0", "0"},
        FormatCase{3.5, "0", "4"}, FormatCase{39.6, " #0 dBA.", " 40 dBA."}, FormatCase{0, " #0 dBA.", " 0 dBA."},
        FormatCase{41.5, "#0 dB.", "42 dB."}, FormatCase{-2, "#0 dB.", "-2 dB."}, FormatCase{3, "-#0 dB.", "-3 dB."},
        FormatCase{-3, "-#0 dB.", "--3 dB."}, FormatCase{0, "-#0 dB.", "-0 dB."},
        FormatCase{-0.5, "-#0 dB.", "--0 dB."},
        // A negative value keeps its minus when it rounds to zero; negative zero is not negative.
        FormatCase{-0.04, "#0.0", "-0.0"}, FormatCase{-0.04, "+#0.0", "-+0.0"}, FormatCase{-0.4, "##", "-"},
        FormatCase{-0.004, "0.00", "-0.00"}, FormatCase{-0.4, "#0", "-0"}, FormatCase{-0.04, "##.0", "-.0"},
        FormatCase{-0.0, " #0.0", " 0.0"},
        // Singles tie as they read, a hair off in binary.
        FormatCase{45.35f, "#0.0", "45.4"}, FormatCase{45.45f, "#0.0", "45.4"},
        FormatCase{-45.35f, " #0.0", "- 45.4"}));

TEST(FormatSignedTenth, SignIsChosenOnTheValueItself)
{
    // (x, expected)
    const std::tuple<double, const char*> cases[] = {{3, "+3.0"},     {0, " 0.0"},      {-1.25, "- 1.2"},
                                                     {0.01, "+0.0"},  {-0.01, "- 0.0"}, {6, "+6.0"},
                                                     {-12, "- 12.0"}, {0.05, "+0.0"},   {0.15, "+0.2"}};
    for (const auto& [x, expected] : cases) {
        EXPECT_EQ(FormatSignedTenth(x), QString::fromLatin1(expected)) << x;
    }
}

}  // namespace
