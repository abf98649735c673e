#include <gtest/gtest.h>

#include "core/FolderFile.h"
#include "core/Tables.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
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
    folder.write(FolderFileName, file);
    i16 failed = 1;
    ReadFolderFile(d, prompter, failed);
    ASSERT_EQ(failed, 0);
    EXPECT_EQ(d.CommPort, 3);
    EXPECT_EQ(d.CommText, QStringLiteral("COM settings, kept"));
    EXPECT_EQ(d.MG24Folder, QStringLiteral("C:\\Program Files\\MG24\\"));
    EXPECT_EQ(d.Ie45Folder, QStringLiteral("/home/\u0141ukasz/IE 45"));
    EXPECT_EQ(FolderFileBytes(d), file);

    d.CommPort = 4;
    ASSERT_TRUE(WriteFolderFile(d, prompter));
    EXPECT_EQ(folder.read(FolderFileName), QByteArray(file).replace(0, 1, "4"));
}

TEST_F(FolderFileTest, DamagedFileFailsAndKeepsTheSettings)
{
    struct Case {
        const char* name;
        QByteArray bytes;  // empty: no file
    };
    const Case cases[] = {
        {"missing", {}},
        {"six fields", "1,\"\",\"\",\"\",\"\",\"\"\r\n"},
        {"port is not a number", "COM1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
        {"last text cut short", "1,\"\",\"\",\"\",\"\",\"\",\"/home/ann/jo"},
    };
    for (const Case& c : cases) {
        if (c.bytes.isEmpty())
            folder.remove(FolderFileName);
        else
            folder.write(FolderFileName, c.bytes);
        d.CommPort = 5;
        d.MG24Folder = QStringLiteral("kept");
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        ReadFolderFile(d, p, failed);
        EXPECT_EQ(failed, -1) << c.name;
        ASSERT_EQ(p.messages().size(), 1u) << c.name;
        EXPECT_EQ(p.messages()[0].title, QStringLiteral("Fatal Error"));
        EXPECT_EQ(p.messages()[0].icon, MsgIcon::Critical);
        EXPECT_TRUE(p.messages()[0].text.endsWith(QStringLiteral(" occurred in opening the directory file.")))
            << p.messages()[0].text.toStdString();
        EXPECT_EQ(d.CommPort, 5) << c.name;
        EXPECT_EQ(d.MG24Folder, QStringLiteral("kept")) << c.name;
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
