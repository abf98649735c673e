#include "masking/SpectrumPlot.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

#include "core/Numbers.h"

namespace kov {

int BandAtPointer(double x)
{
    return std::clamp(static_cast<int>(std::floor(x + 0.5)), FirstDataBand, LastDataBand);
}

ReadoutPlace GoalReadoutPlace(int band, double pointerLevel, double labelHeight)
{
    return {band - 2.0, pointerLevel + labelHeight};
}

double FitReadoutLeft(int band)
{
    if (band < 38) {
        return band;
    }
    return band == 38 ? 37 : band - 2;
}

ReadoutPlace FitGoalReadoutPlace(int band, double goalLevel, double goalLabelHeight)
{
    return {FitReadoutLeft(band), goalLevel + goalLabelHeight};
}

ReadoutPlace FitMeasuredReadoutPlace(int band, double measuredLevel, double goalLabelHeight, double measuredLabelHeight)
{
    return {FitReadoutLeft(band), measuredLevel + measuredLabelHeight + goalLabelHeight + 1};
}

QString GoalReadoutText(f32 level)
{
    return PlainNumber(level);
}

QString FitReadoutText(f32 level)
{
    return FormatNumber(level, QStringLiteral("#0"));
}

namespace {

QLabel* MakeReadout(QWidget* plot, const QString& name, QRgb colour)
{
    auto* label = new QLabel(plot);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(AxisFontPoints);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    palette.setColor(QPalette::Window, QColor(PlotBackground));
    label->setPalette(palette);
    // An opaque ground keeps the number readable where it lies over a grid line or a curve.
    label->setAutoFillBackground(true);
    label->setMargin(1);
    // The label sits right at the pointer; it must not take the pointer's moves from the plot.
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->hide();
    return label;
}

void SetReadoutText(QLabel* label, const QString& text)
{
    label->setText(text);
    label->adjustSize();
}

void EmptyReadout(QLabel* label)
{
    label->clear();
    label->hide();
}

// Places a read-out at its place in plot units, kept whole inside the plot: at the first bands and at the top the
// place alone would put it out of sight.
void PlaceReadout(QLabel* label, const PlotMapping& map, const ReadoutPlace& place)
{
    const QRectF& area = map.target();
    const int maxX = std::max(0, static_cast<int>(area.width()) - label->width());
    const int maxY = std::max(0, static_cast<int>(area.height()) - label->height());
    const int x = std::clamp(static_cast<int>(std::lround(map.DeviceX(place.left))), 0, maxX);
    const int y = std::clamp(static_cast<int>(std::lround(map.DeviceY(place.top))), 0, maxY);
    label->move(x, y);
    label->show();
}

void PreparePlot(QWidget* plot, const QString& name)
{
    plot->setObjectName(name);
    plot->setMouseTracking(true);
    plot->setAttribute(Qt::WA_OpaquePaintEvent);
}

}  // namespace

GoalSpectrumPlot::GoalSpectrumPlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicSpectrum"));
    m_boxFLevel = MakeReadout(this, QStringLiteral("BoxFLevel"), GoalColour);
}

void GoalSpectrumPlot::DrawGoalSpectrum(const BandArray& goal)
{
    m_goal = goal;
    m_drawn = true;
    update();
}

void GoalSpectrumPlot::setEntryChosen(bool chosen)
{
    m_entryChosen = chosen;
    if (!chosen) {
        ClearReadout();
    }
}

void GoalSpectrumPlot::ClearReadout()
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
        r.Clear();
    }
}

void GoalSpectrumPlot::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_entryChosen) {
        ClearReadout();
        return;
    }
    const PlotMapping map(QRectF(rect()), GoalPlotScale);
    const int band = BandAtPointer(map.UserX(event->position().x()));
    SetReadoutText(m_boxFLevel, GoalReadoutText(m_goal(band)));
    const double height = m_boxFLevel->height() / map.DevicePerUserY();
    PlaceReadout(m_boxFLevel, map, GoalReadoutPlace(band, map.UserY(event->position().y()), height));
}

