#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "core/Indexed.h"
#include "core/LumoData.h"

namespace kov {

struct Tolerance {
    f32 band = DefaultBandTolerance;
    f32 level = DefaultLevelTolerance;
    f32 position = DefaultPositionMargin;
    bool operator==(const Tolerance&) const = default;
};

// The figures a person may set, and the range the boxes offer; a stored figure outside it stands for the default.
inline constexpr f32 LeastTolerance = 0.1F;
inline constexpr f32 LargestTolerance = 20.0F;
f32 ToleranceOrDefault(f32 stored, f32 fallback);

Tolerance ProjectTolerance(const LumoData& d);
void SetProjectTolerance(LumoData& d, const Tolerance& t);

// The range of the generator's 1/3-octave filters; none where the product has no such filters or no range that
// is known (then the corrections are taken as set).
struct CorrectionRange {
    f32 minus;
    f32 plus;
};
std::optional<CorrectionRange> CorrectionRangeOf(int generator);
bool HasThirdOctaveFilters(int generator);

// How far a spectrum stands from the goal over bands 22..39: the root mean square of the differences and the
// difference of largest size (level minus goal, the first such band on a tie), both rounded to 0.1 dB.
struct Deviation {
    f32 rms = 0;
    f32 worst = 0;
    int worstBand = FirstDataBand;
    bool operator==(const Deviation&) const = default;
};
Deviation DeviationFrom(const BandArray& goal, const BandArray& levels);

// The channel as the generator will produce it once its settings are made: the spectrum the fit adjusted, plus
// the corrections as far as the filters can set them.
BandArray ResultAfterFit(int generator, const BandArray& adjusted, const BandArray& corrections);

struct ChannelVerdict {
    Tolerance tolerance;
    Indexed<f32, FirstDataBand, LastDataBand> offset{};  // result minus goal, 0.01 dB
    Indexed<bool, FirstDataBand, LastDataBand> inside{};
    f32 levelOffset = 0;  // A-weighted level of the result minus that of the goal, 0.1 dB
    bool levelInside = true;
    bool passed = true;
    Deviation before;  // the measured average
    Deviation after;   // the result after the fit
};
ChannelVerdict JudgeChannel(const LumoData& d, const BandArray& goal, const BandArray& measured,
                            const BandArray& result, const Tolerance& tolerance);

// The spread of the positions measured (tests 1..count): per band the range across them, and each position's
// A-weighted level against the average's; the positions further than the margin from it are named.
struct PositionSpread {
    int count = 0;
    Indexed<f32, FirstDataBand, LastDataBand> range{};
    f32 widest = 0;
    int widestBand = FirstDataBand;
    std::vector<f32> levelOffsets;  // test 1.. count, 0.1 dBA
    std::vector<int> outliers;      // test numbers
};
PositionSpread SpreadOfTests(const LumoData& d, const std::vector<BandArray>& tests, f32 margin);

// The tests of one channel and their average as the grid makes it (the mean of each band rounded to 0.1 dB), from
// the project set or the working set.
std::vector<BandArray> ChannelTests(const Indexed3<f32, 1, 10, 1, 6, FirstBand, LastBand>& tests, int count, int ch);
BandArray AverageOfTests(const std::vector<BandArray>& tests);

// The words that say it; a mark beside each word, so the verdict never rests on colour.
QString VerdictWord(bool passed);
QString BandMark(bool inside);
QString ToleranceText(const Tolerance& t);
QString VerdictText(const ChannelVerdict& v, const BandTableI16& bandFreq);
// The same from the fullest to the shortest, for a line that has to fit: the bands outside named or only counted.
QStringList VerdictTexts(const ChannelVerdict& v, const BandTableI16& bandFreq);
QString FiguresText(const Deviation& x, const BandTableI16& bandFreq);  // "RMS 3.1 dB, worst +5.2 dB at 250 Hz"
QString DeviationText(const ChannelVerdict& v, const BandTableI16& bandFreq);
QString SpreadText(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq);
// The same from the fullest to the shortest: every position's level, or their range; the positions past the
// margin named, or counted.
QStringList SpreadTexts(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq);
// The same in a few words for a narrow column: the widest spread, and the positions past the margin or none.
QString SpreadSummary(const PositionSpread& s, f32 margin, const BandTableI16& bandFreq);
QString SignedTenths(f32 x);  // "+1.2", "-0.4", "0.0"

// Everything the report says of a masking channel of the project set.
struct ChannelProof {
    ChannelVerdict verdict;
    PositionSpread spread;
};
ChannelProof ProveChannel(const LumoData& d, int ch);

}  // namespace kov
