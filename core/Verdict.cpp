#include "core/Verdict.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

#include "core/Levels.h"
#include "core/Numbers.h"
#include "core/Tables.h"

namespace kov {

namespace {

f32 TenthsOf(double x)
{
    return static_cast<f32>(RoundHalfEven(x, 1));
}

f32 OverallLevel(const LumoData& d, const BandArray& spectrum)
{
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    return AWeightedLevelOf(d, spectrum, low, high);
}

QString Frequency(const BandTableI16& bandFreq, int b)
{
    return QString::number(bandFreq(b)) + QStringLiteral(" Hz");
}

}  // namespace

f32 ToleranceOrDefault(f32 stored, f32 fallback)
{
    // 0 is what every copy wrote before these figures were kept, and what is written for the default.
    return stored >= LeastTolerance && stored <= LargestTolerance ? stored : fallback;
}

Tolerance ProjectTolerance(const LumoData& d)
{
    return Tolerance{ToleranceOrDefault(d.MaskBandTolerance, DefaultBandTolerance),
                     ToleranceOrDefault(d.MaskLevelTolerance, DefaultLevelTolerance),
                     ToleranceOrDefault(d.MaskPositionMargin, DefaultPositionMargin)};
}

void SetProjectTolerance(LumoData& d, const Tolerance& t)
{
    d.MaskBandTolerance = t.band;
    d.MaskLevelTolerance = t.level;
    d.MaskPositionMargin = t.position;
}

std::optional<CorrectionRange> CorrectionRangeOf(int generator)
{
    switch (generator) {
        case GeneratorDU3001:
        case GeneratorDA2500:
            return CorrectionRange{-12, 12};
        case GeneratorZUVAR24:
            return CorrectionRange{-30, 15};
        default:
            return std::nullopt;
    }
}

bool HasThirdOctaveFilters(int generator)
{
    return generator != GeneratorVO120R && generator != GeneratorRUZ1200U;
}

Deviation DeviationFrom(const BandArray& goal, const BandArray& levels)
{
    Deviation out;
    double squares = 0;
    double worst = 0;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const double offset = static_cast<double>(levels(b)) - goal(b);
        squares += offset * offset;
        if (std::abs(offset) > std::abs(worst)) {
            worst = offset;
            out.worstBand = b;
        }
    }
    out.rms = TenthsOf(std::sqrt(squares / (LastDataBand - FirstDataBand + 1)));
    out.worst = TenthsOf(worst);
    return out;
}

BandArray ResultAfterFit(int generator, const BandArray& adjusted, const BandArray& corrections)
{
    BandArray result = adjusted;
    if (!HasThirdOctaveFilters(generator))
        return result;
    const std::optional<CorrectionRange> range = CorrectionRangeOf(generator);
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const f32 set = range ? std::clamp(corrections(b), range->minus, range->plus) : corrections(b);
        result(b) = adjusted(b) + set;
    }
    return result;
}

ChannelVerdict JudgeChannel(const LumoData& d, const BandArray& goal, const BandArray& measured,
                            const BandArray& result, const Tolerance& tolerance)
{
    ChannelVerdict v;
    v.tolerance = tolerance;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        // Hundredths, as the corrections are kept: a band set exactly to the edge of its window is inside it.
        v.offset(b) = static_cast<f32>(RoundHalfEven(static_cast<double>(result(b)) - goal(b), 2));
        v.inside(b) = std::abs(v.offset(b)) <= tolerance.band;
        v.passed = v.passed && v.inside(b);
    }
    v.levelOffset = TenthsOf(static_cast<double>(OverallLevel(d, result)) - OverallLevel(d, goal));
    v.levelInside = std::abs(v.levelOffset) <= tolerance.level;
    v.passed = v.passed && v.levelInside;
    v.before = DeviationFrom(goal, measured);
    v.after = DeviationFrom(goal, result);
    return v;
}

