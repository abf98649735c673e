#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "core/LumoClientWindow.h"
#include "core/LumoGetFileWindow.h"
#include "core/ProjectFile.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::ExitQuestion;
using test::LetEventsRun;
using test::Shown;
using test::ShownChannelItems;

const QStringList ZuvChannels{"GoMask3", "GoMask4", "GoMask5", "GoMask6", "GoPage1", "GoPage2"};

class LumoClientTest : public test::WindowTest<LumoClient> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        setOpener(QStringLiteral("GoProj"), window, 6370, 4900);
    }
    LumoClient& openClient() { return open(QStringLiteral("GoProj")); }
    QLineEdit* name() const { return c<QLineEdit>(QStringLiteral("TxtProjName")); }
    QDateEdit* date() const { return c<QDateEdit>(QStringLiteral("DTPicker1")); }
    QRadioButton* option(int i) const { return c<QRadioButton>(QStringLiteral("OptLumo_%1").arg(i)); }
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
        main.updateMainMenus();
    }
    // Project, date, generator and stage as the project set holds them.
    void expectProject(const char* projectName, const char* projectDate, i16 generator, i16 stage) const
    {
        EXPECT_EQ(d->ProjectInfo(1), QString::fromLatin1(projectName));
        EXPECT_EQ(d->ProjectInfo(2), QString::fromLatin1(projectDate));
        EXPECT_EQ(d->Generator, generator);
        EXPECT_EQ(d->ProjectStage, stage);
    }
};

TEST_F(LumoClientTest, ShowsItsControlsWithTheirCaptions)
{
    openClient();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Project Information"));
    for (const auto& [control, caption] : {std::pair{"LabProjName", "Project Name"}, {"LabDate", "Date"}})
        EXPECT_EQ(text(QString::fromLatin1(control)), QString::fromLatin1(caption));
    for (const auto& [control, caption] : {std::pair{"CmdDone", "Done"}, {"CmdCancel", "Cancel"}})
        EXPECT_EQ(c<QPushButton>(QString::fromLatin1(control))->text(), QString::fromLatin1(caption));
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
    EXPECT_EQ(test::ControlsNotWhole(*window), "");
}

TEST_F(LumoClientTest, NewProjectStartsEmptyWithTodayAndTheVO120RAndWantsAName)
{
    const QDate today = QDate::currentDate();
    openClient();
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(name()->text().isEmpty());
    EXPECT_EQ(date()->date(), today);
    EXPECT_EQ(window->edited().date, QStringLiteral("%1/%2/%3").arg(today.month()).arg(today.day()).arg(today.year()));
    EXPECT_EQ(checkedOption(), 1);

    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    EXPECT_EQ(prompter.messages(), Shown({{QStringLiteral("Enter a project name or description."),
                                           QStringLiteral("Data Error"), MsgIcon::Information}}));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(main.isEnabled());
    EXPECT_TRUE(d->ProjectInfo(1).isEmpty());
}

TEST_F(LumoClientTest, NameIsUpperCasedEnterMovesToTheDateWhichTakesATypedDateAndEnterPressesDone)
{
    openClient();
    name()->setFocus();
    LetEventsRun();
    ASSERT_TRUE(name()->hasFocus());
    QTest::keyClicks(name(), QStringLiteral("  third floor, east "));
    EXPECT_EQ(window->edited().name, QString());  // nothing is taken while typing
    key(Qt::Key_Return);

    EXPECT_TRUE(date()->hasFocus());
    EXPECT_EQ(name()->text(), QStringLiteral("THIRD FLOOR, EAST"));
    EXPECT_EQ(window->edited().name, QStringLiteral("THIRD FLOOR, EAST"));

    // The date is typed as it is written, then Enter on the focused Done button closes the window with it.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("11/3/2026"));
    EXPECT_EQ(window->edited().date, QStringLiteral("11/3/2026"));
    c("CmdDone")->setFocus();
    prompter.answer(MsgAnswer::Ok);
    key(Qt::Key_Return);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("11/3/2026"));
}

TEST_F(LumoClientTest, DoneStoresTheInformationAndShowsTheGeneratorsChannels)
{
    openClient();
    name()->setText(QStringLiteral("lobby"));
    date()->setDate(QDate(2025, 11, 2));
    option(5)->click();
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");

    expectSaveAsOffered();
    expectProject("LOBBY", "11/2/2025", GeneratorZUVAR24, 1);
    EXPECT_TRUE(main.item(QStringLiteral("DoMask"))->isEnabled());
    EXPECT_EQ(ShownChannelItems(main), ZuvChannels);
}

