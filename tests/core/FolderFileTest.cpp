#include <gtest/gtest.h>

#include <tuple>
#include <utility>

#include <QDir>

#include "core/FolderFile.h"
#include "core/Tables.h"
#include "tests/support/ParseError.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

using namespace kov;
using kov::test::ParseError;
using kov::test::ScriptedPrompter;
using kov::test::Shown;
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
    // Port 1 and six empty texts, all of them read: written back from memory they give the bytes again.
    EXPECT_EQ(folder.read(FolderFileName), "1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
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
    // Written back byte for byte below; this name would read back the same had its bytes been taken for Latin-1.
    EXPECT_EQ(d.Ie45Folder, QStringLiteral("/home/\u0141ukasz/IE 45"));
    EXPECT_EQ(FolderFileBytes(d), file);

    d.CommPort = 4;
    ASSERT_TRUE(WriteFolderFile(d, prompter));
    EXPECT_EQ(folder.read(FolderFileName), QByteArray(file).replace(0, 1, "4"));
}

TEST_F(FolderFileTest, AFileThatDoesNotReadIsFatalAndKeepsTheSettings)
{
    const QString shown = QDir::toNativeSeparators(folder.file(FolderFileName));
    // (bytes, none for no file; message)
    const std::pair<QByteArray, QString> cases[] = {
        {{}, QStringLiteral("File not found: %1 occurred in opening the directory file.").arg(shown)},
        {"1,\"\"\r\n",
         QStringLiteral("Input past end of file on line 2 of %1 occurred in opening the directory file.").arg(shown)},
    };
    for (const auto& [bytes, message] : cases) {
        if (bytes.isEmpty())
            folder.remove(FolderFileName);
        else
            folder.write(FolderFileName, bytes);
        const LumoData before = d;
        ScriptedPrompter p;
        p.answer(MsgAnswer::Ok);
        i16 failed = 0;
        ReadFolderFile(d, p, failed);
        EXPECT_EQ(failed, -1);
        EXPECT_TRUE(d == before);
        EXPECT_EQ(p.messages(), Shown({{message, "Fatal Error", MsgIcon::Critical}}));
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

TEST_F(FolderFileTest, SerialLineFieldsAreOptional)
{
    const QByteArray seven = "3,\"\",\"C:\\MG24\",\"\",\"\",\"\",\"\"\r\n";
    // The seven fields with more after them on the same line.
    const auto with = [&](const char* more) { return QByteArray(seven).insert(seven.size() - 2, more); };
    // (bytes, device, baud, written or empty for the bytes read)
    const std::tuple<QByteArray, QString, int, QByteArray> cases[] = {
        {seven, {}, 9600, {}},
        {with(",\"/dev/ttyUSB0\",19200"), QStringLiteral("/dev/ttyUSB0"), 19200, {}},
        {with(",\"\",4800"), {}, 4800, {}},
        {with(",\"/dev/ttyACM0\",9600"), QStringLiteral("/dev/ttyACM0"), 9600, {}},
        // Not a rate a port offers, but read as it stands: the download names what is wrong with it.
        {with(",\"\",12345"), {}, 12345, {}},
        // The defaults written out by hand read as the defaults and are written as the seven fields.
        {with(",\"\",9600"), {}, 9600, seven},
        {with(",\"/dev/ttyUSB1\""), QStringLiteral("/dev/ttyUSB1"), 9600, with(",\"/dev/ttyUSB1\",9600")},
        {with(",\"\",1E30"), {}, 0, with(",\"\",0")},
        {with("\r\n\r\n"), {}, 9600, seven},
    };
    for (const auto& [bytes, device, baud, written] : cases) {
        SCOPED_TRACE(bytes.toStdString());
        // Stale settings in the copy read into, so that a field left unread shows.
        LumoData before = d;
        before.CommDevice = QStringLiteral("/dev/stale");
        before.CommBaud = 38400;
        const Parsed<LumoData> parsed = ParseFolderFile(bytes, before);
        ASSERT_EQ(ParseError(parsed), "");
        const LumoData& read = std::get<LumoData>(parsed);
        // The seven fields before the line's settings are pinned by the bytes written back.
        EXPECT_EQ(read.CommDevice, device);
        EXPECT_EQ(read.CommBaud, baud);
        EXPECT_EQ(FolderFileBytes(read), written.isEmpty() ? bytes : written);
    }
}

TEST_F(FolderFileTest, ADamagedRateRefusesTheFile)
{
    const QByteArray file = "1,\"\",\"\",\"\",\"\",\"\",\"\",\"/dev/ttyUSB0\",fast\r\n";
    EXPECT_EQ(ParseError(ParseFolderFile(file, d)), "line 1: Type mismatch (\"fast\" is not a number)");
}
