#include "masking/Fit.h"

#include <algorithm>
#include <cmath>

#include "core/Levels.h"
#include "core/Numbers.h"
#include "core/TextValue.h"
#include "core/Verdict.h"
#include "masking/Goal.h"
#include "masking/TestGrid.h"

namespace kov {

namespace {

constexpr int LevelSearchSteps = 9;
constexpr int CutoffStep = 100;
// The generators' low-pass range, to which the low-pass search brings the cutoff back when it ends.
constexpr int LowestCutoff = 2000;
constexpr int HighestCutoff = 8000;
constexpr int LowestInitialCutoff = 5000;
// The cutoff is a 16-bit number; this is the last whole-hundreds setting it can hold.
constexpr int HighestStorableCutoff = 32700;

BandArray Shifted(const BandArray& s, f32 step)
{
    BandArray t = s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        t(b) = s(b) + step;
    return t;
}

BandArray Added(const BandArray& s, const BandArray& t)
{
    BandArray sum = s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        sum(b) = s(b) + t(b);
    return sum;
}

void AddFrame(const LumoData& d, const FitState& s, int outerStep, std::vector<FitFrame>& frames)
{
    frames.push_back(FitFrame{s.adjusted, LevelDisplay(d, s.adjusted), s.cutoff, outerStep});
}

// The range is the verdict's too (core/Verdict.h); only the product's wording lives here.
struct ProductLimits {
    QString both;
    QString minusOnly;
    QString plusOnly;
};

const ProductLimits* LimitsOf(int generator)
{
    static const ProductLimits twelve{
        QStringLiteral("Both the plus and minus corrections are more than the 1/3 octave filters can "
                       "handle(+/-12 dB). Change initial spectrum."),
        QStringLiteral("The minus correction is more than the 1/3 octave filters can handle(-12 dB). Change "
                       "initial spectrum."),
        QStringLiteral("The plus correction is more than the 1/3 octave filters can handle(+12 dB). Change "
                       "initial spectrum.")};
    static const ProductLimits zuv{
        QStringLiteral("Both the plus and minus corrections are more than the 1/3 octave filters can "
                       "handle(+15dB/-30dB). Change initial spectrum."),
        QStringLiteral("The minus correction is more than the 1/3 octave filters can handle(-30dB). Change "
                       "initial spectrum."),
        QStringLiteral("Tthe plus correction is more than the 1/3 octave filters can handle(+15dB). Change "
                       "initial spectrum.")};
    switch (generator) {
        case GeneratorDU3001:
        case GeneratorDA2500:
            return &twelve;
        case GeneratorZUVAR24:
            return &zuv;
        default:
            return nullptr;
    }
}

QString StoredCutoffText(const LumoData& d, int ch)
{
    return d.MaskHighCutFreqEdit(ch) != 0 ? PlainNumber(d.MaskHighCutFreqEdit(ch)) : QString();
}

void SetEnding(const LumoData& d, FitResult& r)
{
    switch (d.Generator) {
        case GeneratorVO120RDAR131:
        case GeneratorDU3001:
        case GeneratorDA2500:
            r.showCorrectionTable = true;
            r.narrowWindow = true;
            break;
        case GeneratorZUVAR24: {
            r.showCorrectionTable = true;
            const QString base = d.ProjectBaseName.trimmed();
            r.eqName = base.isEmpty() ? QStringLiteral("DummyMG24.EQ") : base + QStringLiteral(".EQ");
            r.note = QStringLiteral("An EQ file named ") + *r.eqName + QStringLiteral(" will be created. Press DONE.");
            break;
        }
        default:
            break;
    }
}

}  // namespace

FitStageEntry EnterFitStage(const LumoData& d, int ch)
{
    FitStageEntry e;
    e.lowPassSlopeText = PlainNumber(d.MaskHighCutSlopeEdit(ch));
    e.highPassSlopeText = PlainNumber(d.MaskLowCutSlopeEdit(ch));
    e.channelText = PlainNumber(static_cast<f32>(ch));
    e.levelText = AverageLevelText(d, ch);
    if (d.MaskHighCutFreqEdit(ch) != 0) {
        e.note = QStringLiteral("Press Fit Measured Spectrum to Desired.");
        e.cutoffText = StoredCutoffText(d, ch);
        e.fitEnabled = true;
    } else {
        e.note = QStringLiteral(
            "Make sure the channel number is correct. Enter the initial Low Pass filter frequency in unit to "
            "continue equalization.");
    }
    return e;
}

CutoffEntry EnterInitialCutoff(LumoData& d, int ch, const QString& text, bool fitDone)
{
    CutoffEntry entry;
    if (fitDone)
        return entry;
    const double x = RoundHalfEven(BasicVal(text), 0);
    const QString title = QStringLiteral("Filter Frequency");
    if (!(x >= LowestInitialCutoff)) {
        entry.refusal = Message{QStringLiteral(" The Low Pass filter frequency of ") + NumberText(static_cast<f32>(x)) +
                                    QStringLiteral(" Hz is too low. Adjust unit to above 5000 Hz and remeasure."),
                                title, MsgIcon::Information};
        entry.cutoffText = StoredCutoffText(d, ch);
        return entry;
    }
    if (!(x < HighestStorableCutoff + CutoffStep)) {
        // Beyond what the cutoff can hold; no generator comes near it, so this is a typing slip.
        entry.refusal = Message{QStringLiteral(" The Low Pass filter frequency of ") + NumberText(static_cast<f32>(x)) +
                                    QStringLiteral(" Hz is too high. Adjust unit and remeasure."),
                                title, MsgIcon::Information};
        entry.cutoffText = StoredCutoffText(d, ch);
        return entry;
    }
    const int hundreds = static_cast<int>(x) / CutoffStep * CutoffStep;
    d.MaskHighCutFreqEdit(ch) = static_cast<i16>(hundreds);
    entry.accepted = true;
    entry.cutoffText = PlainNumber(static_cast<f32>(hundreds));
    return entry;
}

BandArray HighCutResponse(const LumoData& d, int cutoff)
{
    BandArray a;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const double r = static_cast<double>(d.BandFreq(b)) / cutoff;
        a(b) = static_cast<f32>(10.0 * std::log10(1.0 / (r * r + 1.0)));
    }
    return a;
}