PositionSpread SpreadOfTests(const LumoData& d, const std::vector<BandArray>& tests, f32 margin)
{
    PositionSpread s;
    s.count = static_cast<int>(tests.size());
    if (tests.empty())
        return s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const auto [low, high] = std::minmax_element(
            tests.begin(), tests.end(), [b](const BandArray& x, const BandArray& y) { return x(b) < y(b); });
        s.range(b) = TenthsOf(static_cast<double>((*high)(b)) - (*low)(b));
        if (s.range(b) > s.widest) {
            s.widest = s.range(b);
            s.widestBand = b;
        }
    }
    const f32 average = OverallLevel(d, AverageOfTests(tests));
    for (int t = 0; t < s.count; ++t) {
        const f32 offset = TenthsOf(static_cast<double>(OverallLevel(d, tests[static_cast<std::size_t>(t)])) - average);
        s.levelOffsets.push_back(offset);
        if (std::abs(offset) > margin)
            s.outliers.push_back(t + 1);
    }
    return s;
}

std::vector<BandArray> ChannelTests(const Indexed3<f32, 1, 10, 1, 6, FirstBand, LastBand>& tests, int count, int ch)
{
    std::vector<BandArray> out;
    for (int t = 1; t <= std::clamp(count, 0, 10); ++t) {
        BandArray row;
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            row(b) = tests(t, ch, b);
        out.push_back(row);
    }
    return out;
}

BandArray AverageOfTests(const std::vector<BandArray>& tests)
{
    BandArray average;
    if (tests.empty())
        return average;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        double sum = 0;
        for (const BandArray& t : tests)
            sum += t(b);
        average(b) = TenthsOf(sum / static_cast<double>(tests.size()));
    }
    return average;
}

QString VerdictWord(bool passed)
{
    return passed ? QStringLiteral("\u2714 PASSED") : QStringLiteral("\u2718 FAILED");
}

QString BandMark(bool inside)
{
    return inside ? QStringLiteral("\u2714") : QStringLiteral("\u2718");
}

QString SignedTenths(f32 x)
{
    const f32 tenths = TenthsOf(x);
    if (tenths == 0)
        return QStringLiteral("0.0");
    return (tenths > 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::number(std::abs(tenths), 'f', 1);
}

QString ToleranceText(const Tolerance& t)
{
    return QStringLiteral("Tolerance: \u00b1%1 dB per band, \u00b1%2 dBA overall")
        .arg(QString::number(t.band, 'f', 1), QString::number(t.level, 'f', 1));
}

QStringList VerdictTexts(const ChannelVerdict& v, const BandTableI16& bandFreq)
{
    QStringList outside;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        if (!v.inside(b))
            outside << QString::number(bandFreq(b));
    }
    QStringList texts;
    for (const bool named : {true, false}) {
        QStringList why;
        if (!outside.isEmpty()) {
            why << QStringLiteral("%1 outside \u00b1%2 dB")
                           .arg(outside.size() == 1 ? QStringLiteral("1 band")
                                                    : QStringLiteral("%1 bands").arg(outside.size()),
                                QString::number(v.tolerance.band, 'f', 1)) +
                       (named ? QStringLiteral(" (%1 Hz)").arg(outside.join(QStringLiteral(", "))) : QString());
        }
        if (!v.levelInside)
            why << QStringLiteral("overall level %1 dBA from the goal").arg(SignedTenths(v.levelOffset));
        texts << VerdictWord(v.passed) +
                     (why.isEmpty() ? QString() : QStringLiteral(": ") + why.join(QStringLiteral("; ")));
    }
    return texts;
}

QString VerdictText(const ChannelVerdict& v, const BandTableI16& bandFreq)
{
    return VerdictTexts(v, bandFreq).front();
}

QString FiguresText(const Deviation& x, const BandTableI16& bandFreq)
{
    return QStringLiteral("RMS %1 dB, worst %2 dB at %3")
        .arg(QString::number(x.rms, 'f', 1), SignedTenths(x.worst), Frequency(bandFreq, x.worstBand));
}

