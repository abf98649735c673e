#include "core/PagingPresets.h"

#include "core/Numbers.h"

namespace kov {

std::optional<QString> ShowTrebleSetting(int location)
{
    switch (location) {
        case 1:
            return QStringLiteral("Set to +3 Dots");
        case 2:
            return QStringLiteral("Set to +2 Dots");
        case 3:
            return QStringLiteral("Set to +5 Dots");
        case 4:
            return QStringLiteral("Set Straight Up");
        default:
            return std::nullopt;
    }
}

std::optional<BandArray> PagingShapeFor(const LumoData& d, int location)
{
    switch (location) {
        case 1:
            return d.PagingShape2;
        case 2:
            return d.PagingShape3;
        case 3:
            return d.PagingShape4;
        case 4:
            return d.PagingShape1;
        default:
            return std::nullopt;
    }
}

std::optional<Da2500Settings> Da2500SettingTexts(const LumoData& d, int location, int ch, f32 level, i16 low, i16 high)
{
    const auto shape = PagingShapeFor(d, location);
    if (!shape)
        return std::nullopt;
    Da2500Settings s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        s.bandTexts(b) = FormatSignedTenth((*shape)(b));
    s.channelText = FormatNumber(ch, QStringLiteral("#"));
    s.levelText = FormatNumber(level, QStringLiteral(" #0.0"));
    s.lowText = FormatNumber(low, QStringLiteral(" ###0"));
    s.highText = FormatNumber(high, QStringLiteral(" ###0"));
    return s;
}

}  // namespace kov
