#include "core/CommPort.h"

#include <QRegularExpression>

#include <limits>

#include "core/Numbers.h"
#include "core/TextValue.h"

namespace kov {

namespace {

// The serial line the download opens for a choice.
QString OpenedLine(const PortChoice& choice)
{
    if (!choice.device.isEmpty())
        return choice.device;
    if (choice.port < 1)
        return {};
    return ComPortLine(choice.port);
}

// The COM number of a built-in port the box can hold, or 0. Compared with the line each number stands for, so
// "/dev/ttyS02" is not taken for COM3: the download would open "/dev/ttyS2".
i16 BuiltInPortNumber(const QString& systemLocation)
{
    for (i16 com = LowestTypedPort; com <= HighestTypedPort; ++com) {
        if (systemLocation == ComPortLine(com))
            return com;
    }
    return 0;
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

QString ComPortLine(i16 port)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

PortBoxExit LeavePortBox(const QString& text)
{
    const QString typed = text.trimmed();
    if (typed.isEmpty())
        return {};
    // A number typed whole (a sign, digits, at most one point) becomes the nearest whole number, halves to the even
    // one, as the older copies converted it: "2.5" is COM2 and "3.5" COM4. The message names that number.
    static const QRegularExpression number(QStringLiteral("^[+-]?([0-9]+\\.?[0-9]*|\\.[0-9]+)$"));
    if (number.match(typed).hasMatch()) {
        const double n = RoundHalfEven(BasicVal(typed), 0);
        if (n >= LowestTypedPort && n <= HighestTypedPort)
            return {static_cast<i16>(n), {}};
        if (n >= std::numeric_limits<i16>::min() && n <= std::numeric_limits<i16>::max())
            return {std::nullopt, QStringLiteral("The Port Number") + NumberText(static_cast<f32>(n)) +
                                      QStringLiteral(" appears to be erroneous.")};
    }
    // No whole number a port could be ("1.2.3", or too long for any integer): shown as it was typed, never as
    // what 16 bits would make of it.
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
