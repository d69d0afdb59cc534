#include "platform/win32/Win32DeviceSetup.h"

#include <windows.h>

#include <cfgmgr32.h>
#include <newdev.h>
#include <setupapi.h>

#include "platform/win32/SystemCall.h"
#include "platform/win32/Win32Registry.h"

namespace tarvelin::platform {
namespace {

SP_DEVINFO_DATA ToSystem(const DeviceRecord& device) {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    data.ClassGuid = ToSystemGuid(device.classGuid);
    data.DevInst = device.devInst;
    data.Reserved = device.reserved;
    return data;
}

void FromSystem(const SP_DEVINFO_DATA& data, DeviceRecord& device) {
    device.classGuid = FromSystemGuid(data.ClassGuid);
    device.devInst = data.DevInst;
    device.reserved = data.Reserved;
}

REGSAM AccessMask(DeviceKeyAccess access) {
    switch (access) {
        case DeviceKeyAccess::Read:
            return KEY_READ;
        case DeviceKeyAccess::SetValue:
            return KEY_SET_VALUE;
        case DeviceKeyAccess::All:
            break;
    }
    return KEY_ALL_ACCESS;
}

// The device-key functions answer INVALID_HANDLE_VALUE when they fail.
std::unique_ptr<IRegKey> DeviceKey(HKEY key) {
    if (!key || key == reinterpret_cast<HKEY>(INVALID_HANDLE_VALUE)) return nullptr;
    return AdoptRegKey(key);
}

class Win32DeviceList : public IDeviceList {
  public:
    Win32DeviceList(HDEVINFO list, uint32_t& lastError) : list_(list), lastError_(lastError) {}
    ~Win32DeviceList() override { SetupDiDestroyDeviceInfoList(list_); }
    Win32DeviceList(const Win32DeviceList&) = delete;
    Win32DeviceList& operator=(const Win32DeviceList&) = delete;

    bool Enum(uint32_t index, DeviceRecord& device) override {
        SP_DEVINFO_DATA data = ToSystem({});
        if (!Noted(lastError_, SetupDiEnumDeviceInfo(list_, index, &data))) return false;
        FromSystem(data, device);
        return true;
    }

    bool GetProperty(const DeviceRecord& device, uint32_t property, uint32_t& type,
                     std::vector<uint8_t>& buffer, uint32_t& requiredSize) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        DWORD t = type, required = requiredSize;
        const BOOL ok = Noted(
            lastError_, SetupDiGetDeviceRegistryPropertyA(
                            list_, &data, property, &t, buffer.empty() ? nullptr : buffer.data(),
                            static_cast<DWORD>(buffer.size()), &required));
        type = t;
        requiredSize = required;
        return ok;
    }

    bool SetProperty(DeviceRecord& device, uint32_t property,
                     const std::vector<uint8_t>& bytes) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        const BOOL ok =
            Noted(lastError_, SetupDiSetDeviceRegistryPropertyA(
                                  list_, &data, property, bytes.empty() ? nullptr : bytes.data(),
                                  static_cast<DWORD>(bytes.size())));
        FromSystem(data, device);
        return ok;
    }

    bool Create(const std::string& className, const Guid& classGuid,
                DeviceRecord& device) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        const GUID system = ToSystemGuid(classGuid);
        if (!Noted(lastError_, SetupDiCreateDeviceInfoA(list_, className.c_str(), &system, nullptr,
                                                        nullptr, DICD_GENERATE_ID, &data)))
            return false;
        FromSystem(data, device);
        return true;
    }

    bool Register(DeviceRecord& device) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        const BOOL ok = Noted(
            lastError_, SetupDiRegisterDeviceInfo(list_, &data, 0, nullptr, nullptr, nullptr));
        FromSystem(data, device);
        return ok;
    }

    std::unique_ptr<IRegKey> OpenKey(const DeviceRecord& device, DeviceKeyKind kind,
                                     DeviceKeyAccess access) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        return DeviceKey(
            Noted(lastError_, SetupDiOpenDevRegKey(list_, &data, DICS_FLAG_GLOBAL, 0,
                                                   static_cast<DWORD>(kind), AccessMask(access))));
    }

    std::unique_ptr<IRegKey> CreateKey(const DeviceRecord& device, DeviceKeyKind kind) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        return DeviceKey(
            Noted(lastError_, SetupDiCreateDevRegKeyA(list_, &data, DICS_FLAG_GLOBAL, 0,
                                                      static_cast<DWORD>(kind), nullptr, nullptr)));
    }

    bool Remove(DeviceRecord& device) override {
        SP_DEVINFO_DATA data = ToSystem(device);
        const BOOL ok = Noted(lastError_, SetupDiCallClassInstaller(DIF_REMOVE, list_, &data));
        FromSystem(data, device);
        return ok;
    }

  private:
    HDEVINFO list_;
    uint32_t& lastError_;
};

}  // namespace

std::unique_ptr<IDeviceList> Win32DeviceSetup::GetClassDevs(const Guid* classGuid, uint32_t flags) {
    GUID system{};
    if (classGuid) system = ToSystemGuid(*classGuid);
    HDEVINFO list = Noted(
        lastError_, SetupDiGetClassDevsA(classGuid ? &system : nullptr, nullptr, nullptr, flags));
    if (list == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32DeviceList>(list, lastError_);
}

std::unique_ptr<IDeviceList> Win32DeviceSetup::CreateList(const Guid& classGuid) {
    const GUID system = ToSystemGuid(classGuid);
    HDEVINFO list = Noted(lastError_, SetupDiCreateDeviceInfoList(&system, nullptr));
    if (list == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<Win32DeviceList>(list, lastError_);
}

bool Win32DeviceSetup::GetInfClass(const std::string& infPath, Guid& classGuid,
                                   std::vector<char>& className, uint32_t& requiredSize) {
    // The size query is asked with room for the longest class name there is: Wine answers a
    // query without a buffer with error 87 and an arbitrary size, and a buffer too small with
    // success and a garbled name. Windows gives the same size either way.
    std::vector<char> room;
    if (className.empty()) room.resize(MAX_CLASS_NAME_LEN);
    std::vector<char>& buffer = className.empty() ? room : className;
    GUID system = ToSystemGuid(classGuid);
    DWORD required = requiredSize;
    const BOOL ok =
        Noted(lastError_, SetupDiGetINFClassA(infPath.c_str(), &system, buffer.data(),
                                              static_cast<DWORD>(buffer.size()), &required));
    classGuid = FromSystemGuid(system);
    requiredSize = required;
    return ok;
}

bool Win32DeviceSetup::UpdateDriver(WindowHandle parent, const std::string& hardwareId,
                                    const std::string& infPath, uint32_t flags, bool& restart) {
    BOOL reboot = FALSE;
    const BOOL ok = Noted(lastError_, UpdateDriverForPlugAndPlayDevicesA(
                                          reinterpret_cast<HWND>(parent), hardwareId.c_str(),
                                          infPath.c_str(), flags, &reboot));
    restart = reboot != FALSE;
    return ok;
}

}  // namespace tarvelin::platform
