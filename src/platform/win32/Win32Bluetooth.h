#pragma once
#include "platform/Bluetooth.h"

namespace tarvelin::platform {

// The Bluetooth API of the system's Bluetooth control panel library, looked up at run time
// on the first radio search (Windows 2000 and many later systems lack it) and kept loaded.
// Without the library or one of its functions there is no radio. Radios and searches it
// hands out use its entry points and report their errors here, so they must not outlive it.
class Win32Bluetooth : public IBluetooth {
  public:
    Win32Bluetooth();
    ~Win32Bluetooth() override;
    Win32Bluetooth(const Win32Bluetooth&) = delete;
    Win32Bluetooth& operator=(const Win32Bluetooth&) = delete;

    std::unique_ptr<IBluetoothRadioFind> FindFirstRadio(
        std::unique_ptr<IBluetoothRadio>& radio) override;
    std::unique_ptr<IBluetoothDeviceFind> FindFirstDevice(const BluetoothDeviceSearch& search,
                                                          IBluetoothRadio& radio,
                                                          BluetoothDeviceInfo& device) override;
    uint32_t SetServiceState(IBluetoothRadio& radio, const BluetoothDeviceInfo& device,
                             const Guid& service, uint32_t flags) override;
    uint32_t EnumerateInstalledServices(IBluetoothRadio& radio, const BluetoothDeviceInfo& device,
                                        uint32_t& count, std::vector<Guid>& services) override;
    uint32_t LastError() override { return lastError_; }

    struct Api;

  private:
    const Api* Load();

    std::unique_ptr<Api> api_;
    uint32_t loadError_ = 0;
    uint32_t lastError_ = 0;
};

}  // namespace tarvelin::platform
