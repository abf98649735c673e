#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>

#include <tuple>
#include <utility>

#include "core/EqFile.h"
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

const QByteArray FreshPagingLine = "0" + QByteArray(",0,0,0").repeated(8);
const QByteArray FreshMaskingLine = "0,100,12,7000,12,0" + QByteArray(",0").repeated(31);

const QString EqName = QStringLiteral("HANDBUILT.EQ");

// Field n (1-based) of line l (1-based).
QByteArray Field(const QByteArray& bytes, int line, int n)
{
    return FileLines(bytes).value(line - 1).split(',').value(n - 1);
}

// Every element of each array to one value.
template <typename T, typename... Arrays>
void FillAll(T value, Arrays&... arrays)
{
    (arrays.fill(value), ...);
}

// Field of band b in a masking line.
int BandField(int b)
{
    return 7 + (b - 13);
}

}  // namespace

class EqFileTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_FALSE(golden.isEmpty()) << "golden HANDBUILT.EQ is missing";
        InitTables(d);
        HandBuiltProject(d);
        ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("mg24")));
        d.MG24Folder = folder.file(QStringLiteral("mg24")) + u'/';
    }
    QString eqPath() const { return folder.file(QStringLiteral("mg24/") + EqName); }
    QByteArray eqBytes() const { return folder.read(QStringLiteral("mg24/") + EqName); }
    void write(i16 channel, i16 kind)
    {
        prompter.answer(MsgAnswer::Ok);
        WriteEqFile(d, prompter, channel, kind);
    }
    QString confirmation(const char* what, int channel) const
    {
        return QStringLiteral("%1 %2 data have been saved to %3.")
            .arg(QLatin1String(what), QString::number(channel), eqPath());
    }

    const QByteArray golden = GoldenFile(EqName);
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    LumoData d;
};

TEST_F(EqFileTest, WritingEveryChannelGivesTheGoldenFileAndConfirmsEachOne)
{
    Shown confirmations;
    for (const auto& [channel, kind, what] : {std::tuple<i16, i16, const char*>{3, 1, "Masking channel"},
                                              {4, 1, "Masking channel"},
                                              {5, 1, "Masking channel"},
                                              {6, 1, "Masking channel"},
                                              {1, 2, "Paging channel"},
                                              {2, 2, "Paging channel"}}) {
        write(channel, kind);
        confirmations.push_back({confirmation(what, channel), "MG24 File", MsgIcon::Information});
    }
    EXPECT_EQ(prompter.messages(), confirmations);
    EXPECT_TRUE(eqBytes() == golden) << eqBytes().toStdString();
    EXPECT_TRUE(EqFileBytes(d) == golden);
}

