#include <gtest/gtest.h>

#include <tuple>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "spectra/SpectrumEditor.h"

namespace kov {
namespace {

LumoData Tables()
{
    LumoData d;
    InitTables(d);
    for (int s = 0; s <= 20; ++s)
        d.SpecName(s) = EmptySpectrumName;
    d.SpecName(0) = BackgroundName;
    return d;
}

void Fill(SpectraEdit& e, int s, f32 level)
{
    for (int b = 22; b <= 39; ++b)
        e.SpecLevelEdit(s, b) = level;
}

TEST(LevelCellTest, LeavingACellKeepsOneDecimalFrom1To99)
{
    const LumoData d = Tables();
    // (band, typed, level, cell text, note)
    const std::tuple<int, const char*, f32, const char*, const char*> cases[] = {
        {22, "", 0, "0", "The sound level at 160 Hz was outside the range 1 to 99. Reenter."},
        {32, "99.06", 0, "0", "The sound level at 1600 Hz was outside the range 1 to 99. Reenter."},
        {39, "0.94", 0, "0", "The sound level at 8000 Hz was outside the range 1 to 99. Reenter."},
        {22, "0.96", 1, "1", ""},
        {25, "99.04", 99, "99", ""},
        {30, "45.15", 45.2f, "45.2", ""},
        {30, "45.25", 45.2f, "45.2", ""},
        {31, "1", 1, "1", ""}};
    for (const auto& [band, typed, level, cellText, note] : cases) {
        SCOPED_TRACE(typed);
        const LevelCellEntry r = LeaveLevelCell(d, band, QString::fromLatin1(typed));
        EXPECT_EQ(std::tuple(r.level, r.cellText, r.note.value_or(QString())),
                  std::tuple(level, QString::fromLatin1(cellText), QString::fromLatin1(note)));
    }
}

TEST(BandLabelTest, TheBandsReadTheirOwnFrequencies)
{
    const LumoData d = Tables();
    QStringList labels;
    for (int b = 22; b <= 39; ++b)
        labels << BandLabel(d, b);
    EXPECT_EQ(labels.join(' '), "160 200 250 315 400 500 630 800 1000 1250 1600 2000 2500 3150 4000 5000 6300 8000");
}

TEST(NeutralLevelsTest, FallsFiveDecibelsAnOctave)
{
    const BandArray n = NeutralLevels();
    for (const auto& [band, level] :
         {std::pair{22, 49.0f}, {23, 47.3f}, {30, 35.7f}, {32, 32.3f}, {39, 20.7f}, {21, 0.f}, {40, 0.f}})
        EXPECT_FLOAT_EQ(n(band), level) << band;
}

// A flat spectrum is 11.475 dB over its level; ".5" levels show to the even whole number. Steps show the level
// whatever band 22 holds.
TEST(AWeightTextTest, WholeDecibelsOrBlank)
{
    const LumoData d = Tables();
    // (flat level, band 22, text)
    const std::tuple<f32, f32, const char*> cases[] = {
        {39, 39, "50 dBA"}, {40, 40, "52 dBA"}, {30, 30, "42 dBA"}, {40, 0, ""}, {40, -1, ""},
    };
    for (const auto& [flat, band22, text] : cases) {
        SpectraEdit e;
        Fill(e, 4, flat);
        e.SpecLevelEdit(4, 22) = band22;
        EXPECT_EQ(ShownAWeightText(d, e, 4), QString::fromLatin1(text)) << flat << " " << band22;
    }
    SpectraEdit e;
    Fill(e, 4, 39);
    e.SpecLevelEdit(4, 22) = 0;
    // Band 22 at 0 dB instead of 39 leaves 50.46 dBA of the flat 50.48.
    EXPECT_EQ(AWeightText(d, e, 4), QStringLiteral("50 dBA"));
    EXPECT_EQ(ShownAWeightText(d, e, 4), QString());
}

TEST(StepSpectrumTest, EveryBandMovesZerosToo)
{
    SpectraEdit e;
    e.SpecNameEdit(2) = QStringLiteral("Open plan");
    Fill(e, 2, 40);
    e.SpecLevelEdit(2, 30) = 0;
    EXPECT_TRUE(StepSpectrum(e, 2, -1));
    EXPECT_EQ(std::tuple(e.SpecLevelEdit(2, 22), e.SpecLevelEdit(2, 30), e.SpecLevelEdit(2, 21)),
              std::tuple(39, -1, 0));
    EXPECT_TRUE(StepSpectrum(e, 2, +1));
    EXPECT_TRUE(StepSpectrum(e, 2, +1));
    EXPECT_EQ(e.SpecLevelEdit(2, 39), 41);

    e.SpecNameEdit(3) = EmptySpectrumName;
    e.SpecLevelEdit(3, 25) = 7;
    EXPECT_FALSE(StepSpectrum(e, 3, +1));
    EXPECT_EQ(e.SpecLevelEdit(3, 25), 7);
    // Only the exact free-slot name holds still.
    e.SpecNameEdit(3) = QStringLiteral(" Empty");
    EXPECT_TRUE(StepSpectrum(e, 3, +1));
    EXPECT_EQ(e.SpecLevelEdit(3, 25), 8);
}

TEST(SpectrumNameTest, TrimmedAndCutTo28)
{
    EXPECT_EQ(SpectrumNameFromBox(QStringLiteral("  Open plan  ")), QStringLiteral("Open plan"));
    EXPECT_EQ(SpectrumNameFromBox(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234")),
              QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ12"));
}

TEST(SelectionNoteTest, FreeSlotsOfferTheEntryOptions)
{
    SpectraEdit e;
    e.SpecNameEdit(0) = BackgroundName;
    e.SpecNameEdit(1) = QStringLiteral("Open");
    e.SpecNameEdit(2) = QStringLiteral("Empty ");
    EXPECT_EQ(SelectionNote(e, 0), QStringLiteral(" The recommended background level is 39 or 40 dBA."));
    EXPECT_EQ(SelectionNote(e, 1), QStringLiteral("Modify the chosen spectrum or choose Empty to enter an octave band "
                                                  "or relative spectrum."));
    EXPECT_EQ(SelectionNote(e, 2), QStringLiteral("ENTRY OPTIONS:\nEnter spectrum data directly into the table.\n"
                                                  "Press Enter Octave Band Spectrum.\nPress Enter Relative Spectrum."));
}

TEST(ClosingChecksTest, MissingPointsAreFoundInOrderUnderTheOldName)
{
    LumoData d = Tables();
    d.SpecName(3) = QStringLiteral("Old three");
    SpectraEdit e = CopySpectra(d);
    Fill(e, 0, 30);
    e.SpecNameEdit(3) = QStringLiteral("New three");
    Fill(e, 3, 40);
    e.SpecLevelEdit(3, 25) = 0;
    e.SpecLevelEdit(3, 28) = 0;
    e.SpecNameEdit(9) = QStringLiteral("Nine");
    Fill(e, 9, 40);
    e.SpecLevelEdit(9, 39) = 0;

    // (searched from, the spectrum found, its band, the name and band asked about)
    for (const auto& [from, spectrum, band, name, hz] :
         {std::tuple{0, 3, 25, "Old three", "315"}, {4, 9, 39, "Empty", "8000"}}) {
        const auto found = FindMissingPoint(d, e, from);
        ASSERT_TRUE(found.has_value()) << from;
        EXPECT_EQ(std::tuple(found->spectrum, found->band), std::tuple(spectrum, band));
        EXPECT_EQ(found->question, QStringLiteral("The masking spectrum %1 has a data point missing at %2 Hz.  Yes to "
                                                  "correct data. No to delete spectrum.")
                                       .arg(QLatin1String(name), QLatin1String(hz)));
    }
    EXPECT_FALSE(FindMissingPoint(d, e, 10).has_value());
}

TEST(ClosingChecksTest, BackgroundNameIsRestored)
{
    SpectraEdit e;
    e.SpecNameEdit(0) = BackgroundName;
    EXPECT_FALSE(RestoreBackgroundName(e).has_value());
    e.SpecNameEdit(0) = QStringLiteral("Quiet");
    const auto m = RestoreBackgroundName(e);
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(*m, (Message{QStringLiteral("The background spectrum title was changed or deleted. It has been "
                                          "re-entered."),
                           QStringLiteral("Data Error"), MsgIcon::Critical}));
    EXPECT_EQ(e.SpecNameEdit(0), BackgroundName);
}

TEST(ClosingChecksTest, DataUnderNoNameIsReported)
{
    SpectraEdit e;
    for (int s = 0; s <= 20; ++s)
        e.SpecNameEdit(s) = EmptySpectrumName;
    Fill(e, 0, 30);  // the background is not looked at
    EXPECT_FALSE(FindUnnamedData(e).has_value());
    e.SpecNameEdit(12) = QStringLiteral("   ");
    e.SpecLevelEdit(12, 27) = 5;
    e.SpecLevelEdit(14, 22) = 5;
    const auto u = FindUnnamedData(e);
    ASSERT_TRUE(u.has_value());
    EXPECT_EQ(std::tuple(u->spectrum, u->band), std::tuple(12, 27));
    EXPECT_EQ(u->message, (Message{"There are data in masking spectrum number 12 but no title or an Empty title. "
                                   "Please correct.",
                                   "Data Error", MsgIcon::Critical}));
}

TEST(CopySpectraTest, OnlyTheDataBandsGoBackAndForth)
{
    LumoData d = Tables();
    d.SpecLevel(5, 21) = 9;
    d.SpecLevel(5, 22) = 44.5f;
    SpectraEdit e = CopySpectra(d);
    EXPECT_EQ(e.SpecLevelEdit(5, 21), 0);
    EXPECT_EQ(e.SpecLevelEdit(5, 22), 44.5f);
    e.SpecNameEdit(5) = QStringLiteral("Five");
    e.SpecLevelEdit(5, 39) = 20;
    e.SpecLevelEdit(5, 40) = 20;
    StoreSpectra(d, e);
    EXPECT_EQ(std::tuple(d.SpecName(5), d.SpecLevel(5, 39), d.SpecLevel(5, 40), d.SpecLevel(5, 21)),
              std::tuple("Five", 20, 0, 9));
}

}  // namespace
}  // namespace kov
