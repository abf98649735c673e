#include <gtest/gtest.h>

#include <QListWidget>
#include <tuple>

#include "core/EqFile.h"
#include "paging/ReviewWindow.h"
#include "tests/support/WindowTest.h"

using namespace kov;
using namespace kov::test;

namespace {

class ReviewWindowTest : public test::WindowTest<Review> {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        d->MG24Folder = folder.path() + QLatin1Char('/');
        setOpener(QStringLiteral("GoReview"), window, 10350, 7835);
        main.item(QStringLiteral("GoReview"))->trigger();
        ASSERT_TRUE(test::WaitUntilActive(window.get()));
    }

    // "Open file", then the file clicked and opened in the Open window, as the installer does it.
    void openEqFile(const QString& name)
    {
        press("CmdDownload");
        EXPECT_FALSE(window->isEnabled());
        QWidget* chooser = QApplication::activeWindow();
        ASSERT_NE(chooser, nullptr);
        auto* files = Control<QListWidget>(*chooser, "FileBoxOffice");
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        files->setCurrentItem(found.front());
        Control<QPushButton>(*chooser, "CmdOpen")->click();
        LetEventsRun();
        ASSERT_TRUE(test::WaitUntilActive(window.get()));
        LetEventsRun();
    }
};

TEST_F(ReviewWindowTest, AFileWithOnlyPagingLineTwoFillsOnlyItsRows)
{
    // Nothing shows before a file is opened.
    EXPECT_EQ(text("LabMix1_4"), QString());

    LumoData image;
    image.EqPageChannel(2) = 2;
    image.EqPageFreq(2, 1) = 2000;
    image.EqPageWidth(2, 1) = 2.0f;
    image.EqPageLevel(2, 1) = 6.0f;
    folder.write(QStringLiteral("JOB.EQ"), EqFileBytes(image));
    d->PageSpeakerOption(2) = 1;
    openEqFile(QStringLiteral("JOB.EQ"));

    EXPECT_EQ(std::tuple(window->isEnabled(), test::ControlsNotWhole(*window)), std::tuple(true, ""));
    // Line 1 and the masking lines (the last four labels) are empty in the file: their labels stay as they were.
    EXPECT_EQ(
        QStringList({text("LabMix1_4"), text("LabMix1_5"), text("LabMix1_6"), text("LabMIx2_4"), text("LabMIx2_5"),
                     text("LabMix8_2"), text("LabMix1_1"), text("LabMix3_1"), text("LabGain_1"), text("DatFreq_22")}),
        QStringList(
            {"EQ Freq =2000 Hz", "EQ  BW =2.00 Oct", "EQ Level =+6.0 dB", "Bypass", "", "Bypass", "", "", "", ""}));
}

TEST_F(ReviewWindowTest, AClickOnTheWaitingReviewBringsTheOpenWindowBack)
{
    press("CmdDownload");
    QWidget* chooser = QApplication::activeWindow();
    ASSERT_NE(chooser, window.get());
    window->activateWindow();
    ASSERT_TRUE(test::WaitUntilActive(chooser));
    EXPECT_FALSE(window->isEnabled());
}

}  // namespace
