#include "meters/SerialPorts.h"

#include <QRegularExpression>

#include <windows.h>

#include <algorithm>
#include <vector>

namespace kov {

// The system's COM ports are the COMn names among the DOS devices: built-in ports and USB adapters alike, and under
// Wine the ports its dosdevices folder maps.
std::vector<SerialPortEntry> ListSerialPorts()
{
    std::vector<wchar_t> names(64 * 1024);
    for (;;) {
        if (QueryDosDeviceW(nullptr, names.data(), DWORD(names.size())) != 0)
            break;
        if (GetLastError() != ERROR_INSUFFICIENT_BUFFER || names.size() > 16 * 1024 * 1024)
            return {};
        names.resize(names.size() * 2);
    }
    static const QRegularExpression comName(QStringLiteral("^COM([0-9]{1,3})$"),
                                            QRegularExpression::CaseInsensitiveOption);
    std::vector<std::pair<int, SerialPortEntry>> ports;
    for (const wchar_t* name = names.data(); *name; name += wcslen(name) + 1) {
        const QString device = QString::fromWCharArray(name);
        const QRegularExpressionMatch match = comName.match(device);
        if (!match.hasMatch())
            continue;
        const QString portName = device.toUpper();
        ports.push_back(
            {match.captured(1).toInt(), {portName, QStringLiteral("\\\\.\\") + portName, QString(), QString()}});
    }
    std::sort(ports.begin(), ports.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<SerialPortEntry> entries;
    for (auto& p : ports)
        entries.push_back(std::move(p.second));
    return entries;
}

}  // namespace kov
