#include <gtest/gtest.h>

#include "core/LumoData.h"
#include "core/Project.h"
#include "core/ProjectFile.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

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

// The project-set fields and their working copies, pair by pair, as the Mask and Page windows edit them.
// MaskReserved has no working copy.
template <typename F>
void ForEachMaskingPair(LumoData& d, F&& f)
{
    f(d.MaskTestCount, d.MaskTestCountEdit), f(d.MaskHighCutFreq, d.MaskHighCutFreqEdit);
    f(d.MaskLowCutFreq, d.MaskLowCutFreqEdit), f(d.MaskHighCutSlope, d.MaskHighCutSlopeEdit);
    f(d.MaskLowCutSlope, d.MaskLowCutSlopeEdit), f(d.MaskSpectrumIndex, d.MaskSpectrumIndexEdit);
    f(d.MaskGainChange, d.MaskGainChangeEdit), f(d.MaskCorrection, d.MaskCorrectionEdit);
    f(d.MaskFinal, d.MaskFinalEdit), f(d.MaskFinalOctave, d.MaskFinalOctaveEdit), f(d.MaskTest, d.MaskTestEdit);
    f(d.MaskAverage, d.MaskAverageEdit), f(d.MaskMatched, d.MaskMatchedEdit);
}

template <typename F>
void ForEachPagingPair(LumoData& d, F&& f)
{
    f(d.PageChannelOpen, d.PageChannelOpenEdit), f(d.PageLowpassFreq, d.PageLowpassFreqEdit);
    f(d.PageHighpassFreq, d.PageHighpassFreqEdit), f(d.PageLevel, d.PageLevelEdit);
    f(d.PageSpectrum, d.PageSpectrumEdit), f(d.PageEqFreq, d.PageEqFreqEdit), f(d.PageEqWidth, d.PageEqWidthEdit);
    f(d.PageEqLevel, d.PageEqLevelEdit), f(d.PageSpeakerOption, d.PageSpeakerOptionEdit);
    f(d.PageSpecOption, d.PageSpecOptionEdit);
}

// Project set and working copies hold values unlike each other's, so a copy in the wrong direction shows.
LumoData Scrambled()
{
    LumoData d;
    Scrambler s1(1), s2(2), s3(3), s4(4);
    ForEachMaskingPair(d, [&](auto& project, auto& edit) { s1(project), s2(edit); });
    s1(d.MaskReserved);
    ForEachPagingPair(d, [&](auto& project, auto& edit) { s3(project), s4(edit); });
    return d;
}

const auto ToEdit = [](auto& project, auto& edit) { edit = project; };
const auto ToProject = [](auto& project, auto& edit) { project = edit; };

}  // namespace

TEST(CopyRoutines, MaskingCopiesAllSixChannelsAndNothingElse)
{
    const LumoData before = Scrambled();
    LumoData loaded = before;
    LoadMaskingChannels(loaded);
    LumoData want = before;
    ForEachMaskingPair(want, ToEdit);
    EXPECT_TRUE(loaded == want);

    // And back: the project set takes the edit copies; MaskReserved stays.
    LumoData stored = before;
    StoreMaskingChannels(stored);
    want = before;
    ForEachMaskingPair(want, ToProject);
    EXPECT_TRUE(stored == want);
}

TEST(CopyRoutines, PagingStoreCopiesTheEditCopiesBack)
{
    const LumoData before = Scrambled();
    LumoData stored = before;
    StorePagingChannels(stored);
    LumoData want = before;
    ForEachPagingPair(want, ToProject);
    EXPECT_TRUE(stored == want);
}

TEST(NewProject, ResetsTheListedFieldsAndKeepsTheRest)
{
    kov::test::TempProgramFolder folder;
    kov::test::ScriptedPrompter prompter;
    LumoData d = Scrambled();
    ASSERT_TRUE(LoadProgramData(d, prompter));
    d.ProjectFileName = QStringLiteral("C:\\JOBS\\A.MSK");
    d.ProjectBaseName = QStringLiteral("A");
    d.ProjectEqName = QStringLiteral("A.EQ");
    d.ProjectInfo(1) = QStringLiteral("Job");
    d.ProjectInfo(2) = QStringLiteral("1/2/2026");
    d.Generator = GeneratorZUVAR24;
    d.ProjectStage = 3;
    d.SaveConfirmed = -1;
    d.CurrentChannel = 4;
    // Stale program data, so that reading it again shows.
    d.SpecName(0) = QStringLiteral("stale");
    d.CommPort = 9;
    const LumoData before = d;

    ASSERT_TRUE(NewProject(d, prompter));

    // Every field NewProject resets, written out; all others keep their values: the base name, the matched spectra,
    // the paging filters and levels, paging elements 7 and 8, EQ controls 7 and 8, the edit copies.
    LumoData want = before;
    want.SpecName(0) = QStringLiteral("Background");
    want.CommPort = 1;
    want.CurrentChannel = 1;
    want.ProjectStage = want.SaveConfirmed = want.Generator = want.PageSpecOption = 0;
    want.ProjectFileName.clear();
    want.ProjectEqName.clear();
    want.ProjectInfo.fill(QString());
    for (int p = 1; p <= 2; ++p) {
        for (int j = 1; j <= 6; ++j) {  // the project file holds controls 1..6 only
            want.PageEqFreq(p, j) = 0;
            want.PageEqWidth(p, j) = want.PageEqLevel(p, j) = 0;
        }
    }
    for (int c = 1; c <= 6; ++c) {
        want.MaskReserved(c) = want.PageChannelOpen(c) = want.MaskSpectrumIndex(c) = want.MaskTestCount(c) = 0;
        want.MaskHighCutFreq(c) = 0;
        want.MaskLowCutFreq(c) = 100;
        want.MaskHighCutSlope(c) = 12;
        want.MaskLowCutSlope(c) = -12;
        want.MaskGainChange(c) = 0;
        for (int b = FirstBand; b <= LastBand; ++b)
            want.PageSpectrum(c, b) = 0;
    }
    // Channels 1..6 are the whole of these.
    want.MaskFinal = want.MaskFinalOctave = want.MaskAverage = want.MaskCorrection = {};
    want.MaskTest = {};
    // The empty project counts as saved.
    want.SavedProjectImage = ProjectFileBytes(d);
    EXPECT_TRUE(d == want);
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
