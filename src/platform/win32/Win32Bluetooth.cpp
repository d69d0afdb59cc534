#include "platform/win32/Win32Bluetooth.h"

#include <windows.h>

#include <bluetoothapis.h>

#include <algorithm>

#include "platform/win32/SystemCall.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace tarvelin::platform {

// The library and the entry points the program uses; only complete when every one exists.
struct Win32Bluetooth::Api {
    SystemLibrary library;
    decltype(&BluetoothFindFirstRadio) findFirstRadio = nullptr;
    decltype(&BluetoothFindNextRadio) findNextRadio = nullptr;
    decltype(&BluetoothFindRadioClose) findRadioClose = nullptr;
    decltype(&BluetoothFindFirstDevice) findFirstDevice = nullptr;
    decltype(&BluetoothFindNextDevice) findNextDevice = nullptr;
    decltype(&BluetoothFindDeviceClose) findDeviceClose = nullptr;
    decltype(&BluetoothSetServiceState) setServiceState = nullptr;
    decltype(&BluetoothEnumerateInstalledServices) enumerateInstalledServices = nullptr;
};

namespace {

HANDLE RadioHandle(const IBluetoothRadio& radio) {
    return reinterpret_cast<HANDLE>(radio.Handle());
}

BLUETOOTH_DEVICE_INFO ToSystem(const BluetoothDeviceInfo& device) {
    BLUETOOTH_DEVICE_INFO info{};
    info.dwSize = sizeof info;
    info.Address.ullLong = device.address;
    info.ulClassofDevice = device.classOfDevice;
    info.fConnected = device.connected;
    info.fRemembered = device.remembered;
    info.fAuthenticated = device.authenticated;
    const std::wstring name = Widen(device.name);
    std::copy_n(name.begin(), std::min<size_t>(name.size(), BLUETOOTH_MAX_NAME_SIZE - 1),
                info.szName);
    return info;
}

BluetoothDeviceInfo FromSystem(const BLUETOOTH_DEVICE_INFO& info) {
    const wchar_t* end = std::find(info.szName, info.szName + BLUETOOTH_MAX_NAME_SIZE, L'\0');
    return {
        info.Address.ullLong,         info.ulClassofDevice,
        info.fConnected != FALSE,     info.fRemembered != FALSE,
        info.fAuthenticated != FALSE, Narrow(std::wstring_view(info.szName, end - info.szName))};
}

class Win32Radio : public IBluetoothRadio {
  public:
    explicit Win32Radio(HANDLE radio) : radio_(radio) {}
    ~Win32Radio() override { CloseHandle(radio_); }
    Win32Radio(const Win32Radio&) = delete;
    Win32Radio& operator=(const Win32Radio&) = delete;
    uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(radio_); }

  private:
    HANDLE radio_;
};

class Win32RadioFind : public IBluetoothRadioFind {
  public:
    Win32RadioFind(HBLUETOOTH_RADIO_FIND find, const Win32Bluetooth::Api& api, uint32_t& lastError)
        : find_(find), api_(api), lastError_(lastError) {}
    ~Win32RadioFind() override { api_.findRadioClose(find_); }
    Win32RadioFind(const Win32RadioFind&) = delete;
    Win32RadioFind& operator=(const Win32RadioFind&) = delete;

    bool Next(std::unique_ptr<IBluetoothRadio>& radio) override {
        HANDLE handle = nullptr;
        if (!Noted(lastError_, api_.findNextRadio(find_, &handle))) return false;
        radio = std::make_unique<Win32Radio>(handle);
        return true;
    }

  private:
    HBLUETOOTH_RADIO_FIND find_;
    const Win32Bluetooth::Api& api_;
    uint32_t& lastError_;
};

class Win32DeviceFind : public IBluetoothDeviceFind {
  public:
    Win32DeviceFind(HBLUETOOTH_DEVICE_FIND find, const Win32Bluetooth::Api& api,
                    uint32_t& lastError)
        : find_(find), api_(api), lastError_(lastError) {}
    ~Win32DeviceFind() override { api_.findDeviceClose(find_); }
    Win32DeviceFind(const Win32DeviceFind&) = delete;
    Win32DeviceFind& operator=(const Win32DeviceFind&) = delete;

    bool Next(BluetoothDeviceInfo& device) override {
        BLUETOOTH_DEVICE_INFO info = ToSystem({});
        if (!Noted(lastError_, api_.findNextDevice(find_, &info))) return false;
        device = FromSystem(info);
        return true;
    }

  private:
    HBLUETOOTH_DEVICE_FIND find_;
    const Win32Bluetooth::Api& api_;
    uint32_t& lastError_;
};

}  // namespace

