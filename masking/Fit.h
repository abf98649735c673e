#pragma once

#include <QString>
#include <optional>
#include <vector>

#include "core/LumoData.h"
#include "core/Message.h"

namespace kov {

// The fit of a channel's measured average to its goal: the overall level in 1 dB steps and the low-pass
// (high-cut) cutoff in 100 Hz steps, alternately, nine searches in all. Everything here is computed without
// pacing; the window replays the frames with its clock.

inline const QString AdjustedLevelCaption = QStringLiteral("Adjusted\nLevel");  // LabAWgt2 while fitting
inline const QString FinalLevelCaption = QStringLiteral("Final  Level");        // LabAWgt2 after the fit

// ---- Before the fit ----------------------------------------------------------------------------------------

// "Calculate" (after StoreGrid): what the fit frame shows on entry.
struct FitStageEntry {
    QString lowPassSlopeText;   // DatLowPass
    QString highPassSlopeText;  // DatHighPass
    QString channelText;        // DatChan2
    QString note;               // LabNote
    QString cutoffText;         // DatFcOld; "" when no cutoff is known yet
    bool fitEnabled = false;    // true: enable CmdMatch and focus it; false: focus DatFcOld
    QString levelText;          // DatAWgt2 of the plot drawn on entry
};
FitStageEntry EnterFitStage(const LumoData& d, int ch);

// DatFcOld losing the focus; after the first fit (fitDone) it changes nothing. The value is rounded to whole hertz;
// from 5000 Hz up it is stored in whole hundreds (tens and units dropped), lower values are refused with the "Filter
// Frequency" message and the stored cutoff stays. Values whose hundreds do not fit the 16-bit cutoff are refused too.
struct CutoffEntry {
    bool accepted = false;  // then: show cutoffText, empty LabNote, enable and focus CmdMatch
    // Accepted: the stored hundreds. Refused: the cutoff still in use as DatFcOld shows it ("" when none), so the
    // box does not keep a value the fit will not use.
    QString cutoffText;
    std::optional<Message> refusal;
};
CutoffEntry EnterInitialCutoff(LumoData& d, int ch, const QString& text, bool fitDone);

// ---- The searches ------------------------------------------------------------------------------------------

// Attenuation of a first-order low-pass at `cutoff` Hz in each band 22..39, dB (<= 0).
BandArray HighCutResponse(const LumoData& d, int cutoff);

// Sum over bands 22..39 of (goal - s)^2, accumulated in a single.
f32 SquaredError(const BandArray& goal, const BandArray& s);

// One redraw of the fit plot: the adjusted spectrum after an accepted search step (outerStep 0) or after the
// outer search step 1..9. The window draws goal and `adjusted`, pauses 0.2 s and shows levelText in DatAWgt2.
struct FitFrame {
    BandArray adjusted;
    QString levelText;
    int cutoff = 0;
    int outerStep = 0;
};

// The state the searches work on.
struct FitState {
    BandArray goal;
    BandArray adjusted;  // starts as the measured average
    int cutoff = 0;      // Hz
    f32 bestError = 0;
    f32 goalLevel = 0;
};

// The level search and the low-pass search, appending a frame for every accepted step. The low-pass search moves
// the cutoff 100 Hz a step, refused steps included, and once it has stepped it ends within 2000..8000 Hz.
void FitLevel(const LumoData& d, FitState& s, std::vector<FitFrame>& frames);
void FitHighCut(const LumoData& d, FitState& s, std::vector<FitFrame>& frames);

// ---- The whole fit -----------------------------------------------------------------------------------------

struct RangeFlags {
    bool minus = false;
    bool plus = false;

    bool operator==(const RangeFlags&) const = default;
};

// Corrections beyond what the product's 1/3-octave filters can set (strict comparisons): DU3001 and DA2500
// +-12 dB, ZUV-AR24 +15 / -30 dB; other products are not checked.
RangeFlags CheckCorrectionRange(int generator, const BandArray& corrections);
// The one "Filter Error" message for the flags, if any.
std::optional<Message> FilterErrorMessage(int generator, RangeFlags flags);

// " #0.0" below 0, "  0.0" at 0, "+#0.0" above: a correction as DatFreq shows it.
QString CorrectionText(f32 correction);

struct FitResult {
    std::vector<FitFrame> frames;  // every redraw, in order; the nine outer steps carry outerStep 1..9

    BandArray adjusted;  // the final adjusted spectrum (becomes MaskAverageEdit)
    int cutoff = 0;      // the final low-pass cutoff (MaskHighCutFreqEdit)
    f32 bestError = 0;
    f32 levelBefore = 0;
    f32 levelAfter = 0;
    f32 gainChange = 0;      // levelAfter - levelBefore
    QString gainText;        // LabGain
    QString finalLevelText;  // DatAWgt2 after the fit: the goal level
    QString cutoffText;      // LabFlNew
    QString lowCutText;      // LabFhNew

    BandArray corrections;                                          // goal - adjusted, rounded to 0.01, bands 22..39
    Indexed<QString, FirstDataBand, LastDataBand> correctionTexts;  // DatFreq(22..39)
    RangeFlags flags;
    std::optional<Message> rangeMessage;  // shown after the results are on the screen
    BandArray matched;                    // MaskMatchedEdit

    // Ending by product.
    bool showCorrectionTable = false;  // LabOneThird, LabFreq(22..39), DatFreq(22..39)
    bool narrowWindow = false;         // window to the left edge, 2750 twips wide, FramMatch caption "Corrections"
    std::optional<QString> eqName;     // ZUV-AR24: ProjectEqName ...
    std::optional<QString> note;       // ... and LabNote
};

// Runs the nine searches on the channel's working set (goal MaskFinalEdit, average MaskAverageEdit, cutoff
// MaskHighCutFreqEdit, product Generator) and GoalLevel from "Choose", and works out everything the fit frame
// shows. Changes nothing: ApplyFit stores the result.
// levelBefore: the level of the measured average before the first fit of this visit of the window. A repeated fit
// starts from the average the last one stored, yet the gain it reports and stores must be the whole change from the
// measurement, so it is taken from this level; without it the gain is counted from the current average.
FitResult RunFit(const LumoData& d, int ch, f32 goalLevel, std::optional<f32> levelBefore = std::nullopt);

// Stores a fit result: MaskAverageEdit, MaskHighCutFreqEdit, MaskGainChangeEdit, MaskCorrectionEdit and
// MaskMatchedEdit of the channel, and ProjectEqName when the result names one.
void ApplyFit(LumoData& d, int ch, const FitResult& result);

}  // namespace kov
