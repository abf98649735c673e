#include "meters/SerialPorts.h"

#include <QSerialPortInfo>

#include <algorithm>
#include <tuple>

namespace kov {

namespace {

// "ttyUSB10" as ("ttyUSB", 10, ...), so that ports sort the way an installer counts them.
auto NaturalKey(const SerialPortEntry& e)
{
    const QString& name = e.portName;
    qsizetype digits = name.size();
    while (digits > 0 && name.at(digits - 1).isDigit())
        --digits;
    const QString stem = name.left(digits);
    const QString number = name.mid(digits);
    // Compared as text by length first, which orders numbers of any length without converting them.
    return std::make_tuple(stem, number.size(), number, e.systemLocation);
}

}  // namespace

std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<SerialPortEntry> ports;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        ports.push_back({info.portName(), info.systemLocation(), info.description(), info.manufacturer()});
    std::sort(ports.begin(), ports.end(),
              [](const SerialPortEntry& a, const SerialPortEntry& b) { return NaturalKey(a) < NaturalKey(b); });
    return ports;
}

}  // namespace kov
