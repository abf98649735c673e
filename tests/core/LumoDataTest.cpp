#include <gtest/gtest.h>

#include "core/LumoData.h"
#include "core/Project.h"
#include "tests/support/TempProgramFolder.h"
#include "tests/support/ScriptedPrompter.h"

using namespace kov;

namespace {

// Gives every number of the data object a value of its own, so that a copy routine taking one field too many or
// too few shows up as a difference somewhere.
class Scrambler {
public:
    explicit Scrambler(int seed) : m_next(seed * 1000 + 1) {}

    template <typename T, int Lo, int Hi>
    void operator()(Indexed<T, Lo, Hi>& a)
    {
        for (int i = Lo; i <= Hi; ++i)
            a(i) = value<T>();
    }
    template <typename T, int Lo1, int Hi1, int Lo2, int Hi2>
    void operator()(Indexed2<T, Lo1, Hi1, Lo2, Hi2>& a)
    {
        for (int i = Lo1; i <= Hi1; ++i)
            for (int j = Lo2; j <= Hi2; ++j)
                a(i, j) = value<T>();
    }
    template <typename T>
    void operator()(Indexed3<T, 1, 10, 1, 6, FirstBand, LastBand>& a)
    {
        for (int t = 1; t <= 10; ++t)
            for (int c = 1; c <= 6; ++c)
                for (int b = FirstBand; b <= LastBand; ++b)
                    a(t, c, b) = value<T>();
    }
    void operator()(i16& v) { v = value<i16>(); }

private:
    template <typename T>
    T value()
    {
        m_next = (m_next * 7 + 3) % 30011;
        return static_cast<T>(m_next) / (std::is_same_v<T, f32> ? T(4) : T(1));
    }
    int m_next;
};

template <typename F>
void ForEachMaskingField(LumoData& d, F&& f)
{
    f(d.MaskTestCount), f(d.MaskHighCutFreq), f(d.MaskLowCutFreq), f(d.MaskHighCutSlope), f(d.MaskLowCutSlope);
    f(d.MaskSpectrumIndex), f(d.MaskGainChange), f(d.MaskCorrection), f(d.MaskFinal), f(d.MaskFinalOctave);
    f(d.MaskTest), f(d.MaskAverage), f(d.MaskMatched), f(d.MaskReserved);
}

template <typename F>
void ForEachMaskingEditField(LumoData& d, F&& f)
{
    f(d.MaskTestCountEdit), f(d.MaskHighCutFreqEdit), f(d.MaskLowCutFreqEdit), f(d.MaskHighCutSlopeEdit);
    f(d.MaskLowCutSlopeEdit), f(d.MaskSpectrumIndexEdit), f(d.MaskGainChangeEdit), f(d.MaskCorrectionEdit);
    f(d.MaskFinalEdit), f(d.MaskFinalOctaveEdit), f(d.MaskTestEdit), f(d.MaskAverageEdit), f(d.MaskMatchedEdit);
}

template <typename F>
void ForEachPagingField(LumoData& d, F&& f)
{
    f(d.PageChannelOpen), f(d.PageLowpassFreq), f(d.PageHighpassFreq), f(d.PageLevel), f(d.PageSpectrum);
    f(d.PageEqFreq), f(d.PageEqWidth), f(d.PageEqLevel), f(d.PageSpeakerOption), f(d.PageSpecOption);
}

template <typename F>
void ForEachPagingEditField(LumoData& d, F&& f)
{
    f(d.PageChannelOpenEdit), f(d.PageLowpassFreqEdit), f(d.PageHighpassFreqEdit), f(d.PageLevelEdit);
    f(d.PageSpectrumEdit), f(d.PageEqFreqEdit), f(d.PageEqWidthEdit), f(d.PageEqLevelEdit);
    f(d.PageSpeakerOptionEdit), f(d.PageSpecOptionEdit);
}

LumoData Scrambled()
{
    LumoData d;
    Scrambler s1(1), s2(2), s3(3), s4(4);
    ForEachMaskingField(d, s1);
    ForEachMaskingEditField(d, s2);
    ForEachPagingField(d, s3);
    ForEachPagingEditField(d, s4);
    return d;
}

}  // namespace

