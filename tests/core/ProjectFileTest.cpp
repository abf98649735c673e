#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cmath>
#include <memory>
#include <tuple>

#include "core/ProjectFile.h"
#include "core/Tables.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/support/ParseError.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::FileLines;
using kov::test::GoldenFile;
using kov::test::HandBuiltProject;
using kov::test::JoinLines;
using kov::test::ParseError;
using kov::test::ScriptedPrompter;
using kov::test::Shown;
using kov::test::TempProgramFolder;

namespace {

// What the project file holds, stated independently of the code under test.
void CopyStoredFields(const LumoData& from, LumoData& to)
{
    to.ProjectInfo = from.ProjectInfo;
    to.ProjectStage = from.ProjectStage;
    to.Generator = from.Generator;
    to.PageSpecOption = from.PageSpecOption;
    to.ProjectEqName = from.ProjectEqName;
    to.PageSpeakerOption = from.PageSpeakerOption;
    for (int s = 1; s <= 6; ++s) {
        to.MaskTestCount(s) = from.MaskTestCount(s);
        to.MaskReserved(s) = from.MaskReserved(s);
        to.MaskGainChange(s) = from.MaskGainChange(s);
        to.MaskHighCutFreq(s) = from.MaskHighCutFreq(s);
        to.MaskLowCutFreq(s) = from.MaskLowCutFreq(s);
        to.MaskHighCutSlope(s) = from.MaskHighCutSlope(s);
        to.MaskLowCutSlope(s) = from.MaskLowCutSlope(s);
        to.MaskSpectrumIndex(s) = from.MaskSpectrumIndex(s);
        to.PageLowpassFreq(s) = from.PageLowpassFreq(s);
        to.PageHighpassFreq(s) = from.PageHighpassFreq(s);
        to.PageLevel(s) = from.PageLevel(s);
        to.EqPageChannel(s) = from.EqPageChannel(s);
        to.PageChannelOpen(s) = from.PageChannelOpen(s);
        for (int k = 1; k <= 2; ++k) {
            to.PageEqFreq(k, s) = from.PageEqFreq(k, s);
            to.PageEqWidth(k, s) = from.PageEqWidth(k, s);
            to.PageEqLevel(k, s) = from.PageEqLevel(k, s);
        }
        for (int b = FirstDataBand; b <= LastDataBand; ++b) {
            to.MaskAverage(s, b) = from.MaskAverage(s, b);
            to.MaskCorrection(s, b) = from.MaskCorrection(s, b);
            to.PageSpectrum(s, b) = from.PageSpectrum(s, b);
            to.MaskFinal(s, b) = from.MaskFinal(s, b);
            to.MaskFinalOctave(s, b) = from.MaskFinalOctave(s, b);
            to.MaskMatched(s, b) = from.MaskMatched(s, b);
            for (int t = 1; t <= 10; ++t)
                to.MaskTest(t, s, b) = from.MaskTest(t, s, b);
        }
    }
}

// Every element of each array to one value.
template <typename T, typename... Arrays>
void FillAll(T value, Arrays&... arrays)
{
    (arrays.fill(value), ...);
}

// A project unlike the hand-built one in every field, stored or not, so that a field the reader skips or one it
// should not touch shows up in a comparison.
void FillWithOtherValues(LumoData& d)
{
    d.ProjectInfo.fill(QStringLiteral("old"));
    d.ProjectStage = 1;
    d.Generator = GeneratorDA2500;
    d.PageSpecOption = -4;
    d.ProjectFileName = QStringLiteral("/old/OLD.MSK");
    d.ProjectBaseName = QStringLiteral("OLD");
    d.ProjectEqName = QStringLiteral("OLD.EQ");
    d.SaveConfirmed = 0;
    d.CurrentChannel = 4;
    FillAll<i16>(-7, d.PageChannelOpen, d.MaskTestCount, d.MaskReserved, d.MaskHighCutFreq, d.MaskLowCutFreq,
                 d.MaskHighCutSlope, d.MaskLowCutSlope, d.MaskSpectrumIndex, d.PageLowpassFreq, d.PageHighpassFreq,
                 d.PageEqFreq, d.PageSpeakerOption, d.PageEqFreqEdit, d.EqPageChannel, d.EqChannel);
    FillAll(-7.5f, d.MaskGainChange, d.MaskCorrection, d.MaskFinal, d.MaskFinalOctave, d.MaskTest, d.MaskAverage,
            d.MaskMatched, d.PageLevel, d.PageSpectrum, d.PageEqWidth, d.PageEqLevel, d.MaskCorrectionEdit,
            d.MaskTestEdit, d.EqBand);
    d.MG24Folder = QStringLiteral("/old/mg24/");
}

std::string FirstDifference(const QByteArray& actual, const QByteArray& expected)
{
    const QList<QByteArray> a = FileLines(actual);
    const QList<QByteArray> e = FileLines(expected);
    for (qsizetype i = 0; i < std::min(a.size(), e.size()); ++i) {
        if (a[i] != e[i])
            return "line " + std::to_string(i + 1) + ": " + a[i].toStdString() + " <> " + e[i].toStdString();
    }
    return "line counts " + std::to_string(a.size()) + " and " + std::to_string(e.size());
}

}  // namespace

class ProjectFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(golden.isEmpty()) << "golden HANDBUILT.MSK is missing";
        InitTables(d);
        HandBuiltProject(d);
    }
    // The golden file with one text replaced in one line (1-based).
    QByteArray changed(int line, const char* from, const char* to) const
    {
        QList<QByteArray> lines = FileLines(golden);
        lines[line - 1].replace(from, to);
        return JoinLines(lines);
    }

    const QByteArray golden = GoldenFile(QStringLiteral("HANDBUILT.MSK"));
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    LumoData d;
};

TEST_F(ProjectFileTest, ValuesTheFileDoesNotHoldDoNotReachIt)
{
    for (int s = 1; s <= 6; ++s) {
        for (int b : {12, 21, 40, 43}) {
            d.MaskCorrection(s, b) = 9.f;
            d.MaskTest(1, s, b) = 9.f;
            d.PageSpectrum(s, b) = 9.f;
        }
    }
    for (int k = 1; k <= 2; ++k) {
        d.PageEqFreq(k, 7) = 9;
        d.PageEqLevel(k, 8) = 9.f;
    }
    d.PageLowpassFreq(7) = 9;
    d.EqChannel(3) = 9;
    d.MaskTestEdit(1, 1, 22) = 9.f;
    const QByteArray bytes = ProjectFileBytes(d);
    EXPECT_EQ(FileLines(bytes).size(), ProjectFileLines);
    EXPECT_TRUE(bytes == golden) << FirstDifference(bytes, golden);
}

TEST_F(ProjectFileTest, SaveWritesTheFileAndSetsTheBaseName)
{
    const QString path = folder.file(QStringLiteral("Harbour.v2.msk"));
    i16 failed = 1;
    SaveProjectFile(d, path, failed);
    EXPECT_EQ(std::tuple(failed, d.ProjectBaseName), std::tuple(0, "HARBOUR"));
    EXPECT_TRUE(folder.read(QStringLiteral("Harbour.v2.msk")) == golden);
    EXPECT_TRUE(d.SavedProjectImage == golden);
}

TEST_F(ProjectFileTest, OpenRestoresEveryStoredFieldAndLeavesTheRestAlone)
{
    folder.write(QStringLiteral("HANDBUILT.MSK"), golden);
    LumoData opened;
    FillWithOtherValues(opened);
    // Held only in memory: controls 7 and 8, paging elements 7 and 8, bands outside 22..39.
    opened.PageEqFreq(1, 7) = 1600;
    opened.PageEqWidth(2, 8) = .25f;
    opened.PageEqLevel(1, 8) = -3.f;
    opened.PageLowpassFreq(8) = 6300;
    opened.MaskCorrection(3, 21) = 4.f;
    opened.MaskTest(2, 5, 40) = 55.f;
    LumoData expected = opened;
    CopyStoredFields(d, expected);
    expected.ProjectBaseName = QStringLiteral("HANDBUILT");

    i16 failed = 1;
    OpenProjectFile(opened, prompter, folder.file(QStringLiteral("HANDBUILT.MSK")), failed);
    ASSERT_EQ(failed, 0);
    // The whole object: stored fields from the file, everything else (file name, SaveConfirmed too) untouched.
    EXPECT_TRUE(opened == expected);
}

