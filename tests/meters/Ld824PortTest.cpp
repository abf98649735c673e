#include <gtest/gtest.h>

#include <tuple>

#include "meters/Ld824Port.h"

using namespace kov;

namespace {

LumoData Settings(int port, const QString& device, int baud)
{
    LumoData d;
    d.CommPort = static_cast<i16>(port);
    d.CommDevice = device;
    d.CommBaud = baud;
    return d;
}

}  // namespace

TEST(Ld824PortTest, PortNumberCountsFromComOneUnlessADeviceIsNamed)
{
    // (port, device, name opened, name in the messages)
    for (const auto& [port, device, name, label] :
         {std::tuple<int, QString, QString, QString>{1, {}, "/dev/ttyS0", "COM1"},
          {12, {}, "/dev/ttyS11", "COM12"},
          {3, "/dev/ttyUSB0", "/dev/ttyUSB0", "/dev/ttyUSB0"},
          {0, "/dev/ttyACM1", "/dev/ttyACM1", "/dev/ttyACM1"}}) {
        EXPECT_EQ(Ld824PortName(Settings(port, device, 9600)), name) << port << " " << device.toStdString();
        EXPECT_EQ(Ld824PortLabel(Settings(port, device, 9600)), label) << port << " " << device.toStdString();
    }
}

TEST(Ld824PortTest, ChecksTheRateThenThePortNumber)
{
    const QString badSettings =
        QStringLiteral("The port settings are incorrect. Either enter data manually or press Cancel to exit.");
    const QString badNumber = QStringLiteral(
        "The port number is invalid.  Either enter data manually or press Cancel and go to Databases/General to "
        "correct.");
    const QString usb = QStringLiteral("/dev/ttyUSB0");
    // (port, device, rate, message or empty for none)
    const std::tuple<int, QString, int, QString> cases[] = {
        {1, {}, 9600, {}},           {256, {}, 1200, {}},          {4, {}, 115200, {}},      {1, {}, 9601, badSettings},
        {1, {}, -9600, badSettings}, {1, {}, 230400, badSettings}, {0, {}, 9600, badNumber}, {257, {}, 9600, badNumber},
        {0, {}, 600, badSettings},  // the rate is reported first
        {0, usb, 9600, {}},          {0, usb, 14400, badSettings},
    };
    for (const auto& [port, device, baud, text] : cases) {
        const std::optional<Message> expected =
            text.isEmpty() ? std::nullopt
                           : std::optional(Message{text, QStringLiteral("Communications Error"), MsgIcon::Exclamation});
        EXPECT_EQ(CheckLd824Port(Settings(port, device, baud)), expected)
            << port << " " << device.toStdString() << " " << baud;
    }
}