f32 SquaredError(const BandArray& goal, const BandArray& s)
{
    f32 sum = 0;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const f32 diff = goal(b) - s(b);
        sum = static_cast<f32>(static_cast<double>(sum) + static_cast<double>(diff) * diff);
    }
    return sum;
}

void FitLevel(const LumoData& d, FitState& s, std::vector<FitFrame>& frames)
{
    const f32 step = LevelTo1600(s.adjusted) < s.goalLevel ? 1.f : -1.f;
    f32 previous = s.bestError;
    for (;;) {
        BandArray trial = Shifted(s.adjusted, step);
        const f32 e = SquaredError(s.goal, trial);
        if (e >= s.bestError)
            return;
        s.adjusted = trial;
        AddFrame(d, s, 0, frames);
        if (!(e < previous))
            break;
        previous = e;
    }
    // The last step went past the best level: take it back.
    s.adjusted = Shifted(s.adjusted, -step);
    const f32 e = SquaredError(s.goal, s.adjusted);
    if (e < s.bestError)
        s.bestError = e;
}

void FitHighCut(const LumoData& d, FitState& s, std::vector<FitFrame>& frames)
{
    f32 p = RoundSingle(s.bestError, 0);
    f32 q = 0;
    do {
        q = p;
        if (s.cutoff + CutoffStep > HighestStorableCutoff)
            return;
        s.cutoff += CutoffStep;
        BandArray trial = Added(s.adjusted, HighCutResponse(d, s.cutoff));
        const f32 e = RoundSingle(SquaredError(s.goal, trial), 0);
        if (e >= s.bestError) {
            // The refused step's 100 Hz stay. The cutoff reported and stored must still be one the generator can
            // take, or each repeated fit would carry it further up.
            s.cutoff = std::clamp(s.cutoff, LowestCutoff, HighestCutoff);
            return;
        }
        s.adjusted = trial;
        AddFrame(d, s, 0, frames);
        p = e;
    } while (q > 0);

    // The error was already down to nothing. The cutoff stays where the search stopped, only brought into the
    // generators' range: it is a whole-hundreds setting the generator can take, and it is the cutoff whose
    // responses the adjusted spectrum holds, so the corrections are computed with the cutoff that is reported.
    s.cutoff = std::clamp(s.cutoff, LowestCutoff, HighestCutoff);
    const f32 e = RoundSingle(SquaredError(s.goal, Added(s.adjusted, HighCutResponse(d, s.cutoff))), 0);
    if (e < s.bestError)
        s.bestError = e;
}

