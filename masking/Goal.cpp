#include "masking/Goal.h"

#include <cmath>

#include "core/Levels.h"
#include "core/Numbers.h"
#include "core/SpectrumDatabase.h"
#include "core/TextValue.h"

namespace kov {

namespace {

constexpr int FirstListEntry = 1;
constexpr int LastListEntry = 15;
constexpr int LastBandTo1600 = 32;
constexpr double HighestStepUp = 70;
constexpr double LowestStepDown = 40;
constexpr double QuietestGoal = 35;

bool IsEmptyEntry(const LumoData& d, int entry)
{
    return d.SpecName(entry).trimmed() == EmptySpectrumName;
}

bool ValidChannel(int ch)
{
    return ch >= 1 && ch <= 6;
}

const QString& OpenOfficeRecommendation()
{
    static const QString text =
        QStringList{
            QStringLiteral("Panels less than 60 inches: 48"), QStringLiteral("Panels near 60 inches: 47"),
            QStringLiteral("Panels near 66 inches: 46"),      QStringLiteral("Panels near 72 inches: 45"),
            QStringLiteral("Panels near 80 inches: 44"),
        }
            .join(u'\n');
    return text;
}

const QString& CeilingRecommendation()
{
    static const QString text =
        QStringList{
            QStringLiteral("No or fiberglass ceiling, CAC less than 30:  45"),
            QStringLiteral("Low density mineral tile, CAC near 30: 44"),
            QStringLiteral("High denisty meineral tile, CAC near 35: 42"),
        }
            .join(u'\n');
    return text;
}

void ShiftGoal(LumoData& d, int ch, f32 step)
{
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        d.MaskFinalEdit(ch, b) += step;
}

GoalStep StepGoal(LumoData& d, int ch, bool inRange, f32 step, const QString& rangeText)
{
    GoalStep result;
    if (!inRange) {
        result.error = Message{rangeText, QStringLiteral("Range Error"), MsgIcon::Critical};
        return result;
    }
    if (!ValidChannel(ch) || d.MaskSpectrumIndexEdit(ch) == 0)
        return result;
    ShiftGoal(d, ch, step);
    result.changed = true;
    result.levelText = GoalLevelText(d, ch);
    return result;
}

void ExtrapolateGoal(LumoData& d, int ch)
{
    auto& g = d.MaskFinalEdit;
    g(ch, 21) = g(ch, 22) + 1;
    g(ch, 20) = g(ch, 21) + 1;
    g(ch, 40) = 2 * g(ch, 39) - g(ch, 38);
    g(ch, 41) = 2 * g(ch, 40) - g(ch, 39);
}

void ComputeOctaves(LumoData& d, int ch)
{
    for (int c = 21; c <= LastDataBand; c += 3) {
        double sum = 0;
        for (int b = c - 1; b <= c + 1; ++b)
            sum += std::pow(10.0, static_cast<double>(d.MaskFinalEdit(ch, b)) / 10.0);
        // Rounded as the product comes: 59.499994645 made a single first would read as the tie 59.5.
        d.MaskFinalOctaveEdit(ch, c) = static_cast<f32>(RoundHalfEven(d.LnToDb10 * std::log(sum), 0));
    }
}

}  // namespace

QList<int> GoalListEntries(const LumoData& d)
{
    QList<int> entries;
    for (int i = FirstListEntry; i <= LastListEntry; ++i) {
        if (!IsEmptyEntry(d, i))
            entries.append(i);
    }
    return entries;
}

f32 LevelTo1600(const BandArray& spectrum)
{
    double sum = 0;
    for (int b = FirstDataBand; b <= LastBandTo1600; ++b)
        sum += std::pow(10.0, static_cast<double>(spectrum(b)) / 10.0);
    if (!(sum > 0))
        return 0;
    return static_cast<f32>(10.0 * std::log(sum) / std::log(10.0));
}

QString GoalLevelText(const LumoData& d, int ch)
{
    return PlainNumber(WholeAWeightedLevel(d, ChannelRow(d.MaskFinalEdit, ch)));
}

QString GoalListFocusNote(LumoData& d, int ch)
{
    const int entry = d.MaskSpectrumIndexEdit(ch);
    if (entry != 0)
        return QStringLiteral("The spectrum ") + d.SpecName(entry) +
               QStringLiteral(" was previously chosen. You may chose another.");
    d.MaskSpectrumIndexEdit(ch) = 2;
    return QStringLiteral("Click on desired spectrum shape.");
}

GoalView SelectGoalEntry(LumoData& d, int ch, int entry)
{
    d.MaskSpectrumIndexEdit(ch) = static_cast<i16>(entry);
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        d.MaskFinalEdit(ch, b) = d.SpecLevel(entry, b);
    GoalView view;
    if (entry == 1)
        view.recommendation = OpenOfficeRecommendation();
    else if (entry == 2)
        view.recommendation = CeilingRecommendation();
    view.note =
        QStringLiteral("Present fixed level is shown below. Adjust to desired level with buttons, then click CHOOSE.");
    view.levelText = GoalLevelText(d, ch);
    return view;
}

GoalStep RaiseGoal(LumoData& d, int ch, const QString& shownLevel)
{
    return StepGoal(d, ch, BasicVal(shownLevel) <= HighestStepUp, 1,
                    QStringLiteral("The masking spectrum is set too high"));
}

GoalStep LowerGoal(LumoData& d, int ch, const QString& shownLevel)
{
    return StepGoal(d, ch, BasicVal(shownLevel) >= LowestStepDown, -1,
                    QStringLiteral("The masking spectrum is set too low."));
}

GoalChoice ConfirmGoal(LumoData& d, int ch, const QString& shownLevel)
{
    GoalChoice choice;
    const double x = BasicVal(shownLevel);
    // A channel outside 1..6 has no entry to look at; it is refused below for want of a channel.
    const bool emptyEntry = ValidChannel(ch) && IsEmptyEntry(d, d.MaskSpectrumIndexEdit(ch));
    if (emptyEntry || x <= QuietestGoal) {
        choice.refusal = Message{QStringLiteral("You have chosen an empty or invalid spectrum. Try another."),
                                 QStringLiteral("Masking Spectrum"), MsgIcon::Information};
        return choice;
    }
    if (!ValidChannel(ch)) {
        choice.refusal = Message{QStringLiteral("Enter the channel for the masking signal."),
                                 QStringLiteral("Channel Number"), MsgIcon::Information};
        return choice;
    }
    ExtrapolateGoal(d, ch);
    ComputeOctaves(d, ch);
    choice.accepted = true;
    choice.goalLevel = LevelTo1600(ChannelRow(d.MaskFinalEdit, ch));
    return choice;
}

}  // namespace kov
