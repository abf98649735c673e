#pragma once

#include <QString>
#include <QStringList>
#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"
#include "core/PagingFigures.h"

namespace kov {

// The paging spectrum of one paging channel and its intelligibility over a chosen background. The Page window
// keeps the background of each channel (PageWork) itself, shows the texts these functions return and moves the
// enabling they report into its buttons; all choices and results live in the paging working set of LumoData.

// The index a paging spectrum is raised to, and the step it is raised by.
inline constexpr f32 TargetArticulationIndex = 0.9f;
inline constexpr f32 PagingRaiseStep = 0.5f;
// Raises before the calculation gives up. From the start, every weighted band of the paging spectrum lies at most
// about 16 dB below the background (A-weighting and roll-off of bands 23..37), so 47 dB of raising takes every band
// 30 dB above it and the index to 1: about 94 raises. Only a background the arithmetic cannot follow (no weight to
// gain, an infinite or enormous level that 0.5 dB no longer moves) comes near this.
inline constexpr int MaxPagingRaises = 200;

// ---- Texts -------------------------------------------------------------------------------------------------

QString PagingCaption(int ch);  // "Setting Paging Equalizer Corrections for Channel1"
inline const QString ChooseBothNote =
    QStringLiteral("Choose the speaker location and the backgound or masking spectrum for the area.");
inline const QString ChooseSpeakerNote = QStringLiteral("Choose the speaker location..");
inline const QString ChooseBackgroundNote = QStringLiteral("Choose the reference background spectrum.");
inline const QString PressCalculateNote = QStringLiteral("Press CALCULATE to create the paging spectrum.");
inline const QString ListAIHeading = QStringLiteral("dBA  Intelligibility");

// ---- Opening and choosing ----------------------------------------------------------------------------------

// Activation (and "Start Over"). The window then clears the plot, hides ListAI and the three settings frames,
// draws the axes, sets every option unselected, shows `note` and disables Calculate, Show Settings and Done.
struct PagingStart {
    QString caption;
    BackgroundOptionSet options;
    QString note;
};
// Copies the masking channels and the stored paging results into the working set, then forgets the two choices
// (background option and this channel's speaker location): they are shown unselected, and what the person has not
// chosen again on the screen must not decide a note or a preset.
PagingStart ActivatePaging(LumoData& d, int ch);

// What an option click leaves on the screen. The window hides FramMixer and FramData in every case.
struct PagingChoice {
    std::optional<Message> unavailable;   // show it first
    std::optional<BandArray> background;  // a new PageWork row: clear the plot, draw the grid and it in yellow
    QString note;                         // LabNote
    bool calculateEnabled = false;        // CmdCalculate
};
// OptSpec_Click. A refused spectrum leaves the channel's PageWork row as it was.
PagingChoice ChooseBackground(LumoData& d, int ch, int option);
// OptSpkr_Click: `background` is the channel's PageWork row; Calculate is enabled only while it holds a spectrum.
PagingChoice ChooseSpeakerLocation(LumoData& d, int ch, int location, const BandArray& background);

// ---- The calculation ---------------------------------------------------------------------------------------

// One state of the paging spectrum: after the start and after every raise. The window shows levelText in
// Datprivacy(1), adds listLine to ListAI when there is one and redraws the plot.
struct PagingStep {
    int raises = 0;  // 0 for the start
    f32 level = 0;   // PageLevelEdit
    QString levelText;
    f32 index = 0;
    QString rating;
    std::optional<QString> listLine;  // "58    Poor": when the rating changed (always at the start)
};

// How it ended. On success the window enables Show Settings and shows the note; otherwise it shows the failure and
// leaves Show Settings disabled.
struct PagingEnd {
    bool reached = false;
    std::optional<QString> note;     // LabNote; nullopt: leave it
    std::optional<Message> failure;  // the index could not be raised to 0.9, or the level is infinite
};

// "Calculate", one step at a time, so that the window can draw and pause between them:
//   PagingCalculation calc(d, ch, pageWork);
//   show(calc.start());
//   while (calc.needsRaise()) { show(calc.raise()); draw; wait; }
//   end(calc.done());
// start() and raise() write PageSpectrumEdit and PageLevelEdit of the channel. needsRaise() turns false at the
// target, after MaxPagingRaises raises, or at an infinite level.
class PagingCalculation {
public:
    PagingCalculation(LumoData& d, int ch, const BandArray& background);

    PagingStep start();
    bool needsRaise() const;
    PagingStep raise();
    PagingEnd done() const;

    // ListAI as it stands: the heading and every line so far.
    const QStringList& lines() const { return m_lines; }

private:
    PagingStep evaluate();

    LumoData& m_d;
    int m_ch;
    BandArray m_background;
    QStringList m_lines;
    QString m_rating;
    f32 m_index = 0;
    int m_raises = 0;
    bool m_started = false;
};

Message PagingUnreachableMessage();

}  // namespace kov
