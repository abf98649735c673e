#include "plot/PointerReadout.h"

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

}  // namespace kov
