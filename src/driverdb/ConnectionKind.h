#pragma once
// The kind of connection behind a serial port or offered by a driver, shared by the port
// records, the driver catalogue and the setup wizard.
#include <cstdint>

namespace tarvelin {

enum ConnectionKind : int32_t {
    ConnectionKindNone = 0,
    ConnectionKindSerialPort = 1,  // built-in serial port (ACPI)
    ConnectionKindCable = 2,       // USB or serial cable: catalogue name "CAB"
    ConnectionKindInfrared = 3,    // "IRDA"
    ConnectionKindBluetooth = 4,   // "BT" and "MSBT"
    ConnectionKindPci = 5,
};

}  // namespace tarvelin