TEST_F(ProjectFileTest, WrittenAndReadAgainIsByteIdenticalForAwkwardNumbersAndTexts)
{
    // Values whose 7-digit text reads back as a different single, and values at the ends of the i16 range.
    d.MaskGainChange(2) = std::nextafter(1.f, 2.f);
    d.PageLevel(4) = 12345.678f;
    d.MaskTest(10, 2, 39) = -1.f / 7.f;
    d.MaskMatched(6, 22) = 1e-6f;
    d.MaskFinal(5, 30) = -0.f;
    d.MaskReserved(4) = -32768;
    d.PageEqFreq(2, 6) = 32767;
    d.ProjectInfo(1) = QStringLiteral("\u0141\u00d3D\u0179");
    d.ProjectInfo(2).clear();
    d.ProjectEqName = QStringLiteral("\u0141\u00d3D\u0179.EQ");

    const QByteArray bytes = ProjectFileBytes(d);
    const Parsed<LumoData> back = ParseProjectFile(bytes, LumoData());
    ASSERT_EQ(ParseError(back), "");
    EXPECT_TRUE(ProjectFileBytes(std::get<LumoData>(back)) == bytes);
    LumoData expected;
    CopyStoredFields(d, expected);
    EXPECT_TRUE(std::get<LumoData>(back) == expected);
}

TEST_F(ProjectFileTest, DamagedBytesGiveTheLineAndTheReason)
{
    // (what, bytes, error)
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"truncated after line 1200", JoinLines(FileLines(golden).mid(0, 1200)), "line 1201: Input past end of file"},
        {"last field missing", golden.left(golden.size() - 4), "line 1232: Input past end of file"},
        // MaskTest(1, 1, 22)
        {"letter in a number", changed(26, "31.75", "3l.75"), "line 26: Type mismatch (\"3l.75\" is not a number)"},
        {"generator beyond an integer", changed(1, ",3,5,2,", ",3,40000,2,"), "line 1: Overflow (\"40000\")"},
        {"generator unknown", changed(1, ",3,5,2,", ",3,7,2,"),
         "line 1: Subscript out of range (generator \"7\" is not 0 to 6)"},
        {"text for a number", changed(2, ",1,3,", ",\"one\",3,"), "line 2: Type mismatch (\"one\" is not a number)"},
        {"EQ file in another folder", changed(2, "\"HANDBUILT.EQ\"", "\"../HANDBUILT.EQ\""),
         "line 2: Bad file name (EQ file \"../HANDBUILT.EQ\" is not a bare file name)"},
        {"empty file", QByteArray(), "line 1: Input past end of file"},
    };
    for (const auto& [what, bytes, error] : cases)
        EXPECT_EQ(ParseError(ParseProjectFile(bytes, LumoData())), error) << what;
}

TEST_F(ProjectFileTest, AFileThatDoesNotOpenLeavesTheProjectExactlyAsItWas)
{
    folder.write(QStringLiteral("DAMAGED.MSK"), changed(26, "31.75", "3l.75"));
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("FOLDER.MSK")));
    const auto shown = [&](const char* name) { return QDir::toNativeSeparators(folder.file(QLatin1String(name))); };
    // (name, message)
    const std::tuple<const char*, QString> cases[] = {
        {"DAMAGED.MSK", QStringLiteral("Type mismatch (\"3l.75\" is not a number) in %1 occured on line 26.")
                            .arg(shown("DAMAGED.MSK"))},
        {"MISSING.MSK", QStringLiteral("File not found: %1 occured on line 1.").arg(shown("MISSING.MSK"))},
        {"FOLDER.MSK", QStringLiteral("Cannot open %1 (it is a folder) occured on line 1.").arg(shown("FOLDER.MSK"))},
    };
    for (const auto& [name, message] : cases) {
        LumoData before;
        FillWithOtherValues(before);
        LumoData data = before;
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        OpenProjectFile(data, p, folder.file(QLatin1String(name)), failed);
        EXPECT_EQ(std::tuple(failed, data == before), std::tuple(-1, true)) << name;
        EXPECT_EQ(p.messages(), Shown({{message, "File Error", MsgIcon::Critical}})) << name;
    }
}

