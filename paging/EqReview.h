#pragma once

#include <QString>
#include <array>
#include <optional>

#include "core/LumoData.h"

namespace kov {

// The texts of the Review window for the EQ-file image that ReadEqFile left in LumoData. A line the file holds
// nothing for (channel 0) gives no texts: the window leaves those labels as they were.

// The three labels of one EQ control: "EQ Freq =2000 Hz", "EQ  BW =2.00 Oct", "EQ Level =+6 dB".
using EqControlTexts = std::array<QString, 3>;

struct ReviewPagingLine {
    EqControlTexts control1;  // LabMix1(first..first + 2)
    EqControlTexts control2;  // LabMIx2(first..first + 2): "Bypass", "", "" unless the channel's location is 3
    QString bypassed;         // LabMix3(line) .. LabMix8(line): "Bypass"

    bool operator==(const ReviewPagingLine&) const = default;
};

struct ReviewMaskingLine {
    QString highCut;                                          // LabFlNew(m - 2): "####"
    QString lowCut;                                           // LabFhNew(m - 2): "####"
    QString gain;                                             // LabGain(m - 2): "+#0.0" above 0, else " #0.0"
    Indexed<QString, FirstDataBand, LastDataBand> bandTexts;  // DatFreq(ReviewBandIndex(m, b)), the same format

    bool operator==(const ReviewMaskingLine&) const = default;
};

struct EqFileReview {
    Indexed<std::optional<ReviewPagingLine>, 1, 2> paging;
    Indexed<std::optional<ReviewMaskingLine>, 3, 6> masking;
};

// ShowEqFile. Whether control 2 of paging line k shows depends on PageSpeakerOption(k) of the project.
EqFileReview ShowEqFile(const LumoData& d);

// Control-array indices of the window: paging line k uses LabMix1 and LabMIx2 from ReviewMixIndex(k, 1) to
// ReviewMixIndex(k, 3) and index k of LabMix3..LabMix8; masking line m index m - 2 of its labels and
// ReviewBandIndex(m, b) of DatFreq.
inline constexpr int ReviewMixIndex(int line, int label)
{
    return 3 * (line - 1) + label;
}
inline constexpr int ReviewBandIndex(int maskingLine, int band)
{
    return band + 20 * (maskingLine - 3);
}

}  // namespace kov
