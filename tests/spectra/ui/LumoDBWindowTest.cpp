#include <gtest/gtest.h>

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>

#include "core/SpectrumDatabase.h"
#include "core/Tables.h"
#include "masking/MaskWindow.h"
#include "spectra/LumoDBWindow.h"
#include "spectra/SpectrumEntry.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::Control;
using test::LetEventsRun;
using test::WaitUntilActive;

constexpr int FreeSlot = 7;  // the first "Empty" entry of the shipped database
const QString Name30 = QStringLiteral("Open office, carpet, 2.7 m cei");
const QString Name28 = QStringLiteral("Open office, carpet, 2.7 m c");
const QString DataError = QStringLiteral("Data Error");

// The question Done asks of a masking spectrum with a level missing at `band`.
test::RecordedMessage Missing(const char* spectrum, const char* band)
{
    return {QStringLiteral("The masking spectrum %1 has a data point missing at %2 Hz.  Yes to correct data. No to "
                           "delete spectrum.")
                .arg(QLatin1String(spectrum), QLatin1String(band)),
            DataError, MsgIcon::None, MsgButtons::YesNo};
}
const test::RecordedMessage Renamed{
    QStringLiteral("The background spectrum title was changed or deleted. It has been re-entered."), DataError,
    MsgIcon::Critical};

class LumoDBTest : public test::WindowTest<LumoDB> {
protected:
    void SetUp() override
    {
        ASSERT_EQ(Name30.size(), 30);
        WindowTest::SetUp();
        setOpener(QStringLiteral("GoRefSpec"), window, 9765, 6425);
        setOpener(QStringLiteral("GoMask1"), mask, 8000, 8000);
    }

    LumoDB& open() { return WindowTest::open(QStringLiteral("GoRefSpec")); }
    QLineEdit* cell(int band) const { return c<QLineEdit>(QStringLiteral("Test1_%1").arg(band)); }
    // What the table shows in bands 22..39, between blanks.
    QString table() const
    {
        QStringList shown;
        for (int b = 22; b <= 39; ++b)
            shown << cell(b)->text();
        return shown.join(u' ');
    }
    void choose(int s) const
    {
        c<QRadioButton>(QStringLiteral("OptSpec_%1").arg(s))->click();
        LetEventsRun();
    }
    // Replaces what a cell holds and leaves it with Enter.
    void retype(QLineEdit* box, const QString& typed) const
    {
        box->setFocus(Qt::MouseFocusReason);
        LetEventsRun();
        box->selectAll();
        key(Qt::Key_Delete);
        typeAndLeave(typed);
    }
    // The database file as a restarted program reads it.
    std::unique_ptr<LumoData> readBack()
    {
        auto fresh = std::make_unique<LumoData>();
        InitTables(*fresh);
        i16 failed = 0;
        LoadSpectrumDatabase(*fresh, prompter, failed);
        EXPECT_EQ(failed, 0);
        return fresh;
    }

    std::unique_ptr<LumoDB>& editor = window;
    std::unique_ptr<Mask> mask;
};

TEST_F(LumoDBTest, OctaveSpectrumIsNamedSavedOfferedAndReadBack)
{
    open();
    EXPECT_FALSE(main.isEnabled());
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Background and Masking Spectra"));
    EXPECT_EQ(text("LabFreq_32"), QStringLiteral("1600"));
    EXPECT_EQ(text("LabRel_11"), QStringLiteral("1600"));
    EXPECT_EQ(c<QRadioButton>("OptSpec_1")->text(), QStringLiteral("Open plan with panels"));
    EXPECT_FALSE(c("CmdOctave")->isEnabled());

    choose(FreeSlot);
    EXPECT_TRUE(c("CmdOctave")->isEnabled());
    EXPECT_FALSE(c("CmdClear")->isEnabled());
    press("CmdOctave");
    EXPECT_TRUE(c("FramOctave")->isVisible());
    EXPECT_EQ(test::ControlsNotWhole(*editor), "");
    EXPECT_EQ(note(), OctaveFirstBoxNote);
    for (const char* level : {"60", "55", "50", "45", "40", "35", "30"})
        typeAndLeave(QString::fromLatin1(level));
    EXPECT_EQ(QApplication::focusWidget(), c("CmdOctaveDone"));
    press("CmdOctaveDone");
    EXPECT_FALSE(c("FramOctave")->isVisible());
    EXPECT_EQ(note(), OctaveDoneNote);
    EXPECT_EQ(QApplication::focusWidget(), c("TxtSpec"));
    EXPECT_EQ(table(), "53.3 51.7 50 48.3 46.7 45 43.3 41.7 40 38.3 36.7 35 33.3 31.7 30 28.3 26.7 25");

    typeAndLeave(Name30);
    EXPECT_EQ(QApplication::focusWidget(), c("CmdDone"));
    EXPECT_EQ(c<QRadioButton>(QStringLiteral("OptSpec_%1").arg(FreeSlot))->text(), Name28);
    press("CmdDone");
    EXPECT_TRUE(prompter.messages().empty());
    expectClosed();
    EXPECT_EQ(d->SpecName(FreeSlot), Name28);
    EXPECT_FLOAT_EQ(d->SpecLevel(FreeSlot, 22), 53.3f);

    // The masking window offers it.
    project(GeneratorDA2500, 1);
    main.item(QStringLiteral("GoMask1"))->trigger();
    ASSERT_TRUE(WaitUntilActive(mask.get()));
    LetEventsRun();
    auto* list = Control<QListWidget>(*mask, "LstSpec");
    EXPECT_EQ(list->findItems(Name28, Qt::MatchExactly).size(), 1);

    // A restarted program reads it back; the rest of the round trip is SpectrumDatabaseTest's.
    const auto fresh = readBack();
    EXPECT_EQ(fresh->SpecName(FreeSlot), Name28);
    EXPECT_FLOAT_EQ(fresh->SpecLevel(FreeSlot, 39), 25.0f);
}

