#include <gtest/gtest.h>

#include <QGroupBox>
#include <QMessageBox>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <ostream>
#include <tuple>
#include <vector>

#include "core/Numbers.h"
#include "core/Tables.h"
#include "masking/MaskMatchPage.h"
#include "tests/fixtures/HandBuiltProject.h"
#include "tests/masking/ui/MaskFixture.h"

namespace kov {
namespace {

using test::ExitQuestion;
using test::LetEventsRun;
using test::WaitUntilActive;

constexpr int Entry = 1;  // "Open plan with panels"

// Ten tests a little louder than the goal, tilted towards the treble, a decibel apart from place to place.
f32 TypedLevel(const LumoData& d, int test, int bandIndex)
{
    static const f32 jitter[] = {0.4f, -0.7f, 1.1f, -0.2f, 0.8f, -1.2f, 0.3f, -0.5f, 0.9f, -0.9f, 0.1f};
    const int b = GridIndexToBand(bandIndex);
    const f32 level =
        d.SpecLevel(Entry, b) + 1.5f + 0.35f * static_cast<f32>(bandIndex - 9) + jitter[(test * 3 + bandIndex) % 11];
    return std::round(level * 10.0f) / 10.0f;
}

class MaskWindowTest : public test::MaskFixture {
protected:
    void project(i16 generator, bool withFile = true) { MaskFixture::project(generator, 1, withFile); }

    // A channel whose project set holds ten tests and a chosen shape, as a project file would bring them, opened
    // and taken on by `buttons`.
    void openWithTests(i16 generator, int ch, std::initializer_list<const char*> buttons, bool withFile = true)
    {
        project(generator, withFile);
        d->MaskSpectrumIndex(ch) = Entry;
        d->MaskTestCount(ch) = 10;
        for (int t = 1; t <= 10; ++t) {
            for (int k = 1; k <= GridBandCount; ++k)
                d->MaskTest(t, ch, GridIndexToBand(k)) = TypedLevel(*d, t, k);
        }
        open(ch);
        for (const char* b : buttons)
            press(b);
    }

