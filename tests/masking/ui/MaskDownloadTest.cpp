#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <functional>
#include <tuple>
#include <vector>

#include "meters/Ld824Meter.h"
#include "tests/masking/ui/MaskFixture.h"

namespace kov {
namespace {

using test::Shown;

QString Fixture(const char* name)
{
    return QStringLiteral(KOV_METER_FIXTURES_DIR "/") + QLatin1String(name);
}

const QString DownloadComplete = QStringLiteral("Download complete. You may edit the data or press Calculate..");

// The grid stage of channel 1 of a DA2500 project, reached as the installer reaches it: the shape chosen, then
// "Choose".
class MaskDownloadTest : public test::MaskFixture {
protected:
    void SetUp() override
    {
        MaskFixture::SetUp();
        project(GeneratorDA2500, 1);
        open(1);
        clickEntry(2);
        press("CmdPick");
    }

    QStringList gridTexts() const
    {
        QStringList texts;
        for (int n = 1; n <= GridCellCount; ++n)
            texts << cell(n)->text();
        for (int k = 1; k <= GridBandCount; ++k)
            texts << text(QStringLiteral("LabAvg_%1").arg(k));
        return texts;
    }
    void enterRange(const QString& first, const QString& last)
    {
        EXPECT_TRUE(c("FramFile")->isVisible());
        EXPECT_TRUE(c("DatFile_0")->hasFocus());
        typeAndLeave(first);
        typeAndLeave(last);
        EXPECT_TRUE(c("CmdFile")->hasFocus());
    }
};

struct Import {
    const char* button;
    const char* file;
    int count;
    bool notice;  // a cell that may hide a level is named after the hand-over
    // Three cells that pin the hand-over: (test, band index, text).
    struct Cell {
        int test;
        int band;
        const char* text;
    } cells[3];
};

TEST_F(MaskDownloadTest, EachMetersFileFillsTheGridThroughItsButtonAndDialog)
{
    const Import imports[] = {
        {"CmdDownloadDSP", "dsp30.txt", 1, false, {{1, 1, "45.2"}, {1, 2, "46.4"}, {1, 18, "28.2"}}},
        {"CmdDownloadIE", "ie45.ivi", 1, false, {{1, 1, "45.4"}, {1, 2, "46.2"}, {1, 18, "30.6"}}},
        // Rows 2 to 11; ET4 is a formula whose stored result the .xlsx keeps, EU5 one without.
        {"CmdDownloadBK", "bk2250.xlsx", 10, true, {{1, 1, "48.0"}, {3, 4, "49.6"}, {10, 18, "32.0"}}},
        {"CmdDownloadBK", "bk2250.xls", 10, true, {{1, 1, "48.0"}, {3, 4, "0.0"}, {10, 18, "32.0"}}},
        // Columns B, C, D and J; J13 holds the text "45.2". E is empty, F, G, H and K are out, and the formula in
        // I cannot be read from an .xls.
        {"CmdDownloadEX", "excel.xls", 4, true, {{1, 1, "55.0"}, {4, 5, "45.2"}, {3, 18, "35.4"}}},
        {"CmdDownloadEX", "excel.xlsx", 5, true, {{1, 1, "55.0"}, {4, 7, "52.8"}, {5, 5, "45.2"}}},
    };
    for (const Import& i : imports) {
        SCOPED_TRACE(i.file);
        prompter.clear();
        prompter.answerOpenFile(Fixture(i.file));
        if (i.notice)
            prompter.answer(MsgAnswer::Ok);
        press(i.button);
        EXPECT_EQ(prompter.messages().size(), i.notice ? 1u : 0u);
        EXPECT_EQ(d->MaskTestCountEdit(1), i.count);
        EXPECT_EQ(mask->grid().count(), i.count);
        for (const Import::Cell& x : i.cells)
            EXPECT_EQ(cell(x.test, x.band)->text(), QLatin1String(x.text)) << x.band;
        EXPECT_EQ(note(), DownloadComplete);
    }
}

TEST_F(MaskDownloadTest, AFailedOrCancelledImportLeavesTheGridAndTheTestCountAsTheyWere)
{
    typeTests(2);
    const QStringList before = gridTexts();
    folder.write(QStringLiteral("cut.txt"), QByteArray("\"Model\",30\r\n\"Serial\","));
    folder.write(QStringLiteral("cut.ivi"), QByteArray("only\r\nthree\r\nlines\r\n"));
    const QString cut = QDir::toNativeSeparators(folder.path() + QLatin1Char('/'));
    // (button, the file chosen, the message, or how it ends when it starts with a blank)
    const std::tuple<const char*, QString, QString> failures[] = {
        {"CmdDownloadDSP", folder.file(QStringLiteral("cut.txt")),
         QStringLiteral("File cut.txt could not be recovered in") + cut + QLatin1Char('.')},
        {"CmdDownloadIE", folder.file(QStringLiteral("cut.ivi")),
         QStringLiteral("File cut.ivi could not be recovered in") + cut + QLatin1Char('.')},
        {"CmdDownloadBK", Fixture("onesheet.xlsx"),
         QStringLiteral("Nothing was imported from the workbook ") +
             QDir::toNativeSeparators(Fixture("onesheet.xlsx")) +
             QStringLiteral(". Error: it has no sheet 2 (it has one sheet) occurred in BK download module.")},
        // A workbook without a test would have left the channel with none.
        {"CmdDownloadEX", Fixture("onesheet.xlsx"), QStringLiteral(" occurred in Excel download module.")},
        {"CmdDownloadBK", Fixture("damaged.xls"), QStringLiteral(" occurred in BK download module.")},
        {"CmdDownloadEX", Fixture("notaworkbook.xls"), QStringLiteral(" occurred in Excel download module.")},
        {"CmdDownloadEX", QString(), QStringLiteral("No Excel file was chosen. Try again.")},
        {"CmdDownloadDSP", QStringLiteral("  "), QStringLiteral("No DSP30 file has been chosen")},
    };
    for (const auto& [button, file, message] : failures) {
        SCOPED_TRACE(button);
        prompter.clear();
        prompter.answerOpenFile(file);
        prompter.answer(MsgAnswer::Ok);
        press(button);
        ASSERT_EQ(prompter.messages().size(), 1u);
        if (message.startsWith(u' '))
            EXPECT_TRUE(prompter.messages()[0].text.endsWith(message)) << prompter.messages()[0].text.toStdString();
        else
            EXPECT_EQ(prompter.messages()[0].text, message);
        EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("File Error"));
        EXPECT_EQ(d->MaskTestCountEdit(1), 2);
        EXPECT_EQ(gridTexts(), before);
    }