TEST_F(LumoDBTest, RelativeSpectrumIsEstimatedAndBroughtTo47Dba)
{
    open();
    choose(FreeSlot + 1);
    press("CmdRelative");
    EXPECT_EQ(note(), RelativeOpenNote);
    key(Qt::Key_Return);  // 160 Hz left empty
    EXPECT_EQ(note(), QStringLiteral(" Enter a relative level at200."));
    typeAndLeave(QStringLiteral("0"));
    typeAndLeave(QStringLiteral("-100"));
    // Refused: the box is emptied (its note gives way to the next box's own).
    EXPECT_EQ(c<QLineEdit>("Test3_3")->text(), QString());
    key(Qt::Key_Up);
    typeAndLeave(QStringLiteral("-99"));
    EXPECT_EQ(c<QLineEdit>("Test3_3")->text(), QStringLiteral("- 99"));
    press("CmdRelDone");
    EXPECT_EQ(note(), RelativeMissingNote);
    retype(c<QLineEdit>("Test3_3"), QStringLiteral("0"));
    EXPECT_EQ(c<QLineEdit>("Test3_3")->text(), QStringLiteral("+0"));
    for (int i = 4; i <= 16; ++i)
        typeAndLeave(i == 9 ? QStringLiteral("6") : QStringLiteral("0"));
    press("CmdRelDone");
    EXPECT_FALSE(c("FramRelative")->isVisible());
    EXPECT_EQ(note(), RelativeDoneNote);
    // 12.0 dBA as entered, 35 steps up to 47.0.
    EXPECT_EQ(table(), "36 35 35 35 35 35 35 35 41 35 35 35 35 35 35 35 32 29");
    EXPECT_EQ(text("DatAWgt"), QStringLiteral("47 dBA"));
}

TEST_F(LumoDBTest, DoneChecksRunInOrderAndStopWhereTheyFindSomething)
{
    const QByteArray before = folder.read(SpectrumDatabaseFileName);
    open();
    retype(cell(25), QString());  // background at 315 Hz emptied
    EXPECT_EQ(note(), QStringLiteral("The sound level at 315 Hz was outside the range 1 to 99. Reenter."));
    choose(1);
    retype(cell(30), QStringLiteral("0.94"));
    choose(0);
    retype(c<QLineEdit>("TxtSpec"), QStringLiteral("Quiet"));
    choose(9);
    retype(cell(22), QStringLiteral("40"));

    // Yes: back to the background's empty cell, nothing stored.
    prompter.answer(MsgAnswer::Yes);
    press("CmdDone");
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(prompter.messages(), test::Shown({Missing("Background", "315")}));
    EXPECT_EQ(editor->selected(), 0);
    EXPECT_EQ(QApplication::focusWidget(), cell(25));
    EXPECT_EQ(folder.read(SpectrumDatabaseFileName), before);

    // No twice: both go, the background's name comes back, and the unnamed data stop the closing.
    prompter.clear();
    for (const MsgAnswer a : {MsgAnswer::No, MsgAnswer::No, MsgAnswer::Ok, MsgAnswer::Ok})
        prompter.answer(a);
    press("CmdDone");
    ASSERT_TRUE(editor->isVisible());
    EXPECT_EQ(prompter.messages(),
              test::Shown({Missing("Background", "315"),
                           Missing("Open plan with panels", "1000"),
                           Renamed,
                           {"There are data in masking spectrum number 9 but no title or an Empty title. Please "
                            "correct.",
                            DataError, MsgIcon::Critical}}));
    EXPECT_EQ(editor->selected(), 9);
    EXPECT_EQ(c<QRadioButton>("OptSpec_0")->text(), QStringLiteral("Background"));
    EXPECT_EQ(c<QRadioButton>("OptSpec_1")->text(), QStringLiteral("Empty"));
    EXPECT_EQ(folder.read(SpectrumDatabaseFileName), before);

    // The stray level removed, the closing goes through; the restored background has no levels and goes again.
    prompter.clear();
    retype(cell(22), QStringLiteral("0"));
    prompter.answer(MsgAnswer::No);
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(prompter.messages(), test::Shown({Missing("Background", "160"), Renamed}));
    EXPECT_EQ(d->SpecName(0), QStringLiteral("Background"));
    EXPECT_EQ(d->SpecLevel(0, 22), 0);
    EXPECT_EQ(d->SpecName(1), QStringLiteral("Empty"));
    EXPECT_EQ(d->SpecLevel(1, 22), 0);
    const auto fresh = readBack();
    EXPECT_EQ(fresh->SpecName(1), QStringLiteral("Empty"));
    EXPECT_EQ(fresh->SpecLevel(0, 39), 0);
}

