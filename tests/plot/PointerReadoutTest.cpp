#include <gtest/gtest.h>

#include <tuple>

#include "plot/PointerReadout.h"

namespace kov {
namespace {

TEST(PointerReadout, BandNearestThePointer)
{
    // (x, band)
    const std::tuple<double, int> cases[] = {{22.0, 22},  {22.49, 22}, {22.5, 23}, {30.51, 31}, {38.49, 38}, {38.5, 39},
                                             {38.99, 39}, {39.4, 39},  {39.7, 39}, {21.6, 22},  {21.2, 22}};
    for (const auto& [x, band] : cases) {
        EXPECT_EQ(BandAtPointer(x), band) << x;
    }
}

TEST(PointerReadout, PlacesInPlotUnits)
{
    // (band, left)
    const std::tuple<int, double> lefts[] = {{22, 22}, {30, 30}, {37, 37}, {38, 37}, {39, 37}};
    for (const auto& [band, left] : lefts) {
        EXPECT_EQ(FitReadoutLeft(band), left) << band;
        EXPECT_EQ(FitGoalReadoutPlace(band, 50, 3), (ReadoutPlace{left, 53})) << band;
        EXPECT_EQ(FitMeasuredReadoutPlace(band, 45, 3, 2.5), (ReadoutPlace{left, 51.5})) << band;
    }
    EXPECT_EQ(GoalReadoutPlace(30, 45.5, 4), (ReadoutPlace{28, 49.5}));
    EXPECT_EQ(GoalReadoutPlace(39, 10, 5), (ReadoutPlace{37, 15}));
}

TEST(PointerReadout, Texts)
{
    // (level, goal, fit)
    const std::tuple<f32, const char*, const char*> cases[] = {{45.5f, "45.5", "46"}, {44.5f, "44.5", "44"},
                                                               {47, "47", "47"},      {0, "0", "0"},
                                                               {7.2f, "7.2", "7"},    {52.75f, "52.75", "53"}};
    for (const auto& [level, goal, fit] : cases) {
        EXPECT_EQ(GoalReadoutText(level), QString::fromLatin1(goal)) << level;
        EXPECT_EQ(FitReadoutText(level), QString::fromLatin1(fit)) << level;
    }
}

}  // namespace
}  // namespace kov
