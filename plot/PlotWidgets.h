#pragma once

#include <QList>
#include <QRgb>
#include <QSize>
#include <QString>
#include <QWidget>

#include "core/Indexed.h"
#include "plot/PointerReadout.h"
#include "plot/SpectrumPlotRenderer.h"

class QLabel;

namespace kov {

// A plot widget: it follows the pointer without a button held and paints every pixel itself.
void PreparePlot(QWidget* plot, const QString& name);

// A label in a curve's colour on the plot's dark ground, where that colour reads: read-outs and plot keys.
void SetPlotColours(QLabel* label, QRgb colour);

// A pointer read-out on a plot: the axis font in the curve's colour on the plot's ground, hidden until placed.
QLabel* MakeReadout(QWidget* plot, const QString& name, QRgb colour);
void SetReadoutText(QLabel* label, const QString& text);
void EmptyReadout(QLabel* label);
// Places a read-out at its place in plot units, kept whole inside the plot: at the first bands and at the top the
// place alone would put it out of sight.
void PlaceReadout(QLabel* label, const PlotMapping& map, const ReadoutPlace& place);

// The picture box around a plot that carries its axis numbers. The plot sits at fixed margins (twips) and takes
// the rest of the frame; the numbers are placed from the plot's place in twips. They appear once the window asks
// for them, as the plot routines of the window do.
class PlotFrame : public QWidget {
    Q_OBJECT

public:
    using AxisTextsFunction = QList<AxisText> (*)(const TwipRect& plot, const BandTableI16& bandFreq);

    // Margins around the plot, twips.
    static constexpr int MarginLeft = 420;
    static constexpr int MarginTop = 150;
    static constexpr int MarginRight = 360;
    static constexpr int MarginBottom = 450;

    double pixelsPerTwip() const;
    TwipRect plotTwips() const;
    QList<AxisText> axisTexts() const;
    bool axesLabelled() const { return m_labelled; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    PlotFrame(QWidget* plot, QSize plotPixels, AxisTextsFunction texts, const BandTableI16& bandFreq, QWidget* parent);
    void labelAxes();
    QWidget* plotWidget() const { return m_plot; }

    void resizeEvent(QResizeEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QSize frameFor(QSize plotPixels) const;
    void layoutPlot();

    QWidget* m_plot;
    QSize m_plotPixels;
    AxisTextsFunction m_texts;
    BandTableI16 m_bandFreq;
    bool m_labelled = false;
};

}  // namespace kov
