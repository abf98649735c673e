#include <gtest/gtest.h>

#include <utility>

#include <QDir>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "tests/support/ParseError.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::ParseError;
using kov::test::ScriptedPrompter;
using kov::test::ShippedFile;
using kov::test::Shown;
using kov::test::TempProgramFolder;

namespace {

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

TEST_F(SpectrumDatabaseTest, ShippedDatabaseLoadsAndSavesBackByteForByte)
{
    i16 failed = 1;
    LoadSpectrumDatabase(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    // Every name and level read is written back from memory into a file of its own.
    folder.remove(SpectrumDatabaseFileName);
    SaveSpectrumDatabase(d, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(folder.read(SpectrumDatabaseFileName), ShippedFile(SpectrumDatabaseFileName));
}

TEST_F(SpectrumDatabaseTest, ReadsOlderFilesAndWritesTheCanonicalForm)
{
    const Parsed<LumoData> parsed = ParseSpectrumDatabase(HandWrittenDatabase(), d);
    ASSERT_EQ(ParseError(parsed), "");
    const LumoData& read = std::get<LumoData>(parsed);
    EXPECT_EQ(read.SpecName(1), QStringLiteral("Open plan  with panels "));  // blanks are part of the name

    // Each level is written back as the shortest text that reads as it, so the lines pin every value read.
    const QList<QByteArray> lines = SpectrumDatabaseBytes(read).split('\n');
    ASSERT_EQ(lines.size(), 22);  // 21 lines and what follows the last line end
    EXPECT_EQ(lines[0], "\"Background\",48,47,46,45.5,44,43,42,41,40,39,38,37,36,35,34,33,32,31\r");
    EXPECT_EQ(lines[1], "\"Open plan  with panels \",50.5,50,50,49,48,47,46,45,44,43,42,41,40,39,38,37,36,.5\r");
    EXPECT_EQ(lines[2], "\"Ceiling\",.5,-.5,-.5,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1\r");
    EXPECT_TRUE(lines[21].isEmpty());
}

TEST_F(SpectrumDatabaseTest, WrittenThenReadRestoresEveryValueAndLeavesOtherBandsAlone)
{
    for (int i = 0; i < SpectrumCount; ++i) {
        // Latin-1 and beyond, in turns.
        d.SpecName(i) = QStringLiteral("%1 %2").arg(i % 2 ? u"Z\u00fcrich" : u"\u0141\u00f3d\u017a").arg(i);
        for (int b = FirstBand; b <= LastBand; ++b)
            d.SpecLevel(i, b) = 30.f + static_cast<f32>(i) / 3.f + static_cast<f32>(b) * 0.1f;  // not 7-digit values
    }
    LumoData into = d;
    into.SpecName.fill(QStringLiteral("old"));
    for (int i = 0; i < SpectrumCount; ++i) {
        for (int b = FirstDataBand; b <= LastDataBand; ++b)
            into.SpecLevel(i, b) = -1.f;
    }
    const Parsed<LumoData> parsed = ParseSpectrumDatabase(SpectrumDatabaseBytes(d), into);
    ASSERT_EQ(ParseError(parsed), "");
    EXPECT_TRUE(std::get<LumoData>(parsed) == d);
}

TEST_F(SpectrumDatabaseTest, AFileThatDoesNotLoadIsFatalAndChangesNothing)
{
    const QString shown = QDir::toNativeSeparators(folder.file(SpectrumDatabaseFileName));
    // (bytes, none for no file at all; message)
    const std::pair<QByteArray, QString> cases[] = {
        {{}, QStringLiteral("File not found: %1 occurred in loading the masking spectrum database.").arg(shown)},
        {HandWrittenDatabase(20),
         QStringLiteral("Input past end of file on line 22 of %1 occurred in loading the masking spectrum database.")
             .arg(shown)},
    };
    for (const auto& [bytes, message] : cases) {
        if (bytes.isEmpty())
            folder.remove(SpectrumDatabaseFileName);
        else
            folder.write(SpectrumDatabaseFileName, bytes);
        const LumoData before = d;
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        LoadSpectrumDatabase(d, p, failed);
        EXPECT_EQ(failed, -1);
        EXPECT_TRUE(d == before);
        EXPECT_EQ(p.messages(), Shown({{message, "Fatal Error", MsgIcon::Critical}}));
    }
}

TEST_F(SpectrumDatabaseTest, SaveIntoAMissingFolderFailsWithoutAMessage)
{
    d.AppPath = folder.file(QStringLiteral("no/such/folder"));
    i16 failed = 0;
    SaveSpectrumDatabase(d, failed);
    EXPECT_EQ(failed, -1);
}
