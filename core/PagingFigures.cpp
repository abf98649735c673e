#include "core/PagingFigures.h"

#include <cmath>

#include "core/Numbers.h"

namespace kov {

namespace {

BackgroundOption Unused()
{
    return {QStringLiteral("Not used"), false, {}};
}

BackgroundOption Masking(const char* caption, int channel)
{
    return {QString::fromLatin1(caption), true, {BackgroundSource::Masking, channel}};
}

}  // namespace

bool HoldsSpectrum(const BandArray& spectrum)
{
    return spectrum(FirstDataBand) != 0;
}

QString SpeakerLocationCaption(int location)
{
    switch (location) {
        case 1:
            return QStringLiteral("In Ceiling Plenum");
        case 2:
            return QStringLiteral("Face up in Open Ceiling");
        case 3:
            return QStringLiteral("Under Raised Access Floor");
        case 4:
            return QStringLiteral("Face-Down in Suspended Ceiling");
        default:
            return QString();
    }
}

BackgroundOptionSet BackgroundOptions(int generator)
{
    BackgroundOptionSet o;
    o(1) = {QStringLiteral("Background"), true, {BackgroundSource::Database, 0}};
    for (int i = 2; i <= BackgroundOptionCount; ++i)
        o(i) = Unused();
    switch (generator) {
        case GeneratorVO120R:
        case GeneratorVO120RDAR131:
            o(2) = Masking("VO120R Mask", 1);
            break;
        case GeneratorDA2500:
            o(2) = Masking("DA2500 Channel 1", 1);
            o(3) = Masking("DA2500 Channel 2", 2);
            break;
        case GeneratorZUVAR24:
            o(2) = Masking("MG24 Channel 3", 3);
            o(3) = Masking("MG24 Channel 4", 4);
            o(4) = Masking("MG24 Channel 5", 5);
            o(5) = Masking("Mg24 Channel 6", 6);
            break;
        default:
            break;
    }
    return o;
}

Message BackgroundUnavailableMessage(int index)
{
    return {QStringLiteral("The Channel") + QString::number(index) + QStringLiteral(" spectrum is not available."),
            QStringLiteral("No data"), MsgIcon::Critical};
}

BackgroundSpectrum SetBackgroundSpectrum(int index, const BandArray& spectrum)
{
    BackgroundSpectrum r;
    if (!HoldsSpectrum(spectrum)) {
        r.unavailable = BackgroundUnavailableMessage(index);
        return r;
    }
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        r.work(b) = spectrum(b);
    return r;
}

std::optional<BackgroundSpectrum> SelectBackground(const LumoData& d, const BackgroundSource& source)
{
    BandArray row;
    switch (source.kind) {
        case BackgroundSource::Database:
            if (source.index < 0 || source.index >= SpectrumCount)
                return std::nullopt;
            for (int b = FirstBand; b <= LastBand; ++b)
                row(b) = d.SpecLevel(source.index, b);
            break;
        case BackgroundSource::Masking:
            if (source.index < 1 || source.index > 6)
                return std::nullopt;
            // The masking result as the project holds it, not an edit of the Mask window.
            for (int b = FirstBand; b <= LastBand; ++b)
                row(b) = d.MaskMatched(source.index, b);
            break;
        case BackgroundSource::None:
            return std::nullopt;
    }
    return SetBackgroundSpectrum(source.index, row);
}

f32 ArticulationIndex(const LumoData& d, const BandArray& paging, const BandArray& background)
{
    f32 sum = 0;
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        const f32 w = d.ArticulationWeight(b);
        f32 t = (paging(b) - background(b)) * w;
        if (t < 0)
            t = 0;
        if (t > 30 * w)
            t = 30 * w;
        // A level the arithmetic cannot follow (infinite on both sides) gains nothing.
        if (std::isnan(t))
            t = 0;
        sum += t;
    }
    f32 index = RoundSingle(sum, 2);
    if (!(index >= 0))
        index = 0;
    if (index > 1)
        index = 1;
    return index;
}

QString IntelligibilityRating(f32 index)
{
    if (index >= 0.9f)
        return QStringLiteral("Excellent");
    if (index > 0.8f && index < 0.9f)
        return QStringLiteral("Good");
    if (index > 0.7f && index <= 0.8f)
        return QStringLiteral("Fair");
    if (index > 0.6f && index <= 0.7f)
        return QStringLiteral("Marginal");
    return QStringLiteral("Poor");
}

}  // namespace kov
