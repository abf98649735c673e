#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "core/EqFile.h"
#include "core/LumoGetFileWindow.h"
#include "core/ProjectFile.h"
#include "core/WindowPlacement.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::LetEventsRun;
using test::Shown;

class LumoGetFileTest : public test::WindowTest<LumoGetFile> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        LumoData lobby;
        lobby.ProjectInfo(1) = QStringLiteral("LOBBY, EAST WING");
        lobby.ProjectInfo(2) = QStringLiteral("11/2/2025");
        lobby.ProjectStage = 1;
        lobby.Generator = GeneratorDU3001;
        lobby.MaskTestCount(2) = 3;
        lobbyBytes = ProjectFileBytes(lobby);
        folder.write(QStringLiteral("LOBBY.MSK"), lobbyBytes);
    }

    // Mode 1 as File, Open opens it; mode 2 as the Review window does, for an EQ file.
    LumoGetFile& open(i16 mode = 1)
    {
        d->GetFileMode = mode;
        window = std::make_unique<LumoGetFile>(*d, prompter, &main);
        CenterAndShowForm(window.get(), 3700, 4525);
        LetEventsRun();
        return *window;
    }
    QListWidget* files() const { return c<QListWidget>(QStringLiteral("FileBoxOffice")); }
    void clickFile(const char* name) const
    {
        const QList<QListWidgetItem*> found = files()->findItems(QString::fromLatin1(name), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << name;
        files()->setCurrentItem(found.front());
    }

    QByteArray lobbyBytes;
};

