#include "core/CommPort.h"

#include <QRegularExpression>

#include "core/Numbers.h"

namespace kov {

namespace {

// The serial line the download opens for a choice; it must name a port the way the download names it.
QString OpenedLine(const PortChoice& choice)
{
    if (!choice.device.isEmpty())
        return choice.device;
    if (choice.port < 1)
        return {};
    return QStringLiteral("/dev/ttyS%1").arg(choice.port - 1);
}

// The COM number of a built-in port the box can hold, or 0.
i16 BuiltInPortNumber(const QString& systemLocation)
{
    // Written as the download writes it: "/dev/ttyS02" is not the device of COM3.
    static const QRegularExpression builtIn(QStringLiteral("^/dev/ttyS(0|[1-9]\\d{0,2})$"));
    const QRegularExpressionMatch m = builtIn.match(systemLocation);
    if (!m.hasMatch())
        return 0;
    const int com = m.captured(1).toInt() + 1;
    return com >= LowestTypedPort && com <= HighestTypedPort ? static_cast<i16>(com) : 0;
}

const SerialPortEntry* FindListed(const std::vector<SerialPortEntry>& ports, const QString& line)
{
    for (const SerialPortEntry& e : ports) {
        if (!line.isEmpty() && e.systemLocation == line)
            return &e;
    }
    return nullptr;
}

QString DescribeLine(const PortChoice& choice, const std::vector<SerialPortEntry>& ports)
{
    const QString line = OpenedLine(choice);
    if (line.isEmpty())
        return QStringLiteral("no port");
    QString text = choice.device.isEmpty() ? QStringLiteral("COM%1 (%2)").arg(choice.port).arg(line) : line;
    const SerialPortEntry* listed = FindListed(ports, line);
    if (listed == nullptr)
        return text + QStringLiteral(", not found on this computer now");
    if (!listed->description.isEmpty())
        text += QStringLiteral(", ") + listed->description;
    return text;
}

}  // namespace

PortBoxExit LeavePortBox(const QString& text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {};
    // Whole numbers only: the digits after a point must all be zeros. The length check comes before any conversion,
    // so no typed length can overflow.
    static const QRegularExpression number(QStringLiteral("^0*(\\d*)(?:\\.(0*))?$"));
    const QRegularExpressionMatch m = number.match(typed);
    const QString whole = m.hasMatch() ? m.captured(1) : QString();
    if (whole.size() == 1) {
        const int n = whole.toInt();
        if (n >= LowestTypedPort && n <= HighestTypedPort)
            return {static_cast<i16>(n), {}};
    }
    return {std::nullopt, QStringLiteral("The Port Number ") + typed + QStringLiteral(" appears to be erroneous.")};
}

QString PortBoxText(i16 port)
{
    return FormatNumber(port, QStringLiteral("0"));
}

PortChoice ChooseListedPort(const SerialPortEntry& entry, i16 currentPort)
{
    const QString line = entry.systemLocation.isEmpty() ? entry.portName : entry.systemLocation;
    if (const i16 com = BuiltInPortNumber(line); com != 0)
        return {com, {}};
    const bool boxCanHold = currentPort >= LowestTypedPort && currentPort <= HighestTypedPort;
    return {boxCanHold ? currentPort : LowestTypedPort, line};
}

int ListedPortRow(const std::vector<SerialPortEntry>& ports, const PortChoice& choice)
{
    const SerialPortEntry* found = FindListed(ports, OpenedLine(choice));
    return found == nullptr ? -1 : static_cast<int>(found - ports.data());
}

QString ListedPortName(const SerialPortEntry& entry)
{
    const QString name = entry.portName.isEmpty() ? entry.systemLocation : entry.portName;
    if (const i16 com = BuiltInPortNumber(entry.systemLocation); com != 0)
        return QStringLiteral("%1 (COM%2)").arg(name).arg(com);
    return name;
}

QString PortInUseText(const PortChoice& inUse, const PortChoice& edited, const std::vector<SerialPortEntry>& ports)
{
    QString text = QStringLiteral("In use now: ") + DescribeLine(inUse, ports);
    if (OpenedLine(edited) != OpenedLine(inUse))
        text += QStringLiteral("\nWith Done: ") + DescribeLine(edited, ports);
    return text;
}

}  // namespace kov
