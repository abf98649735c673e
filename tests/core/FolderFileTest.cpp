#include <gtest/gtest.h>

#include <QDir>

#include "core/FolderFile.h"
#include "core/Tables.h"
#include "tests/support/ParseError.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::ParseError;
using kov::test::ScriptedPrompter;
using kov::test::TempProgramFolder;

class FolderFileTest : public ::testing::Test {
protected:
    void SetUp() override { InitTables(d); }
    TempProgramFolder folder;
    ScriptedPrompter prompter;
    LumoData d;
};

TEST_F(FolderFileTest, ShippedFileHasPortOneAndNoFolders)
{
    i16 failed = 1;
    ReadFolderFile(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(d.CommPort, 1);
    for (const QString* s : {&d.CommText, &d.MG24Folder, &d.Dsp30Folder, &d.Paa3Folder, &d.Bk2250Folder, &d.Ie45Folder})
        EXPECT_TRUE(s->isEmpty());
    EXPECT_EQ(FolderFileBytes(d), folder.read(FolderFileName));
}

TEST_F(FolderFileTest, RoundTripIsByteExact)
{
    const QByteArray file =
        "3,\"COM settings, kept\",\"C:\\Program Files\\MG24\\\",\"D:\\DSP30\",\"\",\"E:\\B&K\","
        "\"/home/\xc5\x81ukasz/IE 45\"\r\n";
    const Parsed<LumoData> parsed = ParseFolderFile(file, d);
    ASSERT_EQ(ParseError(parsed), "");
    d = std::get<LumoData>(parsed);
    EXPECT_EQ(d.CommPort, 3);
    EXPECT_EQ(d.CommText, QStringLiteral("COM settings, kept"));
    EXPECT_EQ(d.MG24Folder, QStringLiteral("C:\\Program Files\\MG24\\"));
    EXPECT_EQ(d.Ie45Folder, QStringLiteral("/home/\u0141ukasz/IE 45"));
    EXPECT_EQ(FolderFileBytes(d), file);

    d.CommPort = 4;
    ASSERT_TRUE(WriteFolderFile(d, prompter));
    EXPECT_EQ(folder.read(FolderFileName), QByteArray(file).replace(0, 1, "4"));
}

TEST_F(FolderFileTest, AFileThatDoesNotReadIsFatalAndKeepsTheSettings)
{
    const QString shown = QDir::toNativeSeparators(folder.file(FolderFileName));
    const struct {
        QByteArray bytes;  // empty: no file
        QString message;
    } cases[] = {
        {{}, QStringLiteral("File not found: %1 occurred in opening the directory file.").arg(shown)},
        {"1,\"\"\r\n",
         QStringLiteral("Input past end of file on line 2 of %1 occurred in opening the directory file.").arg(shown)},
    };
    for (const auto& c : cases) {
        if (c.bytes.isEmpty())
            folder.remove(FolderFileName);
        else
            folder.write(FolderFileName, c.bytes);
        const LumoData before = d;
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        ReadFolderFile(d, p, failed);
        EXPECT_EQ(failed, -1);
        EXPECT_TRUE(d == before);
        ASSERT_EQ(p.messages().size(), 1u);
        EXPECT_EQ(p.messages()[0].text, c.message);
        EXPECT_EQ(p.messages()[0].title, QStringLiteral("Fatal Error"));
        EXPECT_EQ(p.messages()[0].icon, MsgIcon::Critical);
    }
}

TEST_F(FolderFileTest, UnwritableFolderGivesAMessageNotAnEnd)
{
    d.AppPath = folder.file(QStringLiteral("gone"));
    prompter.answer(MsgAnswer::Ok);
    EXPECT_FALSE(WriteFolderFile(d, prompter));
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("File Error"));
    EXPECT_TRUE(prompter.messages()[0].text.contains(QStringLiteral("DIRFILE.DAT")));
}