TEST_F(LumoGetFileTest, ListsOnlyTheProjectFilesOfTheProgramFolder)
{
    folder.write(QStringLiteral("annex.msk"), lobbyBytes);
    folder.write(QStringLiteral("NOTES.TXT"), "x");
    folder.write(QStringLiteral("OFFICE.EQ"), "x");
    QDir(folder.path()).mkpath(QStringLiteral("jobs"));
    folder.write(QStringLiteral("jobs/ELSEWHERE.MSK"), lobbyBytes);

    open();
    EXPECT_EQ(window->objectName(), QStringLiteral("LumoGetFile"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Open a file in ") + d->AppPath);
    EXPECT_EQ(rows(QStringLiteral("FileBoxOffice")), (QStringList{"annex.msk", "LOBBY.MSK"}));
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(note().isEmpty());

    EXPECT_EQ(files()->toolTip(), QStringLiteral("Click to select and review ID."));
    for (const auto& [button, caption, tip] :
         {std::tuple{"CmdOpen", "Open", "Open a file in the list above"}, {"CmdCancel", "Cancel", "Exit this form"}}) {
        EXPECT_EQ(c<QPushButton>(QString::fromLatin1(button))->text(), QString::fromLatin1(caption));
        EXPECT_EQ(c(QString::fromLatin1(button))->toolTip(), QString::fromLatin1(tip));
    }
}

TEST_F(LumoGetFileTest, ClickingAFileShowsItsProjectAndCancelKeepsTheProjectFileName)
{
    d->ProjectFileName = folder.file(QStringLiteral("EARLIER.MSK"));
    open();
    // Open before any click asks for a file (ProjectCommandsTest has the message) and keeps the window.
    prompter.answer(MsgAnswer::Ok);
    press("CmdOpen");
    EXPECT_TRUE(window->isVisible());
    clickFile("LOBBY.MSK");
    EXPECT_EQ(note(), QStringLiteral("Project: LOBBY, EAST WING\n Date: 11/2/2025"));
    EXPECT_TRUE(d->ProjectInfo(1).isEmpty());  // only shown: a later Save must not write it into EARLIER.MSK
    EXPECT_EQ(window->selectedFile(), QStringLiteral("LOBBY.MSK"));

    press("CmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(main.isEnabled());
    EXPECT_EQ(d->ProjectFileName, folder.file(QStringLiteral("EARLIER.MSK")));
    EXPECT_EQ(d->ProjectStage, 0);
    EXPECT_EQ(prompter.messages().size(), 1u);
}

TEST_F(LumoGetFileTest, OpeningAFileMakesItTheProjectAndClosesTheWindow)
{
    open();
    clickFile("LOBBY.MSK");
    press("CmdOpen");

    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_FALSE(window->isVisible());
    EXPECT_TRUE(main.isEnabled());
    const QString path = folder.file(QStringLiteral("LOBBY.MSK"));
    EXPECT_EQ(d->ProjectFileName, path);
    EXPECT_EQ(d->ProjectStage, 2);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Project File Name: ") + path);
    for (const char* item : {"GoSave", "GoSaveAs", "DoMask", "GoReport"})
        EXPECT_TRUE(main.item(QString::fromLatin1(item))->isEnabled()) << item;
    EXPECT_EQ(test::ShownChannelItems(main), (QStringList{"GoMask1", "GoMask2"}));
}

// A project typed in and never saved is not replaced without the question; Cancel keeps it and the window.
TEST_F(LumoGetFileTest, OpeningOverUnsavedWorkAsksFirst)
{
    d->ProjectInfo(1) = QStringLiteral("TYPED, NOT SAVED");
    d->ProjectStage = 1;
    open();
    clickFile("LOBBY.MSK");
    prompter.answer(MsgAnswer::Cancel);
    press("CmdOpen");
    EXPECT_EQ(prompter.messages(), Shown({{QStringLiteral("The project has not been saved. Save it to a file first?"),
                                           QString(), MsgIcon::Question, MsgButtons::YesNoCancel}}));
    EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("TYPED, NOT SAVED"));
    EXPECT_TRUE(window->isVisible());

    prompter.answer(MsgAnswer::No);
    press("CmdOpen");
    EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("LOBBY, EAST WING"));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(LumoGetFileTest, ADamagedFileKeepsTheWindowOpenAndTheProjectAsItWas)
{
    folder.write(QStringLiteral("DAMAGED.MSK"), lobbyBytes.left(lobbyBytes.size() / 2));
    open();
    clickFile("DAMAGED.MSK");
    EXPECT_EQ(note(), QStringLiteral("Project: LOBBY, EAST WING\n Date: 11/2/2025"));  // the header is whole
    const LumoData before = *d;

    prompter.answer(MsgAnswer::Ok);  // the reader's own message
    prompter.answer(MsgAnswer::Ok);
    press("CmdOpen");

    // The two messages are ProjectCommandsTest's.
    EXPECT_EQ(prompter.messages().size(), 2u);
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(*d == before);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Project File Name: None"));

    // Another file can still be opened from the same window.
    clickFile("LOBBY.MSK");
    press("CmdOpen");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(d->ProjectStage, 2);
}

TEST_F(LumoGetFileTest, ProjectsAreListedWhereTheOpenOneLivesAndFromAnyFolderChosen)
{
    QDir(folder.path()).mkdir(QStringLiteral("jobs"));
    folder.write(QStringLiteral("jobs/ANNEX.MSK"), lobbyBytes);
    d->ProjectFileName = folder.file(QStringLiteral("jobs/ANNEX.MSK"));
    open();
    EXPECT_EQ(rows(QStringLiteral("FileBoxOffice")), QStringList{"ANNEX.MSK"});
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Open a file in ") + folder.file(QStringLiteral("jobs")));

    prompter.answerFolder(folder.path());
    press("CmdFolder");
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Open a file in ") + folder.path());
    clickFile("LOBBY.MSK");
    press("CmdOpen");
    EXPECT_EQ(d->ProjectFileName, folder.file(QStringLiteral("LOBBY.MSK")));
}

TEST_F(LumoGetFileTest, EqFilesForTheReviewComeFromTheZuvFolderAndBringTheReviewBack)
{
    QDir(folder.path()).mkpath(QStringLiteral("mg24"));
    d->MG24Folder = folder.file(QStringLiteral("mg24"));
    LumoData image;
    SetFreshEqImage(image);
    image.EqChannel(3) = 3;
    folder.write(QStringLiteral("mg24/OFFICE.EQ"), EqFileBytes(image));
    folder.write(QStringLiteral("mg24/notes.txt"), "x");
    int reviews = 0;

    open(2);
    window->setReviewOpener([&] { ++reviews; });
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Open a file in ") + folder.file(QStringLiteral("mg24")));
    EXPECT_EQ(rows(QStringLiteral("FileBoxOffice")), QStringList{"OFFICE.EQ"});
    EXPECT_TRUE(main.isEnabled());  // the review window looks after the main window

    clickFile("OFFICE.EQ");
    EXPECT_TRUE(note().isEmpty());
    press("CmdOpen");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(reviews, 1);
    // What it reads into the project is ProjectCommandsTest's.
    EXPECT_EQ(d->ProjectEqName, QStringLiteral("OFFICE.EQ"));
    EXPECT_TRUE(prompter.messages().empty());

    open(2);
    window->setReviewOpener([&] { ++reviews; });
    window->close();
    EXPECT_EQ(reviews, 2);
}

}  // namespace
}  // namespace kov
