#pragma once

#include "core/Indexed.h"

namespace kov {

inline constexpr double SecondsPerDay = 86400.0;

// Pacing of long work on the one user-interface thread (fit animation, serial time-outs) goes through this,
// so the program keeps its visible rhythm while tests run it at once.
class Clock {
public:
    virtual ~Clock() = default;
    virtual double secondsSinceMidnight() = 0;
    // Lets pending events run: screen updates, window moves, and the person's clicks and keys, which the long work
    // holds off its window's controls (LongWork) except its own Cancel. Held back instead, they would act on what
    // the work left once it ended.
    virtual void letEventsRun() = 0;
};

// The wall clock of this machine.
class SystemClock : public Clock {
public:
    double secondsSinceMidnight() override;
    void letEventsRun() override;
};

// Returns once `seconds` have passed on `clock`, also when the wait runs across midnight.
void WaitSeconds(Clock& clock, f32 seconds);

}  // namespace kov