TEST(CopyRoutines, MaskingCopiesAllSixChannelsAndNothingElse)
{
    const LumoData before = Scrambled();

    LumoData loaded = before;
    LoadMaskingChannels(loaded);
    LumoData want = before;
    want.MaskTestCountEdit = before.MaskTestCount;
    want.MaskHighCutFreqEdit = before.MaskHighCutFreq;
    want.MaskLowCutFreqEdit = before.MaskLowCutFreq;
    want.MaskHighCutSlopeEdit = before.MaskHighCutSlope;
    want.MaskLowCutSlopeEdit = before.MaskLowCutSlope;
    want.MaskSpectrumIndexEdit = before.MaskSpectrumIndex;
    want.MaskGainChangeEdit = before.MaskGainChange;
    want.MaskCorrectionEdit = before.MaskCorrection;
    want.MaskFinalEdit = before.MaskFinal;
    want.MaskFinalOctaveEdit = before.MaskFinalOctave;
    want.MaskTestEdit = before.MaskTest;
    want.MaskAverageEdit = before.MaskAverage;
    want.MaskMatchedEdit = before.MaskMatched;
    EXPECT_TRUE(loaded == want);

    // And back: the project set takes the edit copies; MaskReserved has no copy and stays.
    LumoData stored = before;
    StoreMaskingChannels(stored);
    LumoData back = before;
    back.MaskTestCount = before.MaskTestCountEdit;
    back.MaskHighCutFreq = before.MaskHighCutFreqEdit;
    back.MaskLowCutFreq = before.MaskLowCutFreqEdit;
    back.MaskHighCutSlope = before.MaskHighCutSlopeEdit;
    back.MaskLowCutSlope = before.MaskLowCutSlopeEdit;
    back.MaskSpectrumIndex = before.MaskSpectrumIndexEdit;
    back.MaskGainChange = before.MaskGainChangeEdit;
    back.MaskCorrection = before.MaskCorrectionEdit;
    back.MaskFinal = before.MaskFinalEdit;
    back.MaskFinalOctave = before.MaskFinalOctaveEdit;
    back.MaskTest = before.MaskTestEdit;
    back.MaskAverage = before.MaskAverageEdit;
    back.MaskMatched = before.MaskMatchedEdit;
    EXPECT_TRUE(stored == back);
}

TEST(CopyRoutines, PagingStoreCopiesTheEditCopiesBack)
{
    const LumoData before = Scrambled();
    LumoData stored = before;
    StorePagingChannels(stored);
    LumoData want = before;
    want.PageSpecOption = before.PageSpecOptionEdit;
    want.PageSpeakerOption = before.PageSpeakerOptionEdit;
    want.PageChannelOpen = before.PageChannelOpenEdit;
    want.PageLowpassFreq = before.PageLowpassFreqEdit;
    want.PageHighpassFreq = before.PageHighpassFreqEdit;
    want.PageLevel = before.PageLevelEdit;
    want.PageSpectrum = before.PageSpectrumEdit;
    want.PageEqFreq = before.PageEqFreqEdit;
    want.PageEqWidth = before.PageEqWidthEdit;
    want.PageEqLevel = before.PageEqLevelEdit;
    EXPECT_TRUE(stored == want);
}

