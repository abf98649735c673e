#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QGroupBox>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QWindow>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/LumoMainWindow.h"
#include "core/WindowPlacement.h"
#include "report/LumoPrinterWindow.h"
#include "tests/report/ui/PrivateCups.h"
#include "tests/support/GuiTest.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TempProgramFolder.h"

namespace kov {
namespace {

using test::Control;
using test::LetEventsRun;

// The entries of a list, one text, so that a failure shows them readably.
std::string Lines(const QListWidget* list)
{
    QStringList lines;
    for (int i = 0; i < list->count(); ++i)
        lines << list->item(i)->text();
    return lines.join(QStringLiteral(" | ")).toStdString();
}

class LumoPrinterTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Main(*d, prompter, main)); }

    LumoPrinter& open()
    {
        window = std::make_unique<LumoPrinter>(printer, prompter, &main);
        CenterAndShowForm(window.get(), 4500, 5200);
        LetEventsRun();
        return *window;
    }
    template <typename T>
    T* c(const char* name) const
    {
        return Control<T>(*window, name);
    }
    QListWidget* list() const { return c<QListWidget>("ListPrinter"); }
    std::string data() const { return Lines(c<QListWidget>("ListPrinterData")); }
    void clickEntry(int row) const
    {
        QTest::mouseClick(list()->viewport(), Qt::LeftButton, {}, list()->visualItemRect(list()->item(row)).center());
        LetEventsRun();
    }
    void press(const char* button) const
    {
        c<QPushButton>(button)->click();
        LetEventsRun();
    }
    static std::string expectedData(const char* orientation)
    {
        return "   CURRENT PRINTER | KOV_PDF | Font: Times New Roman | Font Size: Variable | Orientation: " +
               std::string(orientation) + " | Mode: Black and White | Print Quality: 600 DPI | Port: file://" +
               test::PrivateCupsFolder().toStdString() + "/out.pdf";
    }

    test::TempProgramFolder folder;
    test::ScriptedPrompter prompter;
    std::unique_ptr<LumoData> d = std::make_unique<LumoData>();
    LumoMain main{*d, prompter};
    ProgramPrinter printer;
    std::unique_ptr<LumoPrinter> window;
};

TEST_F(LumoPrinterTest, ListsThePrinterAndChoosingResetsItToPortrait)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Printer Selection"));
    ASSERT_EQ(Lines(list()), "KOV_PDF");
    EXPECT_EQ(list()->item(0)->data(Qt::UserRole), QVariant(0));
    // The system's default printer is the one in use: marked, and its test print offered.
    EXPECT_EQ(list()->currentRow(), 0);
    EXPECT_TRUE(c<QGroupBox>("FramPrinter")->isEnabled());
    EXPECT_TRUE(c<QPushButton>("CmdPrt")->isEnabled());
    EXPECT_EQ(test::ControlsNotWhole(*window), "");

    press("CmdOrient");
    EXPECT_EQ(data(), expectedData("Landscape"));
    // A click on the printer already chosen chooses it afresh, in portrait.
    clickEntry(0);
    EXPECT_EQ(data(), expectedData("Portrait"));
    EXPECT_EQ(printer.orientation(), 1);
    press("CmdOrient");
    press("CmdOrient");
    EXPECT_EQ(data(), expectedData("Portrait"));
    // Moving onto the entry with the keyboard chooses it too; the list losing its mark does not.
    press("CmdOrient");
    list()->setCurrentRow(-1);
    EXPECT_EQ(printer.orientation(), 2);
    QTest::keyClick(list(), Qt::Key_Home);
    LetEventsRun();
    EXPECT_EQ(data(), expectedData("Portrait"));
    EXPECT_EQ(printer.font().name, QStringLiteral("Times New Roman"));
    // Where the face is missing (most Linux systems) the font line says what prints instead.
    const QString tip = c<QListWidget>("ListPrinterData")->item(2)->toolTip();
    if (QFontDatabase::families().contains(QStringLiteral("Times New Roman")))
        EXPECT_TRUE(tip.isEmpty()) << tip.toStdString();
    else
        EXPECT_TRUE(QRegularExpression("^Printed in \\S.*, the nearest font this system has$").match(tip).hasMatch())
            << tip.toStdString();
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(LumoPrinterTest, TheMainWindowIsOutOfSightWhileItIsOpen)
{
    const std::vector<std::pair<const char*, std::function<void()>>> closings{
        {"Done", [this] { press("CmdDone"); }},
        {"close box", [this] { window->close(); }},
    };
    for (const auto& [how, close] : closings) {
        open();
        EXPECT_FALSE(main.isVisible()) << how;
        EXPECT_TRUE(window->isVisible()) << how;
        EXPECT_TRUE(window->windowHandle()->isVisible()) << how;
        close();
        EXPECT_FALSE(window->isVisible()) << how;
        EXPECT_TRUE(main.isVisible()) << how;
        EXPECT_TRUE(main.isEnabled()) << how;
    }
    // Shown again, the same window lists the printer once.
    window->show();
    LetEventsRun();
    EXPECT_EQ(Lines(list()), "KOV_PDF");
    EXPECT_TRUE(prompter.messages().empty());
}

TEST_F(LumoPrinterTest, TestPrintReachesThePrinter)
{
    open();
    clickEntry(0);
    test::ForgetPrintedPdf();
    press("CmdPrt");
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(test::PrintedPdfText().contains("This is a test print to check printer connection."));
    EXPECT_EQ(test::PrintedPdfPages(), 1);
    // The printer object keeps the size the test page set.
    EXPECT_EQ(printer.font().size, 14);
}

TEST(NoPrinterLumoPrinter, ListsNothingAndOffersNoTestPrint)
{
    test::ScriptedPrompter prompter;
    ProgramPrinter printer;
    LumoPrinter window(printer, prompter, nullptr);
    CenterAndShowForm(&window, 4500, 5200);
    LetEventsRun();
    EXPECT_EQ(Control<QListWidget>(window, "ListPrinter")->count(), 0);
    EXPECT_FALSE(Control<QPushButton>(window, "CmdPrt")->isEnabled());
    EXPECT_FALSE(Control<QGroupBox>(window, "FramPrinter")->isEnabled());
    EXPECT_TRUE(prompter.messages().empty());
}

}  // namespace
}  // namespace kov
