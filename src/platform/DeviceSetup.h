#pragma once
// Device installation: the setup interface's device lists, properties and device keys, the
// class installer's remove and the driver installer, ANSI flavour. Texts (INF paths, class
// names, hardware ids) are bytes in the system's ANSI code page. Every call leaves an error
// code behind for LastError(), as the system's thread-wide last error does; like that one,
// it is not always 0 after a success. A device list is destroyed when released.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Guid.h"
#include "platform/MessageBox.h"
#include "platform/Registry.h"

namespace tarvelin::platform {

inline constexpr Guid kGuidDevClassPorts{
    0x4D36E978, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr Guid kGuidDevClassModem{
    0x4D36E96D, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

inline constexpr uint32_t kDigcfAllClasses = 0x4;
inline constexpr uint32_t kSpdrpDeviceDesc = 0;
inline constexpr uint32_t kSpdrpHardwareId = 1;
inline constexpr uint32_t kSpdrpFriendlyName = 12;
inline constexpr uint32_t kInstallFlagForce = 1;

inline constexpr uint32_t kErrorInvalidData = 13;
inline constexpr uint32_t kErrorInsufficientBuffer = 122;
inline constexpr uint32_t kErrorKeyDoesNotExist = 0xE0000204;
inline constexpr uint32_t kErrorNoSuchDevinst = 0xE000020B;

// The two registry keys of a device (DIREG_DEV, DIREG_DRV).
enum class DeviceKeyKind : uint32_t { Hardware = 1, Driver = 2 };
// Access asked for when a device key is opened: KEY_READ, KEY_SET_VALUE, KEY_ALL_ACCESS.
enum class DeviceKeyAccess : uint8_t { Read, SetValue, All };

// One element of a device list (SP_DEVINFO_DATA): its class and the system's device
// instance. Only the list that handed it out understands it.
struct DeviceRecord {
    Guid classGuid{};
    uint32_t devInst = 0;
    uintptr_t reserved = 0;
};

class IDeviceList {
  public:
    virtual ~IDeviceList() = default;
    // SetupDiEnumDeviceInfo. False past the last element (error 259).
    virtual bool Enum(uint32_t index, DeviceRecord& device) = 0;
    // SetupDiGetDeviceRegistryPropertyA: fills up to buffer.size() bytes; type and
    // requiredSize (bytes) are set also when the buffer is too small (False, error 122).
    virtual bool GetProperty(const DeviceRecord& device, uint32_t property, uint32_t& type,
                             std::vector<uint8_t>& buffer, uint32_t& requiredSize) = 0;
    // SetupDiSetDeviceRegistryPropertyA with the value's bytes.
    virtual bool SetProperty(DeviceRecord& device, uint32_t property,
                             const std::vector<uint8_t>& data) = 0;
    // SetupDiCreateDeviceInfoA with a generated instance id, no description, no window.
    virtual bool Create(const std::string& className, const Guid& classGuid,
                        DeviceRecord& device) = 0;
    // SetupDiRegisterDeviceInfo without flags or duplicate check.
    virtual bool Register(DeviceRecord& device) = 0;
    // SetupDiOpenDevRegKey for the global profile; null when the key cannot be opened.
    virtual std::unique_ptr<IRegKey> OpenKey(const DeviceRecord& device, DeviceKeyKind kind,
                                             DeviceKeyAccess access) = 0;
    // SetupDiCreateDevRegKeyA for the global profile, without an INF section.
    virtual std::unique_ptr<IRegKey> CreateKey(const DeviceRecord& device, DeviceKeyKind kind) = 0;
    // SetupDiCallClassInstaller(DIF_REMOVE).
    virtual bool Remove(DeviceRecord& device) = 0;
};

class IDeviceSetup {
  public:
    virtual ~IDeviceSetup() = default;
    // SetupDiGetClassDevsA without enumerator or window; a null class means every class.
    // Null when the system returns no list.
    virtual std::unique_ptr<IDeviceList> GetClassDevs(const Guid* classGuid, uint32_t flags) = 0;
    // SetupDiCreateDeviceInfoList without a window.
    virtual std::unique_ptr<IDeviceList> CreateList(const Guid& classGuid) = 0;
    // SetupDiGetINFClassA: className has className.size() characters of room (none for the
    // size query); requiredSize receives the characters needed, the NUL included.
    virtual bool GetInfClass(const std::string& infPath, Guid& classGuid,
                             std::vector<char>& className, uint32_t& requiredSize) = 0;
    // UpdateDriverForPlugAndPlayDevicesA: installs the INF on every device with that
    // hardware id; the parent window owns the installer's own prompts.
    virtual bool UpdateDriver(WindowHandle parent, const std::string& hardwareId,
                              const std::string& infPath, uint32_t flags, bool& restart) = 0;
    // The error code the last call left behind.
    virtual uint32_t LastError() = 0;
};

}  // namespace tarvelin::platform
