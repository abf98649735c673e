#pragma once

#include <QRgb>
#include <QWidget>

#include "core/Indexed.h"
#include "plot/PlotWidgets.h"
#include "plot/SpectrumPlotRenderer.h"

class QLabel;

namespace kov {

// The editor's plot: the selected spectrum over the neutral contour, bands 22..39 across, 0..60 dB up.
inline constexpr PlotScale ReferencePlotScale{FirstDataBand, LastDataBand, 60, 0};
inline constexpr QRgb SpectrumColour = qRgb(255, 255, 0);
inline constexpr QRgb NeutralColour = qRgb(0, 255, 255);
inline constexpr QRgb ReferenceGridColour = qRgb(128, 128, 128);

void DrawSpectrum(PlotRenderer& r, const BandArray& spectrum, const BandArray& neutral);
QList<AxisText> ReferenceAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq);
// Where BoxLevel stands for the pointer at `band`, `level` dB: its bottom at the pointer, two bands to the left,
// and at 6300 Hz one band further in so it stays clear of the edge.
ReadoutPlace ReferenceReadoutPlace(int band, double level, double labelHeight);

// `PicSpectrum` with its read-out `BoxLevel`.
class ReferencePlot : public QWidget {
    Q_OBJECT

public:
    explicit ReferencePlot(QWidget* parent = nullptr);

    void drawSpectrum(const BandArray& spectrum, const BandArray& neutral);
    void clearReadout();
    const BandArray& spectrum() const { return m_spectrum; }
    bool isDrawn() const { return m_drawn; }
    QLabel* readout() const { return m_boxLevel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    BandArray m_spectrum;
    BandArray m_neutral;
    bool m_drawn = false;
    QLabel* m_boxLevel;
};

class ReferencePlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit ReferencePlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    ReferencePlot* plot() const { return m_plot; }
    void labelReferenceAxes() { labelAxes(); }

private:
    ReferencePlot* m_plot;
};

}  // namespace kov