FitPlot::FitPlot(QWidget* parent) : QWidget(parent)
{
    PreparePlot(this, QStringLiteral("PicErr"));
    m_boxLevel1 = MakeReadout(this, QStringLiteral("BoxLevel1"), GoalColour);
    m_boxLevel2 = MakeReadout(this, QStringLiteral("BoxLevel2"), MeasuredColour);
}

void FitPlot::DrawFitPlot(const BandArray& goal, const BandArray& measured)
{
    m_goal = goal;
    m_measured = measured;
    m_drawn = true;
    update();
}

void FitPlot::ClearReadouts()
{
    EmptyReadout(m_boxLevel1);
    EmptyReadout(m_boxLevel2);
}

void FitPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    PlotRenderer r(&painter, QRectF(rect()), FitPlotScale);
    if (m_drawn) {
        kov::DrawFitPlot(r, m_goal, m_measured);
    } else {
        r.Clear();
    }
}

void FitPlot::mouseMoveEvent(QMouseEvent* event)
{
    // Nothing to read before the first fit step is drawn.
    if (!m_drawn) {
        return;
    }
    const PlotMapping map(QRectF(rect()), FitPlotScale);
    const int band = BandAtPointer(map.UserX(event->position().x()));
    SetReadoutText(m_boxLevel1, FitReadoutText(m_goal(band)));
    SetReadoutText(m_boxLevel2, FitReadoutText(m_measured(band)));
    const double perDb = map.DevicePerUserY();
    const double h1 = m_boxLevel1->height() / perDb;
    const double h2 = m_boxLevel2->height() / perDb;
    PlaceReadout(m_boxLevel1, map, FitGoalReadoutPlace(band, m_goal(band), h1));
    PlaceReadout(m_boxLevel2, map, FitMeasuredReadoutPlace(band, m_measured(band), h1, h2));
}

PlotFrame::PlotFrame(QWidget* plot, QSize plotPixels, AxisTextsFunction texts, const BandTableI16& bandFreq,
                     QWidget* parent)
    : QWidget(parent), m_plot(plot), m_plotPixels(plotPixels), m_texts(texts), m_bandFreq(bandFreq)
{
    m_plot->setParent(this);
    setAutoFillBackground(true);
    setMouseTracking(true);
    resize(sizeHint());
    layoutPlot();
}

double PlotFrame::pixelsPerTwip() const
{
    return logicalDpiX() / static_cast<double>(TwipsPerInch);
}

TwipRect PlotFrame::plotTwips() const
{
    const double twips = 1.0 / pixelsPerTwip();
    const QRect g = m_plot->geometry();
    const auto t = [twips](int pixels) { return static_cast<int>(std::lround(pixels * twips)); };
    return {t(g.x()), t(g.y()), t(g.width()), t(g.height())};
}

QList<AxisText> PlotFrame::axisTexts() const
{
    return m_texts(plotTwips(), m_bandFreq);
}

QSize PlotFrame::frameFor(QSize plotPixels) const
{
    const double ppt = pixelsPerTwip();
    const auto px = [ppt](int twips) { return static_cast<int>(std::lround(twips * ppt)); };
    return plotPixels + QSize(px(MarginLeft) + px(MarginRight), px(MarginTop) + px(MarginBottom));
}

QSize PlotFrame::sizeHint() const
{
    return frameFor(m_plotPixels);
}

QSize PlotFrame::minimumSizeHint() const
{
    return frameFor(m_plotPixels / 2);
}

void PlotFrame::labelAxes()
{
    m_labelled = true;
    update();
}

void PlotFrame::resizeEvent(QResizeEvent*)
{
    layoutPlot();
}

void PlotFrame::layoutPlot()
{
    const double ppt = pixelsPerTwip();
    const auto px = [ppt](int twips) { return static_cast<int>(std::lround(twips * ppt)); };
    const int left = px(MarginLeft);
    const int top = px(MarginTop);
    m_plot->setGeometry(left, top, std::max(1, width() - left - px(MarginRight)),
                        std::max(1, height() - top - px(MarginBottom)));
}

void PlotFrame::paintEvent(QPaintEvent*)
{
    if (!m_labelled) {
        return;
    }
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::WindowText));
    PaintAxisTexts(&painter, axisTexts(), pixelsPerTwip());
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
    m_plot->ClearReadouts();
}

}  // namespace kov
