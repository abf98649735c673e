#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QRgb>
#include <QString>
#include <limits>

#include "core/Indexed.h"

class QPainter;

namespace kov {

// A plot's user scale: the values at its left, right, top and bottom edges (bands across, dB up).
struct PlotScale {
    double left = 0;
    double right = 1;
    double top = 1;
    double bottom = 0;
};

inline constexpr QRgb GridColour = qRgb(220, 220, 220);
// The light grid and the bright curves only read on a dark ground.
inline constexpr QRgb PlotBackground = qRgb(0, 0, 40);

// Maps a user scale onto a device rectangle the way a picture box with a user scale does: the left and top
// values fall on the rectangle's left and top edges, the right and bottom values on its far edges.
class PlotMapping {
public:
    PlotMapping(const QRectF& target, const PlotScale& scale) : m_target(target), m_scale(scale) {}

    double deviceX(double x) const;
    double deviceY(double y) const;
    QPointF device(double x, double y) const { return {deviceX(x), deviceY(y)}; }
    double userX(double deviceX) const;
    double userY(double deviceY) const;
    // Device length of one unit of y (pixels per dB on the screen).
    double devicePerUserY() const;

    const QRectF& target() const { return m_target; }
    const PlotScale& scale() const { return m_scale; }

private:
    QRectF m_target;
    PlotScale m_scale;
};

// Paints one plot into a rectangle of any paint device: the screen, an image, a page. Line widths are in screen
// pixels; `devicePixelsPerPixel` scales them for devices finer than the screen. Everything is clipped to the
// target rectangle, so values beyond the scale run off the plot's edge; the painter's state is restored when the
// renderer goes.
class PlotRenderer {
public:
    PlotRenderer(QPainter* painter, const QRectF& target, const PlotScale& scale, double devicePixelsPerPixel = 1.0);
    ~PlotRenderer();
    PlotRenderer(const PlotRenderer&) = delete;
    PlotRenderer& operator=(const PlotRenderer&) = delete;

    const PlotMapping& mapping() const { return m_map; }

    void clear(QRgb background = PlotBackground);
    // Grid lines are laid on whole device pixels so that a 1 and a 2 pixel line look different at any size.
    void verticalLine(double x, double y1, double y2, int widthPixels, QRgb colour);
    void horizontalLine(double y, double x1, double x2, int widthPixels, QRgb colour);
    void segment(double x1, double y1, double x2, double y2, int widthPixels, QRgb colour);

private:
    QPainter* m_painter;
    PlotMapping m_map;
    double m_pixel;
};

// The pieces of a spectrum plot over bands 22..39 (x in bands, y in dB).
// Band lines inside the plot from one level to another: 2 pixels at octave bands, 1 elsewhere.
void DrawBandLines(PlotRenderer& r, double fromLevel, double toLevel);
void DrawLevelLine(PlotRenderer& r, double level);
// The curve through the bands, 2 pixels wide unless told; a segment is left out when the level it ends at is not
// below `below`.
void DrawSpectrum(PlotRenderer& r, const BandArray& levels, QRgb colour,
                  double below = std::numeric_limits<double>::infinity(), int widthPixels = 2);

// Axis numbers of the frame around a plot. Positions are twips in the frame, each the top left of the text as
// printed; the plot's own place in the frame is given in twips too.
struct TwipRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

struct AxisText {
    QString text;
    int x = 0;
    int y = 0;
    bool operator==(const AxisText&) const = default;
};

// A level number left of the plot, `raise` twips above the place of the lowest one (which stands centred on the
// plot's bottom edge).
AxisText LevelNumberText(const TwipRect& plot, const QString& text, int raise);
// The octave frequencies 250..8000 Hz and the word "Frequency" below the lowest level number.
QList<AxisText> FrequencyTexts(const TwipRect& plot, const BandTableI16& bandFreq);

inline constexpr int TwipsPerInch = 1440;
inline constexpr int AxisFontPoints = 8;

// Prints the texts in the axis font; `pixelsPerTwip` is the device's dots per inch over 1440.
void PaintAxisTexts(QPainter* painter, const QList<AxisText>& texts, double pixelsPerTwip);

}  // namespace kov
