#pragma once

#include <QList>
#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"

namespace kov {

// The goal spectrum of a channel: a shape from the spectrum database, raised or lowered in 1 dB steps and
// confirmed with "Choose". The window shows the texts these functions return and passes back the text of its
// level label (DatAWgt), from which the steps and the confirmation read the level.

// The database entries the list LstSpec offers, in order: entries 1..15 except those named "Empty".
QList<int> GoalListEntries(const LumoData& d);

// Energy level of bands 22..32 (160 Hz .. 1600 Hz), 10 ln(sum) / ln 10, unrounded; 0 when the sum is not
// positive. Both the goal and the fitted spectrum are judged by it.
f32 LevelTo1600(const BandArray& spectrum);

// The A-weighted level of the channel's goal over bands 22..39 as whole-dB plain text (DatAWgt, DatAWgt1).
QString GoalLevelText(const LumoData& d, int ch);

// LstSpec receiving the focus: the note for LabFNote. With no entry chosen yet the channel takes entry 2.
QString GoalListFocusNote(LumoData& d, int ch);

// What selecting an entry leaves on the screen.
struct GoalView {
    QString levelText;                      // DatAWgt and DatAWgt1
    std::optional<QString> recommendation;  // LabRecommend in FramRecommend; nullopt: hide FramRecommend
    QString note;                           // LabFNote
};

// A click on the list item of `entry`: the channel takes that entry and its shape, discarding earlier steps.
// The window then enables Choose, + 1 dB and - 1 dB and redraws the goal plot.
GoalView SelectGoalEntry(LumoData& d, int ch, int entry);

// "+ 1 dB" / "- 1 dB" with the shown level text. Steps go up while the shown level is at most 70 and down while
// it is at least 40; outside, the "Range Error" message. In range with no entry chosen nothing happens.
struct GoalStep {
    bool changed = false;  // the goal moved: show levelText and redraw the plot
    QString levelText;
    std::optional<Message> error;
};
GoalStep RaiseGoal(LumoData& d, int ch, const QString& shownLevel);
GoalStep LowerGoal(LumoData& d, int ch, const QString& shownLevel);

// "Choose" with the shown level text. Refused (with its message) for an "Empty" entry, a level of 35 or less, or
// no channel. Accepted: bands 21, 20, 40, 41 of the goal are extrapolated, the octave levels at bands 21, 24, ..,
// 39 computed, and the goal's LevelTo1600 returned for the fit. The window then hides FramRecommend (in every
// case) and, when accepted, enters the grid stage.
struct GoalChoice {
    bool accepted = false;
    std::optional<Message> refusal;
    f32 goalLevel = 0;  // GoalLevel
};
GoalChoice ConfirmGoal(LumoData& d, int ch, const QString& shownLevel);

}  // namespace kov
