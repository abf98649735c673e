#include <gtest/gtest.h>

#include <QDir>
#include <QRadioButton>
#include <ostream>
#include <tuple>

#include "core/EqFile.h"
#include "core/Levels.h"
#include "core/ProjectFile.h"
#include "core/Tables.h"
#include "paging/PageWindow.h"
#include "tests/support/WindowTest.h"

using namespace kov;
using namespace kov::test;

namespace {

// Two masking results as the Mask window leaves them. The figures the window must arrive at over them were worked
// out apart from the program, with the band tables, single-precision sums and rounding half to even.
BandArray Sloped()  // 50 dB at 160 Hz falling 1 dB a band: start 56 dBA, Excellent at 79 dBA after 45 raises
{
    BandArray s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        s(b) = static_cast<f32>(50 - (b - FirstDataBand));
    return s;
}

BandArray BassHeavy()  // 46 dB up to 250 Hz, 44 dB at 315 Hz, then 0.5 dB less a band: 58 dBA, Excellent at 81
{
    BandArray s;
    for (int b = FirstDataBand; b <= LastDataBand; ++b)
        s(b) = b < 28 ? 46.0f : 44.0f - 0.5f * static_cast<f32>(b - 28);
    return s;
}

class PageWindowTest : public test::WindowTest<Page> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        for (int n = 1; n <= 2; ++n)
            setOpener(QStringLiteral("GoPage%1").arg(n), window, 14400, 7200);
    }

    void project(i16 generator, bool withFile = true)
    {
        if (withFile)
            d->ProjectEqName = QStringLiteral("ROAD.EQ");
        WindowTest::project(generator, 2, withFile);
    }

    // The channel's item of the Equalize System menu.
    void open(int ch)
    {
        ASSERT_TRUE(main.item(QStringLiteral("GoPage%1").arg(ch))->isVisible());
        WindowTest::open(QStringLiteral("GoPage%1").arg(ch));
    }

    // Clicks the options in turn.
    void option(std::initializer_list<QString> names) const
    {
        for (const QString& name : names) {
            auto* o = c<QRadioButton>(name);
            ASSERT_TRUE(o->isEnabled()) << name.toStdString();
            // On the round button itself: a short caption leaves the middle of a wide option empty.
            QTest::mouseClick(o, Qt::LeftButton, {}, QPoint(o->height() / 2, o->height() / 2));
            LetEventsRun();
        }
    }
    std::unique_ptr<Page>& page = window;
};

const QString ChooseBoth =
    QStringLiteral("Choose the speaker location and the backgound or masking spectrum for the area.");

// ---- The road of a paging channel -----------------------------------------------------------------------------

// The paging channel, the background's masking channel and its option, the location's option and whether it is
// chosen first; the first and last lines of ListAI, the level shown and stored (two decimals) and the raises.
struct Road {
    const char* product;
    i16 generator;
    int channel;
    int maskingChannel;
    const char *backgroundOption, *speaker;
    bool speakerFirst;
    BandArray (*background)();
    QString startLine;
    QString lastLine;
    QString levelText;
    f32 level;
    int raises;
};

// The test's name in ctest's list says which road, not the bytes of the case.
void PrintTo(const Road& road, std::ostream* os)
{
    *os << road.product << " paging channel " << road.channel;
}

class PageRoadTest : public PageWindowTest, public ::testing::WithParamInterface<Road> {};

