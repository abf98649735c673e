#pragma once

#include <functional>

#include "core/Clock.h"

namespace kov::test {

// Time moves only when the program lets events run, by a fixed step, and wraps at midnight like the real one.
class TestClock : public Clock {
public:
    explicit TestClock(double start = 36000.0, double step = 0.01) : m_now(start), m_step(step) {}
    double secondsSinceMidnight() override { return m_now; }
    void letEventsRun() override
    {
        if (onYield)
            onYield();
        ++m_yields;
        m_now += m_step;
        if (m_now >= SecondsPerDay)
            m_now -= SecondsPerDay;
    }
    double elapsed() const { return m_yields * m_step; }
    int yields() const { return m_yields; }

    // Runs where the real clock would let the person's clicks through, as if they clicked there.
    std::function<void()> onYield;

private:
    double m_now;
    double m_step;
    int m_yields = 0;
};

}  // namespace kov::test
