#pragma once
// A simulated Bluetooth stack: local radios, the devices each one knows and the services
// those devices offer and have switched on. It records every service-state request and
// counts the radio handles and searches left open.
#include <algorithm>

#include "platform/Bluetooth.h"

namespace tarvelin::sim {

struct SimBluetoothDevice {
    uint64_t address = 0;
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
    uint64_t address;
    platform::Guid service;
    uint32_t flags;
};

class SimBluetooth : public platform::IBluetooth {
    using Info = platform::BluetoothDeviceInfo;
    using Radio = platform::IBluetoothRadio;

  public:
    std::unique_ptr<platform::IBluetoothRadioFind> FindFirstRadio(
        std::unique_ptr<Radio>& radio) override {
        auto find = std::make_unique<Search>(*this, radios.size());
        return find->Next(radio) ? std::move(find) : nullptr;
    }
    // Paired, remembered or connected devices as asked; unpaired devices in range are found
    // only by an inquiry.
    std::unique_ptr<platform::IBluetoothDeviceFind> FindFirstDevice(
        const platform::BluetoothDeviceSearch& search, Radio& radio, Info& device) override {
        auto find = std::make_unique<Search>(*this);
        for (const auto& d : radios.at(radio.Handle() - 1).devices) {
            if ((search.authenticated && d.authenticated) || (search.remembered && d.remembered) ||
                (search.connected && d.connected) ||
                (search.unknown && search.issueInquiry && !d.authenticated && !d.remembered))
                find->found.emplace_back(d.address, 0, d.connected, d.remembered, d.authenticated);
        }
        return find->Next(device) ? std::move(find) : nullptr;
    }
    // ERROR_INVALID_PARAMETER for flags other than enable/disable or an unknown device, 1060
    // (ERROR_SERVICE_DOES_NOT_EXIST) for a service the device lacks. A service already in
    // the state asked for stays so.
    uint32_t SetServiceState(Radio& radio, const Info& device, const platform::Guid& service,
                             uint32_t flags) override {
        requests.push_back({device.address, service, flags});
        SimBluetoothDevice* target = Find(radio, device.address);
        if (flags > platform::kBluetoothServiceEnable || !target) return 87;
        if (std::ranges::count(target->offered, service) == 0) return 1060;
        std::erase(target->enabled, service);
        if (flags) target->enabled.push_back(service);
        return 0;
    }
    // Fills what fits; count receives how many services are on, and ERROR_MORE_DATA tells
    // that some did not fit.
    uint32_t EnumerateInstalledServices(Radio& radio, const Info& device, uint32_t& count,
                                        std::vector<platform::Guid>& services) override {
        const SimBluetoothDevice* d = Find(radio, device.address);
        if (!d) return 87;
        count = static_cast<uint32_t>(d->enabled.size());
        std::copy_n(d->enabled.begin(), std::min<size_t>(count, services.size()), services.begin());
        return count > services.size() ? 234 : 0;
    }
    // Only a search fails with an error left behind: ERROR_NO_MORE_ITEMS past its last entry.
    uint32_t LastError() override { return 259; }

    std::vector<SimBluetoothRadio> radios;
    std::vector<SimServiceRequest> requests;  // every SetServiceState, in order
    int OpenRadios() const { return openRadios_; }
    int OpenSearches() const { return openSearches_; }  // radio and device searches

  private:
    // A radio handle: the radio's index plus one, counted while open.
    struct RadioHandle : Radio {
        RadioHandle(uintptr_t handle, int& open) : handle(handle), open(++open) {}
        ~RadioHandle() override { --open; }
        uintptr_t Handle() const override { return handle; }
        uintptr_t handle;
        int& open;
    };

    // A radio or device search over what was there when it started (for radios, one empty
    // entry per radio), counted while open.
    struct Search : platform::IBluetoothRadioFind, platform::IBluetoothDeviceFind {
        explicit Search(SimBluetooth& s, size_t n = 0) : stack(s), found(n) { ++s.openSearches_; }
        ~Search() override { --stack.openSearches_; }
        bool Next(std::unique_ptr<Radio>& radio) override {
            Info entry;
            return Next(entry) && (radio = std::make_unique<RadioHandle>(next, stack.openRadios_));
        }
        bool Next(Info& device) override {
            const bool more = next < found.size();
            if (more) device = found[next++];
            return more;
        }
        SimBluetooth& stack;
        std::vector<Info> found;
        size_t next = 0;
    };

    SimBluetoothDevice* Find(Radio& radio, uint64_t address) {
        auto& devices = radios.at(radio.Handle() - 1).devices;
        auto it = std::ranges::find(devices, address, &SimBluetoothDevice::address);
        return it == devices.end() ? nullptr : &*it;
    }
    int openRadios_ = 0, openSearches_ = 0;
};

}  // namespace tarvelin::sim