TEST_P(PageRoadTest, ChannelIsCalculatedShownAndSavedFromTheMenuToTheFiles)
{
    const Road road = GetParam();
    const int ch = road.channel;
    const bool zuv = road.generator == GeneratorZUVAR24;
    project(road.generator);
    SetChannelRow(d->MaskMatched, road.maskingChannel, road.background());
    open(ch);
    EXPECT_EQ(
        std::tuple(page->windowTitle(), note(), main.isEnabled(), c("ListAI")->isVisible(), c("PicErr")->isVisible(),
                   page->plot()->gridDrawn(), enabled("CmdCalculate"), enabled("CmdEQSet"), enabled("CmdDone")),
        std::tuple(QStringLiteral("Setting Paging Equalizer Corrections for Channel%1").arg(ch), ChooseBoth, false,
                   false, true, false, false, false, false));

    const char* first = road.speakerFirst ? road.speaker : road.backgroundOption;
    option({QLatin1String(first)});
    EXPECT_EQ(std::tuple(note(), enabled("CmdCalculate")),
              std::tuple(road.speakerFirst ? QStringLiteral("Choose the reference background spectrum.")
                                           : QStringLiteral("Choose the speaker location.."),
                         false));
    option({QLatin1String(road.speakerFirst ? road.backgroundOption : road.speaker)});
    EXPECT_EQ(std::tuple(note(), page->plot()->backgroundDrawn()),
              std::tuple(QStringLiteral("Press CALCULATE to create the paging spectrum."), true));
    EXPECT_FLOAT_EQ(page->pageWork(ch)(FirstDataBand), road.background()(FirstDataBand));
    EXPECT_FLOAT_EQ(page->pageWork(ch)(LastDataBand), road.background()(LastDataBand));

    // While the spectrum rises nothing may act on it, then or after, and the window cannot be closed.
    int yields = 0;
    bool heldOff = true;
    clock.onYield = [&] {
        ++yields;
        for (const char* b : {"CmdCalculate", "CmdEQSet", "CmdDone", "CmdNew", "CmdCancel", "OptSpkr_1", "OptSpec_1"})
            heldOff = heldOff && !enabled(b);
        if (yields == 2)
            test::QueueClick(c("CmdNew"));
        if (yields == 3) {
            page->close();
            heldOff = heldOff && page->isVisible();
        }
    };
    const double before = clock.elapsed();
    press("CmdCalculate");
    clock.onYield = nullptr;
    LetEventsRun();
    EXPECT_TRUE(heldOff);
    EXPECT_GT(yields, 3);
    EXPECT_TRUE(page->isVisible());
    // Two pauses of 0.05 s for each raise.
    EXPECT_GE(clock.elapsed() - before, road.raises * 0.1 - 1e-6);

    const QStringList lines = rows(QStringLiteral("ListAI"));
    ASSERT_GE(lines.size(), 3);
    EXPECT_EQ(std::tuple(lines.front(), lines[1], lines.back(), text(QStringLiteral("Datprivacy_1"))),
              std::tuple("dBA  Intelligibility", road.startLine, road.lastLine, road.levelText));
    EXPECT_EQ(
        std::tuple(c("ListAI")->isVisible(), page->plot()->pagingDrawn(), enabled("CmdEQSet"), enabled("CmdDone")),
        std::tuple(true, true, true, false));
    EXPECT_EQ(note(), zuv ? QStringLiteral("Press Show Settings to show page results then press Done to save settings "
                                           "to a file.")
                          : QStringLiteral("Press Show Settings to show page results then open DA2500 software and "
                                           "transfer the settings.  Then press Done."));

    EXPECT_EQ(test::ControlsNotWhole(*page), "");
    press("CmdEQSet");
    EXPECT_EQ(test::ControlsNotWhole(*page), "");
    EXPECT_EQ(std::tuple(enabled("CmdDone"), c("Fram120")->isVisible(), c("FramData")->isVisible(),
                         c("FramMixer")->isVisible()),
              std::tuple(true, false, !zuv, zuv));
    if (zuv) {
        EXPECT_EQ(note(), QStringLiteral("Press DONE to save data."));
        // Under the floor: two controls set, the other six bypassed; the rows' texts are PagingSettingsTest's.
        EXPECT_EQ(std::tuple(text("LabEqFreq_1"), text("LabEqLevel_2"), text("LabEqFreq_3"), text("LabEqBW_8"),
                             text("LabEqName_8")),
                  std::tuple("EQ Freq =2500 Hz", "EQ Level =+3.0 dB", "Bypass", "", "EQ Control 8"));
    } else {
        EXPECT_FALSE(c("LabNote")->isVisible());
        // Face down in a suspended ceiling: +1 and +2 dB from 630 Hz to 3150 Hz (Da2500SettingsTest has every band).
        EXPECT_EQ(std::tuple(text("DatFreq_27"), text("DatFreq_28"), text("DatFreq_32"), text("DatFreq_36")),
                  std::tuple(" 0.0", "+1.0", "+2.0", " 0.0"));
        EXPECT_EQ(std::tuple(text("DatChan"), text("LabGain"), text("LabPFl"), text("LabPFh")),
                  std::tuple("1", " 79.0", " 100", " 5000"));
    }

    if (zuv)
        prompter.answer(MsgAnswer::Ok);  // the EQ file's confirmation
    prompter.answer(MsgAnswer::Yes);
    press("CmdDone");
    expectClosed();
    EXPECT_EQ(prompter.unusedAnswers(), 0u);
    const std::size_t offer = zuv ? 1 : 0;
    ASSERT_EQ(prompter.messages().size(), offer + 1);
    expectSaveOffer(offer);

    // The file on disk holds the channel's results.
    const LumoData saved = readAs(ParseProjectFile, QStringLiteral("ROAD.MSK"));
    EXPECT_EQ(std::tuple(d->ProjectStage, saved.ProjectStage, saved.PageSpecOption, saved.PageSpeakerOption(ch)),
              std::tuple(3, 3, QString::fromLatin1(road.backgroundOption).back().digitValue(),
                         QString::fromLatin1(road.speaker).back().digitValue()));
    EXPECT_FLOAT_EQ(saved.PageLevel(ch), road.level);
    // The paging spectrum keeps its roll-off: flat to 1 kHz, 13 dB down at 8 kHz.
    EXPECT_FLOAT_EQ(saved.PageSpectrum(ch, 30) - saved.PageSpectrum(ch, 22), 0.0f);
    EXPECT_FLOAT_EQ(saved.PageSpectrum(ch, 39) - saved.PageSpectrum(ch, 31), -13.0f);
    EXPECT_FLOAT_EQ(saved.PageSpectrum(ch, 22), d->PageSpectrumEdit(ch, 22));
    if (!zuv) {
        EXPECT_EQ(std::tuple(saved.PageLowpassFreq(ch), saved.PageHighpassFreq(ch)), std::tuple(100, 5000));
        return;
    }
    EXPECT_EQ(std::tuple(saved.PageEqFreq(ch, 1), saved.PageEqFreq(ch, 2), saved.PageEqFreq(ch, 3)),
              std::tuple(2500, 1250, 0));

    // The paging line of the EQ file: two controls, the other six bypassed.
    expectEqFileSaved(QStringLiteral("Paging channel %1").arg(ch));
    const LumoData image = readAs(ParseEqFile, QStringLiteral("ROAD.EQ"));
    EXPECT_EQ(
        std::tuple(image.EqPageChannel(ch), image.EqPageFreq(ch, 1), image.EqPageWidth(ch, 1), image.EqPageLevel(ch, 1),
                   image.EqPageFreq(ch, 2), image.EqPageWidth(ch, 2), image.EqPageLevel(ch, 2)),
        std::tuple(ch, 2500, 1.5f, 8.f, 1250, 0.75f, 3.f));
    EXPECT_EQ(image.EqPageFreq(ch, 3), 0);
}

