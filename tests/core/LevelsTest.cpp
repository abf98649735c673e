#include <gtest/gtest.h>

#include <utility>

#include "core/Levels.h"
#include "core/Tables.h"

using namespace kov;

namespace {

TEST(LevelTextTest, WholeDecibelsOfTheTenth)
{
    LumoData d;
    InitTables(d);
    BandArray s;
    // Flat 40 dB is 51.475 dBA, 51.5 to a tenth and 52 whole; flat 39 dB is 50.5 and 50.
    for (const auto& [level, text] : {std::pair<f32, const char*>{40, "52"}, {39, "50"}, {45.3f, "57"}}) {
        for (int b = 22; b <= 39; ++b)
            s(b) = level;
        EXPECT_EQ(LevelDisplay(d, s), QString::fromLatin1(text)) << level;
    }
}

}  // namespace