    // A DA2500 channel 1 with nothing stored, the shape chosen by a click and the grid open.
    void openEmptyGrid()
    {
        project(GeneratorDA2500);
        open(1);
        clickEntry(Entry);
        press("CmdPick");
    }
};

// ---- The road of a channel, one product of each family ----------------------------------------------------

struct Road {
    const char* product;
    i16 generator;
    int channel;
    bool correctionTable;
    bool narrow;
};

void PrintTo(const Road& road, std::ostream* os)
{
    *os << road.product << " channel " << road.channel;
}

class MaskRoadTest : public MaskWindowTest, public ::testing::WithParamInterface<Road> {};

// The fit's figures are checked against the reference in FitTest; here what the window shows has to be what
// reaches the project set and the EQ file.
TEST_P(MaskRoadTest, ChannelIsEqualizedFromTheMenuToTheProjectSet)
{
    const Road road = GetParam();
    const int ch = road.channel;
    const bool zuv = road.generator == GeneratorZUVAR24;
    project(road.generator);
    open(ch);
    EXPECT_FALSE(main.isEnabled());
    EXPECT_EQ(mask->windowTitle(), QStringLiteral("Setting Masking Equalizer Corrections for Channel %1").arg(ch));

    clickEntry(Entry);
    EXPECT_TRUE(c("FramRecommend")->isVisible());
    const int goalLevel = text("DatAWgt").toInt();
    press("CmdUp");
    EXPECT_EQ(text("DatAWgt").toInt(), goalLevel + 1);
    press("CmdPick");
    ASSERT_TRUE(c("FramData")->isVisible());

    // The ten tests through the grid's boxes: Enter after each value, Add Test between the tests.
    for (int t = 1; t <= 10; ++t) {
        if (t > 1)
            press("CmdUpTest");
        for (int k = 1; k <= GridBandCount; ++k) {
            ASSERT_EQ(QApplication::focusWidget(), cell(TestBandToCell(t, k))) << t << " " << k;
            typeAndLeave(QString::number(TypedLevel(*d, t, k), 'f', 1));
        }
    }
    EXPECT_EQ(note(), QString());
    press("CmdCalc");
    ASSERT_TRUE(c("FramMatch")->isVisible());
    EXPECT_EQ(note(), QStringLiteral("Press Fit Measured Spectrum to Desired."));

    // Each redraw of the animation waits 0.2 s on the clock; the fit takes more than nine steps.
    const double before = clock.elapsed();
    press("CmdMatch");
    EXPECT_GE(clock.elapsed() - before, 9 * 0.2 - 1e-6);

    EXPECT_TRUE(mask->fitDone());
    EXPECT_EQ(text("LabAWgt2"), QStringLiteral("Final  Level"));
    EXPECT_EQ(c("DatFreq_22")->isVisible(), road.correctionTable);
    EXPECT_EQ(mask->narrow(), road.narrow);
    EXPECT_TRUE(c<QPushButton>("CmdDone")->hasFocus());
    if (zuv) {
        EXPECT_EQ(note(), QStringLiteral("An EQ file named ROAD.EQ will be created. Press DONE."));
    }
    const QString gainText = text("LabGain");
    const QString cutoffText = text("LabFlNew");
    BandArray correctionShown;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        correctionShown(b) = c<QLabel>(QStringLiteral("DatFreq_%1").arg(b))->text().remove(u' ').toFloat();  // "- 3.3"

    if (zuv)
        prompter.answer(MsgAnswer::Ok);  // the EQ file's confirmation
    prompter.answer(MsgAnswer::Yes);
    press("CmdDone");
    expectClosed();
    EXPECT_EQ(prompter.unusedAnswers(), 0u);
    const std::size_t offer = zuv ? 1 : 0;
    ASSERT_EQ(prompter.messages().size(), offer + 1);
    expectSaveOffer(offer);
    EXPECT_TRUE(QFile::exists(d->ProjectFileName));

    // The project set holds what was typed, chosen and shown.
    EXPECT_EQ(d->ProjectStage, 2);
    EXPECT_EQ(d->MaskSpectrumIndex(ch), Entry);
    EXPECT_EQ(d->MaskTestCount(ch), 10);
    for (int k = 1; k <= GridBandCount; ++k) {
        for (int t = 1; t <= 10; ++t)
            EXPECT_FLOAT_EQ(d->MaskTest(t, ch, GridIndexToBand(k)), TypedLevel(*d, t, k)) << t << " " << k;
    }
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        EXPECT_FLOAT_EQ(d->MaskFinal(ch, b), d->SpecLevel(Entry, b) + 1) << b;
        EXPECT_NEAR(d->MaskCorrection(ch, b), correctionShown(b), 0.05) << b;
        const f32 matched = road.generator == GeneratorVO120R ? d->MaskAverage(ch, b) : d->MaskFinal(ch, b);
        EXPECT_FLOAT_EQ(d->MaskMatched(ch, b), matched) << b;
    }
    EXPECT_NEAR(d->MaskGainChange(ch), gainText.toFloat(), 0.05);
    EXPECT_EQ(QString::number(d->MaskHighCutFreq(ch)), cutoffText);
    EXPECT_EQ(d->MaskLowCutFreq(ch), 100);
    EXPECT_EQ(d->MaskHighCutSlope(ch), 12);
    EXPECT_EQ(d->MaskLowCutSlope(ch), 12);

