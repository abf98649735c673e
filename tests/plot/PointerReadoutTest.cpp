#include <gtest/gtest.h>

#include "plot/PointerReadout.h"

namespace kov {
namespace {

TEST(PointerReadout, BandNearestThePointer)
{
    const struct {
        double x;
        int band;
    } cases[] = {{22.0, 22},  {22.49, 22}, {22.5, 23}, {30.51, 31}, {38.49, 38}, {38.5, 39},
                 {38.99, 39}, {39.4, 39},  {39.7, 39}, {21.6, 22},  {21.2, 22}};
    for (const auto& c : cases) {
        EXPECT_EQ(BandAtPointer(c.x), c.band) << c.x;
    }
}

TEST(PointerReadout, PlacesInPlotUnits)
{
    const struct {
        int band;
        double left;
    } lefts[] = {{22, 22}, {30, 30}, {37, 37}, {38, 37}, {39, 37}};
    for (const auto& c : lefts) {
        EXPECT_EQ(FitReadoutLeft(c.band), c.left) << c.band;
        EXPECT_EQ(FitGoalReadoutPlace(c.band, 50, 3), (ReadoutPlace{c.left, 53})) << c.band;
        EXPECT_EQ(FitMeasuredReadoutPlace(c.band, 45, 3, 2.5), (ReadoutPlace{c.left, 51.5})) << c.band;
    }
    EXPECT_EQ(GoalReadoutPlace(30, 45.5, 4), (ReadoutPlace{28, 49.5}));
    EXPECT_EQ(GoalReadoutPlace(39, 10, 5), (ReadoutPlace{37, 15}));
}

TEST(PointerReadout, Texts)
{
    const struct {
        f32 level;
        const char* goal;
        const char* fit;
    } cases[] = {{45.5f, "45.5", "46"}, {44.5f, "44.5", "44"}, {47, "47", "47"},
                 {0, "0", "0"},         {7.2f, "7.2", "7"},    {52.75f, "52.75", "53"}};
    for (const auto& c : cases) {
        EXPECT_EQ(GoalReadoutText(c.level), QString::fromLatin1(c.goal)) << c.level;
        EXPECT_EQ(FitReadoutText(c.level), QString::fromLatin1(c.fit)) << c.level;
    }
}

}  // namespace
}  // namespace kov
