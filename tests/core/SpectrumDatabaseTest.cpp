#include <gtest/gtest.h>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::ScriptedPrompter;
using kov::test::TempProgramFolder;

namespace {

const QString LoadSuffix = QStringLiteral(" occurred in loading the masking spectrum database.");

// 21 records as an older copy of the program wrote them, with entry 1 spread over two lines the way a reader
// that goes field by field must accept, and both spellings of numbers below 1.
QByteArray HandWrittenDatabase(int records = 21)
{
    QByteArray out;
    for (int i = 0; i < records; ++i) {
        if (i == 0) {
            out += "\"Background\",48,47,46,45.5,44,43,42,41,40,39,38,37,36,35,34,33,32,31\r\n";
        } else if (i == 1) {
            out += "\"Open plan  with panels \", 50.5 ,50,50,49,48,47,46,45,44,\r\n43,42,41,40,39,38,37,36,.5\r\n";
        } else if (i == 2) {
            out += "\"Ceiling\",0.5,-.5,-0.5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r\n";
        } else {
            out += "\"Empty\",0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0\r\n";
        }
    }
    return out;
}

}  // namespace

class SpectrumDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override { InitTables(d); }
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    LumoData d;
};

TEST_F(SpectrumDatabaseTest, ShippedDatabaseLoadsAndWritesBackByteForByte)
{
    i16 failed = 1;
    LoadSpectrumDatabase(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(d.SpecName(0), QStringLiteral("Background"));
    for (int i = 0; i < SpectrumCount; ++i)
        EXPECT_FALSE(d.SpecName(i).isEmpty()) << i;
    EXPECT_EQ(SpectrumDatabaseBytes(d), folder.read(SpectrumDatabaseFileName));
}

TEST_F(SpectrumDatabaseTest, ReadsOlderFilesAndWritesTheCanonicalForm)
{
    folder.write(SpectrumDatabaseFileName, HandWrittenDatabase());
    i16 failed = 1;
    LoadSpectrumDatabase(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(d.SpecName(1), QStringLiteral("Open plan  with panels "));  // blanks are part of the name
    EXPECT_FLOAT_EQ(d.SpecLevel(0, 25), 45.5f);
    EXPECT_FLOAT_EQ(d.SpecLevel(0, 30), 40.f);
    EXPECT_FLOAT_EQ(d.SpecLevel(1, 22), 50.5f);
    EXPECT_FLOAT_EQ(d.SpecLevel(1, 31), 43.f);  // first field after the line break
    EXPECT_FLOAT_EQ(d.SpecLevel(1, 39), .5f);
    EXPECT_FLOAT_EQ(d.SpecLevel(2, 22), .5f);
    EXPECT_FLOAT_EQ(d.SpecLevel(2, 23), -.5f);
    EXPECT_FLOAT_EQ(d.SpecLevel(2, 24), -.5f);

    const QByteArray bytes = SpectrumDatabaseBytes(d);
    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 22);  // 21 lines and what follows the last line end
    EXPECT_EQ(lines[1], "\"Open plan  with panels \",50.5,50,50,49,48,47,46,45,44,43,42,41,40,39,38,37,36,.5\r");
    EXPECT_EQ(lines[2], "\"Ceiling\",.5,-.5,-.5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r");
    EXPECT_TRUE(lines[21].isEmpty());
}

TEST_F(SpectrumDatabaseTest, SaveThenLoadRestoresEveryValueExactly)
{
    for (int i = 0; i < SpectrumCount; ++i) {
        // Latin-1 and beyond, in turns.
        d.SpecName(i) = QStringLiteral("%1 %2").arg(i % 2 ? u"Z\u00fcrich" : u"\u0141\u00f3d\u017a").arg(i);
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            d.SpecLevel(i, b) = 30.f + static_cast<f32>(i) / 3.f + static_cast<f32>(b) * 0.1f;  // not 7-digit values
    }
    i16 failed = 1;
    SaveSpectrumDatabase(d, failed);
    ASSERT_EQ(failed, 0);
    LumoData back;
    InitTables(back);
    LoadSpectrumDatabase(back, prompter, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(back.SpecName, d.SpecName);
    EXPECT_EQ(back.SpecLevel, d.SpecLevel);
}

TEST_F(SpectrumDatabaseTest, DamagedFilesFailWithTheFatalErrorAndChangeNothing)
{
    QByteArray nonNumber = HandWrittenDatabase();
    nonNumber.replace("45.5", "45,5x");
    QByteArray cutShort = HandWrittenDatabase(20) + "\"Last\"" + QByteArray(",0").repeated(17) + ",88.64198\r\n";
    cutShort.chop(5);
    struct Case {
        const char* name;
        QByteArray bytes;  // empty: no file at all
        const char* mentions;
    };
    const Case cases[] = {
        {"missing file", {}, "KOVSPEC.DAT"},
        {"20 records", HandWrittenDatabase(20), "Input past end of file"},
        {"non-number level", nonNumber, "line 1"},
        {"empty file", QByteArray(" "), "line 1"},
        {"cut inside its last number", cutShort, "Input past end of file on line 22"},
    };
    for (const Case& c : cases) {
        if (c.bytes.isEmpty())
            folder.remove(SpectrumDatabaseFileName);
        else
            folder.write(SpectrumDatabaseFileName, c.bytes);
        LumoData before;
        InitTables(before);
        before.SpecName(0) = QStringLiteral("kept");
        before.SpecLevel(0, 22) = 12.5f;
        before.SpecLevel(20, 39) = 7.f;
        LumoData after = before;
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        LoadSpectrumDatabase(after, p, failed);
        EXPECT_EQ(failed, -1) << c.name;
        ASSERT_EQ(p.messages().size(), 1u) << c.name;
        const auto& m = p.messages().front();
        EXPECT_EQ(m.title, QStringLiteral("Fatal Error")) << c.name;
        EXPECT_EQ(m.icon, MsgIcon::Critical) << c.name;
        EXPECT_TRUE(m.text.endsWith(LoadSuffix)) << c.name << ": " << m.text.toStdString();
        EXPECT_TRUE(m.text.contains(QLatin1String(c.mentions))) << c.name << ": " << m.text.toStdString();
        EXPECT_TRUE(after == before) << c.name;
    }
}

TEST_F(SpectrumDatabaseTest, BandsOutsideTheStoredRangeAreLeftAlone)
{
    for (int b : {12, 21, 40, 43})
        d.SpecLevel(4, b) = static_cast<f32>(b);
    i16 failed = 1;
    LoadSpectrumDatabase(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    for (int b : {12, 21, 40, 43})
        EXPECT_EQ(d.SpecLevel(4, b), static_cast<f32>(b));
}

TEST_F(SpectrumDatabaseTest, SaveIntoAMissingFolderFailsWithoutAMessage)
{
    d.AppPath = folder.file(QStringLiteral("no/such/folder"));
    i16 failed = 0;
    SaveSpectrumDatabase(d, failed);
    EXPECT_EQ(failed, -1);
}