    // A PAA3 file with nine records is not half read either.
    prompter.clear();
    prompter.answerOpenFile(Fixture("paa3_short.paa"));
    press("CmdDownloadPAA");
    enterRange(QStringLiteral("1"), QStringLiteral("2"));
    prompter.answer(MsgAnswer::Ok);
    press("CmdFile");
    EXPECT_EQ(prompter.messages(),
              Shown({{QStringLiteral("The file ") + QDir::toNativeSeparators(Fixture("paa3_short.paa")) +
                          QStringLiteral(" could not be found."),
                      QStringLiteral("File Error"), MsgIcon::Critical}}));
    EXPECT_EQ(d->MaskTestCountEdit(1), 2);
    EXPECT_EQ(gridTexts(), before);
}

// The range is checked in order and a bad one clears the boxes; Abort forgets it; records 3 to 5 become tests 1 to 3.
TEST_F(MaskDownloadTest, Paa3RangeIsCheckedInOrderAndTheRecordsInItBecomeTests)
{
    prompter.answerOpenFile(Fixture("paa3.paa"));
    press("CmdDownloadPAA");
    EXPECT_EQ(c<QGroupBox>("FramFile")->title(), QStringLiteral("PAA3 Files to Extract"));
    // Letters do not get into a box; Down and Home go to the other box.
    QTest::keyClicks(c("DatFile_0"), QStringLiteral("4x"));
    EXPECT_EQ(c<QLineEdit>("DatFile_0")->text(), QStringLiteral("4"));
    QTest::keyClick(c("DatFile_0"), Qt::Key_Down);
    EXPECT_TRUE(c("DatFile_1")->hasFocus());
    QTest::keyClick(c("DatFile_1"), Qt::Key_Home);
    EXPECT_TRUE(c("DatFile_0")->hasFocus());
    QTest::keyClick(c("DatFile_0"), Qt::Key_Return);
    // The PAA3 holds ten records: the end box says so when it is left.
    prompter.answer(MsgAnswer::Ok);
    typeAndLeave(QStringLiteral("11"));
    EXPECT_EQ(c<QLineEdit>("DatFile_1")->text(), QStringLiteral("10"));
    EXPECT_EQ(prompter.messages(), Shown({{QStringLiteral("There are only ten files in the PAA3 meter."),
                                           QStringLiteral("End File Limit"), MsgIcon::Information}}));

    // 4 to 3 is refused; both boxes empty, the focus back in the first.
    c<QLineEdit>("DatFile_1")->setFocus();
    c<QLineEdit>("DatFile_1")->setText(QStringLiteral("3"));
    prompter.clear();
    prompter.answer(MsgAnswer::Ok);
    press("CmdFile");
    EXPECT_EQ(prompter.messages(), Shown({{QStringLiteral("The start record number must be less than the end record "
                                                          "number. Re-enter data."),
                                           QStringLiteral("Record Error"), MsgIcon::Critical}}));
    EXPECT_TRUE(c("FramFile")->isVisible());
    EXPECT_TRUE(c("DatFile_0")->hasFocus());
    EXPECT_EQ(c<QLineEdit>("DatFile_0")->text(), QString());
    EXPECT_EQ(c<QLineEdit>("DatFile_1")->text(), QString());
    EXPECT_EQ(d->MaskTestCountEdit(1), 1);

    // 4 to 4 is one record; Abort instead closes the frame and forgets the range.
    enterRange(QStringLiteral("4"), QStringLiteral("4"));
    press("CmdAbort");
    EXPECT_FALSE(c("FramFile")->isVisible());
    prompter.answerOpenFile(Fixture("paa3.paa"));
    press("CmdDownloadPAA");
    EXPECT_EQ(c<QLineEdit>("DatFile_0")->text(), QString());
    enterRange(QStringLiteral("4"), QStringLiteral("4"));
    press("CmdFile");
    EXPECT_EQ(d->MaskTestCountEdit(1), 1);
    EXPECT_EQ(cell(1, 3)->text(), QStringLiteral("40.0"));

    prompter.answerOpenFile(Fixture("paa3.paa"));
    press("CmdDownloadPAA");
    enterRange(QStringLiteral("3"), QStringLiteral("5"));
    press("CmdFile");
    EXPECT_FALSE(c("FramFile")->isVisible());
    EXPECT_EQ(d->MaskTestCountEdit(1), 3);
    // Record n holds 24 + n + k + n/10 in band k; record 4 starts 0, 0, 40 and record 5 has 0 in bands 9 to 11.
    EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("28.3"));
    EXPECT_EQ(cell(2, 1)->text(), QStringLiteral("-2.0"));
    EXPECT_EQ(cell(2, 2)->text(), QStringLiteral("-4.0"));
    EXPECT_EQ(cell(2, 3)->text(), QStringLiteral("40.0"));
    EXPECT_EQ(cell(3, 11)->text(), QStringLiteral("31.5"));
    EXPECT_FALSE(cell(4, 1)->isVisible());
    EXPECT_EQ(d->MaskTestEdit(3, 1, 39), 47.5f);
    EXPECT_TRUE(c("CmdCalc")->hasFocus());
}

