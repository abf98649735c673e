#include "masking/SpectrumPlot.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

namespace kov {

GoalSpectrumPlot::GoalSpectrumPlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicSpectrum"));
    m_boxFLevel = MakeReadout(this, QStringLiteral("BoxFLevel"), GoalColour);
}

void GoalSpectrumPlot::drawGoalSpectrum(const BandArray& goal)
{
    m_goal = goal;
    m_drawn = true;
    update();
}

void GoalSpectrumPlot::setEntryChosen(bool chosen)
{
    m_entryChosen = chosen;
    if (!chosen) {
        clearReadout();
    }
}

void GoalSpectrumPlot::clearReadout()
{
    EmptyReadout(m_boxFLevel);
}

void GoalSpectrumPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotRenderer r(&painter, QRectF(rect()), GoalPlotScale);
    if (m_drawn) {
        kov::DrawGoalSpectrum(r, m_goal);
    } else {
        r.clear();
    }
}

void GoalSpectrumPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_entryChosen) {
        clearReadout();
        return;
    }
    const PlotMapping map(QRectF(rect()), GoalPlotScale);
    const int band = BandAtPointer(map.userX(event->position().x()));
    SetReadoutText(m_boxFLevel, GoalReadoutText(m_goal(band)));
    const double height = m_boxFLevel->height() / map.devicePerUserY();
    PlaceReadout(m_boxFLevel, map, GoalReadoutPlace(band, map.userY(event->position().y()), height));
}

FitPlot::FitPlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicErr"));
    m_boxLevel1 = MakeReadout(this, QStringLiteral("BoxLevel1"), GoalColour);
    m_boxLevel2 = MakeReadout(this, QStringLiteral("BoxLevel2"), MeasuredColour);
}

void FitPlot::drawFitPlot(const BandArray& goal, const BandArray& measured)
{
    m_goal = goal;
    m_measured = measured;
    m_drawn = true;
    update();
}

void FitPlot::setTolerance(f32 band)
{
    m_tolerance = band;
    update();
}

void FitPlot::clearReadouts()
{
    EmptyReadout(m_boxLevel1);
    EmptyReadout(m_boxLevel2);
}

void FitPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotRenderer r(&painter, QRectF(rect()), FitPlotScale);
    if (m_drawn) {
        kov::DrawFitPlot(r, m_goal, m_measured, m_tolerance);
    } else {
        r.clear();
    }
}

void FitPlot::mouseMoveEvent(QMouseEvent* event)
{
    // Nothing to read before the first fit step is drawn.
    if (!m_drawn) {
        return;
    }
    const PlotMapping map(QRectF(rect()), FitPlotScale);
    const int band = BandAtPointer(map.userX(event->position().x()));
    SetReadoutText(m_boxLevel1, FitReadoutText(m_goal(band)));
    SetReadoutText(m_boxLevel2, FitReadoutText(m_measured(band)));
    const double perDb = map.devicePerUserY();
    const double h1 = m_boxLevel1->height() / perDb;
    const double h2 = m_boxLevel2->height() / perDb;
    PlaceReadout(m_boxLevel1, map, FitGoalReadoutPlace(band, m_goal(band), h1));
    PlaceReadout(m_boxLevel2, map, FitMeasuredReadoutPlace(band, m_measured(band), h1, h2));
}

// Default plots are a whole number of pixels per band and per dB, so the grid falls evenly.
GoalPlotFrame::GoalPlotFrame(const BandTableI16& bandFreq, QWidget* parent)
    : PlotFrame(new GoalSpectrumPlot, QSize(17 * 20, 70 * 3), &SpectrumAxisTexts, bandFreq, parent),
      m_plot(static_cast<GoalSpectrumPlot*>(plotWidget()))
{
    setObjectName(QStringLiteral("PicSpecFrame"));
}

FitPlotFrame::FitPlotFrame(const BandTableI16& bandFreq, QWidget* parent)
    : PlotFrame(new FitPlot, QSize(17 * 20, 40 * 5), &FitAxisTexts, bandFreq, parent),
      m_plot(static_cast<FitPlot*>(plotWidget()))
{
    setObjectName(QStringLiteral("PicErrFrame"));
}

void FitPlotFrame::mouseMoveEvent(QMouseEvent*)
{
    m_plot->clearReadouts();
}

}  // namespace kov
