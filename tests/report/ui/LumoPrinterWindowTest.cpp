#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QListWidget>
#include <QRegularExpression>
#include <QWindow>
#include <string>

#include "report/LumoPrinterWindow.h"
#include "tests/report/ui/PrivateCups.h"
#include "tests/support/WindowTest.h"

using namespace kov;
using namespace kov::test;

namespace {

class LumoPrinterTest : public test::WindowTest<LumoPrinter> {
protected:
    LumoPrinter& open()
    {
        window = std::make_unique<LumoPrinter>(printer, prompter, &main);
        CenterAndShowForm(window.get(), 4500, 5200);
        LetEventsRun();
        return *window;
    }
    QListWidget* list() const { return c<QListWidget>("ListPrinter"); }
    // The entries of a list, one text, so that a failure shows them readably.
    std::string lines(const char* list) const
    {
        return rows(QLatin1String(list)).join(QStringLiteral(" | ")).toStdString();
    }
    std::string data() const { return lines("ListPrinterData"); }
    void clickEntry(int row) const { clickOn(list()->viewport(), list()->visualItemRect(list()->item(row)).center()); }
    static std::string expectedData(const char* orientation)
    {
        return "   CURRENT PRINTER | KOV_PDF | Font: Times New Roman | Font Size: Variable | Orientation: " +
               std::string(orientation) + " | Mode: Black and White | Print Quality: 600 DPI | Port: file://" +
               test::PrivateCupsFolder().toStdString() + "/out.pdf";
    }

    // The window holds the printer: it goes first.
    void TearDown() override { window.reset(); }

    ProgramPrinter printer;
};

TEST_F(LumoPrinterTest, ListsThePrinterAndChoosingResetsItToPortrait)
{
    open();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Printer Selection"));
    ASSERT_EQ(lines("ListPrinter"), "KOV_PDF");
    // The system's default printer is the one in use: marked, and its test print offered.
    EXPECT_EQ(std::tuple(list()->item(0)->data(Qt::UserRole), list()->currentRow(), enabled("FramPrinter"),
                         enabled("CmdPrt")),
              std::tuple(QVariant(0), 0, true, true));
    EXPECT_EQ(test::ControlsNotWhole(*window), "");

    press("CmdOrient");
    EXPECT_EQ(data(), expectedData("Landscape"));
    // A click on the printer already chosen chooses it afresh, in portrait.
    clickEntry(0);
    EXPECT_EQ(std::tuple(data(), printer.orientation()), std::tuple(expectedData("Portrait"), 1));
    press("CmdOrient");
    press("CmdOrient");
    EXPECT_EQ(data(), expectedData("Portrait"));
    // Moving onto the entry with the keyboard chooses it too; the list losing its mark does not.
    press("CmdOrient");
    list()->setCurrentRow(-1);
    EXPECT_EQ(printer.orientation(), 2);
    QTest::keyClick(list(), Qt::Key_Home);
    LetEventsRun();
    EXPECT_EQ(std::tuple(data(), printer.font().name, prompter.messages().size()),
              std::tuple(expectedData("Portrait"), "Times New Roman", 0u));
    // Where the face is missing (most Linux systems) the font line says what prints instead.
    const QString tip = c<QListWidget>("ListPrinterData")->item(2)->toolTip();
    const QRegularExpression expected(QFontDatabase::families().contains(QStringLiteral("Times New Roman"))
                                          ? "^$"
                                          : "^Printed in \\S.*, the nearest font this system has$");
    EXPECT_TRUE(expected.match(tip).hasMatch()) << tip.toStdString();
}

TEST_F(LumoPrinterTest, TheMainWindowIsOutOfSightWhileItIsOpen)
{
    // Closed with Done, then with the close box.
    for (const bool done : {true, false}) {
        open();
        EXPECT_EQ(std::tuple(main.isVisible(), window->isVisible(), window->windowHandle()->isVisible()),
                  std::tuple(false, true, true))
            << done;
        if (done)
            press("CmdDone");
        else
            window->close();
        EXPECT_EQ(std::tuple(window->isVisible(), main.isVisible(), main.isEnabled()), std::tuple(false, true, true))
            << done;
    }
    // Shown again, the same window lists the printer once.
    window->show();
    LetEventsRun();
    EXPECT_EQ(std::tuple(lines("ListPrinter"), prompter.messages().size()), std::tuple("KOV_PDF", 0u));
}

TEST_F(LumoPrinterTest, TestPrintReachesThePrinter)
{
    open();
    clickEntry(0);
    test::ForgetPrintedPdf();
    press("CmdPrt");
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_TRUE(test::PrintedPdfText().contains("This is a test print to check printer connection."));
    // The printer object keeps the size the test page set.
    EXPECT_EQ(std::tuple(test::PrintedPdfPages(), printer.font().size), std::tuple(1, 14.0));
}

TEST(NoPrinterLumoPrinter, ListsNothingAndOffersNoTestPrint)
{
    test::ScriptedPrompter prompter;
    ProgramPrinter printer;
    LumoPrinter window(printer, prompter, nullptr);
    CenterAndShowForm(&window, 4500, 5200);
    LetEventsRun();
    EXPECT_EQ(std::tuple(Control<QListWidget>(window, "ListPrinter")->count(),
                         Control<QWidget>(window, "CmdPrt")->isEnabled(),
                         Control<QWidget>(window, "FramPrinter")->isEnabled(), prompter.messages().size()),
              std::tuple(0, false, false, 0u));
}

}  // namespace
