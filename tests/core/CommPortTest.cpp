#include <gtest/gtest.h>

#include <tuple>

#include "core/CommPort.h"

using namespace kov;

namespace {

const SerialPortEntry TtyS0{"ttyS0", "/dev/ttyS0", "", ""};
const SerialPortEntry TtyS2{"ttyS2", "/dev/ttyS2", "16550A", ""};
const SerialPortEntry TtyUsb0{"ttyUSB0", "/dev/ttyUSB0", "FT232R USB UART", "FTDI"};

}  // namespace

TEST(CommPortTest, LeavingTheBoxRoundsTheNumberAndTakesOneToEight)
{
    // (typed, port, refusal)
    const std::tuple<const char*, std::optional<i16>, const char*> cases[] = {
        {"3", 3, ""},
        {"3.", 3, ""},
        {"3.00", 3, ""},
        {"03", 3, ""},
        {" 3 ", 3, ""},
        {"+3", 3, ""},
        {"3.4", 3, ""},
        {"3.5", 4, ""},
        {"2.5", 2, ""},
        {"1.5", 2, ""},
        {"8.5", 8, ""},
        {".6", 1, ""},
        {"", std::nullopt, ""},
        {"12", std::nullopt, "The Port Number 12 appears to be erroneous."},
        {"12.0", std::nullopt, "The Port Number 12 appears to be erroneous."},
        {"0", std::nullopt, "The Port Number 0 appears to be erroneous."},
        {"0.5", std::nullopt, "The Port Number 0 appears to be erroneous."},
        {"8.51", std::nullopt, "The Port Number 9 appears to be erroneous."},
        {"-3", std::nullopt, "The Port Number-3 appears to be erroneous."},
        {"32767", std::nullopt, "The Port Number 32767 appears to be erroneous."},
        {"32767.5", std::nullopt, "The Port Number 32767.5 appears to be erroneous."},
        {"99999999999", std::nullopt, "The Port Number 99999999999 appears to be erroneous."},
        {"1.2.3", std::nullopt, "The Port Number 1.2.3 appears to be erroneous."},
        {"3a", std::nullopt, "The Port Number 3a appears to be erroneous."},
        {".", std::nullopt, "The Port Number . appears to be erroneous."},
    };
    for (const auto& [typed, port, refusal] : cases) {
        const PortBoxExit exit = LeavePortBox(QString::fromLatin1(typed));
        EXPECT_EQ(exit.port, port) << typed;
        EXPECT_EQ(exit.refusal, QString::fromLatin1(refusal)) << typed;
    }
}

TEST(CommPortTest, AListedPortBecomesWhatTheDownloadOpens)
{
    // (entry, current, the choice, listed as)
    const std::tuple<SerialPortEntry, i16, PortChoice, const char*> cases[] = {
        {TtyS0, 5, {1, ""}, "ttyS0 (COM1)"},
        {TtyS2, 1, {3, ""}, "ttyS2 (COM3)"},
        {{"ttyS7", "/dev/ttyS7", "", ""}, 0, {8, ""}, "ttyS7 (COM8)"},
        // Beyond what the box takes: named as a device, so the box never shows a number it would refuse.
        {{"ttyS8", "/dev/ttyS8", "", ""}, 5, {5, "/dev/ttyS8"}, "ttyS8"},
        {{"ttyS02", "/dev/ttyS02", "", ""}, 2, {2, "/dev/ttyS02"}, "ttyS02"},
        {TtyUsb0, 3, {3, "/dev/ttyUSB0"}, "ttyUSB0"},
        {TtyUsb0, 0, {1, "/dev/ttyUSB0"}, "ttyUSB0"},
        {{"ttyACM0", "/dev/ttyACM0", "", ""}, 12, {1, "/dev/ttyACM0"}, "ttyACM0"},
        {{"rfcomm0", "/dev/rfcomm0", "", ""}, 8, {8, "/dev/rfcomm0"}, "rfcomm0"},
    };
    for (const auto& [entry, current, chosen, listedAs] : cases) {
        const PortChoice choice = ChooseListedPort(entry, current);
        EXPECT_EQ(choice, chosen) << listedAs;
        EXPECT_EQ(ListedPortName(entry), QString::fromLatin1(listedAs));
    }
}

TEST(CommPortTest, TheListShowsWhichPortIsInUseAndWhichDoneWouldUse)
{
    const std::vector<SerialPortEntry> ports{TtyS0, TtyS2, TtyUsb0};
    // (in use, edited, the row of the edited choice, text)
    const std::tuple<PortChoice, PortChoice, int, const char*> cases[] = {
        {{3, ""}, {3, ""}, 1, "In use now: COM3 (/dev/ttyS2), 16550A"},
        {{1, ""}, {1, "/dev/ttyUSB0"}, 2, "In use now: COM1 (/dev/ttyS0)\nWith Done: /dev/ttyUSB0, FT232R USB UART"},
        {{1, "/dev/ttyUSB0"}, {4, "/dev/ttyUSB0"}, 2, "In use now: /dev/ttyUSB0, FT232R USB UART"},
        {{2, "/dev/ttyUSB1"},
         {3, ""},
         1,
         "In use now: /dev/ttyUSB1, not found on this computer now\nWith Done: COM3 (/dev/ttyS2), 16550A"},
        {{0, ""}, {4, ""}, -1, "In use now: no port\nWith Done: COM4 (/dev/ttyS3), not found on this computer now"},
        {{1, "/dev/ttyS0"}, {1, ""}, 0, "In use now: /dev/ttyS0"},
    };
    for (const auto& [inUse, edited, row, text] : cases) {
        EXPECT_EQ(PortInUseText(inUse, edited, ports), QString::fromLatin1(text));
        EXPECT_EQ(ListedPortRow(ports, edited), row) << text;
    }
}
