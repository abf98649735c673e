#pragma once

#include <QString>

#include "core/LumoData.h"
#include "core/Prompter.h"

namespace kov {

// A message box of the Mask window: always with an OK button only; the window hands it to the Prompter.
struct MaskMessage {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::Information;

    bool operator==(const MaskMessage&) const = default;
};

// The per-channel band arrays of the working set: (channel 1..6, band 12..43).
using ChannelBands = Indexed2<f32, 1, 6, FirstBand, LastBand>;

// One channel's row of a per-channel band array, and the way back (bands 22..39 only, so bands the masking
// stages never compute keep what the project file brought).
BandArray ChannelRow(const ChannelBands& bands, int ch);
void SetChannelRow(ChannelBands& bands, int ch, const BandArray& row);

// The value of a typed text the way BASIC's Val reads it, so that what the installer types means what it meant
// to the older copies of the program:
//  - blanks, tabs, carriage returns and line feeds are ignored wherever they stand ("4 5" is 45);
//  - then an optional sign, digits with at most one decimal point, and an optional exponent (E or D, optional
//    sign, digits) form the number; reading stops at the first character that does not fit ("45abc" is 45,
//    "45.2.1" is 45.2, "1e2" is 100);
//  - a text without a leading number ("abc", "", ".", "-") is 0;
//  - the "&H" / "&O" radix prefixes are not read (they give 0): nobody types sound levels in hex;
//  - an exponent too large for a double gives an infinity of the number's sign, one too small gives 0.
double BasicVal(const QString& text);

// The A-weighted level of one spectrum over bands 22..39 rounded to whole decibels (half to even), the form in
// which the Mask window shows every level.
f32 WholeAWeightedLevel(const LumoData& d, const BandArray& spectrum);

// That level formatted "##": the level labels of the grid and fit stages (0 shows as "").
QString LevelDisplay(const LumoData& d, const BandArray& spectrum);

}  // namespace kov
