#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>

#include "core/FolderFile.h"
#include "core/LumoClientWindow.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::RecordedMessage;
using test::Shown;

class InstallerTest : public test::WindowTest<LumoClient> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setOpener(QStringLiteral("GoProj"), window, 6370, 4900);
        d->ProjectInfo(1) = QStringLiteral("HARBOUR");
        d->ProjectInfo(2) = QStringLiteral("3/7/2026");
        d->Generator = GeneratorDA2500;
        d->ProjectStage = 1;
        main.updateMainMenus();
    }
    void typeInstaller(const char* company, const char* name)
    {
        open(QStringLiteral("GoProj"));
        c<QLineEdit>("TxtInstallerCompany")->setText(QString::fromLatin1(company));
        c<QLineEdit>("TxtInstallerName")->setText(QString::fromLatin1(name));
    }
    const RecordedMessage saveAsNote{QStringLiteral(" To save data to a file, press SAVE AS."),
                                     QStringLiteral("FileSave"), MsgIcon::Information};
};

// Named once in Project Information, the installer is kept with the program's settings for every project.
TEST_F(InstallerTest, DoneKeepsTheInstallerInTheFolderFile)
{
    typeInstaller(" Acme Sound ", "J. Smith");
    prompter.answer(MsgAnswer::Ok);
    press(QStringLiteral("CmdDone"));
    EXPECT_EQ(prompter.messages(), Shown({saveAsNote}));
    EXPECT_EQ(d->InstallerCompany, QStringLiteral("Acme Sound"));
    EXPECT_TRUE(folder.read(FolderFileName).endsWith(",\"Acme Sound\",\"J. Smith\"\r\n"))
        << folder.read(FolderFileName).toStdString();

    // The next visit shows them; clearing both takes them out of the file again.
    typeInstaller("", "");
    EXPECT_EQ(d->InstallerName, QStringLiteral("J. Smith"));
    prompter.answer(MsgAnswer::Ok);
    press(QStringLiteral("CmdDone"));
    EXPECT_EQ(folder.read(FolderFileName), "1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n");
}

TEST_F(InstallerTest, AFolderThatCannotBeWrittenSaysSoAndTheNamesStayInUse)
{
    typeInstaller("Acme Sound", "");
    folder.remove(FolderFileName);
    ASSERT_TRUE(QDir(folder.path()).mkdir(FolderFileName));
    prompter.answer(MsgAnswer::Ok);
    prompter.answer(MsgAnswer::Ok);
    press(QStringLiteral("CmdDone"));
    ASSERT_EQ(prompter.messages().size(), 2U);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("File Error"));
    EXPECT_EQ(prompter.messages()[1], saveAsNote);
    EXPECT_EQ(d->InstallerCompany, QStringLiteral("Acme Sound"));
}

}  // namespace
}  // namespace kov
