#include "meters/Ld824Port.h"

#include <algorithm>
#include <iterator>

#include "core/CommPort.h"

namespace kov {

namespace {

// Older machines numbered their ports COM1 to COM256.
constexpr int HighestPortNumber = 256;

}  // namespace

QString Ld824PortName(const LumoData& d)
{
    if (!d.CommDevice.isEmpty())
        return d.CommDevice;
    return ComPortLine(d.CommPort);
}

QString Ld824PortLabel(const LumoData& d)
{
    return d.CommDevice.isEmpty() ? QStringLiteral("COM%1").arg(d.CommPort) : d.CommDevice;
}

std::optional<Message> CheckLd824Port(const LumoData& d)
{
    const QString title = QStringLiteral("Communications Error");
    if (std::find(std::begin(StandardBaudRates), std::end(StandardBaudRates), d.CommBaud) ==
        std::end(StandardBaudRates))
        return Message{
            QStringLiteral("The port settings are incorrect. Either enter data manually or press Cancel to exit."),
            title, MsgIcon::Exclamation};
    if (d.CommDevice.isEmpty() && (d.CommPort < 1 || d.CommPort > HighestPortNumber))
        return Message{
            QStringLiteral("The port number is invalid.  Either enter data manually or press Cancel and go to "
                           "Databases/General to correct."),
            title, MsgIcon::Exclamation};
    return std::nullopt;
}

}  // namespace kov
