#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QTest>

#include "tests/masking/ui/MaskFixture.h"

namespace kov {
namespace {

using test::LetEventsRun;

class MaskUndoTest : public test::MaskFixture {
protected:
    void SetUp() override
    {
        MaskFixture::SetUp();
        project(GeneratorDA2500, 1, true);
        open(1);
        clickEntry(1);
        press("CmdPick");
    }
    static void shortcut(QKeyCombination keys)
    {
        QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
        LetEventsRun();
    }
    static void undo() { shortcut(Qt::ControlModifier | Qt::Key_Z); }
    static void redo() { shortcut(Qt::ControlModifier | Qt::ShiftModifier | Qt::Key_Z); }
    // The project set holds nothing of this visit until Done.
    void expectProjectUntouched() const
    {
        EXPECT_EQ(d->MaskTestCount(1), 0);
        EXPECT_EQ(d->MaskTest(1, 1, 22), 0);
        EXPECT_EQ(d->MaskTest(2, 1, 22), 0);
    }
};

TEST_F(MaskUndoTest, ATypedCellStepsBackAndForthByKeyAndByButton)
{
    EXPECT_FALSE(c("CmdUndo")->isEnabled());
    cell(1)->setFocus();
    typeAndLeave(QStringLiteral("45.25"), Qt::Key_Down);
    typeAndLeave(QStringLiteral("46"), Qt::Key_Down);
    ASSERT_EQ(cell(2)->text(), QStringLiteral("46.0"));

    undo();
    EXPECT_EQ(cell(2)->text(), QString());
    EXPECT_EQ(cell(1)->text(), QStringLiteral("45.2"));
    press("CmdUndo");
    EXPECT_EQ(cell(1)->text(), QString());
    EXPECT_FALSE(c("CmdUndo")->isEnabled());
    redo();
    EXPECT_EQ(cell(1)->text(), QStringLiteral("45.2"));
    press("CmdRedo");
    EXPECT_EQ(cell(2)->text(), QStringLiteral("46.0"));
    EXPECT_FALSE(c("CmdRedo")->isEnabled());
    expectProjectUntouched();
}

// Whatever is being typed in a cell is the cell's own to take back.
TEST_F(MaskUndoTest, TextNotYetTakenIsTheCellsToUndo)
{
    cell(1)->setFocus();
    typeAndLeave(QStringLiteral("45"), Qt::Key_Down);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("47"));
    undo();
    EXPECT_EQ(cell(2)->text(), QString());
    EXPECT_EQ(cell(1)->text(), QStringLiteral("45.0"));
}

TEST_F(MaskUndoTest, ClearDataADroppedTestAndAnImportAreOneStepEach)
{
    typeTests(2);
    EXPECT_EQ(cell(2, 1)->text(), QStringLiteral("50.0"));

    press("CmdClear");
    EXPECT_EQ(cell(1, 1)->text(), QString());
    press("CmdUndo");
    EXPECT_EQ(mask->grid().count(), 2);
    EXPECT_EQ(cell(2, 18)->text(), QStringLiteral("50.0"));
    EXPECT_TRUE(c("CmdCalc")->isEnabled());

    clickOn(c("LabTest_1"));
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("50.0"));
    EXPECT_EQ(mask->grid().count(), 1);
    press("CmdUndo");
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("40.0"));
    EXPECT_EQ(mask->grid().count(), 2);

    prompter.answerOpenFile(QStringLiteral(KOV_METER_FIXTURES_DIR "/dsp30.txt"));
    press("CmdDownloadDSP");
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("45.2"));
    EXPECT_EQ(mask->grid().count(), 1);
    EXPECT_EQ(d->MaskTestCountEdit(1), 1);
    press("CmdUndo");
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("40.0"));
    EXPECT_EQ(mask->grid().count(), 2);
    EXPECT_EQ(d->MaskTestCountEdit(1), 2);
    press("CmdRedo");
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("45.2"));
    expectProjectUntouched();
}

TEST_F(MaskUndoTest, TheStepsBelongToTheGrid)
{
    EXPECT_TRUE(c("CmdUndo")->isVisible());
    typeTests(1);
    press("CmdCalc");
    EXPECT_FALSE(c("CmdUndo")->isVisible());
    EXPECT_FALSE(c("CmdRedo")->isVisible());
}

}  // namespace
}  // namespace kov
