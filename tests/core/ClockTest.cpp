#include <gtest/gtest.h>

#include <tuple>

#include "core/Clock.h"
#include "tests/support/TestClock.h"

using namespace kov;
using kov::test::TestClock;

TEST(WaitSeconds, WaitsTheTimeAlsoAcrossMidnight)
{
    // (name, clock at the start, its step, seconds to wait)
    const std::tuple<const char*, double, double, f32> cases[] = {
        {"morning", 36000.0, 0.01, 0.2f},
        {"ending after midnight", SecondsPerDay - 0.05, 0.01, 0.2f},
        {"starting at midnight", 0.0, 0.01, 1.0f},
        {"no wait", 500.0, 0.01, 0.0f},
        {"longer than a day", 100.0, 60.0, 200000.f},
    };
    for (const auto& [name, start, step, seconds] : cases) {
        TestClock clock(start, step);
        WaitSeconds(clock, seconds);
        EXPECT_GE(clock.elapsed() + 1e-9, seconds) << name;
        // At most one step of the clock past the time.
        EXPECT_LT(clock.elapsed(), seconds + step + 0.01) << name;
    }
}