INSTANTIATE_TEST_SUITE_P(Products, PageRoadTest,
                         ::testing::Values(Road{"DA2500", GeneratorDA2500, 1, 1, "OptSpec_2", "OptSpkr_4", true,
                                                &Sloped, "56    Poor", "79    Excellent", "79", 79.0f, 45},
                                           Road{"ZUVAR24", GeneratorZUVAR24, 2, 4, "OptSpec_3", "OptSpkr_3", false,
                                                &BassHeavy, "58    Poor", "81    Excellent", "81", 80.8f, 46}),
                         [](const ::testing::TestParamInfo<Road>& info) { return std::string(info.param.product); });

// ---- Closing --------------------------------------------------------------------------------------------------

TEST_F(PageWindowTest, DoneWithoutAFileNameKeepsTheResultsForSaveAs)
{
    project(GeneratorDA2500, false);
    SetChannelRow(d->MaskMatched, 2, Sloped());
    open(1);
    option({"OptSpec_3", "OptSpkr_2"});
    press("CmdCalculate");
    press("CmdEQSet");
    const LumoData calculated = *d;

    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    expectSaveAsOffered();
    EXPECT_EQ(
        std::tuple(d->ProjectStage, d->PageLevel(1), d->PageSpecOption, d->PageSpeakerOption(1), d->PageLowpassFreq(1)),
        std::tuple(3, 79.f, 3, 2, 100));
    for (int b = FirstBand; b <= LastBand; ++b)
        EXPECT_EQ(d->PageSpectrum(1, b), calculated.PageSpectrumEdit(1, b)) << b;
    EXPECT_TRUE(
        QDir(folder.path()).entryList({QStringLiteral("*.MSK"), QStringLiteral("*.EQ")}, QDir::Files).isEmpty());
}

