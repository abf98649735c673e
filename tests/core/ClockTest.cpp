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
        double step;
        f32 seconds;
    };
    const Case cases[] = {
        {"morning", 36000.0, 0.01, 0.2f},
        {"ending after midnight", SecondsPerDay - 0.05, 0.01, 0.2f},
        {"starting at midnight", 0.0, 0.01, 1.0f},
        {"no wait", 500.0, 0.01, 0.0f},
        {"longer than a day", 100.0, 60.0, 200000.f},
    };
    for (const Case& c : cases) {
        TestClock clock(c.start, c.step);
        WaitSeconds(clock, c.seconds);
        EXPECT_GE(clock.elapsed() + 1e-9, c.seconds) << c.name;
        // At most one step of the clock past the time.
        EXPECT_LT(clock.elapsed(), c.seconds + c.step + 0.01) << c.name;
    }
}
