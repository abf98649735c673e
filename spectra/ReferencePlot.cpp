#include "spectra/ReferencePlot.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include "core/Numbers.h"
#include "core/Tables.h"

namespace kov {

void DrawSpectrum(PlotRenderer& r, const BandArray& spectrum, const BandArray& neutral)
{
    r.clear();
    for (int level = 10; level <= 50; level += 10)
        r.horizontalLine(level, FirstDataBand, LastDataBand, 1, ReferenceGridColour);
    for (int b = FirstDataBand + 1; b <= LastDataBand - 1; ++b) {
        const bool octave = (b - FirstDataBand) % 3 == 2;
        r.verticalLine(b, ReferencePlotScale.top, ReferencePlotScale.bottom, octave ? 2 : 1, ReferenceGridColour);
    }
    for (int b = FirstDataBand + 1; b <= LastDataBand; ++b) {
        r.segment(b - 1, spectrum(b - 1), b, spectrum(b), 2, SpectrumColour);
        r.segment(b - 1, neutral(b - 1), b, neutral(b), 2, NeutralColour);
    }
}

QList<AxisText> ReferenceAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq)
{
    QList<AxisText> out;
    const double top = ReferencePlotScale.top;
    const int dy = static_cast<int>(RoundHalfEven(plot.height * 10.0 / top, 0));
    for (int k = 0; k <= 6; ++k)
        out.append(LevelNumberText(plot, FormatNumber(k * 10, QStringLiteral("#0")), k * dy));
    out.append(FrequencyTexts(plot, bandFreq));
    return out;
}

ReadoutPlace ReferenceReadoutPlace(int band, double level, double labelHeight)
{
    return {band == 38 ? 37.0 : band - 2.0, level + labelHeight};
}

ReferencePlot::ReferencePlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicSpectrum"));
    m_boxLevel = MakeReadout(this, QStringLiteral("BoxLevel"), SpectrumColour);
}

void ReferencePlot::drawSpectrum(const BandArray& spectrum, const BandArray& neutral)
{
    m_spectrum = spectrum;
    m_neutral = neutral;
    m_drawn = true;
    update();
}

void ReferencePlot::clearReadout()
{
    EmptyReadout(m_boxLevel);
}

void ReferencePlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotRenderer r(&painter, QRectF(rect()), ReferencePlotScale);
    if (m_drawn) {
        kov::DrawSpectrum(r, m_spectrum, m_neutral);
    } else {
        r.clear();
    }
}

void ReferencePlot::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_drawn)
        return;
    const PlotMapping map(QRectF(rect()), ReferencePlotScale);
    const int band = BandAtPointer(map.userX(event->position().x()));
    SetReadoutText(m_boxLevel, PlainNumber(m_spectrum(band)));
    const double height = m_boxLevel->height() / map.devicePerUserY();
    PlaceReadout(m_boxLevel, map, ReferenceReadoutPlace(band, map.userY(event->position().y()), height));
}

void ReferencePlot::leaveEvent(QEvent*)
{
    clearReadout();
}

// A whole number of pixels per band and per dB, so the grid falls evenly.
ReferencePlotFrame::ReferencePlotFrame(const BandTableI16& bandFreq, QWidget* parent)
    : PlotFrame(new ReferencePlot, QSize(17 * 20, 60 * 3), &ReferenceAxisTexts, bandFreq, parent),
      m_plot(static_cast<ReferencePlot*>(plotWidget()))
{
    setObjectName(QStringLiteral("PicSpectrumFrame"));
}

}  // namespace kov