TEST_F(EqFileTest, FirstWriteCreatesTheFileWithFreshLinesAroundTheChannel)
{
    // (channel, kind, its line); a paging line takes all eight controls, two more than the unit has.
    for (const auto& [channel, kind, line] : {std::tuple<i16, i16, int>{3, 1, 3}, {2, 2, 2}}) {
        SCOPED_TRACE(channel);
        folder.remove(QStringLiteral("mg24/") + EqName);
        ASSERT_FALSE(QFileInfo::exists(eqPath()));
        write(channel, kind);
        const QList<QByteArray> lines = FileLines(eqBytes());
        ASSERT_EQ(lines.size(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(lines[i], i == line - 1 ? FileLines(golden)[i] : i < 2 ? FreshPagingLine : FreshMaskingLine) << i;
    }
    EXPECT_TRUE(FileLines(golden)[1].endsWith(",3000,1.6666666,3.3"));  // control 8
    EXPECT_EQ(std::tuple(d.EqPageChannel(2), d.EqPageFreq(2, 7)), std::tuple(2, d.PageEqFreq(2, 7)));
}

TEST_F(EqFileTest, ALaterChannelKeepsTheEarlierLineAsTheFileHoldsIt)
{
    write(3, 1);
    // Neither the project nor the image in memory may leak into line 3 now: it comes from the file.
    d.MaskGainChange(3) = 9.f;
    d.MaskCorrection(3, 30) = 9.f;
    d.EqGain(3) = 9.f;
    d.EqBand(3, 30) = 9.f;
    write(4, 1);
    const QList<QByteArray> lines = FileLines(eqBytes());
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(std::tuple(lines[2], lines[3], lines[4], d.EqGain(3)),
              std::tuple(FileLines(golden)[2], FileLines(golden)[3], FreshMaskingLine, 2.f));
}

TEST_F(EqFileTest, GainAndCorrectionsRoundHalfToEven)
{
    // (value, as written)
    const std::tuple<f32, const char*> cases[] = {
        {2.5f, "2"},   {3.5f, "4"},   {-0.5f, "0"}, {0.5f, "0"},    {1.5f, "2"},
        {-1.5f, "-2"}, {-2.5f, "-2"}, {2.49f, "2"}, {-2.51f, "-3"}, {11.7f, "12"},
    };
    for (const auto& [value, written] : cases) {
        d.MaskGainChange(5) = value;
        d.MaskCorrection(5, 22) = value;
        d.MaskCorrection(5, 39) = value;
        write(5, 1);
        const QByteArray bytes = eqBytes();
        EXPECT_EQ(std::tuple(Field(bytes, 5, 6), Field(bytes, 5, BandField(22)), Field(bytes, 5, BandField(39))),
                  std::tuple(written, written, written))
            << value;
    }
}

TEST_F(EqFileTest, BandsOutsideTheMeasuredRangeAreWrittenAsZero)
{
    for (int b = FirstBand; b <= LastBand; ++b)
        d.MaskCorrection(6, b) = 9.f;
    write(6, 1);
    const QByteArray bytes = eqBytes();
    ASSERT_EQ(FileLines(bytes)[5].split(',').size(), 37);
    for (int b = 13; b <= 43; ++b) {
        const bool measured = b >= 22 && b <= 39;
        EXPECT_EQ(Field(bytes, 6, BandField(b)), measured ? "9" : "0") << b;
    }
}

TEST_F(EqFileTest, FolderRuleFillsInTheProgramFolderAndASeparator)
{
    const QString app = d.AppPath;
    const QString sep = QDir::separator();
    // (the folder set, the folder after)
    const std::tuple<QString, QString> cases[] = {
        {QString(), app + sep},
        {QStringLiteral("   "), app + sep},
        {QStringLiteral("/opt/mg24"), QStringLiteral("/opt/mg24") + sep},
        {QStringLiteral("/opt/mg24/"), QStringLiteral("/opt/mg24/")},
        {QStringLiteral("C:\\MG24\\"), QStringLiteral("C:\\MG24\\")},
    };
    for (const auto& [mg24, after] : cases) {
        d.MG24Folder = mg24;
        EXPECT_EQ(std::tuple(EqFilePath(d, EqName), d.MG24Folder), std::tuple(after + EqName, after))
            << mg24.toStdString();
    }
}

TEST_F(EqFileTest, ThePathStaysInTheFolderWhateverTheName)
{
    d.MG24Folder = QStringLiteral("/opt/mg24/");
    // (name, the path made of it)
    const std::tuple<const char*, const char*> cases[] = {
        {"X.EQ", "/opt/mg24/X.EQ"},
        {"A..B.EQ", "/opt/mg24/A..B.EQ"},
        {"C:X.EQ", "/opt/mg24/C:X.EQ"},
        {"../../x.EQ", "/opt/mg24/x.EQ"},
        {"..\\..\\x.EQ", "/opt/mg24/x.EQ"},
        {"/etc/x.EQ", "/opt/mg24/x.EQ"},
        {"C:\\MG24\\X.EQ", "/opt/mg24/X.EQ"},
        {"\\\\server\\share\\X.EQ", "/opt/mg24/X.EQ"},
        {"..", "/opt/mg24/"},
        {".. ", "/opt/mg24/"},
        {"...", "/opt/mg24/"},
        {"sub/..", "/opt/mg24/"},
        {"x.EQ/", "/opt/mg24/"},
    };
    for (const auto& [name, path] : cases)
        EXPECT_EQ(EqFilePath(d, QString::fromLatin1(name)).toStdString(), path) << name;
}

TEST_F(EqFileTest, ReadingTheGoldenFileFillsTheWholeImage)
{
    FillAll<i16>(-7, d.EqPageChannel, d.EqPageFreq, d.EqChannel, d.EqLowCutFreq, d.EqLowCutSlope, d.EqHighCutFreq,
                 d.EqHighCutSlope);
    FillAll(-7.f, d.EqPageWidth, d.EqPageLevel, d.EqGain, d.EqBand);
    const Parsed<LumoData> parsed = ParseEqFile(golden, d);
    ASSERT_EQ(ParseError(parsed), "");
    const LumoData& read = std::get<LumoData>(parsed);
    EXPECT_TRUE(EqFileBytes(read) == golden);
    // The bytes written back pin every whole number read; these are written rounded or cut to seven digits.
    EXPECT_EQ(std::tuple(read.EqPageWidth(1, 1), read.EqGain(5), read.EqBand(4, 34)), std::tuple(1.f / 3.f, 4.f, 2.f));
    // Not in the file.
    EXPECT_EQ(std::tuple(read.EqPageChannel(3), read.EqBand(3, 12)), std::tuple(-7, -7.f));
}

TEST_F(EqFileTest, AMissingFileIsReportedOnlyThroughTheFlags)
{
    const LumoData before = d;
    const QString gone = folder.file(QStringLiteral("gone")) + u'/';
    // (the folder, the file's name)
    for (const auto& [mg24, name] :
         {std::pair{before.MG24Folder, QStringLiteral("NONE.EQ")}, {before.MG24Folder, QString()}, {gone, EqName}}) {
        SCOPED_TRACE(mg24.toStdString() + name.toStdString());
        d.MG24Folder = mg24;
        i16 failed = 0, notFound = 0;
        ReadEqFile(d, prompter, name, failed, notFound);
        EXPECT_EQ(std::tuple(failed, notFound), std::tuple(-1, -1));
        d.MG24Folder = before.MG24Folder;
        EXPECT_TRUE(d == before);
    }
    // No message either: the prompter fails the test on any message it was not told to expect.
}

TEST_F(EqFileTest, DamagedBytesGiveTheLineAndTheReason)
{
    const QList<QByteArray> lines = FileLines(golden);
    QList<QByteArray> badNumber = lines;
    badNumber[2].replace("160,-18", "160,-l8");
    // A line numbered with a channel other than its own (or 0, not written yet).
    const auto renumbered = [&](int line, const QByteArray& channel) {
        QList<QByteArray> changed = lines;
        changed[line - 1] = channel + changed[line - 1].mid(changed[line - 1].indexOf(','));
        return JoinLines(changed);
    };
    // (what, the bytes, the error)
    const std::tuple<const char*, QByteArray, const char*> cases[] = {
        {"five lines", JoinLines(lines.mid(0, 5)), "line 6: Input past end of file"},
        {"letter in a slope", JoinLines(badNumber), "line 3: Type mismatch (\"-l8\" is not a number)"},
        {"paging line 2 numbered 32767", renumbered(2, "32767"),
         "line 2: Subscript out of range (channel \"32767\" is not 0 or 2)"},
        {"masking line 6 numbered -1", renumbered(6, "-1"),
         "line 6: Subscript out of range (channel \"-1\" is not 0 or 6)"},
    };
    for (const auto& [what, bytes, error] : cases)
        EXPECT_EQ(ParseError(ParseEqFile(bytes, d)), error) << what;
}

TEST_F(EqFileTest, AnUnreadableFileStopsTheWriteAndIsLeftAlone)
{
    const QString shown = QDir::toNativeSeparators(eqPath());
    // (what, the bytes, none for a folder of that name, message)
    const std::tuple<const char*, QByteArray, QString> cases[] = {
        {"a damaged file", JoinLines(FileLines(golden).mid(0, 5)),
         QStringLiteral("Input past end of file in %1 occurred on line 6 in opening EQfile").arg(shown)},
        {"a folder",
         {},
         QStringLiteral("Cannot open %1 (it is a folder) occurred on line 1 in opening EQfile").arg(shown)},
    };
    for (const auto& [what, bytes, message] : cases) {
        if (bytes.isEmpty())
            ASSERT_TRUE(QDir(folder.path()).mkpath(QStringLiteral("mg24/") + EqName));
        else
            folder.write(QStringLiteral("mg24/") + EqName, bytes);
        d.EqGain.fill(-7.f);
        d.EqPageChannel.fill(-7);
        const LumoData before = d;
        prompter.clear();
        write(3, 1);
        EXPECT_TRUE(d == before) << what;
        EXPECT_EQ(prompter.messages(), Shown({{message, "File Error", MsgIcon::Critical}})) << what;
        EXPECT_TRUE(bytes.isEmpty() ? QFileInfo(eqPath()).isDir() : eqBytes() == bytes) << what;
        folder.remove(QStringLiteral("mg24/") + EqName);
    }
}

TEST_F(EqFileTest, AFailedWriteIsReportedAndConfirmsNothing)
{
    d.MG24Folder = folder.file(QStringLiteral("gone")) + u'/';
    prompter.answer(MsgAnswer::Ok);
    WriteEqFile(d, prompter, 3, 1);
    ASSERT_EQ(prompter.messages().size(), 1u);
    const auto& m = prompter.messages().front();
    EXPECT_TRUE(m.text.contains(QDir::toNativeSeparators(folder.file(QStringLiteral("gone/")) + EqName)))
        << m.text.toStdString();
    EXPECT_TRUE(m.text.endsWith(QLatin1String(" occurred on line 1 in saving EQ file"))) << m.text.toStdString();
    EXPECT_EQ(std::tuple(m.title, m.icon), std::tuple("File Error", MsgIcon::Critical));
    EXPECT_FALSE(QFileInfo::exists(folder.file(QStringLiteral("gone"))));
}

TEST_F(EqFileTest, NoEqFileNameWritesNothing)
{
    for (const QString& name : {QString(), QStringLiteral("  ")}) {
        d.ProjectEqName = name;
        const LumoData before = d;
        prompter.clear();
        write(3, 1);
        EXPECT_TRUE(d == before);
        EXPECT_EQ(prompter.messages(), Shown({{"The project has no EQ file name yet, so the ZUV-AR24 settings were not "
                                               "saved. Open a masking channel of the project to name the EQ file.",
                                               "File Error", MsgIcon::Exclamation}}));
        EXPECT_TRUE(QDir(folder.file(QStringLiteral("mg24"))).isEmpty());
    }
}
