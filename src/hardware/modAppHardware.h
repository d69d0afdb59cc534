#pragma once
// The machine's COM ports and the modems installed on them: the port list of the setup
// wizard, the device-list helpers, installing a modem driver on a port, and the per-modem
// registry values. Texts are UTF-8 here and ANSI at the system. Nothing here raises or
// shows a window; results say what happened.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "driverdb/ConnectionKind.h"
#include "platform/DeviceSetup.h"

namespace tarvelin {

// One COM port, as the wizard lists it.
struct PortInfo {
    std::string portName;      // as the system writes it, "COM3"
    std::string deviceName;    // the device object behind it, "\Device\Serial0"
    std::string friendlyName;  // device property SPDRP_FRIENDLYNAME
    std::string description;   // device property SPDRP_DEVICEDESC
    std::string hardwareId;    // the first of the device's hardware ids
    ConnectionKind kind = ConnectionKindNone;
    // Filled by the setup wizard.
    bool preferMsbt = false;  // hand "MSBT" drivers to the catalogue before "BT" ones
    std::string FoundText;
    std::string ModelKeys;
    bool DriverChecked = false;
};
// Records numbered from 1 in the operations' results, in order of first discovery.
using PortList = std::vector<PortInfo>;

// Device classes a device list can be limited to.
enum class DeviceClass : uint32_t { None = 0, Modem = 16, Ports = 28 };
using DeviceList = std::unique_ptr<platform::IDeviceList>;
// A value of a device property or device key: text (a multi-string gives its first string),
// bytes or a 32-bit number.
using DeviceValue = std::variant<std::string, std::vector<uint8_t>, uint32_t>;

// Every COM port of the serial-port map, completed from the device list. True when any.
bool EnumerateComPorts(PortList& ports);
// The 1-based index of the port of that name (any case), appended when add is set; 0 when
// absent and not added.
size_t FindOrAddPort(const std::string& name, bool add, PortList& ports);

bool OpenDeviceList(DeviceClass selector, uint32_t flags, DeviceList& list);
bool EnumDevice(platform::IDeviceList& list, uint32_t index, platform::DeviceRecord& device);
bool GetDeviceProperty(platform::IDeviceList& list, const platform::DeviceRecord& device,
                       uint32_t property, DeviceValue& value, uint32_t& type);
bool GetDeviceRegValue(platform::IDeviceList& list, const platform::DeviceRecord& device,
                       platform::DeviceKeyKind kind, const std::string& name, DeviceValue& value,
                       uint32_t& type);
// Texts are written as REG_SZ with their terminating NUL.
bool SetDeviceRegValue(platform::IDeviceList& list, const platform::DeviceRecord& device,
                       platform::DeviceKeyKind kind, const std::string& name, uint32_t type,
                       const DeviceValue& value);
// The first device of the class whose text property equals wanted (any case); the caller
// closes the list.
bool FindDeviceByProperty(DeviceClass selector, uint32_t property, const std::string& wanted,
                          DeviceList& list, platform::DeviceRecord& device);
void CloseDeviceList(DeviceList& list);

// Makes the port a modem with the INF's driver: updates the driver of the modem already on
// that port for that hardware id, or creates one. True when the modem is usable.
bool InstallModem(platform::WindowHandle parent, const std::string& infPath,
                  const std::string& portName, const std::string& hardwareId,
                  std::string& friendlyName, bool& restartNeeded, std::string& message);
bool CreateModemDevice(platform::WindowHandle parent, const std::string& hardwareId,
                       const std::string& infPath, const std::string& portName,
                       std::string& friendlyName, bool& restartNeeded, std::string& message);
// The modem of that friendly name: removed, or its "UserInit" / "AttachedTo" value.
bool DeleteModem(const std::string& name);
bool SetModemUserInit(const std::string& name, const std::string& init);
bool GetModemUserInit(const std::string& name, std::string& init);
bool GetModemAttachedTo(const std::string& name, std::string& port);

}  // namespace tarvelin
