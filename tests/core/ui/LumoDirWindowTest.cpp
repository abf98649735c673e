#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "core/FolderFile.h"
#include "core/LumoDirWindow.h"
#include "core/WindowPlacement.h"
#include "tests/support/WindowTest.h"

namespace kov {
namespace {

using test::ExitQuestion;
using test::LetEventsRun;
using test::Shown;

const QString PortNote = QStringLiteral(
    "Enter the serial port number for the Larson-Davis 824. Minimize the program, then in Windows press "
    "Start/Settings/Control Panel/System/Ports to determine which ports are available.");

// The folder file as shipped: port 1, nothing else.
const QByteArray Shipped = "1,\"\",\"\",\"\",\"\",\"\",\"\"\r\n";

class LumoDirTest : public test::WindowTest<LumoDir> {
protected:
    // The Comm Port item opens the window over a system with two built-in ports and a USB adapter.
    void SetUp() override
    {
        WindowTest::SetUp();
        main.setOpener(QStringLiteral("GoComm"), [this] {
            window = std::make_unique<LumoDir>(*d, prompter, &main, [this] { return ports; });
            CenterAndShowForm(window.get(), 7770, 1565);
        });
    }
    LumoDir& openDir() { return open(QStringLiteral("GoComm")); }
    QLineEdit* box() const { return c<QLineEdit>(QStringLiteral("TxtPort")); }
    QTreeWidget* list() const { return c<QTreeWidget>(QStringLiteral("LstPorts")); }
    // Types over what the box shows and leaves it with Enter, as the installer does.
    void type(const QString& text) const
    {
        box()->setFocus();
        LetEventsRun();
        box()->selectAll();
        if (text.isEmpty())
            QTest::keyClick(box(), Qt::Key_Backspace);
        QTest::keyClicks(box(), text);
        QTest::keyClick(box(), Qt::Key_Return);
        LetEventsRun();
    }
    void pickRow(int row) const
    {
        QTreeWidget* l = list();
        QTest::mouseClick(l->viewport(), Qt::LeftButton, {}, l->visualItemRect(l->topLevelItem(row)).center());
        LetEventsRun();
    }
    std::vector<SerialPortEntry> ports{{"ttyS0", "/dev/ttyS0", "", ""},
                                       {"ttyS2", "/dev/ttyS2", "", ""},
                                       {"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI"}};
};

TEST_F(LumoDirTest, ShowsThePortInUseWithTheNoteAndTheSystemsPorts)
{
    openDir();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Communications Port for Download"));
    EXPECT_FALSE(main.isEnabled());
    EXPECT_EQ(box()->text(), QStringLiteral("1"));
    EXPECT_TRUE(box()->hasFocus());
    EXPECT_EQ(note(), PortNote);
    ASSERT_EQ(list()->topLevelItemCount(), 3);
    EXPECT_EQ(list()->topLevelItem(2)->text(1), QStringLiteral("FT232R USB UART"));
    EXPECT_EQ(list()->currentItem(), list()->topLevelItem(0));
    EXPECT_EQ(text("LabInUse"), QStringLiteral("In use now: COM1 (/dev/ttyS0)"));
    EXPECT_EQ(test::ControlsNotWhole(*window), "");
}

TEST_F(LumoDirTest, ATypedPortIsTakenOnlyWhenItCanBeOne)
{
    const struct {
        const char* typed;
        const char* refusal;  // "" = no message
        i16 stored;
    } cases[] = {
        {"3", "", 3},
        {"2x", "", 2},  // the letter is taken out as it is typed
        {"12", "The Port Number 12 appears to be erroneous.", 1},
        {"12.0", "The Port Number 12 appears to be erroneous.", 1},
        {"3.5", "", 4},
        {"", "", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        prompter.clear();
        d->CommPort = 1;
        folder.write(FolderFileName, Shipped);
        openDir();
        if (*c.refusal != '\0')
            prompter.answer(MsgAnswer::Ok);
        type(QString::fromLatin1(c.typed));

        const Shown refused{
            {QString::fromLatin1(c.refusal), QStringLiteral("Port Error"), MsgIcon::None, MsgButtons::OkCancel},
        };
        EXPECT_EQ(prompter.messages(), *c.refusal == '\0' ? Shown{} : refused);
        // Enter went on to Done, which clears the note; the box shows the port Done will store.
        EXPECT_TRUE(test::Control<QPushButton>(*window, "CmdDone")->hasFocus());
        EXPECT_EQ(note(), QString());
        EXPECT_EQ(box()->text(), QString::number(c.stored));

        press("CmdDone");
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(main.isEnabled());
        EXPECT_EQ(d->CommPort, c.stored);
        EXPECT_EQ(readAs(ParseFolderFile, FolderFileName).CommPort, c.stored);
    }
}

TEST_F(LumoDirTest, APickedPortIsStoredAsTheDownloadWillOpenIt)
{
    const struct {
        const char* what;
        i16 port;
        const char* device;
        int row;            // picked; -1: none
        const char* typed;  // afterwards; nullptr: nothing
        i16 storedPort;
        const char* storedDevice;
        QByteArray file;
    } cases[] = {
        {"USB adapter", 1, "", 2, nullptr, 1, "/dev/ttyUSB0",
         "1,\"\",\"\",\"\",\"\",\"\",\"\",\"/dev/ttyUSB0\",9600\r\n"},
        {"ttyS2 after an adapter", 1, "/dev/ttyUSB0", 1, nullptr, 3, "", "3,\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
        {"a number typed after an adapter", 2, "/dev/ttyUSB0", -1, "4", 4, "", "4,\"\",\"\",\"\",\"\",\"\",\"\"\r\n"},
        {"adapter kept while the number is left alone", 2, "/dev/ttyUSB0", -1, "", 2, "/dev/ttyUSB0",
         "2,\"\",\"\",\"\",\"\",\"\",\"\",\"/dev/ttyUSB0\",9600\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        d->CommPort = c.port;
        d->CommDevice = QString::fromLatin1(c.device);
        openDir();
        if (c.row >= 0)
            pickRow(c.row);
        if (c.typed != nullptr)
            type(QString::fromLatin1(c.typed));
        EXPECT_EQ(box()->text(), QString::number(c.storedPort));
        press("CmdDone");
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(d->CommPort, c.storedPort);
        EXPECT_EQ(d->CommDevice, QString::fromLatin1(c.storedDevice));
        // The bytes say the rest; FolderFileTest reads them.
        EXPECT_EQ(folder.read(FolderFileName), c.file);
    }
}

TEST_F(LumoDirTest, CancelAndTheCloseBoxStoreNothingAndAskOnlyWhenAChoiceWouldBeLost)
{
    const struct {
        const char* what;
        bool closeBox;
        bool changed;       // a port picked
        const char* typed;  // and left in the box without leaving it; nullptr: nothing
        bool asked;
        MsgAnswer answer;
        bool staysOpen;
    } cases[] = {
        {"Cancel after a change", false, true, nullptr, false, MsgAnswer::Ok, false},
        {"close box without a change", true, false, nullptr, false, MsgAnswer::Ok, false},
        {"close box after a change, OK", true, true, nullptr, true, MsgAnswer::Ok, false},
        {"close box after a change, Cancel", true, true, nullptr, true, MsgAnswer::Cancel, true},
        // The number still in the box counts as a change, and is not checked once the window has gone.
        {"close box over a typed number, OK", true, false, "12", true, MsgAnswer::Ok, false},
        {"close box over an emptied box", true, false, "", false, MsgAnswer::Ok, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        prompter.clear();
        d->CommPort = 1;
        folder.write(FolderFileName, Shipped);
        openDir();
        if (c.changed)
            pickRow(2);
        if (c.typed != nullptr) {
            box()->setFocus();
            box()->selectAll();
            QTest::keyClick(box(), Qt::Key_Delete);
            QTest::keyClicks(box(), QString::fromLatin1(c.typed));
        }
        if (c.asked)
            prompter.answer(c.answer);
        if (c.closeBox)
            window->close();
        else
            press("CmdCancel");
        LetEventsRun();

        const Shown asked{{ExitQuestion, QString(), MsgIcon::None, MsgButtons::OkCancel}};
        EXPECT_EQ(prompter.messages(), c.asked ? asked : Shown{});
        EXPECT_EQ(window->isVisible(), c.staysOpen);
        EXPECT_EQ(main.isEnabled(), !c.staysOpen);
        EXPECT_EQ(d->CommPort, 1);
        EXPECT_EQ(d->CommDevice, QString());
        EXPECT_EQ(folder.read(FolderFileName), Shipped);
        if (c.staysOpen) {
            EXPECT_EQ(window->edited().device, QStringLiteral("/dev/ttyUSB0"));
        }
    }
}

TEST_F(LumoDirTest, PortZeroKeepsTheWindowOpenWithItsNote)
{
    d->CommPort = 0;
    openDir();
    EXPECT_EQ(box()->text(), QStringLiteral("0"));
    press("CmdDone");
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(note(), QStringLiteral("The Port number is not correct. Use Windows/Settings/Control Panel/System/Ports "
                                     "to determine which ports are available.  Press CANCEL."));
    EXPECT_TRUE(prompter.messages().empty());
    EXPECT_EQ(folder.read(FolderFileName), Shipped);
}

TEST_F(LumoDirTest, AFolderFileThatCannotBeWrittenSaysSoAndKeepsTheWindow)
{
    d->AppPath = folder.file(QStringLiteral("gone"));
    openDir();
    type(QStringLiteral("4"));
    prompter.answer(MsgAnswer::Ok);
    press("CmdDone");
    ASSERT_EQ(prompter.messages().size(), 1u);
    EXPECT_EQ(prompter.messages()[0].title, QStringLiteral("File Error"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_FALSE(main.isEnabled());
    // In use until the program ends, as the message says.
    EXPECT_EQ(d->CommPort, 4);
    press("CmdCancel");
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(prompter.messages().size(), 1u);
}

TEST_F(LumoDirTest, RefreshFindsAnAdapterPluggedInAfterOpening)
{
    ports.clear();
    openDir();
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    EXPECT_EQ(list()->topLevelItem(0)->text(0), QStringLiteral("No serial ports found"));
    pickRow(0);
    EXPECT_EQ(window->edited().device, QString());

    ports.push_back({"ttyACM0", "/dev/ttyACM0", "LD824 USB", ""});
    press("CmdRefresh");
    ASSERT_EQ(list()->topLevelItemCount(), 1);
    pickRow(0);
    EXPECT_EQ(window->edited().device, QStringLiteral("/dev/ttyACM0"));
}

}  // namespace
}  // namespace kov
