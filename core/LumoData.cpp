#include "core/LumoData.h"

namespace kov {

namespace {

// One direction of the masking copy; `toEdit` picks which side is the source.
void CopyMasking(LumoData& d, bool toEdit)
{
    auto move = [toEdit](auto& project, auto& edit) {
        if (toEdit)
            edit = project;
        else
            project = edit;
    };
    for (int c = 1; c <= 6; ++c) {
        move(d.MaskSpectrumIndex(c), d.MaskSpectrumIndexEdit(c));
        move(d.MaskTestCount(c), d.MaskTestCountEdit(c));
        move(d.MaskHighCutFreq(c), d.MaskHighCutFreqEdit(c));
        move(d.MaskLowCutFreq(c), d.MaskLowCutFreqEdit(c));
        move(d.MaskHighCutSlope(c), d.MaskHighCutSlopeEdit(c));
        move(d.MaskLowCutSlope(c), d.MaskLowCutSlopeEdit(c));
        move(d.MaskGainChange(c), d.MaskGainChangeEdit(c));
        for (int b = FirstBand; b <= LastBand; ++b) {
            move(d.MaskCorrection(c, b), d.MaskCorrectionEdit(c, b));
            move(d.MaskFinal(c, b), d.MaskFinalEdit(c, b));
            move(d.MaskFinalOctave(c, b), d.MaskFinalOctaveEdit(c, b));
            move(d.MaskAverage(c, b), d.MaskAverageEdit(c, b));
            move(d.MaskMatched(c, b), d.MaskMatchedEdit(c, b));
            for (int t = 1; t <= 10; ++t)
                move(d.MaskTest(t, c, b), d.MaskTestEdit(t, c, b));
        }
    }
}

}  // namespace

void LoadMaskingChannels(LumoData& d)
{
    CopyMasking(d, true);
}

void StoreMaskingChannels(LumoData& d)
{
    CopyMasking(d, false);
}

void StorePagingChannels(LumoData& d)
{
    d.PageSpecOption = d.PageSpecOptionEdit;
    for (int p = 1; p <= 2; ++p)
        d.PageSpeakerOption(p) = d.PageSpeakerOptionEdit(p);
    for (int p = 1; p <= 8; ++p) {
        d.PageChannelOpen(p) = d.PageChannelOpenEdit(p);
        d.PageLowpassFreq(p) = d.PageLowpassFreqEdit(p);
        d.PageLevel(p) = d.PageLevelEdit(p);
        d.PageHighpassFreq(p) = d.PageHighpassFreqEdit(p);
        for (int b = FirstBand; b <= LastBand; ++b)
            d.PageSpectrum(p, b) = d.PageSpectrumEdit(p, b);
        for (int k = 1; k <= 2; ++k) {
            d.PageEqFreq(k, p) = d.PageEqFreqEdit(k, p);
            d.PageEqWidth(k, p) = d.PageEqWidthEdit(k, p);
            d.PageEqLevel(k, p) = d.PageEqLevelEdit(k, p);
        }
    }
}

}  // namespace kov
