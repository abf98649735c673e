#include "core/Tables.h"

#include <QCoreApplication>
#include <cmath>
#include <type_traits>

#include "core/Numbers.h"

namespace kov {

namespace {

QString& ProgramFolderOverride()
{
    static QString folder;
    return folder;
}

template <typename Table, std::size_t N>
void FillFrom(Table& table, int firstBand, const double (&values)[N])
{
    using Element = std::decay_t<decltype(table(firstBand))>;
    for (std::size_t i = 0; i < N; ++i)
        table(firstBand + static_cast<int>(i)) = static_cast<Element>(values[i]);
}

}  // namespace

QString ProgramFolder()
{
    if (!ProgramFolderOverride().isEmpty())
        return ProgramFolderOverride();
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

void OverrideProgramFolder(const QString& folder)
{
    ProgramFolderOverride() = folder;
}

bool ProgramFolderOverridden()
{
    return !ProgramFolderOverride().isEmpty();
}

void InitTables(LumoData& d)
{
    // Bands 14..42. Band 15 is 31 Hz, not 31.5: the table is whole hertz.
    static const double bandFreq[] = {25,   31,   40,   50,   63,   80,   100,   125,   160,  200,
                                      250,  315,  400,  500,  630,  800,  1000,  1250,  1600, 2000,
                                      2500, 3150, 4000, 5000, 6300, 8000, 10000, 12500, 16000};
    // The standard one-decimal A-weighting of bands 14..42; the table keeps whole decibels.
    static const double aWeight[] = {-44.7, -39.4, -34.6, -30.2, -26.2, -22.5, -19.1, -16.1, -13.4, -10.9,
                                     -8.6,  -6.6,  -4.8,  -3.2,  -1.9,  -0.8,  0,     0.6,   1.0,   1.2,
                                     1.3,   1.2,   1.0,   0.5,   -0.1,  -1.1,  -2.5,  -4.3,  -6.6};
    // Articulation-index band weights (ANSI S3.5-1969), bands 23..37.
    static const double articulation[] = {0.0004, 0.0010, 0.0010, 0.0014, 0.0014, 0.0020, 0.0020, 0.0024,
                                          0.0030, 0.0037, 0.0038, 0.0034, 0.0034, 0.0024, 0.0020};
    static const double rollOff[] = {-1, -2, -3, -5, -7, -9, -11, -13, -15, -17, -20};  // bands 32..42
    static const double shape1[] = {1, 1, 1, 2, 2, 2, 1, 1};                            // bands 28..35
    static const double shape2[] = {1, 2, 3, 3, 4, 5, 5, 6, 6, 6, 5, 4, 3, 2, 1};       // bands 25..39
    static const double shape3[] = {1, 2, 3, 3, 3, 4, 4, 4, 4, 3, 3, 2, 1};             // bands 25..37
    static const double shape4[] = {1, 2, 3, 4, 5, 6, 7, 7, 8, 8, 8, 7, 6, 5, 4, 2};    // bands 25..40

    d.BandFreq.fill(0);
    d.AWeight.fill(0);
    d.ArticulationWeight.fill(0);
    d.PagingRollOff.fill(0);
    d.PagingShape1.fill(0);
    d.PagingShape2.fill(0);
    d.PagingShape3.fill(0);
    d.PagingShape4.fill(0);

    FillFrom(d.BandFreq, 14, bandFreq);
    for (std::size_t i = 0; i < std::size(aWeight); ++i)
        d.AWeight(14 + static_cast<int>(i)) = SingleToI16(static_cast<f32>(aWeight[i]));
    FillFrom(d.ArticulationWeight, 23, articulation);
    FillFrom(d.PagingRollOff, 32, rollOff);
    FillFrom(d.PagingShape1, 28, shape1);
    d.PagingShape1(42) = 8;
    FillFrom(d.PagingShape2, 25, shape2);
    FillFrom(d.PagingShape3, 25, shape3);
    FillFrom(d.PagingShape4, 25, shape4);

    d.LnToDb10 = static_cast<f32>(10.0 / std::log(10.0));
    d.AppPath = ProgramFolder();
}

namespace detail {

void ClampAWeightBands(i16& lowBand, i16& highBand)
{
    if (lowBand < 14)
        lowBand = 14;
    if (highBand > 42)
        highBand = 42;
}

double AWeightedSum(const LumoData& d, int lowBand, int highBand, const float* levelsFrom12)
{
    double sum = 0;
    for (int b = lowBand; b <= highBand; ++b)
        sum += std::pow(10.0, (static_cast<double>(d.AWeight(b)) + levelsFrom12[b - FirstBand]) / 10.0);
    return sum;
}

f32 AWeightedFromSum(const LumoData& d, double sum)
{
    if (!(sum > 0))
        return 0;
    // Rounded as the product comes, then made a single: a single first can turn 71.4500066 into a tie.
    return static_cast<f32>(RoundHalfEven(d.LnToDb10 * std::log(sum), 1));
}

}  // namespace detail

f32 AWeightedLevelOf(const LumoData& d, const BandArray& spectrum, i16& lowBand, i16& highBand)
{
    detail::ClampAWeightBands(lowBand, highBand);
    float row[LastBand - FirstBand + 1];
    for (int b = FirstBand; b <= LastBand; ++b)
        row[b - FirstBand] = spectrum(b);
    return detail::AWeightedFromSum(d, detail::AWeightedSum(d, lowBand, highBand, row));
}

i16 CheckAllowedChars(const QString& text, const QString& allowed)
{
    if (text.isEmpty())
        return 0;
    if (allowed.isEmpty())
        return 1;
    const QString upper = text.toUpper();
    const bool leadingMinus = allowed.startsWith(QLatin1Char('-'));
    i16 result = 0;
    // Only the verdict on the last character survives: the box has just received that one keystroke.
    for (qsizetype i = 0; i < upper.size(); ++i) {
        const qsizetype at = allowed.indexOf(upper.at(i));
        result = at >= 0 ? 1 : 0;
        if (at == 0 && leadingMinus && i >= 1)
            result = 0;
    }
    return result;
}

}  // namespace kov
