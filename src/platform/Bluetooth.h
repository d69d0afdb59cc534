#pragma once
// The system's Bluetooth API: local radios, the devices a radio knows, their service state.
// A system without the API behaves as one without a radio. Radio handles and searches
// close when released; results are Windows error codes (0 success).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Guid.h"

namespace tarvelin::platform {

// Service classes in the Bluetooth base UUID (short forms 0x1101 and 0x1103).
inline constexpr Guid kSerialPortServiceClass{
    0x00001101, 0x0000, 0x1000, {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}};
inline constexpr Guid kDialupNetworkingServiceClass{
    0x00001103, 0x0000, 0x1000, {0x80, 0x00, 0x00, 0x80, 0x5F, 0x9B, 0x34, 0xFB}};
inline constexpr uint32_t kBluetoothServiceEnable = 1;

// What a device search returns (BLUETOOTH_DEVICE_SEARCH_PARAMS).
struct BluetoothDeviceSearch {
    bool authenticated = false;
    bool remembered = false;
    bool unknown = false;
    bool connected = false;
    bool issueInquiry = false;
    uint8_t timeoutMultiplier = 0;
};

// One device as the search describes it (BLUETOOTH_DEVICE_INFO); the name is UTF-8.
struct BluetoothDeviceInfo {
    uint64_t address = 0;
    uint32_t classOfDevice = 0;
    bool connected = false;
    bool remembered = false;
    bool authenticated = false;
    std::string name;
};

class IBluetoothRadio {
  public:
    virtual ~IBluetoothRadio() = default;  // closes the radio handle
    virtual uintptr_t Handle() const = 0;
};

class IBluetoothRadioFind {
  public:
    virtual ~IBluetoothRadioFind() = default;  // BluetoothFindRadioClose
    // BluetoothFindNextRadio; False (error 259) after the last one.
    virtual bool Next(std::unique_ptr<IBluetoothRadio>& radio) = 0;
};

class IBluetoothDeviceFind {
  public:
    virtual ~IBluetoothDeviceFind() = default;  // BluetoothFindDeviceClose
    virtual bool Next(BluetoothDeviceInfo& device) = 0;
};

class IBluetooth {
  public:
    virtual ~IBluetooth() = default;
    // BluetoothFindFirstRadio: null (and LastError set) when there is none or no API.
    virtual std::unique_ptr<IBluetoothRadioFind> FindFirstRadio(
        std::unique_ptr<IBluetoothRadio>& radio) = 0;
    // BluetoothFindFirstDevice on that radio: null when it knows no such device.
    virtual std::unique_ptr<IBluetoothDeviceFind> FindFirstDevice(
        const BluetoothDeviceSearch& search, IBluetoothRadio& radio,
        BluetoothDeviceInfo& device) = 0;
    virtual uint32_t SetServiceState(IBluetoothRadio& radio, const BluetoothDeviceInfo& device,
                                     const Guid& service, uint32_t flags) = 0;
    // BluetoothEnumerateInstalledServices: fills up to services.size() identifiers and count
    // receives how many were written (with no room: how many the device has); 234 when some
    // did not fit.
    virtual uint32_t EnumerateInstalledServices(IBluetoothRadio& radio,
                                                const BluetoothDeviceInfo& device, uint32_t& count,
                                                std::vector<Guid>& services) = 0;
    virtual uint32_t LastError() = 0;
};

}  // namespace tarvelin::platform