QString DeviationText(const ChannelVerdict& v, const BandTableI16& bandFreq)
{
    return QStringLiteral("Deviation from the goal: measured %1; after the fit %2.")
        .arg(FiguresText(v.before, bandFreq), FiguresText(v.after, bandFreq));
}

namespace {

QString OutlierSentence(const PositionSpread& s, f32 margin)
{
    QStringList names;
    for (const int t : s.outliers)
        names << QString::number(t);
    const bool one = s.outliers.size() == 1;
    return QStringLiteral("%1 %2 %3 more than %4 dBA from the average.")
        .arg(one ? QStringLiteral("Test") : QStringLiteral("Tests"), names.join(QStringLiteral(", ")),
             one ? QStringLiteral("is") : QStringLiteral("are"), QString::number(margin, 'f', 1));
}

}  // namespace

QString SpreadSummary(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq)
{
    if (s.count < 2)
        return QString();
    const QString widest = QStringLiteral("Widest spread %1 dB at %2. ")
                               .arg(QString::number(s.widest, 'f', 1), Frequency(bandFreq, s.widestBand));
    if (s.outliers.empty())
        return widest + QStringLiteral("All tests within %1 dBA of the average.").arg(QString::number(margin, 'f', 1));
    return widest + OutlierSentence(s, margin);
}

QStringList SpreadTexts(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq)
{
    if (s.count == 0)
        return {QStringLiteral("Positions: no tests held.")};
    QStringList offsets;
    for (const f32 x : s.levelOffsets)
        offsets << SignedTenths(x);
    const QString head = QStringLiteral("Positions: %1, widest spread %2 dB at %3; ")
                             .arg(s.count == 1 ? QStringLiteral("1 test") : QStringLiteral("%1 tests").arg(s.count),
                                  QString::number(s.widest, 'f', 1), Frequency(bandFreq, s.widestBand));
    const auto [low, high] = std::minmax_element(s.levelOffsets.begin(), s.levelOffsets.end());
    const QString range = QStringLiteral("A-weighted levels %1 to %2 dBA against the average.")
                              .arg(SignedTenths(*low), SignedTenths(*high));
    const QString outliers = s.outliers.empty() ? QString() : u' ' + OutlierSentence(s, margin);
    const QString shortest = QStringLiteral("levels %1 to %2 dBA against the average%3.")
                                 .arg(SignedTenths(*low), SignedTenths(*high),
                                      s.outliers.empty() ? QString()
                                                         : QStringLiteral("; %1 more than %2 dBA from it")
                                                               .arg(s.outliers.size())
                                                               .arg(QString::number(margin, 'f', 1)));
    return {
        head +
            QStringLiteral("A-weighted levels against the average: %1 dBA.").arg(offsets.join(QStringLiteral(", "))) +
            outliers,
        head + range + outliers, head + shortest};
}

QString SpreadText(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq)
{
    return SpreadTexts(s, margin, bandFreq).front();
}

ChannelProof ProveChannel(const LumoData& d, int ch)
{
    const Tolerance tolerance = ProjectTolerance(d);
    const std::vector<BandArray> tests = ChannelTests(d.MaskTest, d.MaskTestCount(ch), ch);
    const BandArray adjusted = ChannelRow(d.MaskAverage, ch);
    // The fit leaves the adjusted spectrum where the average was; the measurement itself is what the tests say.
    const BandArray measured = tests.empty() ? adjusted : AverageOfTests(tests);
    const BandArray result = ResultAfterFit(d.Generator, adjusted, ChannelRow(d.MaskCorrection, ch));
    return ChannelProof{JudgeChannel(d, ChannelRow(d.MaskFinal, ch), measured, result, tolerance),
                        SpreadOfTests(d, tests, tolerance.position)};
}

}  // namespace kov
