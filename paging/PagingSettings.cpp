#include "paging/PagingSettings.h"

#include "core/Numbers.h"

namespace kov {

namespace {

struct MixerPreset {
    i16 freq;
    f32 width;
    f32 level;
};

// Controls 1 and 2 by location; a frequency of 0 bypasses the control.
constexpr MixerPreset MixerPresets[4][2] = {
    {{2000, 2.0f, 6.0f}, {0, 0, 0}},
    {{2000, 2.0f, 4.0f}, {0, 0, 0}},
    {{2500, 1.5f, 8.0f}, {1250, 0.75f, 3.0f}},
    {{2000, 2.0f, 2.0f}, {0, 0, 0}},
};

bool KnownLocation(int location)
{
    return location >= 1 && location <= 4;
}

MixerRow Bypassed()
{
    return {QStringLiteral("Bypass"), QString(), QString()};
}

MixerRow InUse(i16 freq, f32 width, f32 level)
{
    return {QStringLiteral("EQ Freq =") + QString::number(freq) + QStringLiteral(" Hz"),
            QStringLiteral("EQ  BW =") + FormatNumber(width, QStringLiteral("0.00")) + QStringLiteral(" Oct"),
            QStringLiteral("EQ Level =") + FormatSignedTenth(level) + QStringLiteral(" dB")};
}

}  // namespace

std::optional<Da2500Settings> ShowResults(LumoData& d, int ch)
{
    const int location = d.PageSpeakerOptionEdit(ch);
    if (!KnownLocation(location))
        return std::nullopt;
    d.PageLowpassFreqEdit(ch) = PagingLowLimit;
    d.PageHighpassFreqEdit(ch) = PagingHighLimit;
    return Da2500SettingTexts(d, location, ch, d.PageLevelEdit(ch), d.PageLowpassFreqEdit(ch),
                              d.PageHighpassFreqEdit(ch));
}

bool SetMixerEq(LumoData& d, int ch)
{
    const int location = d.PageSpeakerOptionEdit(ch);
    if (!KnownLocation(location))
        return false;
    for (int k = 1; k <= MixerControlCount; ++k) {
        const MixerPreset p = k <= 2 ? MixerPresets[location - 1][k - 1] : MixerPreset{0, 0, 0};
        d.PageEqFreqEdit(ch, k) = p.freq;
        d.PageEqWidthEdit(ch, k) = p.width;
        d.PageEqLevelEdit(ch, k) = p.level;
    }
    return true;
}

std::optional<MixerRows> MixerRowTexts(const LumoData& d, int ch)
{
    const int location = d.PageSpeakerOptionEdit(ch);
    if (!KnownLocation(location))
        return std::nullopt;
    MixerRows rows;
    for (int k = 1; k <= MixerControlCount; ++k)
        rows(k) = Bypassed();
    const int used = location == 3 ? 2 : 1;
    for (int k = 1; k <= used; ++k)
        rows(k) = InUse(d.PageEqFreqEdit(ch, k), d.PageEqWidthEdit(ch, k), d.PageEqLevelEdit(ch, k));
    return rows;
}

PagingSettingsView ShowPagingSettings(LumoData& d, int ch)
{
    PagingSettingsView v;
    switch (d.Generator) {
        case GeneratorVO120R:
        case GeneratorVO120RDAR131:
            v.frame = SettingsFrame::Treble;
            v.trebleText = ShowTrebleSetting(d.PageSpeakerOptionEdit(ch));
            break;
        case GeneratorDA2500:
            v.frame = SettingsFrame::ThirdOctave;
            v.thirdOctave = ShowResults(d, ch);
            v.hideNote = true;
            break;
        case GeneratorZUVAR24:
            v.frame = SettingsFrame::Mixer;
            SetMixerEq(d, ch);
            v.mixer = MixerRowTexts(d, ch);
            v.note = QStringLiteral("Press DONE to save data.");
            break;
        default:
            break;
    }
    return v;
}

}  // namespace kov
