#pragma once

#include <QString>
#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"

namespace kov {

// What a paging channel's intelligibility rests on, for the Page window and the report alike: the speaker
// locations, the background options of each product and the spectrum each one stands for, the articulation index
// and its rating.

inline constexpr int SpeakerLocationCount = 4;
inline constexpr int BackgroundOptionCount = 5;

QString SpeakerLocationCaption(int location);  // OptSpkr(1..4); "" outside

// ---- Background options ------------------------------------------------------------------------------------

// Which spectrum an OptSpec option stands for.
struct BackgroundSource {
    enum Kind { None, Database, Masking };
    Kind kind = None;
    int index = 0;  // Database: the entry (0, the background); Masking: the masking channel 1..6

    bool operator==(const BackgroundSource&) const = default;
};

struct BackgroundOption {
    QString caption;
    bool enabled = true;
    BackgroundSource source;

    bool operator==(const BackgroundOption&) const = default;
};
using BackgroundOptionSet = Indexed<BackgroundOption, 1, BackgroundOptionCount>;

// OptSpec(1..5) for a product. The window is reached for the products with paging inputs only (1, 2, 4, 5); any
// other offers the database background alone.
BackgroundOptionSet BackgroundOptions(int generator);

// The spectrum `index` of a table (a database entry or a masking channel's MaskMatched) as the background.
struct BackgroundSpectrum {
    std::optional<Message> unavailable;  // "No data": the spectrum holds nothing (band 22 is 0)
    BandArray work;                      // otherwise the new PageWork row: bands 22..39 of the spectrum, 0 elsewhere
};
BackgroundSpectrum SetBackgroundSpectrum(int index, const BandArray& spectrum);
// The spectrum an option selects, as SetBackgroundSpectrum takes it; nullopt when the option selects none.
std::optional<BackgroundSpectrum> SelectBackground(const LumoData& d, const BackgroundSource& source);

Message BackgroundUnavailableMessage(int index);  // "The Channel3 spectrum is not available."
// A spectrum holds something when its first band does.
bool HoldsSpectrum(const BandArray& spectrum);

// ---- Intelligibility ---------------------------------------------------------------------------------------

// Articulation index of `paging` over `background`, bands 22..39, summed in single precision, rounded to 0.01
// (half to even) and kept within 0..1.
f32 ArticulationIndex(const LumoData& d, const BandArray& paging, const BandArray& background);
// "Excellent", "Good", "Fair", "Marginal" or "Poor".
QString IntelligibilityRating(f32 index);

}  // namespace kov