    // The channel's line holds the fit just stored; the rest of its layout is EqFileTest's.
    if (zuv) {
        expectEqFileSaved(QStringLiteral("Masking channel %1").arg(ch));
        const QList<QByteArray> fields =
            test::FileLines(folder.read(QStringLiteral("ROAD.EQ"))).value(ch - 1).split(',');
        EXPECT_EQ(fields.value(3).toInt(), d->MaskHighCutFreq(ch));
        EXPECT_FLOAT_EQ(fields.value(5).toFloat(), RoundSingle(d->MaskGainChange(ch), 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Products, MaskRoadTest,
                         ::testing::Values(Road{"VO120R", GeneratorVO120R, 1, false, false},
                                           Road{"DA2500", GeneratorDA2500, 2, true, true},
                                           Road{"ZUVAR24", GeneratorZUVAR24, 3, true, false}),
                         [](const ::testing::TestParamInfo<Road>& info) { return std::string(info.param.product); });

// ---- Closing --------------------------------------------------------------------------------------------------

// A second fit starts from the first one's result and still reports the whole gain from the measurement; Done
// without a file name keeps that equalization for Save As and writes no EQ file.
TEST_F(MaskWindowTest, ASecondFitKeepsTheWholeGainAndDoneWithoutAFileNameKeepsItForSaveAs)
{
    const int ch = 4;
    openWithTests(GeneratorZUVAR24, ch, {"CmdPick", "CmdCalc", "CmdMatch"}, false);
    const QString first = text("LabGain");
    const f32 firstGain = d->MaskGainChangeEdit(ch);
    ASSERT_NE(first, QStringLiteral(" 0.0"));
    press("CmdMatch");
    EXPECT_EQ(text("LabGain"), first);
    EXPECT_EQ(d->MaskGainChangeEdit(ch), firstGain);
    const LumoData fitted = *d;

    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    expectSaveAsOffered();
    EXPECT_EQ(d->ProjectStage, 2);
    EXPECT_EQ(d->MaskGainChange(ch), firstGain);
    EXPECT_EQ(d->MaskHighCutFreq(ch), fitted.MaskHighCutFreqEdit(ch));
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        EXPECT_EQ(d->MaskCorrection(ch, b), fitted.MaskCorrectionEdit(ch, b)) << b;
    EXPECT_TRUE(QDir(folder.path()).entryList({QStringLiteral("*.EQ")}, QDir::Files).isEmpty());
}

TEST_F(MaskWindowTest, CancelAnsweredCancelKeepsTheWindowAndItsDataAndOkDropsThem)
{
    openEmptyGrid();
    typeAndLeave(QStringLiteral("45.25"), Qt::Key_Down);
    EXPECT_EQ(cell(1)->text(), QStringLiteral("45.2"));

    // Cancel, then the close box; Cancel to the question both times.
    prompter.answer(MsgAnswer::Cancel);
    press("CmdCancel");
    EXPECT_TRUE(mask->isVisible());
    prompter.answer(MsgAnswer::Cancel);
    mask->close();
    EXPECT_TRUE(mask->isVisible());
    expectExitQuestions(2);
    EXPECT_TRUE(c("FramData")->isVisible());
    EXPECT_EQ(cell(1)->text(), QStringLiteral("45.2"));
    EXPECT_FALSE(main.isEnabled());

    prompter.answer(MsgAnswer::Ok);
    mask->close();
    expectClosed();
    EXPECT_EQ(d->MaskSpectrumIndex(1), 0);
    EXPECT_EQ(d->MaskTestCount(1), 0);
    EXPECT_EQ(d->ProjectStage, 1);
}

TEST_F(MaskWindowTest, UnreadableSpectrumDatabaseClosesTheWindowWithoutAQuestion)
{
    project(GeneratorDA2500);
    folder.remove(QStringLiteral("KOVSPEC.DAT"));
    prompter.answer(MsgAnswer::Ok);
    main.item(QStringLiteral("GoMask1"))->trigger();
    LetEventsRun();
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Fatal Error"));
    expectClosed();
    EXPECT_EQ(d->ProjectStage, 1);
}

// ---- Activation -----------------------------------------------------------------------------------------------

TEST_F(MaskWindowTest, OnlyAnotherProgramWindowReloadsTheWorkingSetNotAMessageBoxNorTheDisabledMainWindow)
{
    openEmptyGrid();
    typeAndLeave(QStringLiteral("41.5"));
    const auto typingKept = [&] {
        EXPECT_TRUE(c("FramData")->isVisible());
        EXPECT_EQ(cell(1)->text(), QStringLiteral("41.5"));
        EXPECT_EQ(d->MaskSpectrumIndexEdit(1), Entry);
    };

    const auto awayAndBack = [&](QWidget& away) {
        away.show();
        away.activateWindow();
        ASSERT_TRUE(WaitUntilActive(&away));
        away.hide();
        mask->activateWindow();
        ASSERT_TRUE(WaitUntilActive(mask.get()));
        LetEventsRun();
    };

    QMessageBox box(QMessageBox::Information, QStringLiteral("KOV"), QStringLiteral("Test Deletion"));
    awayAndBack(box);
    typingKept();

    // A click on the disabled main window: the Mask window comes back to the front with everything typed.
    main.activateWindow();
    ASSERT_TRUE(WaitUntilActive(mask.get()));
    LetEventsRun();
    typingKept();

    QWidget other(nullptr, Qt::Window);
    other.setObjectName(QStringLiteral("LumoDB"));
    awayAndBack(other);
    EXPECT_TRUE(c("FramSpec")->isVisible());
    EXPECT_EQ(d->MaskTestCountEdit(1), 0);
    EXPECT_FALSE(main.isEnabled());
}

TEST_F(MaskWindowTest, FolderQuestionOnlyForChannelsThreeToSixWithoutAFolder)
{
    const QString question = QStringLiteral(
        "Do you wish to save the measurement data into the MG24?  If so, press Yes,Cancel and go to File/Locate MG24 "
        "Software to find the directory.\n Otherwise the data will be saved in this directory.");
    // (channel, the answer or none when there is no question, whether the folder is set)
    for (const auto& [channel, answer, folderSet] :
         {std::tuple<int, std::optional<MsgAnswer>, bool>{3, MsgAnswer::Yes, false},
          {6, MsgAnswer::No, true},
          {1, std::nullopt, false}}) {
        SCOPED_TRACE(channel);
        project(channel == 1 ? GeneratorDA2500 : GeneratorZUVAR24);
        d->MG24Folder = QStringLiteral("  ");
        prompter.clear();
        if (answer)
            prompter.answer(*answer);
        open(channel);
        const test::Shown asked{{question, QStringLiteral("MG24 Directory"), MsgIcon::None, MsgButtons::YesNo}};
        EXPECT_EQ(prompter.messages(), answer ? asked : test::Shown{});
        EXPECT_EQ(d->MG24Folder, folderSet ? d->AppPath : QStringLiteral("  "));
        EXPECT_EQ(c<QPushButton>("CmdCancel")->hasFocus(), answer == MsgAnswer::Yes);
        prompter.answer(MsgAnswer::Ok);
        press("CmdCancel");
        mask.reset();
    }
}

// ---- The shape page -------------------------------------------------------------------------------------------

TEST_F(MaskWindowTest, StoredShapeIsChosenAgainFromTheDatabaseAndTheStoredFiltersStay)
{
    project(GeneratorDA2500);
    // The database as edited since: entry 2 emptied, so the list holds 1, 3, 4, ...
    QByteArray db = folder.read(QStringLiteral("KOVSPEC.DAT"));
    db.replace("\"Ceiling type offices\"", "\"Empty\"");
    folder.write(QStringLiteral("KOVSPEC.DAT"), db);
    d->MaskSpectrumIndex(1) = 3;
    d->MaskLowCutFreq(1) = 125;
    d->MaskHighCutSlope(1) = 18;
    d->MaskLowCutSlope(1) = 6;
    d->MaskHighCutFreq(1) = 5500;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        d->MaskFinal(1, b) = 20;  // earlier level steps, not kept
    open(1);

    auto* list = c<QListWidget>("LstSpec");
    QList<int> listed;
    for (int row = 0; row < list->count(); ++row)
        listed << list->item(row)->data(Qt::UserRole).toInt();
    EXPECT_EQ(listed.mid(0, 3), (QList<int>{1, 3, 4}));
    EXPECT_FALSE(listed.contains(2));
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->data(Qt::UserRole).toInt(), 3);
    EXPECT_EQ(list->currentItem()->text(), d->SpecName(3).trimmed());
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        EXPECT_EQ(d->MaskFinalEdit(1, b), d->SpecLevel(3, b)) << b;
    const QString storedLevel = text("DatAWgt");
    EXPECT_TRUE(enabled("CmdPick"));
    EXPECT_EQ(d->MaskLowCutFreqEdit(1), 125);
    EXPECT_EQ(d->MaskHighCutSlopeEdit(1), 18);
    EXPECT_EQ(d->MaskLowCutSlopeEdit(1), 6);
    EXPECT_EQ(d->MaskHighCutFreqEdit(1), 7000);

    // A click on the second row chooses entry 3, and shows the level the stored shape showed.
    clickEntry(4);
    EXPECT_EQ(d->MaskSpectrumIndexEdit(1), 4);
    clickOn(list->viewport(), list->visualItemRect(list->item(1)).center());
    EXPECT_EQ(d->MaskSpectrumIndexEdit(1), 3);
    EXPECT_EQ(text("DatAWgt"), storedLevel);
    EXPECT_FALSE(c("FramRecommend")->isVisible());
}

// A channel without a shape starts with the default filters and its buttons off; the goal buttons stay in place from
// shape to shape (entry 1 brings five lines of recommendations, entry 2 three, entry 3 none); Enter presses the
// focused button.
TEST_F(MaskWindowTest, ShapePageStartsWithDefaultsKeepsItsButtonsInPlaceAndEnterPressesTheFocusedButton)
{
    project(GeneratorDA2500);
    d->MaskLowCutFreq(2) = 125;
    d->MaskHighCutSlope(2) = 18;
    open(2);
    EXPECT_EQ(d->MaskLowCutFreqEdit(2), 100);
    EXPECT_EQ(d->MaskHighCutSlopeEdit(2), 12);
    EXPECT_EQ(d->MaskLowCutSlopeEdit(2), 12);
    for (const char* b : {"CmdPick", "CmdUp", "CmdDown"})
        EXPECT_FALSE(enabled(b)) << b;
    EXPECT_TRUE(c("LstSpec")->hasFocus());
    EXPECT_EQ(text("LabFNote"), QStringLiteral("Click on desired spectrum shape."));
    EXPECT_EQ(text("LabChan1"), QStringLiteral("DA2500 Channel"));
    EXPECT_EQ(text("DatChan1"), QStringLiteral("2"));

    QList<QPoint> places;
    for (int entry : {1, 2, 3, 1}) {
        clickEntry(entry);
        places << c("CmdPick")->mapTo(mask.get(), QPoint(0, 0)) << c("CmdUp")->mapTo(mask.get(), QPoint(0, 0));
    }
    for (int i = 2; i < places.size(); ++i)
        EXPECT_EQ(places[i], places[i % 2]) << i;

    c("CmdPick")->setFocus();
    QTest::keyClick(c("CmdPick"), Qt::Key_Return);
    LetEventsRun();
    EXPECT_TRUE(c("FramData")->isVisible());
    prompter.answer(MsgAnswer::Cancel);
    c("CmdCancel")->setFocus();
    QTest::keyClick(c("CmdCancel"), Qt::Key_Enter);
    expectExitQuestions(1);
}

// ---- The grid -------------------------------------------------------------------------------------------------

TEST_F(MaskWindowTest, GridCellsValidateOnLeavingAndTestLabelsDeleteTheirColumn)
{
    openEmptyGrid();
    EXPECT_FALSE(enabled("CmdCalc"));

    typeAndLeave(QStringLiteral("99.1"));
    EXPECT_EQ(cell(1)->text(), QString());
    EXPECT_EQ(note(), QStringLiteral("The sound level at 160 Hz was out of range (1 to 99). Reenter."));
    EXPECT_EQ(QApplication::focusWidget(), cell(2));

    // Three tests of 40, 50 and 60 dB; the middle one is dropped.
    typeTests(3);
    EXPECT_EQ(text("LabAvg_1"), QStringLiteral("50.0"));
    EXPECT_TRUE(enabled("CmdCalc"));

    clickOn(c("LabTest_2"));
    EXPECT_EQ(mask->grid().count(), 2);
    EXPECT_EQ(cell(2, 1)->text(), QStringLiteral("60.0"));
    EXPECT_FALSE(cell(3, 1)->isVisible());
    EXPECT_EQ(text("LabAvg_1"), QStringLiteral("50.0"));

    // Down from the last cell of the last test goes to Add Test, which says what is missing.
    cell(2, 5)->setFocus();
    cell(2, 5)->clear();
    cell(2, GridBandCount)->setFocus();
    LetEventsRun();
    key(Qt::Key_Down);
    EXPECT_TRUE(c("CmdUpTest")->hasFocus());
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(note(), QStringLiteral("Data are missing in Test 2 at 400 Hz."));
}

TEST_F(MaskWindowTest, CalculateWithAHoleStaysInTheGridAndPointsAtTheFirstMissingCell)
{
    openWithTests(GeneratorDA2500, 1, {"CmdPick"});
    EXPECT_FALSE(enabled("CmdUpTest"));  // ten tests already

    const int decimalComma = TestBandToCell(3, 2);
    const int mistyped = TestBandToCell(3, 4);
    const int emptied = TestBandToCell(7, 1);
    for (const auto& [cellNumber, typed] :
         {std::pair{decimalComma, QStringLiteral("45,5")}, {mistyped, QStringLiteral("4x.5")}, {emptied, QString()}}) {
        cell(cellNumber)->setFocus();
        cell(cellNumber)->selectAll();
        if (typed.isEmpty())
            cell(cellNumber)->clear();
        else
            QTest::keyClicks(cell(cellNumber), typed);
    }
    press("CmdCalc");

    EXPECT_EQ(cell(decimalComma)->text(), QStringLiteral("45.5"));
    EXPECT_EQ(cell(mistyped)->text(), QString());
    EXPECT_TRUE(c("FramData")->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), cell(mistyped));
    EXPECT_EQ(note(), QStringLiteral("Data are missing in Test 3 at 315 Hz."));
    EXPECT_EQ(prompter.beeps(), 1);
    EXPECT_EQ(d->MaskTestEdit(3, 1, 25), d->MaskTest(3, 1, 25));  // nothing stored

    // Dropping the test the note speaks of takes the note with it.
    clickOn(c("LabTest_3"));
    EXPECT_EQ(note(), QString());
}

// ---- The fit --------------------------------------------------------------------------------------------------

// The initial cutoff takes digits only and refuses low values; while the fit animates nothing can act; the DA2500's
// corrections then narrow to a readable column at the left edge, and pulled wide it shows what the column leaves out.
TEST_F(MaskWindowTest, CutoffEntryThenAFitNothingInterruptsThenTheNarrowDA2500Column)
{
    openWithTests(GeneratorDA2500, 1, {"CmdPick", "CmdCalc"});
    auto* box = c<QLineEdit>("DatFcOld");
    EXPECT_EQ(box->text(), QStringLiteral("7000"));
    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("49a99"));
    EXPECT_EQ(box->text(), QStringLiteral("4999"));

