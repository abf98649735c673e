#include "masking/MaskPlots.h"

#include "core/Numbers.h"

namespace kov {

void DrawSpectrumGrid(PlotRenderer& r)
{
    r.clear();
    DrawBandLines(r, PlotBottom, PlotTop);
    for (int level = PlotBottom + 10; level <= PlotTop - 10; level += 10) {
        DrawLevelLine(r, level);
    }
}

void DrawGoalSpectrum(PlotRenderer& r, const BandArray& goal)
{
    DrawSpectrumGrid(r);
    DrawSpectrum(r, goal, GoalColour);
}

void DrawFitGrid(PlotRenderer& r)
{
    r.clear();
    for (int level : {30, 40, 50}) {
        DrawLevelLine(r, level);
    }
    DrawBandLines(r, FitPlotScale.top, FitPlotScale.bottom);
}

void DrawFitPlot(PlotRenderer& r, const BandArray& goal, const BandArray& measured, f32 tolerance)
{
    DrawFitGrid(r);
    if (tolerance > 0) {
        for (const f32 side : {tolerance, -tolerance}) {
            BandArray edge = goal;
            for (int b = FirstDataBand; b <= LastDataBand; ++b)
                edge(b) = goal(b) + side;
            DrawSpectrum(r, edge, ToleranceColour, FitPlotScale.top, 1);
        }
    }
    DrawSpectrum(r, goal, GoalColour, FitPlotScale.top);
    DrawSpectrum(r, measured, MeasuredColour, FitPlotScale.top);
}

QList<AxisText> SpectrumAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq)
{
    QList<AxisText> out;
    const int dy = static_cast<int>(RoundHalfEven(plot.height * 10.0 / (PlotTop - PlotBottom), 0));
    for (int k = 0; k <= PlotTop / 10; ++k) {
        out.append(LevelNumberText(plot, FormatNumber(k * 10, QStringLiteral("#0")), k * dy));
    }
    out.append(FrequencyTexts(plot, bandFreq));
    return out;
}

QList<AxisText> FitAxisTexts(const TwipRect& plot, const BandTableI16& bandFreq)
{
    QList<AxisText> out;
    const int dy = plot.height / 4;
    for (int k = 2; k <= 6; ++k) {
        out.append(LevelNumberText(plot, FormatNumber(k * 10, QStringLiteral("##")), (k - 2) * dy));
    }
    out.append(FrequencyTexts(plot, bandFreq));
    return out;
}

}  // namespace kov
