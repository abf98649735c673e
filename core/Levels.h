#pragma once

#include <QString>

#include "core/LumoData.h"

namespace kov {

// The per-channel band arrays of the working set: (channel 1..6, band 12..43).
using ChannelBands = Indexed2<f32, 1, 6, FirstBand, LastBand>;

// One channel's row of a per-channel band array, and the way back (bands 22..39 only, so bands the masking
// stages never compute keep what the project file brought).
BandArray ChannelRow(const ChannelBands& bands, int ch);
void SetChannelRow(ChannelBands& bands, int ch, const BandArray& row);

// The A-weighted level of one spectrum over bands 22..39 rounded to whole decibels (half to even), the form in
// which the windows show every level.
f32 WholeAWeightedLevel(const LumoData& d, const BandArray& spectrum);

// That level formatted "##" (0 shows as "").
QString LevelDisplay(const LumoData& d, const BandArray& spectrum);

}  // namespace kov