    prompter.answer(MsgAnswer::Ok);
    key(Qt::Key_Return);
    EXPECT_TRUE(c("CmdCancel")->hasFocus());
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("Filter Frequency"));
    EXPECT_EQ(d->MaskHighCutFreqEdit(1), 7000);
    EXPECT_EQ(box->text(), QStringLiteral("7000"));

    box->setFocus();
    box->selectAll();
    QTest::keyClicks(box, QStringLiteral("5099"));
    c("CmdCancel")->setFocus();
    LetEventsRun();
    EXPECT_EQ(d->MaskHighCutFreqEdit(1), 5000);
    EXPECT_EQ(box->text(), QStringLiteral("5000"));
    EXPECT_TRUE(c("CmdMatch")->hasFocus());

    int frames = 0;
    int fits = 0;
    QObject::connect(mask->findChild<MaskMatchPage*>(), &MaskMatchPage::fitFinished, [&] { ++fits; });
    QStringList usable;
    clock.onYield = [&] {
        // A second press of Fit while the first runs must not fit the fitted spectrum again afterwards.
        if (++frames == 1)
            test::QueueClick(c("CmdMatch"));
        for (const char* name : {"CmdDone", "CmdCancel", "CmdMatch", "DatFcOld"}) {
            if (enabled(name) && !usable.contains(QLatin1String(name)))
                usable << QLatin1String(name);
        }
        mask->close();  // the close box, with no question scripted
    };
    press("CmdMatch");
    clock.onYield = nullptr;
    LetEventsRun();
    EXPECT_GT(frames, 0);
    EXPECT_EQ(fits, 1);
    EXPECT_TRUE(usable.isEmpty()) << usable.join(u' ').toStdString();
    EXPECT_TRUE(mask->isVisible());
    EXPECT_TRUE(mask->fitDone());
    EXPECT_TRUE(enabled("CmdDone"));
    EXPECT_TRUE(enabled("CmdCancel"));

