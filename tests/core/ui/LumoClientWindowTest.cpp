#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

#include "core/LumoClientWindow.h"
#include "core/LumoGetFileWindow.h"
#include "core/LumoMainWindow.h"
#include "core/ProjectFile.h"
#include "core/WindowPlacement.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

namespace kov {
namespace {

using test::Control;
using test::LetEventsRun;
using test::ShownChannelItems;
using test::WaitUntilActive;

class LumoClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Main(*d, prompter, window)); }

    // Opens the window as the Project ID item does.
    LumoClient& openClient()
    {
        client = std::make_unique<LumoClient>(*d, prompter, &window);
        CenterAndShowForm(client.get(), 6370, 4900);
        LetEventsRun();
        return *client;
    }
    QLineEdit* name() const { return Control<QLineEdit>(*client, "TxtProjName"); }
    QDateEdit* date() const { return Control<QDateEdit>(*client, "DTPicker1"); }
    QRadioButton* option(int i) const
    {
        return Control<QRadioButton>(*client, QStringLiteral("OptLumo_%1").arg(i).toLatin1().constData());
    }
    void click(const char* button) const { Control<QPushButton>(*client, button)->click(); }
    int checkedOption() const
    {
        for (int i = 1; i <= 6; ++i) {
            if (option(i)->isChecked())
                return i;
        }
        return 0;
    }
    void setProject(const char* projectName, const char* projectDate, i16 generator, i16 stage)
    {
        d->ProjectInfo(1) = QString::fromLatin1(projectName);
        d->ProjectInfo(2) = QString::fromLatin1(projectDate);
        d->Generator = generator;
        d->ProjectStage = stage;
        window.updateMainMenus();
    }

    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain window{*d, prompter};
    std::unique_ptr<LumoClient> client;
};

TEST_F(LumoClientTest, ShowsItsControlsWithTheirCaptions)
{
    openClient();
    EXPECT_EQ(client->objectName(), QStringLiteral("LumoClient"));
    EXPECT_EQ(client->windowTitle(), QStringLiteral("Project Information"));
    EXPECT_EQ(Control<QLabel>(*client, "LabProjName")->text(), QStringLiteral("Project Name"));
    EXPECT_EQ(Control<QLabel>(*client, "LabDate")->text(), QStringLiteral("Date"));
    EXPECT_EQ(Control<QPushButton>(*client, "CmdDone")->text(), QStringLiteral("Done"));
    EXPECT_EQ(Control<QPushButton>(*client, "CmdCancel")->text(), QStringLiteral("Cancel"));
    EXPECT_TRUE(date()->calendarPopup());
    const char* const captions[] = {
        "VO120R (1 masking input, 2 paging inputs, 1 mixed output)",
        "VO120R+DAR131 (1 masking input, 2 paging inputs, 1 mixed output)",
        "DU3001 (2 masking inputs, 2 masking outputs)",
        "DA2500 (1 masking input, 1 paging input, 2 mixed outputs",
        "ZUV-AR24 (4 masking inputs, 2 paging inputs, 4 mixed outputs)",
        "RUZ1200U (1 masking input, 1 masking output",
    };
    for (int i = 1; i <= 6; ++i)
        EXPECT_EQ(option(i)->text(), QString::fromLatin1(captions[i - 1])) << i;
    // Every caption can be read in full at the window's size.
    EXPECT_EQ(test::ControlsNotWhole(*client), "");
}

TEST_F(LumoClientTest, NewProjectStartsEmptyWithTodayAndTheVO120RAndWantsAName)
{
    const QDate today = QDate::currentDate();
    openClient();
    EXPECT_FALSE(window.isEnabled());
    EXPECT_TRUE(name()->text().isEmpty());
    EXPECT_EQ(date()->date(), today);
    EXPECT_EQ(client->edited().date, QStringLiteral("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year()));
    EXPECT_EQ(checkedOption(), 1);

    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Enter a project name or description."));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Data Error"));
    EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::Information);
    EXPECT_TRUE(client->isVisible());
    EXPECT_FALSE(window.isEnabled());
    EXPECT_TRUE(d->ProjectInfo(1).isEmpty());
}

