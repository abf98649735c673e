#include <gtest/gtest.h>

#include "core/Clock.h"
#include "tests/support/TestClock.h"

using namespace kov;
using kov::test::TestClock;

TEST(WaitSeconds, WaitsTheTimeAlsoAcrossMidnight)
{
    struct Case {
        const char* name;
        double start;
        f32 seconds;
    };
    const Case cases[] = {
        {"morning", 36000.0, 0.2f},
        {"ending after midnight", SecondsPerDay - 0.05, 0.2f},
        {"starting at midnight", 0.0, 1.0f},
        {"no wait", 500.0, 0.0f},
    };
    for (const Case& c : cases) {
        TestClock clock(c.start, 0.01);
        WaitSeconds(clock, c.seconds);
        EXPECT_GE(clock.elapsed() + 1e-9, c.seconds) << c.name;
        EXPECT_LT(clock.elapsed(), c.seconds + 0.02) << c.name;
    }
}

TEST(WaitSeconds, AWaitLongerThanADayWaitsItsWholeTime)
{
    TestClock clock(100.0, 60.0);
    WaitSeconds(clock, 200000.f);
    EXPECT_GE(clock.elapsed(), 200000.0);
    EXPECT_LT(clock.elapsed(), 200060.0);
}