    LetEventsRun();
    EXPECT_TRUE(mask->narrow());
    EXPECT_EQ(mask->width(), std::max(TwipsToPixels(2750), mask->minimumSizeHint().width()));
    EXPECT_EQ(mask->frameGeometry().left(), mask->screen()->availableGeometry().left());
    EXPECT_EQ(c<QGroupBox>("FramMatch")->title(), QStringLiteral("Corrections"));
    const auto inWindow = [&](QWidget* w) {
        return mask->rect().contains(QRect(w->mapTo(mask.get(), QPoint()), w->size()));
    };
    for (int b = FirstDataBand; b <= LastDataBand; ++b) {
        for (const QString& name : {QStringLiteral("LabFreq_%1").arg(b), QStringLiteral("DatFreq_%1").arg(b)}) {
            auto* l = c<QLabel>(name);
            ASSERT_TRUE(l->isVisible()) << name.toStdString();
            EXPECT_TRUE(inWindow(l)) << name.toStdString();
            EXPECT_GE(l->width(), l->fontMetrics().horizontalAdvance(l->text())) << name.toStdString();
        }
    }
    EXPECT_TRUE(c("CmdDone")->isVisible());
    EXPECT_TRUE(inWindow(c("CmdDone")));
    EXPECT_FALSE(c("PicErr")->isVisible());

