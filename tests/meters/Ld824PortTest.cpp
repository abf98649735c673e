#include <gtest/gtest.h>

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

const QString BadSettings =
    QStringLiteral("The port settings are incorrect. Either enter data manually or press Cancel to exit.");
const QString BadNumber = QStringLiteral(
    "The port number is invalid.  Either enter data manually or press Cancel and go to Databases/General to correct.");

}  // namespace

TEST(Ld824PortTest, PortNumberCountsFromComOneUnlessADeviceIsNamed)
{
    const struct {
        int port;
        QString device;
        QString name;
    } cases[] = {
        {1, {}, QStringLiteral("/dev/ttyS0")},
        {3, {}, QStringLiteral("/dev/ttyS2")},
        {12, {}, QStringLiteral("/dev/ttyS11")},
        {3, QStringLiteral("/dev/ttyUSB0"), QStringLiteral("/dev/ttyUSB0")},
        {0, QStringLiteral("/dev/ttyACM1"), QStringLiteral("/dev/ttyACM1")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Ld824PortName(Settings(c.port, c.device, 9600)), c.name) << c.port << " " << c.device.toStdString();
}

TEST(Ld824PortTest, ChecksTheRateThenThePortNumber)
{
    const struct {
        int port;
        QString device;
        int baud;
        QString text;  // empty: no message
    } cases[] = {
        {1, {}, 9600, {}},
        {256, {}, 1200, {}},
        {4, {}, 115200, {}},
        {2, {}, 19200, {}},
        {1, {}, 9601, BadSettings},
        {1, {}, 0, BadSettings},
        {1, {}, -9600, BadSettings},
        {1, {}, 230400, BadSettings},
        {0, {}, 9600, BadNumber},
        {-1, {}, 9600, BadNumber},
        {257, {}, 9600, BadNumber},
        {0, {}, 600, BadSettings},  // the rate is reported first
        {0, QStringLiteral("/dev/ttyUSB0"), 9600, {}},
        {300, QStringLiteral("/dev/ttyUSB0"), 57600, {}},
        {0, QStringLiteral("/dev/ttyUSB0"), 14400, BadSettings},
    };
    for (const auto& c : cases) {
        const std::optional<Message> m = CheckLd824Port(Settings(c.port, c.device, c.baud));
        SCOPED_TRACE(testing::Message() << c.port << " " << c.device.toStdString() << " " << c.baud);
        if (c.text.isEmpty()) {
            EXPECT_FALSE(m.has_value());
            continue;
        }
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(m->text, c.text);
        EXPECT_EQ(m->title, QStringLiteral("Communications Error"));
        EXPECT_EQ(m->icon, MsgIcon::Exclamation);
    }
}