TEST_F(LumoDBTest, CloseBoxSavesAndCancelAsksFirst)
{
    open();
    choose(2);
    retype(cell(22), QStringLiteral("50.25"));
    EXPECT_EQ(cell(22)->text(), QStringLiteral("50.2"));

    // Cancel, then Cancel in the question: the window stays with the edit.
    prompter.answer(MsgAnswer::Cancel);
    press("CmdCancel");
    ASSERT_TRUE(editor->isVisible());
    expectExitQuestions(1);
    EXPECT_EQ(editor->working().SpecLevelEdit(2, 22), 50.2f);
    EXPECT_FLOAT_EQ(d->SpecLevel(2, 22), 44.3f);

    // The close box keeps what was typed into the cell that still has the focus.
    press("CmdUp");
    cell(23)->setFocus();
    LetEventsRun();
    cell(23)->selectAll();
    QTest::keyClicks(cell(23), QStringLiteral("47.5"));
    editor->close();
    LetEventsRun();
    EXPECT_FALSE(editor->isVisible());
    expectExitQuestions(1);
    const auto fresh = readBack();
    EXPECT_FLOAT_EQ(fresh->SpecLevel(2, 22), 51.2f);
    EXPECT_FLOAT_EQ(fresh->SpecLevel(2, 23), 47.5f);
    EXPECT_FLOAT_EQ(fresh->SpecLevel(2, 24), 44.3f);
}

TEST_F(LumoDBTest, UnwrittenFileKeepsTheWindowAndItsEdits)
{
    open();
    choose(3);
    retype(cell(30), QStringLiteral("33"));
    // Something that is no file stands in the database file's place.
    folder.remove(SpectrumDatabaseFileName);
    ASSERT_TRUE(QDir(folder.path()).mkdir(SpectrumDatabaseFileName));
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    ASSERT_TRUE(editor->isVisible());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_TRUE(
        prompter.messages()[0].text.startsWith(QStringLiteral("The spectrum database file could not be written (")));
    EXPECT_FALSE(prompter.messages()[0].text.contains(QStringLiteral("()")));
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("File Error"));
    EXPECT_NE(d->SpecLevel(3, 30), 33.0f);
    EXPECT_EQ(editor->working().SpecLevelEdit(3, 30), 33.0f);
    EXPECT_EQ(cell(30)->text(), QStringLiteral("33"));

    ASSERT_TRUE(QDir(folder.path()).rmdir(SpectrumDatabaseFileName));
    press("CmdDone");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(readBack()->SpecLevel(3, 30), 33.0f);
}

TEST_F(LumoDBTest, ArrowsWrapRoundTheTableDeleteEmptiesAndStepsLeaveAnEmptySlotAlone)
{
    open();
    choose(2);
    cell(39)->setFocus(Qt::MouseFocusReason);
    LetEventsRun();
    key(Qt::Key_Down);
    EXPECT_TRUE(cell(22)->hasFocus());
    key(Qt::Key_Up);
    EXPECT_TRUE(cell(39)->hasFocus());

    // Clicked as a person clicks it: the cell is left before the button acts.
    clickOn(c("CmdClear"));
    EXPECT_EQ(c<QRadioButton>("OptSpec_2")->text(), QStringLiteral("Empty"));
    EXPECT_EQ(c<QLineEdit>("TxtSpec")->text(), QStringLiteral("Empty"));
    EXPECT_EQ(cell(30)->text(), QStringLiteral("0"));
    EXPECT_EQ(text("DatAWgt"), QString());
    EXPECT_EQ(note(), QStringLiteral("To undo a Delete command, Press CANCEL and exit."));

    // A slot named Empty has no levels to step: its cells stay as they are.
    choose(FreeSlot);
    press("CmdUp");
    EXPECT_EQ(cell(22)->text(), QStringLiteral("0"));
    EXPECT_EQ(text("DatAWgt"), QString());
}

}  // namespace
}  // namespace kov
