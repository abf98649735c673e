#pragma once

#include <QString>

#include <functional>
#include <optional>
#include <vector>

#include "core/Indexed.h"

namespace kov {

// The numbers the port box takes: COM1 to COM8.
inline constexpr i16 LowestTypedPort = 1;
inline constexpr i16 HighestTypedPort = 8;

// The serial line COM `port` stands for, named as the system lists it: COM1 is the first built-in port,
// "/dev/ttyS0" (on Windows "\\.\COM1"). The one place that rule is written: the port box, the port list and the
// download all name a port through it.
QString ComPortLine(i16 port);

// A serial port the system offers, as the port list shows it. Plain text only, so the windows can list ports
// without linking the serial-port module.
struct SerialPortEntry {
    QString portName;        // "ttyUSB0"
    QString systemLocation;  // "/dev/ttyUSB0", what a serial line opens
    QString description;     // "FT232R USB UART"
    QString manufacturer;

    bool operator==(const SerialPortEntry&) const = default;
};

// Lists the serial ports this system has at the moment it is called.
using SerialPortLister = std::function<std::vector<SerialPortEntry>()>;

// What the port box holds once the installer leaves it.
struct PortBoxExit {
    std::optional<i16> port;  // a port number the download can use; nothing when the box gives none
    QString refusal;          // the "Port Error" text for what cannot be a port; "" when there is none to show
};

// The box's text read as a port number: a typed number rounds to the nearest whole number, halves to the even one
// ("3", " 3 ", "3.", "03" and "3.4" are COM3, "2.5" is COM2), and one from 1 to 8 is the port. An empty box
// gives no port and no message, so the port stays as it was. Any other whole number is refused with that number
// ("The Port Number 12 appears to be erroneous."); a text that is no number at all, or one beyond any port number
// ("99999999999"), is refused as it was typed.
PortBoxExit LeavePortBox(const QString& text);

// The port number as the box shows it.
QString PortBoxText(i16 port);

// The line the download would open: a named device, or the built-in port the number stands for (COM1 being
// "/dev/ttyS0").
struct PortChoice {
    i16 port = 0;
    QString device;  // "" = the port the number stands for

    bool operator==(const PortChoice&) const = default;
};

// A port picked from the list, as the download will open it. A built-in port the box can hold ("/dev/ttyS0" to
// "/dev/ttyS7") becomes its COM number and no device; any other (a USB adapter, a higher built-in port) is named as
// a device, and the number stays `currentPort` when the box could hold it, else COM1, so that older copies reading
// the folder file still find a usable number.
PortChoice ChooseListedPort(const SerialPortEntry& entry, i16 currentPort);

// The row of `ports` that stands for `choice`, or -1 when none does.
int ListedPortRow(const std::vector<SerialPortEntry>& ports, const PortChoice& choice);

// The port's name in the list: the system's name, with the COM number the box takes for a built-in port.
QString ListedPortName(const SerialPortEntry& entry);

// Which line the download opens now (`inUse`), and, when the window's choice would change it, which it opens after
// Done; each with the system's description, or the note that the system does not have it at the moment.
QString PortInUseText(const PortChoice& inUse, const PortChoice& edited, const std::vector<SerialPortEntry>& ports);

}  // namespace kov
