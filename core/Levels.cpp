#include "core/Levels.h"

#include "core/Numbers.h"
#include "core/Tables.h"

namespace kov {

BandArray ChannelRow(const ChannelBands& bands, int ch)
{
    BandArray row;
    for (int b = FirstBand; b <= LastBand; ++b)
        row(b) = bands(ch, b);
    return row;
}

void SetChannelRow(ChannelBands& bands, int ch, const BandArray& row)
{
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        bands(ch, b) = row(b);
}

f32 WholeAWeightedLevel(const LumoData& d, const BandArray& spectrum)
{
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    return RoundSingle(AWeightedLevelOf(d, spectrum, low, high), 0);
}

QString LevelDisplay(const LumoData& d, const BandArray& spectrum)
{
    return FormatNumber(WholeAWeightedLevel(d, spectrum), QStringLiteral("##"));
}

}  // namespace kov