    mask->resize(TwipsToPixels(8000), mask->height());
    LetEventsRun();
    EXPECT_FALSE(mask->narrow());
    EXPECT_EQ(c<QGroupBox>("FramMatch")->title(), QStringLiteral("Equalizer Corrections"));
    for (const char* name : {"LabGain", "LabFlNew", "DatFreq_22", "LabNote"})
        EXPECT_TRUE(c(name)->isVisible()) << name;
}

// ---- Everything in view ---------------------------------------------------------------------------------------

struct Shown {
    const char* state;
    i16 generator;
    int channel;
    std::vector<const char*> buttons;  // from the opened window, after the stored tests and shape are loaded
};

void PrintTo(const Shown& s, std::ostream* os)
{
    *os << s.state;
}

class MaskShownWholeTest : public MaskWindowTest, public ::testing::WithParamInterface<Shown> {};

// Whatever stage the window is in, every control it shows is whole and inside the window, and the window fits the
// smallest screen; a note that belonged to an earlier step is gone.
TEST_P(MaskShownWholeTest, EveryControlIsWholeOnTheSmallestScreen)
{
    const Shown& s = GetParam();
    prompter.answerOpenFile(QStringLiteral(KOV_METER_FIXTURES_DIR "/paa3.paa"));
    openWithTests(s.generator, s.channel, {});
    for (const char* b : s.buttons)
        press(b);
    LetEventsRun();
    EXPECT_EQ(test::ControlsNotWhole(*mask), "");
    if (mask->fitDone()) {
        EXPECT_NE(note().toStdString(), "Press Fit Measured Spectrum to Desired.");
        for (const char* name : {"LabGain", "LabFlNew", "LabNewFc"})
            EXPECT_TRUE(c(name)->isVisible()) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, MaskShownWholeTest,
    ::testing::Values(
        Shown{"goal", GeneratorDA2500, 1, {}},
        Shown{"ten tests with the PAA3 range", GeneratorDA2500, 1, {"CmdPick", "CmdDownloadPAA"}},
        Shown{"ten tests with the LD824 range", GeneratorDA2500, 1, {"CmdPick", "CmdDownloadLD"}},
        Shown{"before the fit", GeneratorDA2500, 1, {"CmdPick", "CmdCalc"}},
        Shown{"the narrowed DA2500 corrections", GeneratorDA2500, 1, {"CmdPick", "CmdCalc", "CmdMatch"}},
        Shown{"the narrowed VO120R+DAR131 corrections", GeneratorVO120RDAR131, 2, {"CmdPick", "CmdCalc", "CmdMatch"}},
        Shown{"the VO120R after the fit", GeneratorVO120R, 1, {"CmdPick", "CmdCalc", "CmdMatch"}},
        Shown{"the ZUV-AR24 after the fit", GeneratorZUVAR24, 3, {"CmdPick", "CmdCalc", "CmdMatch"}}));

}  // namespace
}  // namespace kov