TEST_F(LumoClientTest, NameIsUpperCasedEnterMovesToTheDateWhichTakesATypedDateAndEnterPressesDone)
{
    openClient();
    ASSERT_TRUE(WaitUntilActive(client.get()));
    name()->setFocus();
    LetEventsRun();
    ASSERT_TRUE(name()->hasFocus());
    QTest::keyClicks(name(), QStringLiteral("  third floor, east "));
    EXPECT_EQ(client->edited().name, QString());  // nothing is taken while typing
    QTest::keyClick(name(), Qt::Key_Return);
    LetEventsRun();

    EXPECT_TRUE(date()->hasFocus());
    EXPECT_EQ(name()->text(), QStringLiteral("THIRD FLOOR, EAST"));
    EXPECT_EQ(client->edited().name, QStringLiteral("THIRD FLOOR, EAST"));

    // The date is typed as it is written, then Enter on the focused Done button closes the window with it.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("11/3/2026"));
    EXPECT_EQ(client->edited().date, QStringLiteral("11/3/2026"));
    auto* done = Control<QPushButton>(*client, "CmdDone");
    done->setFocus();
    prompter.answer(MsgAnswer::Ok);
    QTest::keyClick(done, Qt::Key_Return);
    EXPECT_FALSE(client->isVisible());
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("11/3/2026"));
}

TEST_F(LumoClientTest, DoneStoresTheInformationAndShowsTheGeneratorsChannels)
{
    openClient();
    name()->setText(QStringLiteral("lobby"));
    date()->setDate(QDate(2025, 11, 2));
    option(5)->click();
    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");

    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral(" To save data to a file, press SAVE AS."));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("FileSave"));
    EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::Information);
    EXPECT_FALSE(client->isVisible());
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("LOBBY"));
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("11/2/2025"));
    EXPECT_EQ(d->Generator, GeneratorZUVAR24);
    EXPECT_EQ(d->ProjectStage, 1);
    EXPECT_TRUE(window.item(QStringLiteral("DoMask"))->isEnabled());
    EXPECT_EQ(ShownChannelItems(window),
              (QStringList{"GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"}));
}

struct CancelCase {
    const char* what;
    bool closeBox;
    MsgAnswer answer;
    bool staysOpen;
};

TEST_F(LumoClientTest, CancelAsksAndEitherDropsTheEditsOrKeepsThem)
{
    const CancelCase cases[] = {
        {"Cancel, then OK", false, MsgAnswer::Ok, false},
        {"Cancel, then Cancel", false, MsgAnswer::Cancel, true},
        {"close box, then OK", true, MsgAnswer::Ok, false},
        {"close box, then Cancel", true, MsgAnswer::Cancel, true},
    };
    for (const CancelCase& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        setProject("LOBBY", "3/7/2026", GeneratorDU3001, 1);
        openClient();
        name()->setText(QStringLiteral("annex"));
        date()->setDate(QDate(2026, 4, 1));
        option(6)->click();

        prompter.answer(c.answer);
        if (c.closeBox)
            client->close();
        else
            click("CmdCancel");

        ASSERT_EQ(prompter.messages().size(), 1u);
        EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Ok to exit without saving changes?"));
        EXPECT_EQ(prompter.messages()[0].title, QString());
        EXPECT_EQ(prompter.messages()[0].buttons, MsgButtons::OkCancel);
        EXPECT_EQ(client->isVisible(), c.staysOpen);
        EXPECT_EQ(window.isEnabled(), !c.staysOpen);
        EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("LOBBY"));
        EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("3/7/2026"));
        EXPECT_EQ(d->Generator, GeneratorDU3001);
        if (c.staysOpen) {
            EXPECT_EQ(name()->text(), QStringLiteral("annex"));
            EXPECT_EQ(date()->date(), QDate(2026, 4, 1));
            EXPECT_EQ(checkedOption(), 6);
            EXPECT_EQ(client->edited().generator, GeneratorRUZ1200U);
            // Done still works afterwards.
            prompter.answer(MsgAnswer::Ok);
            click("CmdDone");
            EXPECT_FALSE(client->isVisible());
            EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("ANNEX"));
            EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("4/1/2026"));
            EXPECT_EQ(d->Generator, GeneratorRUZ1200U);
        }
    }
}

TEST_F(LumoClientTest, NewGeneratorOfAStageThreeProjectKeepsTheStageAndReshapesTheMenus)
{
    setProject("LOBBY", "3/7/2026", GeneratorZUVAR24, 3);
    d->ProjectFileName = folder.file(QStringLiteral("LOBBY.MSK"));
    window.updateMainMenus();
    ASSERT_EQ(ShownChannelItems(window),
              (QStringList{"GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"}));
    openClient();
    EXPECT_EQ(checkedOption(), 5);
    option(6)->click();

    prompter.answer(MsgAnswer::Yes);
    click("CmdDone");

    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].text, QStringLiteral("Save results to ") + d->ProjectFileName + u'?');
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Save to File"));
    EXPECT_EQ(prompter.messages()[0].icon, MsgIcon::Question);
    EXPECT_EQ(d->ProjectStage, 3);
    EXPECT_EQ(d->Generator, GeneratorRUZ1200U);
    EXPECT_EQ(ShownChannelItems(window), QStringList{"GoMask1"});
    EXPECT_TRUE(window.item(QStringLiteral("GoReport"))->isEnabled());
    EXPECT_EQ(folder.read(QStringLiteral("LOBBY.MSK")), ProjectFileBytes(*d));
}