TEST_F(PageWindowTest, CancelAnsweredCancelKeepsTheWindowAndItsResultsAndOkDropsThem)
{
    project(GeneratorDA2500);
    SetChannelRow(d->MaskMatched, 1, Sloped());
    open(1);
    option({"OptSpkr_1", "OptSpec_2"});
    press("CmdCalculate");

    prompter.answer(MsgAnswer::Cancel);
    press("CmdCancel");
    prompter.answer(MsgAnswer::Cancel);
    page->close();
    expectExitQuestions(2);
    EXPECT_EQ(
        std::tuple(page->isVisible(), rows(QStringLiteral("ListAI")).back(), enabled("CmdEQSet"), main.isEnabled()),
        std::tuple(true, "79    Excellent", true, false));

    prompter.answer(MsgAnswer::Ok);
    page->close();
    expectClosed();
    EXPECT_EQ(std::tuple(d->ProjectStage, d->PageLevel(1), d->PageSpeakerOption(1), QFile::exists(d->ProjectFileName)),
              std::tuple(2, 0.f, 0, false));
}

// ---- Choosing ---------------------------------------------------------------------------------------------------

TEST_F(PageWindowTest, NeverEqualizedChannelIsRefusedAndAnEarlierBackgroundDoesNotStandInForIt)
{
    project(GeneratorDA2500);
    open(1);
    QStringList captions;
    for (const char* o : {"OptSpec_2", "OptSpec_3", "OptSpec_4", "OptSpec_5"})
        captions << c<QRadioButton>(o)->text();
    EXPECT_EQ(captions, QStringList({"DA2500 Channel 1", "DA2500 Channel 2", "Not used", "Not used"}));
    for (const char* o : {"OptSpec_4", "OptSpec_5"})
        EXPECT_FALSE(enabled(o)) << o;

    // The database background first: it is there, and Calculate could run over it.
    option({"OptSpkr_1", "OptSpec_1"});
    EXPECT_EQ(std::tuple(enabled("CmdCalculate"), page->plot()->backgroundDrawn()), std::tuple(true, true));

    prompter.answer(MsgAnswer::Ok);
    option({"OptSpec_2"});
    const test::Shown refused{{"The Channel1 spectrum is not available.", "No data", MsgIcon::Critical}};
    EXPECT_EQ(std::tuple(prompter.messages(), enabled("CmdCalculate"), page->plot()->backgroundDrawn()),
              std::tuple(refused, false, false));

    option({"OptSpkr_2"});
    EXPECT_EQ(std::tuple(enabled("CmdCalculate"), note()),
              std::tuple(false, QStringLiteral("Choose the reference background spectrum.")));

    // Start Over: nothing chosen, nothing drawn.
    press("CmdNew");
    EXPECT_EQ(std::tuple(note(), page->plot()->gridDrawn(), enabled("CmdCalculate"), prompter.messages()),
              std::tuple(ChooseBoth, false, false, refused));
    for (const char* o : {"OptSpkr_1", "OptSpkr_2", "OptSpec_1", "OptSpec_2"})
        EXPECT_FALSE(c<QRadioButton>(o)->isChecked()) << o;
}

// The axis numbers stand where the plot's levels and octaves are.
TEST(PagingAxisTextsTest, LevelsEveryTenDecibelsAndTheOctavesBelow)
{
    LumoData d;
    InitTables(d);
    const TwipRect plot{420, 150, 5100, 3600};
    const QList<AxisText> texts = PagingAxisTexts(plot, d.BandFreq);
    QStringList shown;
    for (const AxisText& t : texts)
        shown << t.text;
    EXPECT_EQ(shown, QStringList({"20", "30", "40", "50", "60", "70", "80", "250", "500", "1000", "2000", "4000",
                                  "8000", "Frequency"}));
    // 600 twips for each 10 dB, 80 dB level with the plot's top.
    for (int k = 0; k < 7; ++k)
        EXPECT_EQ(std::tuple(texts[k].x, texts[k].y), std::tuple(plot.left - 300, texts[0].y - 600 * k)) << k;
    EXPECT_EQ(texts[6].y, plot.top - 100);
}

}  // namespace
