#pragma once

#include <QWidget>

#include "core/Indexed.h"
#include "masking/MaskPlots.h"
#include "plot/PlotWidgets.h"

class QLabel;

namespace kov {

// `PicSpectrum`: the goal spectrum while it is being chosen, with the read-out `BoxFLevel`.
class GoalSpectrumPlot : public QWidget {
    Q_OBJECT

public:
    explicit GoalSpectrumPlot(QWidget* parent = nullptr);

    // Keeps the goal and repaints it over the grid.
    void drawGoalSpectrum(const BandArray& goal);
    // The read-out follows the pointer only while a database entry is chosen.
    void setEntryChosen(bool chosen);
    void clearReadout();

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
    void drawFitPlot(const BandArray& goal, const BandArray& measured);
    // The window around the goal each band is judged by; 0 draws none.
    void setTolerance(f32 band);
    f32 tolerance() const { return m_tolerance; }
    void clearReadouts();

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
    f32 m_tolerance = 0;
    bool m_drawn = false;
    QLabel* m_boxLevel1;
    QLabel* m_boxLevel2;
};

// `PicSpecFrame` holding `PicSpectrum`.
class GoalPlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit GoalPlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    GoalSpectrumPlot* plot() const { return m_plot; }
    void labelSpectrumAxes() { labelAxes(); }

private:
    GoalSpectrumPlot* m_plot;
};

// `PicErrFrame` holding `PicErr`. The pointer on the frame beside the plot empties the read-outs.
class FitPlotFrame : public PlotFrame {
    Q_OBJECT

public:
    explicit FitPlotFrame(const BandTableI16& bandFreq, QWidget* parent = nullptr);

    FitPlot* plot() const { return m_plot; }
    void labelFitAxes() { labelAxes(); }

protected:
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    FitPlot* m_plot;
};

}  // namespace kov
