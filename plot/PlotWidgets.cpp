#include "plot/PlotWidgets.h"

#include <QLabel>
#include <QPainter>
#include <QPalette>
#include <algorithm>
#include <cmath>

namespace kov {

void PreparePlot(QWidget* plot, const QString& name)
{
    plot->setObjectName(name);
    plot->setMouseTracking(true);
    plot->setAttribute(Qt::WA_OpaquePaintEvent);
}

void SetPlotColours(QLabel* label, QRgb colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(colour));
    palette.setColor(QPalette::Window, QColor(PlotBackground));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

QLabel* MakeReadout(QWidget* plot, const QString& name, QRgb colour)
{
    auto* label = new QLabel(plot);
    label->setObjectName(name);
    QFont font = label->font();
    font.setPointSize(AxisFontPoints);
    label->setFont(font);
    // An opaque ground keeps the number readable where it lies over a grid line or a curve.
    SetPlotColours(label, colour);
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

void PlaceReadout(QLabel* label, const PlotMapping& map, const ReadoutPlace& place)
{
    const QRectF& area = map.target();
    const int maxX = std::max(0, static_cast<int>(area.width()) - label->width());
    const int maxY = std::max(0, static_cast<int>(area.height()) - label->height());
    const int x = std::clamp(static_cast<int>(std::lround(map.deviceX(place.left))), 0, maxX);
    const int y = std::clamp(static_cast<int>(std::lround(map.deviceY(place.top))), 0, maxY);
    label->move(x, y);
    label->show();
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

}  // namespace kov
