#pragma once

#include <vector>

#include "core/CommPort.h"

namespace kov {

// The serial ports the system has now, built-in ports and USB adapters alike, in the order of their names with
// their numbers counted (ttyS2 before ttyS10).
std::vector<SerialPortEntry> ListSerialPorts();

}  // namespace kov