TEST_F(LumoClientTest, DoneWithoutEditsLeavesANewProjectAtStageZero)
{
    setProject("LOBBY", "3/7/2026", GeneratorDU3001, 0);
    openClient();
    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");
    EXPECT_EQ(d->ProjectStage, 0);
    EXPECT_FALSE(window.item(QStringLiteral("DoMask"))->isEnabled());
    EXPECT_FALSE(window.item(QStringLiteral("GoSaveAs"))->isEnabled());
}

TEST_F(LumoClientTest, AStoredDateOfAnotherFormStaysUntilThePickerIsChanged)
{
    setProject("LOBBY", "07.03.2026", GeneratorDU3001, 2);
    openClient();
    EXPECT_EQ(date()->date(), QDate::currentDate());
    EXPECT_EQ(client->edited().date, QStringLiteral("07.03.2026"));
    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("07.03.2026"));

    openClient();
    date()->setDate(QDate(2026, 3, 7));
    prompter.answer(MsgAnswer::Ok);
    click("CmdDone");
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("3/7/2026"));
}

// The road of a project: information, Save As, New, Open, and the information is back.
TEST_F(LumoClientTest, ProjectInformationSurvivesSaveAsNewAndOpen)
{
    std::unique_ptr<LumoGetFile> getFile;
    window.setOpener(QStringLiteral("GoProj"), [this] { openClient(); });
    window.setOpener(QStringLiteral("GoOpen"), [&] {
        getFile = std::make_unique<LumoGetFile>(*d, prompter, &window);
        CenterAndShowForm(getFile.get(), 3700, 4525);
    });

    window.item(QStringLiteral("GoProj"))->trigger();
    ASSERT_NE(client, nullptr);
    name()->setText(QStringLiteral("third floor"));
    date()->setDate(QDate(2026, 3, 7));
    option(4)->click();
    prompter.answer(MsgAnswer::Ok);  // " To save data to a file, press SAVE AS."
    click("CmdDone");
    LetEventsRun();
    ASSERT_EQ(d->ProjectStage, 1);

    ASSERT_TRUE(window.item(QStringLiteral("GoSaveAs"))->isEnabled());
    prompter.answerSaveFile(folder.file(QStringLiteral("third.msk")));
    prompter.answer(MsgAnswer::Ok);  // Verification
    window.item(QStringLiteral("GoSaveAs"))->trigger();
    const QString saved = folder.file(QStringLiteral("THIRD.MSK"));
    EXPECT_EQ(d->ProjectFileName, saved);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("MASKING EQUALIZATION FILE: ") + saved);
    EXPECT_TRUE(window.item(QStringLiteral("GoSave"))->isEnabled());

    window.item(QStringLiteral("GoNew"))->trigger();
    ASSERT_TRUE(d->ProjectInfo(1).isEmpty());
    ASSERT_EQ(d->Generator, GeneratorNone);

    window.item(QStringLiteral("GoOpen"))->trigger();
    ASSERT_NE(getFile, nullptr);
    LetEventsRun();
    auto* files = Control<QListWidget>(*getFile, "FileBoxOffice");
    const QList<QListWidgetItem*> found = files->findItems(QStringLiteral("THIRD.MSK"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    files->setCurrentItem(found.front());
    Control<QPushButton>(*getFile, "CmdOpen")->click();

    EXPECT_FALSE(getFile->isVisible());
    EXPECT_EQ(d->ProjectInfo(1), QStringLiteral("THIRD FLOOR"));
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("3/7/2026"));
    EXPECT_EQ(d->Generator, GeneratorDA2500);
    EXPECT_EQ(d->ProjectStage, 2);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Project File Name: ") + saved);

    // And the window shows it so.
    prompter.answer(MsgAnswer::Ok);
    window.item(QStringLiteral("GoProj"))->trigger();
    EXPECT_EQ(name()->text(), QStringLiteral("THIRD FLOOR"));
    EXPECT_EQ(date()->date(), QDate(2026, 3, 7));
    EXPECT_EQ(checkedOption(), 4);
    click("CmdCancel");
    EXPECT_TRUE(prompter.unusedAnswers() == 0);
}

}  // namespace
}  // namespace kov
