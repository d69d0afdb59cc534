#pragma once
// A simulated Bluetooth stack: local radios, the devices each one knows and the services
// those devices offer and have switched on. It records every service-state request and
// counts the radio handles and searches left open.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Bluetooth.h"

namespace tarvelin::sim {

struct SimBluetoothDevice {
    uint64_t address = 0;
    std::string name;
    bool authenticated = false;  // paired
    bool remembered = false;
    bool connected = false;
    // Neither authenticated nor remembered: an unpaired device in range, found only by an
    // inquiry.
    std::vector<platform::Guid> offered;  // services the device has
    std::vector<platform::Guid> enabled;  // services switched on for it
};

struct SimBluetoothRadio {
    std::vector<SimBluetoothDevice> devices;
};

struct SimServiceRequest {
    size_t radio;  // index in radios
    uint64_t address;
    platform::Guid service;
    uint32_t flags;
};

class SimBluetooth : public platform::IBluetooth {
  public:
    std::unique_ptr<platform::IBluetoothRadioFind> FindFirstRadio(
        std::unique_ptr<platform::IBluetoothRadio>& radio) override;
    std::unique_ptr<platform::IBluetoothDeviceFind> FindFirstDevice(
        const platform::BluetoothDeviceSearch& search, platform::IBluetoothRadio& radio,
        platform::BluetoothDeviceInfo& device) override;
    // ERROR_INVALID_PARAMETER for flags other than enable/disable, 1060
    // (ERROR_SERVICE_DOES_NOT_EXIST) for a service the device lacks, E_INVALIDARG when the
    // service already is in the state asked for.
    uint32_t SetServiceState(platform::IBluetoothRadio& radio,
                             const platform::BluetoothDeviceInfo& device,
                             const platform::Guid& service, uint32_t flags) override;
    // With no room, count receives how many services are on; otherwise how many were
    // written, and ERROR_MORE_DATA tells that some did not fit.
    uint32_t EnumerateInstalledServices(platform::IBluetoothRadio& radio,
                                        const platform::BluetoothDeviceInfo& device,
                                        uint32_t& count,
                                        std::vector<platform::Guid>& services) override;
    uint32_t LastError() override { return lastError_; }

    std::vector<SimBluetoothRadio> radios;
    std::vector<SimServiceRequest> requests;  // every SetServiceState, in order
    int OpenRadios() const { return openRadios_; }
    int OpenSearches() const { return openSearches_; }  // radio and device searches

  private:
    template <class Base, class Item, class Out>
    class Search;
    SimBluetoothDevice* Find(platform::IBluetoothRadio& radio, uint64_t address);
    uint32_t lastError_ = 0;
    int openRadios_ = 0;
    int openSearches_ = 0;
};

}  // namespace tarvelin::sim
