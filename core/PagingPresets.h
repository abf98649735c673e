#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"

namespace kov {

// The generator's paging settings by speaker location (1..4): fixed presets, not fitted to the calculated spectrum.
// The Page window shows them and the report prints them, so they live here; a location outside 1..4 gives nothing.

inline constexpr i16 PagingLowLimit = 100;    // Hz, the DA2500's paging band
inline constexpr i16 PagingHighLimit = 5000;  // Hz

// VO120R, VO120R+DAR131: the treble control's setting, "Set to +3 Dots", ..., "Set Straight Up".
std::optional<QString> ShowTrebleSetting(int location);

// DA2500: the location's 1/3-octave curve (PagingShape1..4), bands 12..43.
std::optional<BandArray> PagingShapeFor(const LumoData& d, int location);

// The texts of the DA2500's settings frame.
struct Da2500Settings {
    Indexed<QString, FirstDataBand, LastDataBand> bandTexts;  // DatFreq(22..39): " #0.0" up to 0, "+#0.0" above
    QString channelText;                                      // DatChan: "#"
    QString levelText;                                        // LabGain: the paging level " #0.0"
    QString lowText;                                          // LabPFl: " ###0"
    QString highText;                                         // LabPFh: " ###0"
};
// The frame's texts for paging channel `ch` with its location, paging level and band limits.
std::optional<Da2500Settings> Da2500SettingTexts(const LumoData& d, int location, int ch, f32 level, i16 low, i16 high);

}  // namespace kov
