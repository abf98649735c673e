#pragma once

#include <QList>
#include <QString>
#include <QWidget>

#include "core/Indexed.h"
#include "masking/SpectrumPlotRenderer.h"

class QLabel;

namespace kov {

// Pointer read-outs, in plot units.
struct ReadoutPlace {
    double left = 0;
    double top = 0;
    bool operator==(const ReadoutPlace&) const = default;
};

// The band nearest the pointer: the whole part of x + 0.5, kept to 22..39.
int BandAtPointer(double x);
// BoxFLevel: two bands left of the band, its bottom at the pointer.
ReadoutPlace GoalReadoutPlace(int band, double pointerLevel, double labelHeight);
// BoxLevel1 and BoxLevel2 start at the band and are pulled back from the right edge at bands 38 and 39.
double FitReadoutLeft(int band);
ReadoutPlace FitGoalReadoutPlace(int band, double goalLevel, double goalLabelHeight);
ReadoutPlace FitMeasuredReadoutPlace(int band, double measuredLevel, double goalLabelHeight,
                                     double measuredLabelHeight);
QString GoalReadoutText(f32 level);
QString FitReadoutText(f32 level);

// `PicSpectrum`: the goal spectrum while it is being chosen, with the read-out `BoxFLevel`.
class GoalSpectrumPlot : public QWidget {
    Q_OBJECT

public:
    explicit GoalSpectrumPlot(QWidget* parent = nullptr);

    // Keeps the goal and repaints it over the grid.
    void DrawGoalSpectrum(const BandArray& goal);
    // The read-out follows the pointer only while a database entry is chosen.
    void setEntryChosen(bool chosen);
    void ClearReadout();

    const BandArray& goal() const { return m_goal; }
    bool isDrawn() const { return m_drawn; }
    QLabel* readout() const { return m_boxFLevel; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    BandArray m_goal;
    bool m_drawn = false;
    bool m_entryChosen = false;
    QLabel* m_boxFLevel;
};

// `PicErr`: goal and adjusted measured spectrum during the fit, with the read-outs `BoxLevel1` (goal) and
// `BoxLevel2` (measured).
class FitPlot : public QWidget {
    Q_OBJECT

public:
    explicit FitPlot(QWidget* parent = nullptr);

    // Keeps both spectra and repaints them over the grid. The caller paces the steps of the fit and lets the
    // screen catch up.
    void DrawFitPlot(const BandArray& goal, const BandArray& measured);
    void ClearReadouts();

    const BandArray& goal() const { return m_goal; }
    const BandArray& measured() const { return m_measured; }
    bool isDrawn() const { return m_drawn; }
    QLabel* goalReadout() const { return m_boxLevel1; }
    QLabel* measuredReadout() const { return m_boxLevel2; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    BandArray m_goal;
    BandArray m_measured;
    bool m_drawn = false;
    QLabel* m_boxLevel1;
    QLabel* m_boxLevel2;
};

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

// `PicSpecFrame` holding `PicSpectrum`.
class GoalPlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit GoalPlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    GoalSpectrumPlot* plot() const { return m_plot; }
    void LabelSpectrumAxes() { labelAxes(); }

private:
    GoalSpectrumPlot* m_plot;
};

// `PicErrFrame` holding `PicErr`. The pointer on the frame beside the plot empties the read-outs.
class FitPlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit FitPlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    FitPlot* plot() const { return m_plot; }
    void LabelFitAxes() { labelAxes(); }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    FitPlot* m_plot;
};

}  // namespace kov
