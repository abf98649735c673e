#include <gtest/gtest.h>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <memory>

#include "core/EqFile.h"
#include "core/LumoMainWindow.h"
#include "core/WindowPlacement.h"
#include "paging/ReviewWindow.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

namespace kov {
namespace {

using test::Control;
using test::LetEventsRun;

class ReviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Main(*d, prompter, main));
        d->MG24Folder = folder.path() + QLatin1Char('/');
        main.setOpener(QStringLiteral("GoReview"), [this] {
            review = std::make_unique<Review>(*d, prompter, &main);
            CenterAndShowForm(review.get(), 10350, 7835);
        });
        main.item(QStringLiteral("GoReview"))->trigger();
        ASSERT_TRUE(test::WaitUntilActive(review.get()));
    }

    QString text(const char* label) const { return Control<QLabel>(*review, label)->text(); }

    // "Open file", then the file clicked and opened in the Open window, as the installer does it.
    void openEqFile(const QString& name)
    {
        Control<QPushButton>(*review, "CmdDownload")->click();
        LetEventsRun();
        EXPECT_FALSE(review->isEnabled());
        QWidget* chooser = QApplication::activeWindow();
        ASSERT_NE(chooser, nullptr);
        auto* files = Control<QListWidget>(*chooser, "FileBoxOffice");
        const QList<QListWidgetItem*> found = files->findItems(name, Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1);
        files->setCurrentItem(found.front());
        Control<QPushButton>(*chooser, "CmdOpen")->click();
        LetEventsRun();
        ASSERT_TRUE(test::WaitUntilActive(review.get()));
        LetEventsRun();
    }

    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain main{*d, prompter};
    std::unique_ptr<Review> review;
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

    EXPECT_TRUE(review->isEnabled());
    EXPECT_EQ(text("LabMix1_4"), QStringLiteral("EQ Freq =2000 Hz"));
    EXPECT_EQ(text("LabMix1_5"), QStringLiteral("EQ  BW =2.00 Oct"));
    EXPECT_EQ(text("LabMix1_6"), QStringLiteral("EQ Level =+6.0 dB"));
    EXPECT_EQ(text("LabMIx2_4"), QStringLiteral("Bypass"));
    EXPECT_EQ(text("LabMIx2_5"), QString());
    EXPECT_EQ(text("LabMix8_2"), QStringLiteral("Bypass"));
    // Line 1 and the masking lines are empty in the file: their labels stay as they were.
    EXPECT_EQ(text("LabMix1_1"), QString());
    EXPECT_EQ(text("LabMix3_1"), QString());
    EXPECT_EQ(text("LabGain_1"), QString());
    EXPECT_EQ(text("DatFreq_22"), QString());
}

}  // namespace
}  // namespace kov

namespace kov {
namespace {

TEST_F(ReviewWindowTest, AClickOnTheWaitingReviewBringsTheOpenWindowBack)
{
    Control<QPushButton>(*review, "CmdDownload")->click();
    LetEventsRun();
    QWidget* chooser = QApplication::activeWindow();
    ASSERT_NE(chooser, review.get());
    review->activateWindow();
    ASSERT_TRUE(test::WaitUntilActive(chooser));
    EXPECT_FALSE(review->isEnabled());
}

}  // namespace
}  // namespace kov