// Two typed tests, then files 3 to 5 of an LD824 asked for, while the person clicks on the window: nothing but Stop
// acts, then or after, and a download that does not end well leaves the grid, TestLevel and the count as they were.
TEST_F(MaskDownloadTest, DuringAnLd824DownloadOnlyStopActsAndAFailedOneChangesNothing)
{
    const QString unchanged =
        QStringLiteral(" Nothing was taken from the meter; the tests in the grid are as they were.");
    struct Case {
        const char* what;
        const char* clicked;
        bool queued;
        int vanishAfter;  // commands the meter answers (-1: all)
        QString message;  // after a download that failed
        bool asleep = false;
    };
    const Case cases[] = {
        {"Clear Data", "CmdClear", true, -1, {}},
        {"a test's number", "LabTest_1", true, -1, {}},
        {"Stop", "CmdCancelDownload", false, -1,
         QStringLiteral("The download from the LD824 was cancelled.") + unchanged},
        // 39 commands up to "R181", 10 for the first pass, 7 for each file after.
        {"a meter falling silent, a test's number clicked", "LabTest_2", false, 39 + 10 + 7 * 3,
         QStringLiteral("The LD824 on COM1 gave no valid reply to F4,6 for file 4 in five tries, so the download "
                        "stopped.") +
             unchanged + QStringLiteral("\nCheck cable connection.\nCheck for batteries or AC power.")},
        {"a meter that never wakes, Clear Data clicked", "CmdClear", true, -1,
         QStringLiteral("Connection failed. Port COM1 may be in error.\nCheck cable connection.\nCheck for batteries "
                        "or AC power."),
         true},
    };
    std::vector<Indexed<f32, 11, 43>> files(8);
    for (int f = 1; f <= 8; ++f) {
        for (int b = 11; b <= 43; ++b)
            files[static_cast<std::size_t>(f - 1)](b) = static_cast<f32>(20 + f + b);
    }
    typeTests(2);
    const QStringList typed = gridTexts();
    for (const Case& x : cases) {
        SCOPED_TRACE(x.what);
        prompter.clear();
        press("CmdClear");
        typeTests(2);
        Ld824Meter meter(files);
        meter.faults().vanishAfterCommands = x.vanishAfter;
        meter.faults().asleep = x.asleep;
        mask->setSerialLinkFactory([&] { return std::make_unique<SimulatedLd824Link>(meter, clock); });
        press("CmdDownloadLD");
        EXPECT_EQ(c<QGroupBox>("FramFile")->title(), QStringLiteral("LD824 Files to Extract"));
        enterRange(QStringLiteral("3"), QStringLiteral("5"));
        if (!x.message.isEmpty())
            prompter.answer(MsgAnswer::Ok);
        const MaskDownloads& downloads = *mask->findChild<MaskDownloads*>();
        const DownloadLevels testLevel = downloads.testLevel();
        const int testCount = downloads.testCount();
        int yields = 0;
        QStringList usable;
        clock.onYield = [&] {
            if (++yields == 60) {
                for (const char* name : {"CmdCancelDownload", "CmdClear", "CmdUpTest", "CmdDownloadLD", "CmdCancel",
                                         "CmdDone", "Test1_1"}) {
                    if (enabled(name))
                        usable << QLatin1String(name);
                }
                // Queued as the window system hands it over, or let through at once at a wait.
                if (x.queued)
                    test::QueueClick(c(x.clicked));
                else
                    QTest::mouseClick(c(x.clicked), Qt::LeftButton);
            }
        };
        press("CmdFile");
        clock.onYield = nullptr;
        test::LetEventsRun();
        EXPECT_EQ(usable, QStringList{"CmdCancelDownload"});
        EXPECT_FALSE(enabled("CmdCancelDownload"));
        EXPECT_TRUE(enabled("CmdUpTest"));
        if (x.message.isEmpty()) {
            EXPECT_TRUE(prompter.messages().empty());
            EXPECT_EQ(d->MaskTestCountEdit(1), 3);
            EXPECT_EQ(cell(1, 1)->text(), QStringLiteral("45.0"));
            EXPECT_EQ(cell(3, 18)->text(), QStringLiteral("64.0"));
            EXPECT_EQ(note(), DownloadComplete);
            continue;
        }
        const bool stopped = QLatin1String(x.clicked) == QLatin1String("CmdCancelDownload");
        EXPECT_EQ(prompter.messages(),
                  Shown({{x.message, stopped ? QStringLiteral("Download Cancelled") : QStringLiteral("Download Error"),
                          stopped ? MsgIcon::Information : MsgIcon::Critical}}));
        EXPECT_EQ(d->MaskTestCountEdit(1), 2);
        EXPECT_EQ(gridTexts(), typed);
        EXPECT_EQ(downloads.testCount(), testCount);
        for (int t = 1; t <= 10; ++t) {
            for (int k = 1; k <= GridBandCount; ++k)
                EXPECT_EQ(downloads.testLevel()(t, k), testLevel(t, k)) << t << " " << k;
        }
        EXPECT_EQ(note(), QString());
    }
}

