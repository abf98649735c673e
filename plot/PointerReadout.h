#pragma once

#include <QString>

#include "core/Indexed.h"

namespace kov {

// Where the read-outs of a spectrum plot stand as the pointer moves over it, in plot units (bands across, dB up);
// the place is the read-out's top left.
struct ReadoutPlace {
    double left = 0;
    double top = 0;
    bool operator==(const ReadoutPlace&) const = default;
};

// The band nearest the pointer: the whole part of x + 0.5, kept to 22..39.
int BandAtPointer(double x);
// The goal read-out (one curve): two bands left of the band, its bottom at the pointer.
ReadoutPlace GoalReadoutPlace(int band, double pointerLevel, double labelHeight);
// The fit read-outs (goal and measured) start at the band and are pulled back from the right edge at bands 38 and
// 39.
double FitReadoutLeft(int band);
ReadoutPlace FitGoalReadoutPlace(int band, double goalLevel, double goalLabelHeight);
ReadoutPlace FitMeasuredReadoutPlace(int band, double measuredLevel, double goalLabelHeight,
                                     double measuredLabelHeight);
QString GoalReadoutText(f32 level);
QString FitReadoutText(f32 level);

}  // namespace kov