TEST_F(LumoClientTest, CancelAsksAndEitherDropsTheEditsOrKeepsThem)
{
    // (the close box rather than Cancel, the answer)
    for (const auto& [closeBox, answer] : {std::pair{false, MsgAnswer::Ok},
                                           {false, MsgAnswer::Cancel},
                                           {true, MsgAnswer::Ok},
                                           {true, MsgAnswer::Cancel}}) {
        SCOPED_TRACE(::testing::Message() << "close box " << closeBox << ", answer " << static_cast<int>(answer));
        const bool staysOpen = answer == MsgAnswer::Cancel;
        prompter.clear();
        setProject("LOBBY", "3/7/2026", GeneratorDU3001, 1);
        openClient();
        name()->setText(QStringLiteral("annex"));
        date()->setDate(QDate(2026, 4, 1));
        option(6)->click();

        prompter.answer(answer);
        if (closeBox)
            window->close();
        else
            press("CmdCancel");

        EXPECT_EQ(prompter.messages(), Shown({{ExitQuestion, QString(), MsgIcon::None, MsgButtons::OkCancel}}));
        EXPECT_EQ(window->isVisible(), staysOpen);
        EXPECT_EQ(main.isEnabled(), !staysOpen);
        expectProject("LOBBY", "3/7/2026", GeneratorDU3001, 1);
        if (staysOpen) {
            EXPECT_EQ(name()->text(), QStringLiteral("annex"));
            EXPECT_EQ(date()->date(), QDate(2026, 4, 1));
            EXPECT_EQ(checkedOption(), 6);
            EXPECT_EQ(window->edited().generator, GeneratorRUZ1200U);
            // Done still works afterwards.
            prompter.answer(MsgAnswer::Ok);
            press("CmdDone");
            EXPECT_FALSE(window->isVisible());
            expectProject("ANNEX", "4/1/2026", GeneratorRUZ1200U, 1);
        }
    }
}

TEST_F(LumoClientTest, NewGeneratorOfAStageThreeProjectKeepsTheStageAndReshapesTheMenus)
{
    setProject("LOBBY", "3/7/2026", GeneratorZUVAR24, 3);
    d->ProjectFileName = folder.file(QStringLiteral("LOBBY.MSK"));
    main.updateMainMenus();
    ASSERT_EQ(ShownChannelItems(main), ZuvChannels);
    openClient();
    EXPECT_EQ(checkedOption(), 5);
    option(6)->click();

    prompter.answer(MsgAnswer::Yes);
    press("CmdDone");

    // The offer itself is ProjectCommandsTest's.
    EXPECT_EQ(prompter.unusedAnswers(), 0u);
    expectProject("LOBBY", "3/7/2026", GeneratorRUZ1200U, 3);
    EXPECT_EQ(ShownChannelItems(main), QStringList{"GoMask1"});
    EXPECT_TRUE(main.item(QStringLiteral("GoReport"))->isEnabled());
    EXPECT_EQ(folder.read(QStringLiteral("LOBBY.MSK")), ProjectFileBytes(*d));
}

TEST_F(LumoClientTest, AStoredDateOfAnotherFormStaysUntilThePickerIsChanged)
{
    setProject("LOBBY", "07.03.2026", GeneratorDU3001, 2);
    openClient();
    EXPECT_EQ(date()->date(), QDate::currentDate());
    EXPECT_EQ(window->edited().date, QStringLiteral("07.03.2026"));
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("07.03.2026"));

    openClient();
    date()->setDate(QDate(2026, 3, 7));
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    EXPECT_EQ(d->ProjectInfo(2), QStringLiteral("3/7/2026"));
}

// The road of a project: information, Save As, New, Open, and the information is back.
TEST_F(LumoClientTest, ProjectInformationSurvivesSaveAsNewAndOpen)
{
    std::unique_ptr<LumoGetFile> getFile;
    setOpener(QStringLiteral("GoOpen"), getFile, 3700, 4525);

    openClient();
    name()->setText(QStringLiteral("third floor"));
    date()->setDate(QDate(2026, 3, 7));
    option(4)->click();
    prompter.answer(MsgAnswer::Ok);  // " To save data to a file, press SAVE AS."
    press("CmdDone");
    ASSERT_EQ(d->ProjectStage, 1);

    prompter.answerSaveFile(folder.file(QStringLiteral("third.msk")));
    prompter.answer(MsgAnswer::Ok);  // Verification
    main.item(QStringLiteral("GoSaveAs"))->trigger();
    const QString saved = folder.file(QStringLiteral("THIRD.MSK"));
    EXPECT_EQ(d->ProjectFileName, saved);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("MASKING EQUALIZATION FILE: ") + saved);
    EXPECT_TRUE(main.item(QStringLiteral("GoSave"))->isEnabled());

    main.item(QStringLiteral("GoNew"))->trigger();
    ASSERT_TRUE(d->ProjectInfo(1).isEmpty());
    ASSERT_EQ(d->Generator, GeneratorNone);

    main.item(QStringLiteral("GoOpen"))->trigger();
    ASSERT_NE(getFile, nullptr);
    LetEventsRun();
    auto* files = test::Control<QListWidget>(*getFile, "FileBoxOffice");
    const QList<QListWidgetItem*> found = files->findItems(QStringLiteral("THIRD.MSK"), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1);
    files->setCurrentItem(found.front());
    test::Control<QPushButton>(*getFile, "CmdOpen")->click();

    EXPECT_FALSE(getFile->isVisible());
    expectProject("THIRD FLOOR", "3/7/2026", GeneratorDA2500, 2);
    EXPECT_EQ(main.windowTitle(), QStringLiteral("Project File Name: ") + saved);

    // And the window shows it so.
    openClient();
    EXPECT_EQ(name()->text(), QStringLiteral("THIRD FLOOR"));
    EXPECT_EQ(date()->date(), QDate(2026, 3, 7));
    EXPECT_EQ(checkedOption(), 4);
}

}  // namespace
}  // namespace kov
