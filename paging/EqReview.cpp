#include "paging/EqReview.h"

#include "core/Numbers.h"

namespace kov {

namespace {

// Line 1 shows its levels in whole decibels, line 2 with one decimal.
QString LevelText(int line, f32 level)
{
    if (line == 1)
        return FormatNumber(level, level > 0 ? QStringLiteral("+#0") : QStringLiteral(" #0"));
    return FormatSignedTenth(level);
}

EqControlTexts ControlTexts(const LumoData& d, int line, int control)
{
    return {QStringLiteral("EQ Freq =") + QString::number(d.EqPageFreq(line, control)) + QStringLiteral(" Hz"),
            QStringLiteral("EQ  BW =") + FormatNumber(d.EqPageWidth(line, control), QStringLiteral("0.00")) +
                QStringLiteral(" Oct"),
            QStringLiteral("EQ Level =") + LevelText(line, d.EqPageLevel(line, control)) + QStringLiteral(" dB")};
}

}  // namespace

EqFileReview ShowEqFile(const LumoData& d)
{
    EqFileReview r;
    for (int k = 1; k <= 2; ++k) {
        if (d.EqPageChannel(k) < 1)
            continue;
        ReviewPagingLine line;
        line.control1 = ControlTexts(d, k, 1);
        line.control2 = d.PageSpeakerOption(k) == 3 ? ControlTexts(d, k, 2)
                                                    : EqControlTexts{QStringLiteral("Bypass"), QString(), QString()};
        line.bypassed = QStringLiteral("Bypass");
        r.paging(k) = line;
    }
    for (int m = 3; m <= 6; ++m) {
        if (d.EqChannel(m) < 1)
            continue;
        ReviewMaskingLine line;
        line.highCut = FormatNumber(d.EqHighCutFreq(m), QStringLiteral("####"));
        line.lowCut = FormatNumber(d.EqLowCutFreq(m), QStringLiteral("####"));
        line.gain = FormatSignedTenth(d.EqGain(m));
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            line.bandTexts(b) = FormatSignedTenth(d.EqBand(m, b));
        r.masking(m) = line;
    }
    return r;
}

}  // namespace kov
