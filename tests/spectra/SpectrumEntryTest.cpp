#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "core/Tables.h"
#include "spectra/SpectrumEntry.h"

namespace kov {
namespace {

constexpr int Slot = 7;
// No level stored: the box refuses what was typed.
const std::optional<f32> No;

LumoData Tables()
{
    LumoData d;
    InitTables(d);
    return d;
}

void ExpectBands(const SpectraEdit& e, const std::vector<f32>& bands22to39)
{
    ASSERT_EQ(bands22to39.size(), 18u);
    for (int b = 22; b <= 39; ++b)
        EXPECT_FLOAT_EQ(e.SpecLevelEdit(Slot, b), bands22to39[static_cast<std::size_t>(b - 22)]) << "band " << b;
}

// ---- Octave entry ---------------------------------------------------------------------------------------------

TEST(OctaveConversionTest, OctavesBecomeThirdOctaveBands)
{
    // (octaves 125 .. 8000 Hz, 0 for left empty; bands 22 .. 39)
    const std::tuple<std::vector<f32>, std::vector<f32>> cases[] = {
        // all seven
        {{60, 55, 50, 45, 40, 35, 30},
         {53.3, 51.7, 50, 48.3, 46.7, 45, 43.3, 41.7, 40, 38.3, 36.7, 35, 33.3, 31.7, 30, 28.3, 26.7, 25}},
        // without 125 and 8000 Hz
        {{0, 55, 50, 45, 40, 35, 0},
         {52, 51, 50, 48.3, 46.7, 45, 43.3, 41.7, 40, 38.3, 36.7, 35, 33.3, 31.7, 30, 28, 26, 24}},
        // 10 dB at 250 Hz is taken and then counts as nothing: the bands run down to 0 and up again.
        {{60, 10, 50, 45, 40, 35, 30},
         {36.7, 18.3, 0, 15, 30, 45, 43.3, 41.7, 40, 38.3, 36.7, 35, 33.3, 31.7, 30, 28.3, 26.7, 25}},
    };
    for (const auto& [octaves, bands] : cases) {
        SCOPED_TRACE(bands[0]);
        OctaveLevels o;
        for (int box = 1; box <= 7; ++box)
            o(OctaveBoxBand(box)) = octaves[static_cast<std::size_t>(box - 1)];
        ASSERT_FALSE(OctaveDataMissing(o));
        SpectraEdit e;
        e.SpecLevelEdit(Slot, 21) = 11;
        e.SpecLevelEdit(Slot, 40) = 12;
        OctaveToThirdOctave(o, e, Slot);
        ExpectBands(e, bands);
        EXPECT_EQ(e.SpecLevelEdit(Slot, 21), 11);
        EXPECT_EQ(e.SpecLevelEdit(Slot, 40), 12);
        EXPECT_EQ(e.SpecLevelEdit(Slot + 1, 30), 0);
    }
}

TEST(OctaveBoxTest, LeavingABoxKeepsOrRefuses)
{
    const char* tooLow = "The sound level must be 10 dB or more. Re-enter.";
    const char* tooHigh = "The sound level must be less then 100 dB. Re-enter.";
    // (box, typed, level stored, box text, note)
    const std::tuple<int, const char*, std::optional<f32>, const char*, const char*> cases[] = {
        {2, "10", 10, "10", ""},       {2, "9.4", No, "0", tooLow},
        {6, "", No, "0", tooLow},      {1, "", 0, "", ""},
        {7, "5", 5, "5", ""},          {3, "99.5", No, "0", tooHigh},
        {1, "99.5", No, "0", tooHigh}, {3, "99.4", 99, "99.4", ""},
        {4, "42.5", 42, "42.5", ""},   {4, "43.5", 44, "43.5", ""},
    };
    for (const auto& [box, typed, store, boxText, note] : cases) {
        SCOPED_TRACE(testing::Message() << box << " " << typed);
        const OctaveBoxEntry r = LeaveOctaveBox(box, QString::fromLatin1(typed));
        EXPECT_EQ(r.store, store);
        EXPECT_EQ(r.boxText, QString::fromLatin1(boxText));
        EXPECT_EQ(r.note, QString::fromLatin1(note));
    }
}

TEST(OctaveDataMissingTest, EveryRequiredOctaveCounts)
{
    // Boxes 1 and 7 are left empty throughout; "missing" 1 leaves every box from 2 to 6 filled.
    for (int missing = 1; missing <= 6; ++missing) {
        OctaveLevels o;
        for (int box = 2; box <= 6; ++box)
            o(OctaveBoxBand(box)) = box == missing ? 0 : 40;
        EXPECT_EQ(OctaveDataMissing(o), missing != 1) << missing;
    }
}

// ---- Relative entry -------------------------------------------------------------------------------------------

TEST(RelativeBoxTest, LeavingABoxKeepsOrRefuses)
{
    const LumoData d = Tables();
    // (box, typed, level stored, box text, note)
    const std::tuple<int, const char*, std::optional<f32>, std::optional<QString>, std::optional<QString>> cases[] = {
        {3, "-100", No, QString(), "The relative level must be greater than -100 dB.at 250 Hz.. Re-enter."},
        {3, "-99", -99.f, "- 99", QString()},
        {11, "100", No, QString(), "The relative level must be less than 100 dB at 1600 Hz.. Re-enter."},
        {11, "99.4", 99.f, "+99", QString()},
        {1, "5", 5.f, "+5", QString()},
        {1, "0", 0.f, "+0", QString()},
        {5, "2.5", 2.f, "+2", QString()},
        {5, "-3.5", -4.f, "- 4", QString()},
        {5, "  ", No, std::nullopt, std::nullopt},
    };
    for (const auto& [box, typed, store, boxText, note] : cases) {
        SCOPED_TRACE(testing::Message() << box << " " << typed);
        const RelativeBoxEntry r = LeaveRelativeBox(d, box, QString::fromLatin1(typed));
        EXPECT_EQ(r.store, store);
        EXPECT_EQ(r.boxText, boxText);
        EXPECT_EQ(r.note, note);
    }
}

TEST(RelativeFocusNoteTest, NamesTheBandWithoutABlank)
{
    const LumoData d = Tables();
    EXPECT_EQ(RelativeFocusNote(d, 1), RelativeOpenNote);
    EXPECT_EQ(RelativeFocusNote(d, 2), QStringLiteral(" Enter a relative level at200."));
    EXPECT_EQ(RelativeFocusNote(d, 11), QStringLiteral(" Enter a relative level at1600."));
}

TEST(RelativeDataMissingTest, OnlyTheBoxesFrom200To5000HzAreRequired)
{
    RelativeBoxes boxes;
    for (int i = 2; i <= 16; ++i)
        boxes(i) = QStringLiteral("+0");
    EXPECT_FALSE(RelativeDataMissing(boxes));
    for (int i : {2, 9, 16}) {
        RelativeBoxes gap = boxes;
        gap(i) = QStringLiteral(" ");
        EXPECT_TRUE(RelativeDataMissing(gap)) << i;
    }
}

TEST(EstimateRelativeEdgesTest, EmptyEdgeBoxesFollowTheirNeighbours)
{
    RelativeBoxes boxes;
    RelativeLevels r;
    r(23) = 2;
    r(37) = -4;
    EstimateRelativeEdges(r, boxes);
    EXPECT_EQ(r(22), 3);
    EXPECT_EQ(r(38), -7);
    EXPECT_EQ(r(39), -10);

    // Typed edges stay as typed.
    boxes(1) = QStringLiteral("+6");
    boxes(17) = QStringLiteral("+1");
    boxes(18) = QStringLiteral("- 2");
    RelativeLevels typed;
    for (const auto& [band, level] : {std::pair{22, 6.f}, {23, 2.f}, {37, -4.f}, {38, 1.f}, {39, -2.f}})
        typed(band) = level;
    EstimateRelativeEdges(typed, boxes);
    EXPECT_EQ(typed(22), 6);
    EXPECT_EQ(typed(38), 1);
    EXPECT_EQ(typed(39), -2);
}

// Flat spectra with one band apart; their A-weighted levels were worked out from the integer A-weights (a flat 0 dB
// spectrum over 160..8000 Hz is 11.475 dBA).
TEST(NormaliseTest, StepsToFortySevenDba)
{
    const LumoData d = Tables();
    // (what, flat, band, its level, steps, flat after, band after)
    const std::tuple<const char*, f32, int, f32, int, f32, f32> cases[] = {
        {"45.3 raised twice", 33, 30, 39, 2, 35, 41},
        {"47.0 left", 35, 25, 45, 0, 35, 45},
        {"49.6 lowered three times", 38, 30, 39, -3, 35, 36}};
    for (const auto& [what, flat, band, bandLevel, steps, flatAfter, bandAfter] : cases) {
        SCOPED_TRACE(what);
        RelativeLevels r;
        for (int b = 22; b <= 39; ++b)
            r(b) = b == band ? bandLevel : flat;
        EXPECT_EQ(NormaliseRelative(d, r), steps);
        for (int b = 22; b <= 39; ++b)
            EXPECT_EQ(r(b), b == band ? bandAfter : flatAfter) << b;
        EXPECT_EQ(r(21), 0);
    }
}

TEST(RelativeToSpectrumTest, EstimatesThenNormalisesIntoTheSlot)
{
    const LumoData d = Tables();
    RelativeBoxes boxes;
    RelativeLevels r;
    for (int i = 2; i <= 16; ++i) {
        boxes(i) = QStringLiteral("+0");
        r(RelativeBoxBand(i)) = 33;
    }
    r(30) = 39;
    // 160 Hz from 200 Hz (34), 6300 and 8000 Hz going down 3 dB a band from 5000 Hz; then +2 dB for 47 dBA
    // (45.0 dBA as entered, 47.0 after the second step).
    SpectraEdit e;
    RelativeToSpectrum(d, r, boxes, e, Slot);
    ExpectBands(e, {36, 35, 35, 35, 35, 35, 35, 35, 41, 35, 35, 35, 35, 35, 35, 35, 32, 29});
}

}  // namespace
}  // namespace kov
