#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

#include "core/Tables.h"
#include "spectra/SpectrumEntry.h"

namespace kov {
namespace {

constexpr int Slot = 7;

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

struct OctaveCase {
    const char* what;
    std::vector<f32> octaves;  // 125 .. 8000 Hz, 0 = left empty
    std::vector<f32> bands;    // 22 .. 39
};

class OctaveConversionTest : public ::testing::TestWithParam<OctaveCase> {};

TEST_P(OctaveConversionTest, OctavesBecomeThirdOctaveBands)
{
    const OctaveCase& c = GetParam();
    OctaveLevels o;
    for (int box = 1; box <= 7; ++box)
        o(OctaveBoxBand(box)) = c.octaves[static_cast<std::size_t>(box - 1)];
    ASSERT_FALSE(OctaveDataMissing(o));
    SpectraEdit e;
    e.SpecLevelEdit(Slot, 21) = 11;
    e.SpecLevelEdit(Slot, 40) = 12;
    OctaveToThirdOctave(o, e, Slot);
    ExpectBands(e, c.bands);
    EXPECT_EQ(e.SpecLevelEdit(Slot, 21), 11);
    EXPECT_EQ(e.SpecLevelEdit(Slot, 40), 12);
    EXPECT_EQ(e.SpecLevelEdit(Slot + 1, 30), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Octaves, OctaveConversionTest,
    ::testing::Values(OctaveCase{"all seven",
                                 {60, 55, 50, 45, 40, 35, 30},
                                 {53.3f, 51.7f, 50.0f, 48.3f, 46.7f, 45.0f, 43.3f, 41.7f, 40.0f, 38.3f, 36.7f, 35.0f,
                                  33.3f, 31.7f, 30.0f, 28.3f, 26.7f, 25.0f}},
                      OctaveCase{"without 125 and 8000 Hz",
                                 {0, 55, 50, 45, 40, 35, 0},
                                 {52.0f, 51.0f, 50.0f, 48.3f, 46.7f, 45.0f, 43.3f, 41.7f, 40.0f, 38.3f, 36.7f, 35.0f,
                                  33.3f, 31.7f, 30.0f, 28.0f, 26.0f, 24.0f}},
                      // 10 dB at 250 Hz is taken and then counts as nothing: the bands run down to 0 and up again.
                      OctaveCase{"10 dB at 250 Hz",
                                 {60, 10, 50, 45, 40, 35, 30},
                                 {36.7f, 18.3f, 0.0f, 15.0f, 30.0f, 45.0f, 43.3f, 41.7f, 40.0f, 38.3f, 36.7f, 35.0f,
                                  33.3f, 31.7f, 30.0f, 28.3f, 26.7f, 25.0f}}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

struct OctaveBoxCase {
    int box;
    const char* typed;
    bool stored;
    f32 level;
    const char* boxText;
    const char* note;
};

class OctaveBoxTest : public ::testing::TestWithParam<OctaveBoxCase> {};

TEST_P(OctaveBoxTest, LeavingABoxKeepsOrRefuses)
{
    const OctaveBoxCase& c = GetParam();
    const OctaveBoxEntry r = LeaveOctaveBox(c.box, QString::fromLatin1(c.typed));
    ASSERT_EQ(r.store.has_value(), c.stored);
    if (c.stored) {
        EXPECT_EQ(*r.store, c.level);
    }
    EXPECT_EQ(r.boxText, QString::fromLatin1(c.boxText));
    EXPECT_EQ(r.note, QString::fromLatin1(c.note));
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, OctaveBoxTest,
    ::testing::Values(OctaveBoxCase{2, "10", true, 10, "10", ""},
                      OctaveBoxCase{2, "9.4", false, 0, "0", "The sound level must be 10 dB or more. Re-enter."},
                      OctaveBoxCase{6, "", false, 0, "0", "The sound level must be 10 dB or more. Re-enter."},
                      OctaveBoxCase{1, "", true, 0, "", ""}, OctaveBoxCase{7, "5", true, 5, "5", ""},
                      OctaveBoxCase{3, "99.5", false, 0, "0", "The sound level must be less then 100 dB. Re-enter."},
                      OctaveBoxCase{1, "99.5", false, 0, "0", "The sound level must be less then 100 dB. Re-enter."},
                      OctaveBoxCase{3, "99.4", true, 99, "99.4", ""}, OctaveBoxCase{4, "42.5", true, 42, "42.5", ""},
                      OctaveBoxCase{4, "43.5", true, 44, "43.5", ""}));

TEST(OctaveDataMissingTest, EveryRequiredOctaveCounts)
{
    for (int missing = 2; missing <= 6; ++missing) {
        OctaveLevels o;
        for (int box = 2; box <= 6; ++box)
            o(OctaveBoxBand(box)) = box == missing ? 0 : 40;
        EXPECT_TRUE(OctaveDataMissing(o)) << missing;
    }
    OctaveLevels o;
    for (int box = 2; box <= 6; ++box)
        o(OctaveBoxBand(box)) = 40;
    EXPECT_FALSE(OctaveDataMissing(o));
}

// ---- Relative entry -------------------------------------------------------------------------------------------

struct RelativeBoxCase {
    int box;
    const char* typed;
    bool stored;
    f32 level;
    std::optional<QString> boxText;
    std::optional<QString> note;
};

class RelativeBoxTest : public ::testing::TestWithParam<RelativeBoxCase> {};

TEST_P(RelativeBoxTest, LeavingABoxKeepsOrRefuses)
{
    const LumoData d = Tables();
    const RelativeBoxCase& c = GetParam();
    const RelativeBoxEntry r = LeaveRelativeBox(d, c.box, QString::fromLatin1(c.typed));
    ASSERT_EQ(r.store.has_value(), c.stored);
    if (c.stored) {
        EXPECT_EQ(*r.store, c.level);
    }
    EXPECT_EQ(r.boxText, c.boxText);
    EXPECT_EQ(r.note, c.note);
}

INSTANTIATE_TEST_SUITE_P(
    Boxes, RelativeBoxTest,
    ::testing::Values(
        RelativeBoxCase{3, "-100", false, 0, QString(),
                        QStringLiteral("The relative level must be greater than -100 dB.at 250 Hz.. Re-enter.")},
        RelativeBoxCase{3, "-99", true, -99, QStringLiteral("- 99"), QString()},
        RelativeBoxCase{11, "100", false, 0, QString(),
                        QStringLiteral("The relative level must be less than 100 dB at 1600 Hz.. Re-enter.")},
        RelativeBoxCase{11, "99.4", true, 99, QStringLiteral("+99"), QString()},
        RelativeBoxCase{1, "5", true, 5, QStringLiteral("+5"), QString()},
        RelativeBoxCase{1, "0", true, 0, QStringLiteral("+0"), QString()},
        RelativeBoxCase{5, "2.5", true, 2, QStringLiteral("+2"), QString()},
        RelativeBoxCase{5, "-3.5", true, -4, QStringLiteral("- 4"), QString()},
        RelativeBoxCase{5, "  ", false, 0, std::nullopt, std::nullopt}));

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
    typed(22) = 6;
    typed(23) = 2;
    typed(37) = -4;
    typed(38) = 1;
    typed(39) = -2;
    EstimateRelativeEdges(typed, boxes);
    EXPECT_EQ(typed(22), 6);
    EXPECT_EQ(typed(38), 1);
    EXPECT_EQ(typed(39), -2);
}

// Flat spectra with one band apart; their A-weighted levels were worked out from the integer A-weights
// (a flat 0 dB spectrum over 160..8000 Hz is 11.475 dBA).
struct NormaliseCase {
    const char* what;
    f32 flat;
    int band;
    f32 bandLevel;
    int steps;
    f32 flatAfter;
    f32 bandAfter;
};

class NormaliseTest : public ::testing::TestWithParam<NormaliseCase> {};

TEST_P(NormaliseTest, StepsToFortySevenDba)
{
    const LumoData d = Tables();
    const NormaliseCase& c = GetParam();
    RelativeLevels r;
    for (int b = 22; b <= 39; ++b)
        r(b) = b == c.band ? c.bandLevel : c.flat;
    EXPECT_EQ(NormaliseRelative(d, r), c.steps);
    for (int b = 22; b <= 39; ++b)
        EXPECT_EQ(r(b), b == c.band ? c.bandAfter : c.flatAfter) << b;
    EXPECT_EQ(r(21), 0);
}

INSTANTIATE_TEST_SUITE_P(Levels, NormaliseTest,
                         ::testing::Values(NormaliseCase{"45.3 raised twice", 33, 30, 39, 2, 35, 41},
                                           NormaliseCase{"47.0 left", 35, 25, 45, 0, 35, 45},
                                           NormaliseCase{"49.6 lowered three times", 38, 30, 39, -3, 35, 36}));

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
