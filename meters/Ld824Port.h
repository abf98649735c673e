#pragma once

#include <QString>

#include <optional>

#include "core/LumoData.h"
#include "core/Message.h"

namespace kov {

// The baud rates a serial port is offered at, slowest first.
inline constexpr int StandardBaudRates[] = {1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200};

// The serial device the LD824 download opens: the device the installer named, or else the one the port number
// stands for (ComPortLine: COM1 is "/dev/ttyS0").
QString Ld824PortName(const LumoData& d);

// How the messages name that port: "COM" and its number, or the device the installer named.
QString Ld824PortLabel(const LumoData& d);

// What keeps the download from starting with these port settings, as the window shows it when it loads; nothing
// when they can be tried.
std::optional<Message> CheckLd824Port(const LumoData& d);

}  // namespace kov
