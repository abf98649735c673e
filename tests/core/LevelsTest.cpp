#include <gtest/gtest.h>

#include "core/Levels.h"
#include "core/Tables.h"

using namespace kov;

namespace {

TEST(LevelTextTest, WholeDecibelsOfTheTenth)
{
    LumoData d;
    InitTables(d);
    BandArray s;
    struct Case {
        f32 level;
        const char* text;
    };
    // Flat 40 dB is 51.475 dBA, 51.5 to a tenth and 52 whole; flat 39 dB is 50.5 and 50.
    for (const Case c : {Case{40, "52"}, Case{39, "50"}, Case{45.3f, "57"}}) {
        for (int b = 22; b <= 39; ++b)
            s(b) = c.level;
        EXPECT_EQ(LevelDisplay(d, s), QString::fromLatin1(c.text)) << c.level;
    }
}

}  // namespace