TEST(NewProject, ResetsTheListedFieldsAndKeepsTheRest)
{
    kov::test::TempProgramFolder folder;
    kov::test::ScriptedPrompter prompter;
    LumoData d = Scrambled();
    d.ProjectFileName = QStringLiteral("C:\\JOBS\\A.MSK");
    d.ProjectBaseName = QStringLiteral("A");
    d.ProjectEqName = QStringLiteral("A.EQ");
    d.ProjectInfo(1) = QStringLiteral("Job");
    d.ProjectInfo(2) = QStringLiteral("1/2/2026");
    d.Generator = GeneratorZUVAR24;
    d.ProjectStage = 3;
    d.SaveConfirmed = -1;
    d.CurrentChannel = 4;
    const LumoData before = d;

    ASSERT_TRUE(NewProject(d, prompter));
    EXPECT_TRUE(prompter.messages().empty());

    EXPECT_EQ(d.CurrentChannel, 1);
    EXPECT_EQ(d.ProjectStage, 0);
    EXPECT_EQ(d.SaveConfirmed, 0);
    EXPECT_EQ(d.Generator, 0);
    EXPECT_EQ(d.PageSpecOption, 0);
    EXPECT_TRUE(d.ProjectFileName.isEmpty());
    EXPECT_TRUE(d.ProjectEqName.isEmpty());
    EXPECT_TRUE(d.ProjectInfo(1).isEmpty() && d.ProjectInfo(2).isEmpty());
    EXPECT_EQ(d.ProjectBaseName, before.ProjectBaseName);
    for (int p = 1; p <= 2; ++p) {
        for (int j = 1; j <= 8; ++j) {
            const bool stored = j <= 6;  // the project file holds controls 1..6 only
            EXPECT_EQ(d.PageEqFreq(p, j), stored ? 0 : before.PageEqFreq(p, j)) << p << "," << j;
            EXPECT_EQ(d.PageEqWidth(p, j), stored ? 0 : before.PageEqWidth(p, j)) << p << "," << j;
            EXPECT_EQ(d.PageEqLevel(p, j), stored ? 0 : before.PageEqLevel(p, j)) << p << "," << j;
        }
    }
    for (int c = 1; c <= 6; ++c) {
        EXPECT_EQ(d.MaskReserved(c), 0);
        EXPECT_EQ(d.PageChannelOpen(c), 0);
        EXPECT_EQ(d.MaskSpectrumIndex(c), 0);
        EXPECT_EQ(d.MaskTestCount(c), 0);
        EXPECT_EQ(d.MaskHighCutFreq(c), 0);
        EXPECT_EQ(d.MaskLowCutFreq(c), 100);
        EXPECT_EQ(d.MaskHighCutSlope(c), 12);
        EXPECT_EQ(d.MaskLowCutSlope(c), -12);
        EXPECT_EQ(d.MaskGainChange(c), 0);
        for (int b = FirstBand; b <= LastBand; ++b) {
            EXPECT_EQ(d.MaskFinal(c, b), 0);
            EXPECT_EQ(d.MaskFinalOctave(c, b), 0);
            EXPECT_EQ(d.PageSpectrum(c, b), 0);
            EXPECT_EQ(d.MaskAverage(c, b), 0);
            EXPECT_EQ(d.MaskCorrection(c, b), 0);
            for (int t = 1; t <= 10; ++t)
                EXPECT_EQ(d.MaskTest(t, c, b), 0);
        }
    }
    // Not reset: the matched spectra, the paging filters and levels, paging elements 7 and 8, the edit copies.
    EXPECT_TRUE(d.MaskMatched == before.MaskMatched);
    EXPECT_TRUE(d.PageLowpassFreq == before.PageLowpassFreq);
    EXPECT_TRUE(d.PageHighpassFreq == before.PageHighpassFreq);
    EXPECT_TRUE(d.PageLevel == before.PageLevel);
    EXPECT_TRUE(d.MaskTestEdit == before.MaskTestEdit);
    for (int p : {7, 8}) {
        EXPECT_EQ(d.PageChannelOpen(p), before.PageChannelOpen(p));
        EXPECT_EQ(d.PageSpectrum(p, 30), before.PageSpectrum(p, 30));
    }
    // ...and the program's data is loaded again.
    EXPECT_EQ(d.SpecName(0), QStringLiteral("Background"));
    EXPECT_EQ(d.CommPort, 1);
}

TEST(NewProject, AFailedReloadIsReported)
{
    kov::test::TempProgramFolder folder;
    folder.remove(QStringLiteral("DIRFILE.DAT"));
    kov::test::ScriptedPrompter prompter;
    prompter.answer(MsgAnswer::Ok);
    LumoData d;
    EXPECT_FALSE(NewProject(d, prompter));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Fatal Error"));
}