Win32Bluetooth::Win32Bluetooth() = default;
Win32Bluetooth::~Win32Bluetooth() = default;

const Win32Bluetooth::Api* Win32Bluetooth::Load() {
    if (api_) return api_->enumerateInstalledServices ? api_.get() : nullptr;
    api_ = std::make_unique<Api>();
    Api& api = *api_;
    api.library = SystemLibrary("bthprops.cpl");
    const SystemLibrary& library = api.library;
    const bool complete =
        library.Bind("BluetoothFindFirstRadio", api.findFirstRadio) &&
        library.Bind("BluetoothFindNextRadio", api.findNextRadio) &&
        library.Bind("BluetoothFindRadioClose", api.findRadioClose) &&
        library.Bind("BluetoothFindFirstDevice", api.findFirstDevice) &&
        library.Bind("BluetoothFindNextDevice", api.findNextDevice) &&
        library.Bind("BluetoothFindDeviceClose", api.findDeviceClose) &&
        library.Bind("BluetoothSetServiceState", api.setServiceState) &&
        library.Bind("BluetoothEnumerateInstalledServices", api.enumerateInstalledServices);
    if (complete) return api_.get();
    loadError_ = GetLastError();
    api_ = std::make_unique<Api>();  // unloaded and empty: no later call tries again
    return nullptr;
}

std::unique_ptr<IBluetoothRadioFind> Win32Bluetooth::FindFirstRadio(
    std::unique_ptr<IBluetoothRadio>& radio) {
    const Api* api = Load();
    if (!api) {
        lastError_ = loadError_ ? loadError_ : ERROR_NO_MORE_ITEMS;
        return nullptr;
    }
    BLUETOOTH_FIND_RADIO_PARAMS params{sizeof params};
    HANDLE handle = nullptr;
    HBLUETOOTH_RADIO_FIND find = Noted(lastError_, api->findFirstRadio(&params, &handle));
    if (!find) return nullptr;
    radio = std::make_unique<Win32Radio>(handle);
    return std::make_unique<Win32RadioFind>(find, *api, lastError_);
}

std::unique_ptr<IBluetoothDeviceFind> Win32Bluetooth::FindFirstDevice(
    const BluetoothDeviceSearch& search, IBluetoothRadio& radio, BluetoothDeviceInfo& device) {
    const Api* api = Load();
    if (!api) return nullptr;  // no radio could have been handed out
    BLUETOOTH_DEVICE_SEARCH_PARAMS params{};
    params.dwSize = sizeof params;
    params.fReturnAuthenticated = search.authenticated;
    params.fReturnRemembered = search.remembered;
    params.fReturnUnknown = search.unknown;
    params.fReturnConnected = search.connected;
    params.fIssueInquiry = search.issueInquiry;
    params.cTimeoutMultiplier = search.timeoutMultiplier;
    params.hRadio = RadioHandle(radio);
    BLUETOOTH_DEVICE_INFO info = ToSystem({});
    HBLUETOOTH_DEVICE_FIND find = Noted(lastError_, api->findFirstDevice(&params, &info));
    if (!find) return nullptr;
    device = FromSystem(info);
    return std::make_unique<Win32DeviceFind>(find, *api, lastError_);
}

uint32_t Win32Bluetooth::SetServiceState(IBluetoothRadio& radio, const BluetoothDeviceInfo& device,
                                         const Guid& service, uint32_t flags) {
    const Api* api = Load();
    if (!api) return ERROR_NOT_SUPPORTED;
    BLUETOOTH_DEVICE_INFO info = ToSystem(device);
    GUID system = ToSystemGuid(service);
    return Noted(lastError_, api->setServiceState(RadioHandle(radio), &info, &system, flags));
}

uint32_t Win32Bluetooth::EnumerateInstalledServices(IBluetoothRadio& radio,
                                                    const BluetoothDeviceInfo& device,
                                                    uint32_t& count, std::vector<Guid>& services) {
    const Api* api = Load();
    if (!api) return ERROR_NOT_SUPPORTED;
    BLUETOOTH_DEVICE_INFO info = ToSystem(device);
    std::vector<GUID> system(services.size());
    DWORD n = static_cast<DWORD>(system.size());
    const DWORD result = Noted(
        lastError_, api->enumerateInstalledServices(RadioHandle(radio), &info, &n,
                                                    system.empty() ? nullptr : system.data()));
    count = n;
    std::transform(system.begin(), system.begin() + std::min<size_t>(n, system.size()),
                   services.begin(), FromSystemGuid);
    return result;
}

}  // namespace tarvelin::platform