struct SheetCell {
    int test;
    int band;
    const char* text;
};

struct Sheet {
    QString file;
    int count;
    std::vector<SheetCell> cells;
    QString message;  // what the grid says after the hand-over, if anything
};

// The Excel data sheet shipped beside the program (KOV.XLS), imported as an installer imports the copy they filled
// in on site.
TEST_F(MaskDownloadTest, TheColumnsFilledInOnTheShippedSheetBecomeTheTests)
{
    const Sheet sheets[] = {
        // The shipped sheet with tests 1 to 6 filled in by the script that writes it
        // (tools/data/make_kov_xls.py --fill): level 58.0 - 1.5 per band + 0.7 per test.
        {QStringLiteral(KOV_METER_FIXTURES_DIR "/kov_filled.xls"),
         6,
         {{1, 1, "58.0"}, {3, 9, "47.4"}, {6, 18, "36.0"}},
         QString()},
        // As shipped: every column empty, so none is a test; the six tests just imported stay.
        {folder.file(QStringLiteral("KOV.XLS")),
         6,
         {{1, 1, "58.0"}, {6, 18, "36.0"}},
         QStringLiteral(" occurred in Excel download module.")},
    };
    for (const Sheet& sheet : sheets) {
        SCOPED_TRACE(sheet.file.toStdString());
        prompter.clear();
        prompter.answerOpenFile(sheet.file);
        if (!sheet.message.isEmpty())
            prompter.answer(MsgAnswer::Ok);
        press("CmdDownloadEX");
        // The dialog opens where the sheet is shipped.
        ASSERT_EQ(prompter.openRequests().size(), 1u);
        EXPECT_TRUE(QFile::exists(QDir(prompter.openRequests()[0].folder).filePath(QStringLiteral("KOV.XLS"))));
        ASSERT_EQ(prompter.messages().size(), sheet.message.isEmpty() ? 0u : 1u);
        if (!sheet.message.isEmpty()) {
            EXPECT_TRUE(
                prompter.messages()[0].text.startsWith(QStringLiteral("Nothing was imported from the workbook ")) &&
                prompter.messages()[0].text.endsWith(sheet.message));
        }
        EXPECT_EQ(d->MaskTestCountEdit(1), sheet.count);
        EXPECT_EQ(mask->grid().count(), sheet.count);
        for (const SheetCell& x : sheet.cells)
            EXPECT_EQ(cell(x.test, x.band)->text(), QLatin1String(x.text)) << x.test << " " << x.band;
        EXPECT_FALSE(cell(sheet.count + 1, 1)->isVisible());
    }
}

}  // namespace
}  // namespace kov