TEST_F(ProjectFileTest, OlderFilesWithOtherSpellingsRead)
{
    // Line breaks are only separators, ".5" and "0.5" are the same number, and blanks around numbers are ignored.
    QList<QByteArray> lines = FileLines(golden);
    lines[20] = "5, 0 ,0.33333334,7000,100,12,-12,0,4000,200,\r\n72.5";
    lines[22] = "250,0.33333334,-1.65";
    const Parsed<LumoData> opened = ParseProjectFile(JoinLines(lines), LumoData());
    ASSERT_EQ(ParseError(opened), "");
    const QByteArray bytes = ProjectFileBytes(std::get<LumoData>(opened));
    EXPECT_TRUE(bytes == golden) << FirstDifference(bytes, golden);
}

TEST_F(ProjectFileTest, AFailedSaveIsQuietAndLeavesTheFolderAndTheBaseNameAlone)
{
    ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("X.MSK")));
    const auto entries = [&] {
        return QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    };
    const QStringList before = entries();
    d.ProjectBaseName = QStringLiteral("KEPT");
    // A folder that does not exist, and a folder where the file should be.
    for (const char* name : {"no/such/A.MSK", "X.MSK"}) {
        i16 failed = 0;
        SaveProjectFile(d, folder.file(QString::fromLatin1(name)), failed);
        EXPECT_EQ(std::tuple(failed, d.ProjectBaseName, entries()), std::tuple(-1, "KEPT", before)) << name;
    }
    EXPECT_TRUE(QFileInfo(folder.file(QStringLiteral("X.MSK"))).isDir());
}

TEST(FileBaseName, DropsFolderAndExtensionAndUpperCases)
{
    // (path, base)
    const std::tuple<const char*, const char*> cases[] = {
        {"C:\\JOBS\\A.B.MSK", "A"},
        {"/home/kov/harbour.msk", "HARBOUR"},
        {"C:\\JOBS/mixed\\Office Two.MSK", "OFFICE TWO"},
        {"/jobs.old/plain", "PLAIN"},
        {"NOEXT", "NOEXT"},
        {"/root.msk", "ROOT"},  // the folder's separator is the first character
        {".MSK", ""},
        {"/jobs/", ""},
        {"", ""},
    };
    for (const auto& [path, base] : cases)
        EXPECT_EQ(FileBaseName(QString::fromLatin1(path)), QString::fromLatin1(base)) << path;
}

TEST_F(ProjectFileTest, HeaderPreviewReadsNameAndDate)
{
    folder.write(QStringLiteral("H.MSK"), golden);
    folder.write(QStringLiteral("SHORT.MSK"), "\"Only a name\"\r\n");
    QString name = QStringLiteral("before"), date = QStringLiteral("before");
    EXPECT_TRUE(ReadProjectHeader(folder.file(QStringLiteral("H.MSK")), name, date));
    EXPECT_EQ(std::tuple(name, date), std::tuple("Harbour House, 3rd floor  east", "3/14/2024"));

    for (const char* bad : {"SHORT.MSK", "NONE.MSK"}) {
        name = date = QStringLiteral("before");
        EXPECT_FALSE(ReadProjectHeader(folder.file(QString::fromLatin1(bad)), name, date)) << bad;
        EXPECT_EQ(std::tuple(name, date), std::tuple("before", "before")) << bad;
    }
}
