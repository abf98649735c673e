#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "core/PagingPresets.h"

namespace kov {

// "Show Settings": what to set in the generator for a paging channel. Fixed presets by speaker location (1..4), not
// fitted to the calculated spectrum; a location outside 1..4 gives nothing and changes nothing.

// The treble setting, the DA2500 curves and its frame's texts are in core/PagingPresets.h, which the report shares.

inline constexpr int MixerControlCount = 8;

// ---- DA2500 ------------------------------------------------------------------------------------------------

// ShowResults: stores the paging band limits 100 and 5000 into PageLowpassFreqEdit and PageHighpassFreqEdit and
// returns the frame's texts.
std::optional<Da2500Settings> ShowResults(LumoData& d, int ch);

// ---- ZUV-AR24 ----------------------------------------------------------------------------------------------

// Puts the location's parametric presets into PageEqFreqEdit, PageEqWidthEdit and PageEqLevelEdit (controls 1..8;
// the unused ones 0, which bypasses them). Returns false, changing nothing, for a location outside 1..4.
bool SetMixerEq(LumoData& d, int ch);

// One row "EQ Control k" of FramMixer. A bypassed row shows "Bypass" in its first label and nothing in the others
// (rows 3..8 have no other labels to empty).
struct MixerRow {
    QString freq;   // "EQ Freq =2000 Hz"
    QString width;  // "EQ  BW =2.00 Oct"
    QString level;  // "EQ Level =+6.0 dB"

    bool operator==(const MixerRow&) const = default;
};
using MixerRows = Indexed<MixerRow, 1, MixerControlCount>;
// The rows for the channel's working set after SetMixerEq.
std::optional<MixerRows> MixerRowTexts(const LumoData& d, int ch);

// ---- The button --------------------------------------------------------------------------------------------

enum class SettingsFrame {
    None,         // any other product: nothing is shown
    Treble,       // Fram120 at (60, 60) twips; FramMixer and FramData hidden
    ThirdOctave,  // FramData at (60, 60); FramMixer and Fram120 hidden; LabNote hidden
    Mixer,        // FramMixer at (60, 60); FramData and Fram120 hidden
};

struct PagingSettingsView {
    SettingsFrame frame = SettingsFrame::None;
    std::optional<QString> trebleText;  // Dat120
    std::optional<Da2500Settings> thirdOctave;
    std::optional<MixerRows> mixer;
    std::optional<QString> note;  // LabNote (Mixer)
    bool hideNote = false;        // LabNote (ThirdOctave)
    bool doneEnabled = true;      // CmdDone, in every case
};

// CmdEQSet_Click for the channel, by Generator and PageSpeakerOptionEdit(ch). Pressing it again gives the same.
PagingSettingsView ShowPagingSettings(LumoData& d, int ch);

}  // namespace kov
