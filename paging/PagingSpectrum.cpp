#include "paging/PagingSpectrum.h"

#include <cmath>

#include "core/Numbers.h"
#include "core/Tables.h"

namespace kov {

namespace {

// The level of a paging spectrum as it is kept: A-weighted over bands 22..39, two decimals.
f32 PagingLevel(const LumoData& d, const BandArray& spectrum)
{
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    return RoundSingle(AWeightedLevelOf(d, spectrum, low, high), 2);
}

BandArray ChannelSpectrum(const LumoData& d, int ch)
{
    BandArray s;
    for (int b = FirstBand; b <= LastBand; ++b)
        s(b) = d.PageSpectrumEdit(ch, b);
    return s;
}

// The paging working set from the project, the fields StorePagingChannels takes back: a Done on this channel must
// hand the other channel's stored results back unchanged.
void LoadPagingChannels(LumoData& d)
{
    d.PageSpecOptionEdit = d.PageSpecOption;
    for (int p = 1; p <= 2; ++p)
        d.PageSpeakerOptionEdit(p) = d.PageSpeakerOption(p);
    for (int p = 1; p <= 8; ++p) {
        d.PageChannelOpenEdit(p) = d.PageChannelOpen(p);
        d.PageLowpassFreqEdit(p) = d.PageLowpassFreq(p);
        d.PageLevelEdit(p) = d.PageLevel(p);
        d.PageHighpassFreqEdit(p) = d.PageHighpassFreq(p);
        for (int b = FirstBand; b <= LastBand; ++b)
            d.PageSpectrumEdit(p, b) = d.PageSpectrum(p, b);
        for (int k = 1; k <= 2; ++k) {
            d.PageEqFreqEdit(k, p) = d.PageEqFreq(k, p);
            d.PageEqWidthEdit(k, p) = d.PageEqWidth(k, p);
            d.PageEqLevelEdit(k, p) = d.PageEqLevel(k, p);
        }
    }
}

}  // namespace

QString PagingCaption(int ch)
{
    return QStringLiteral("Setting Paging Equalizer Corrections for Channel") + QString::number(ch);
}

PagingStart ActivatePaging(LumoData& d, int ch)
{
    LoadMaskingChannels(d);
    LoadPagingChannels(d);
    d.PageSpecOptionEdit = 0;
    d.PageSpeakerOptionEdit(ch) = 0;
    return {PagingCaption(ch), BackgroundOptions(d.Generator), ChooseBothNote};
}

Message PagingUnreachableMessage()
{
    return {QStringLiteral("The paging spectrum cannot reach an articulation index of 0.9 over this background. "
                           "Choose another background spectrum."),
            QStringLiteral("Calculation Error"), MsgIcon::Exclamation};
}

PagingChoice ChooseBackground(LumoData& d, int ch, int option)
{
    PagingChoice c;
    if (option < 1 || option > BackgroundOptionCount)
        return {std::nullopt, std::nullopt, ChooseBothNote, false};
    d.PageSpecOptionEdit = static_cast<i16>(option);
    bool refused = false;
    if (const auto chosen = SelectBackground(d, BackgroundOptions(d.Generator)(option).source)) {
        if (chosen->unavailable) {
            c.unavailable = chosen->unavailable;
            refused = true;
        } else {
            c.background = chosen->work;
        }
    }
    if (d.PageSpeakerOptionEdit(ch) == 0) {
        c.note = ChooseSpeakerNote;
        c.calculateEnabled = false;
    } else {
        c.note = PressCalculateNote;
        c.calculateEnabled = !refused;
    }
    return c;
}

PagingChoice ChooseSpeakerLocation(LumoData& d, int ch, int location, const BandArray& background)
{
    PagingChoice c;
    if (location < 1 || location > SpeakerLocationCount)
        return {std::nullopt, std::nullopt, ChooseBothNote, false};
    d.PageSpeakerOptionEdit(ch) = static_cast<i16>(location);
    // A background that was refused leaves nothing to calculate over: it counts as not chosen.
    if (d.PageSpecOptionEdit == 0 || !HoldsSpectrum(background)) {
        c.note = ChooseBackgroundNote;
        c.calculateEnabled = false;
    } else {
        c.note = PressCalculateNote;
        c.calculateEnabled = true;
    }
    return c;
}

PagingCalculation::PagingCalculation(LumoData& d, int ch, const BandArray& background)
    : m_d(d), m_ch(ch), m_background(background)
{
}

PagingStep PagingCalculation::start()
{
    m_lines = QStringList{ListAIHeading};
    m_rating.clear();
    m_raises = 0;
    m_started = true;
    i16 low = FirstDataBand;
    i16 high = LastDataBand;
    const f32 start = AWeightedLevelOf(m_d, m_background, low, high) - 5.0f;
    for (int b = FirstBand; b <= LastBand; ++b)
        m_d.PageSpectrumEdit(m_ch, b) = RoundSingle(start + m_d.PagingRollOff(b), 2);
    return evaluate();
}

bool PagingCalculation::needsRaise() const
{
    // An infinite level stays infinite however far it is raised.
    return m_started && m_index < TargetArticulationIndex && m_raises < MaxPagingRaises &&
           std::isfinite(m_d.PageLevelEdit(m_ch));
}

PagingStep PagingCalculation::raise()
{
    for (int b = FirstBand; b <= LastBand; ++b)
        m_d.PageSpectrumEdit(m_ch, b) += PagingRaiseStep;
    ++m_raises;
    return evaluate();
}

PagingStep PagingCalculation::evaluate()
{
    const BandArray spectrum = ChannelSpectrum(m_d, m_ch);
    PagingStep s;
    s.raises = m_raises;
    s.level = PagingLevel(m_d, spectrum);
    m_d.PageLevelEdit(m_ch) = s.level;
    s.levelText = FormatNumber(s.level, QStringLiteral("#0"));
    s.index = ArticulationIndex(m_d, spectrum, m_background);
    s.rating = IntelligibilityRating(s.index);
    if (s.rating != m_rating) {
        s.listLine = s.levelText + QStringLiteral("    ") + s.rating;
        m_lines.append(*s.listLine);
    }
    m_rating = s.rating;
    m_index = s.index;
    return s;
}

PagingEnd PagingCalculation::done() const
{
    PagingEnd e;
    // A background with an infinite level gives an infinite paging level, which no generator can be set to, whatever
    // index the finite bands reach.
    if (!m_started || m_index < TargetArticulationIndex || !std::isfinite(m_d.PageLevelEdit(m_ch))) {
        e.failure = PagingUnreachableMessage();
        return e;
    }
    e.reached = true;
    e.note =
        m_d.Generator == GeneratorDA2500
            ? QStringLiteral(
                  "Press Show Settings to show page results then open DA2500 software and transfer "
                  "the settings.  Then press Done.")
            : QStringLiteral("Press Show Settings to show page results then press Done to save settings to a file.");
    return e;
}

}  // namespace kov
