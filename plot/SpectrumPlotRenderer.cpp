#include "plot/SpectrumPlotRenderer.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <algorithm>
#include <cmath>

#include "core/Numbers.h"

namespace kov {

double PlotMapping::deviceX(double x) const
{
    return m_target.left() + (x - m_scale.left) * m_target.width() / (m_scale.right - m_scale.left);
}

double PlotMapping::deviceY(double y) const
{
    return m_target.top() + (y - m_scale.top) * m_target.height() / (m_scale.bottom - m_scale.top);
}

double PlotMapping::userX(double deviceX) const
{
    return m_scale.left + (deviceX - m_target.left()) * (m_scale.right - m_scale.left) / m_target.width();
}

double PlotMapping::userY(double deviceY) const
{
    return m_scale.top + (deviceY - m_target.top()) * (m_scale.bottom - m_scale.top) / m_target.height();
}

double PlotMapping::devicePerUserY() const
{
    return m_target.height() / std::fabs(m_scale.top - m_scale.bottom);
}

PlotRenderer::PlotRenderer(QPainter* painter, const QRectF& target, const PlotScale& scale, double devicePixelsPerPixel)
    : m_painter(painter), m_map(target, scale), m_pixel(devicePixelsPerPixel)
{
    m_painter->save();
    m_painter->setClipRect(target, Qt::IntersectClip);
}

PlotRenderer::~PlotRenderer()
{
    m_painter->restore();
}

void PlotRenderer::clear(QRgb background)
{
    m_painter->fillRect(m_map.target(), QColor(background));
}

namespace {

// First device pixel of a line `width` pixels wide centred on `at`: a 1 pixel line covers the pixel that holds
// `at`, a 2 pixel line that one and the one before.
double SnappedStart(double at, double width)
{
    return std::floor(at - width / 2 + 0.5);
}

}  // namespace

void PlotRenderer::verticalLine(double x, double y1, double y2, int widthPixels, QRgb colour)
{
    const double w = std::max(1.0, std::round(widthPixels * m_pixel));
    const double top = std::min(m_map.deviceY(y1), m_map.deviceY(y2));
    const double bottom = std::max(m_map.deviceY(y1), m_map.deviceY(y2));
    m_painter->fillRect(QRectF(SnappedStart(m_map.deviceX(x), w), top, w, bottom - top), QColor(colour));
}

void PlotRenderer::horizontalLine(double y, double x1, double x2, int widthPixels, QRgb colour)
{
    const double w = std::max(1.0, std::round(widthPixels * m_pixel));
    const double left = std::min(m_map.deviceX(x1), m_map.deviceX(x2));
    const double right = std::max(m_map.deviceX(x1), m_map.deviceX(x2));
    m_painter->fillRect(QRectF(left, SnappedStart(m_map.deviceY(y), w), right - left, w), QColor(colour));
}

void PlotRenderer::segment(double x1, double y1, double x2, double y2, int widthPixels, QRgb colour)
{
    m_painter->setRenderHint(QPainter::Antialiasing, true);
    m_painter->setPen(QPen(QColor(colour), widthPixels * m_pixel, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    m_painter->drawLine(m_map.device(x1, y1), m_map.device(x2, y2));
}

namespace {

bool IsOctaveBand(int band)
{
    return band % 3 == 0;
}

}  // namespace

void DrawBandLines(PlotRenderer& r, double fromLevel, double toLevel)
{
    for (int x = FirstDataBand + 1; x <= LastDataBand - 1; ++x) {
        r.verticalLine(x, fromLevel, toLevel, IsOctaveBand(x) ? 2 : 1, GridColour);
    }
}

void DrawLevelLine(PlotRenderer& r, double level)
{
    r.horizontalLine(level, FirstDataBand, LastDataBand, 1, GridColour);
}

void DrawSpectrum(PlotRenderer& r, const BandArray& levels, QRgb colour, double below, int widthPixels)
{
    for (int x = FirstDataBand + 1; x <= LastDataBand; ++x) {
        if (levels(x) < below) {
            r.segment(x - 1, levels(x - 1), x, levels(x), widthPixels, colour);
        }
    }
}

namespace {

constexpr int NumbersLeftOfPlot = 300;
constexpr int NumberRaise = 100;  // lifts a number so that it stands centred on its grid line
constexpr int FrequenciesBelowNumbers = 150;
constexpr int WordBelowNumbers = 300;
constexpr int WordHalfWidth = 450;
constexpr int OctaveBands[] = {24, 27, 30, 33, 36, 39};

int LowestNumberY(const TwipRect& plot)
{
    return plot.top + plot.height - NumberRaise;
}

}  // namespace

AxisText LevelNumberText(const TwipRect& plot, const QString& text, int raise)
{
    return {text, plot.left - NumbersLeftOfPlot, LowestNumberY(plot) - raise};
}

// A frequency is moved left by about half its width so that it stands under its grid line.
QList<AxisText> FrequencyTexts(const TwipRect& plot, const BandTableI16& bandFreq)
{
    QList<AxisText> out;
    const int y0 = LowestNumberY(plot);
    const int bandWidth = plot.width / 17;
    for (int band : OctaveBands) {
        const int freq = bandFreq(band);
        const int x = plot.left + (band - FirstDataBand) * bandWidth - (freq >= 1000 ? 150 : 120);
        out.append({PlainNumber(static_cast<f32>(freq)), x, y0 + FrequenciesBelowNumbers});
    }
    out.append({QStringLiteral("Frequency"), plot.left + plot.width / 2 - WordHalfWidth, y0 + WordBelowNumbers});
    return out;
}

void PaintAxisTexts(QPainter* painter, const QList<AxisText>& texts, double pixelsPerTwip)
{
    painter->save();
    QFont font = painter->font();
    // The font follows the caller's twip scale, so on an image or a page the text keeps its size beside the plot.
    font.setPointSizeF(AxisFontPoints * pixelsPerTwip * TwipsPerInch / painter->device()->logicalDpiY());
    painter->setFont(font);
    const double ascent = QFontMetricsF(font, painter->device()).ascent();
    for (const AxisText& t : texts) {
        painter->drawText(QPointF(t.x * pixelsPerTwip, t.y * pixelsPerTwip + ascent), t.text);
    }
    painter->restore();
}

}  // namespace kov
