#pragma once

#include <QList>
#include <QRgb>

#include "core/Indexed.h"
#include "plot/SpectrumPlotRenderer.h"

namespace kov {

// What the two plots of the Mask window draw, on any painter.

inline constexpr i16 PlotTop = 70;
inline constexpr i16 PlotBottom = 0;
inline constexpr PlotScale GoalPlotScale{FirstDataBand, LastDataBand, PlotTop, PlotBottom};
inline constexpr PlotScale FitPlotScale{FirstDataBand, LastDataBand, 60, 20};

inline constexpr QRgb GoalColour = qRgb(255, 255, 0);
inline constexpr QRgb MeasuredColour = qRgb(0, 255, 255);
// The goal's yellow, darker, so the edges stay apart from the goal line itself.
inline constexpr QRgb ToleranceColour = qRgb(160, 140, 0);

// The goal plot (user scale GoalPlotScale).
void DrawSpectrumGrid(PlotRenderer& r);
void DrawGoalSpectrum(PlotRenderer& r, const BandArray& goal);

// The fit plot (user scale FitPlotScale). A segment is left out when the level it ends at is 60 dB or more.
void DrawFitGrid(PlotRenderer& r);
// A tolerance above 0 draws the window around the goal that each band is judged by, under both spectra.
void DrawFitPlot(PlotRenderer& r, const BandArray& goal, const BandArray& measured, f32 tolerance = 0);

QList<AxisText> SpectrumAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq);
QList<AxisText> FitAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq);

}  // namespace kov
