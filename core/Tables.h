#pragma once

#include <QString>

#include "core/Indexed.h"
#include "core/LumoData.h"

namespace kov {

// The folder that holds the program's data files: beside the program, unless start-up chose the per-user folder of
// an installed program (core/ProgramFolder.h) or a test pointed it at a temporary folder.
QString ProgramFolder();
void OverrideProgramFolder(const QString& folder);
bool ProgramFolderOverridden();

// Fills the band tables, LnToDb10 and AppPath.
void InitTables(LumoData& d);

// A-weighted overall level of row `column` of `levels` over low..high, rounded to 0.1 dB. The band range is clamped
// to 14..42 (where the A-weighting table is filled) and the clamped bounds are handed back to the caller.
template <int Lo1, int Hi1>
f32 AWeightedLevel(const LumoData& d, int column, i16& lowBand, i16& highBand,
                   const Indexed2<f32, Lo1, Hi1, FirstBand, LastBand>& levels);

// The A-weighted sum itself, for callers that hold one spectrum.
f32 AWeightedLevelOf(const LumoData& d, const BandArray& spectrum, i16& lowBand, i16& highBand);

// Keystroke filter of the entry boxes: 1 when the last character of `text` (upper-cased) is allowed, else 0.
// Every character is looked at, but only the verdict on the last one survives; an allowed set that begins with
// "-" accepts the minus only as the first character; an empty set accepts everything.
i16 CheckAllowedChars(const QString& text, const QString& allowed);

// Allowed sets of the entry boxes.
inline const QString DigitsAndPoint = QStringLiteral("0123456789.");
inline const QString SignedDigits = QStringLiteral("-0123456789");
inline const QString FolderNameChars = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_^$~!#%&-{}()\\:");

namespace detail {
double AWeightedSum(const LumoData& d, int lowBand, int highBand, const float* levelsFrom12);
f32 AWeightedFromSum(const LumoData& d, double sum);
void ClampAWeightBands(i16& lowBand, i16& highBand);
}  // namespace detail

template <int Lo1, int Hi1>
f32 AWeightedLevel(const LumoData& d, int column, i16& lowBand, i16& highBand,
                   const Indexed2<f32, Lo1, Hi1, FirstBand, LastBand>& levels)
{
    detail::ClampAWeightBands(lowBand, highBand);
    float row[LastBand - FirstBand + 1];
    for (int b = FirstBand; b <= LastBand; ++b)
        row[b - FirstBand] = levels(column, b);
    return detail::AWeightedFromSum(d, detail::AWeightedSum(d, lowBand, highBand, row));
}

}  // namespace kov