RangeFlags CheckCorrectionRange(int generator, const BandArray& corrections)
{
    RangeFlags flags;
    const std::optional<CorrectionRange> range = CorrectionRangeOf(generator);
    if (!range)
        return flags;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        flags.minus = flags.minus || corrections(b) < range->minus;
        flags.plus = flags.plus || corrections(b) > range->plus;
    }
    return flags;
}

std::optional<Message> FilterErrorMessage(int generator, RangeFlags flags)
{
    const ProductLimits* limits = LimitsOf(generator);
    if (!limits || (!flags.minus && !flags.plus))
        return std::nullopt;
    const QString& text = flags.minus && flags.plus ? limits->both : flags.minus ? limits->minusOnly : limits->plusOnly;
    return Message{text, QStringLiteral("Filter Error"), MsgIcon::Critical};
}

QString CorrectionText(f32 correction)
{
    if (correction < 0)
        return FormatNumber(correction, QStringLiteral(" #0.0"));
    if (correction == 0)
        return QStringLiteral("  0.0");
    return FormatNumber(correction, QStringLiteral("+#0.0"));
}

FitResult RunFit(const LumoData& d, int ch, f32 goalLevel, std::optional<f32> levelBefore)
{
    FitResult r;
    FitState s;
    s.goal = ChannelRow(d.MaskFinalEdit, ch);
    s.adjusted = ChannelRow(d.MaskAverageEdit, ch);
    s.cutoff = d.MaskHighCutFreqEdit(ch);
    s.goalLevel = goalLevel;
    s.bestError = SquaredError(s.goal, s.adjusted);
    r.levelBefore = levelBefore.value_or(LevelTo1600(s.adjusted));

    for (int step = 1; step <= LevelSearchSteps; ++step) {
        if (step % 2 == 1)
            FitLevel(d, s, r.frames);
        else
            FitHighCut(d, s, r.frames);
        AddFrame(d, s, step, r.frames);
    }

    r.adjusted = s.adjusted;
    r.cutoff = s.cutoff;
    r.bestError = s.bestError;
    r.levelAfter = LevelTo1600(s.adjusted);
    r.gainChange = r.levelAfter - r.levelBefore;
    // The gain is kept unrounded (MaskGainChangeEdit); its text shows it rounded to 0.1 dB, the pattern chosen by
    // the gain itself: a rise of 0.04 dB reads "+0.0", a loss of 0.04 dB " 0.0".
    const f32 shownGain = RoundSingle(r.gainChange, 1);
    r.gainText = FormatNumber(shownGain, r.gainChange > 0 ? QStringLiteral("+#0.0") : QStringLiteral(" #0.0"));
    r.finalLevelText = GoalLevelText(d, ch);
    r.cutoffText = PlainNumber(static_cast<f32>(r.cutoff));
    r.lowCutText = PlainNumber(d.MaskLowCutFreqEdit(ch));

    const bool matchesAdjusted = d.Generator == GeneratorVO120R || d.Generator == GeneratorRUZ1200U;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        r.corrections(b) = RoundSingle(s.goal(b) - s.adjusted(b), 2);
        // The text is made from the stored hundredths, not from the difference: -0.004 is kept as 0.00 and
        // must not show a minus the channel's data does not hold.
        r.correctionTexts(b) = CorrectionText(r.corrections(b));
        r.matched(b) = matchesAdjusted ? s.adjusted(b) : s.goal(b);
    }
    r.flags = CheckCorrectionRange(d.Generator, r.corrections);
    r.rangeMessage = FilterErrorMessage(d.Generator, r.flags);
    SetEnding(d, r);
    return r;
}

void ApplyFit(LumoData& d, int ch, const FitResult& result)
{
    SetChannelRow(d.MaskAverageEdit, ch, result.adjusted);
    SetChannelRow(d.MaskCorrectionEdit, ch, result.corrections);
    SetChannelRow(d.MaskMatchedEdit, ch, result.matched);
    d.MaskHighCutFreqEdit(ch) = static_cast<i16>(result.cutoff);
    d.MaskGainChangeEdit(ch) = result.gainChange;
    if (result.eqName)
        d.ProjectEqName = *result.eqName;
}

}  // namespace kov
