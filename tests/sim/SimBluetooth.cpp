#include "sim/SimBluetooth.h"

#include <algorithm>

namespace tarvelin::sim {
namespace {

using platform::BluetoothDeviceInfo;
using platform::Guid;

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorMoreData = 234;
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr uint32_t kErrorServiceDoesNotExist = 1060;
constexpr uint32_t kEInvalidArg = 0x80070057;

// An open handle or search: counted while it lives.
class Counted {
  public:
    explicit Counted(int& count) : count_(count) { ++count_; }
    ~Counted() { --count_; }
    Counted(const Counted&) = delete;
    Counted& operator=(const Counted&) = delete;

  private:
    int& count_;
};

bool Matches(const platform::BluetoothDeviceSearch& search, const SimBluetoothDevice& device) {
    const bool unknown = !device.authenticated && !device.remembered;
    return (search.authenticated && device.authenticated) ||
           (search.remembered && device.remembered) || (search.connected && device.connected) ||
           (search.unknown && search.issueInquiry && unknown);
}

}  // namespace

class SimBluetooth::Radio : public platform::IBluetoothRadio {
  public:
    Radio(size_t index, int& open) : index_(index), open_(open) {}
    uintptr_t Handle() const override { return index_ + 1; }

  private:
    size_t index_;
    Counted open_;
};

class SimBluetooth::RadioFind : public platform::IBluetoothRadioFind {
  public:
    explicit RadioFind(SimBluetooth& stack) : stack_(stack), open_(stack.openSearches_) {}
    bool Next(std::unique_ptr<platform::IBluetoothRadio>& radio) override {
        stack_.lastError_ = next_ < stack_.radios.size() ? 0 : kErrorNoMoreItems;
        if (stack_.lastError_) return false;
        radio = std::make_unique<Radio>(next_++, stack_.openRadios_);
        return true;
    }

  private:
    SimBluetooth& stack_;
    size_t next_ = 0;
    Counted open_;
};

class SimBluetooth::DeviceFind : public platform::IBluetoothDeviceFind {
  public:
    DeviceFind(SimBluetooth& stack, std::vector<BluetoothDeviceInfo> found)
        : stack_(stack), found_(std::move(found)), open_(stack.openSearches_) {}
    bool Next(BluetoothDeviceInfo& device) override {
        stack_.lastError_ = next_ < found_.size() ? 0 : kErrorNoMoreItems;
        if (stack_.lastError_) return false;
        device = found_[next_++];
        return true;
    }

  private:
    SimBluetooth& stack_;
    std::vector<BluetoothDeviceInfo> found_;
    size_t next_ = 0;
    Counted open_;
};

std::unique_ptr<platform::IBluetoothRadioFind> SimBluetooth::FindFirstRadio(
    std::unique_ptr<platform::IBluetoothRadio>& radio) {
    auto find = std::make_unique<RadioFind>(*this);
    return find->Next(radio) ? std::move(find) : nullptr;
}

std::unique_ptr<platform::IBluetoothDeviceFind> SimBluetooth::FindFirstDevice(
    const platform::BluetoothDeviceSearch& search, platform::IBluetoothRadio& radio,
    BluetoothDeviceInfo& device) {
    std::vector<BluetoothDeviceInfo> found;
    const size_t index = radio.Handle() - 1;
    for (const auto& d :
         index < radios.size() ? radios[index].devices : std::vector<SimBluetoothDevice>{}) {
        if (Matches(search, d)) {
            found.push_back({d.address, 0, d.connected, d.remembered, d.authenticated, d.name});
        }
    }
    auto find = std::make_unique<DeviceFind>(*this, std::move(found));
    return find->Next(device) ? std::move(find) : nullptr;
}

SimBluetoothDevice* SimBluetooth::Find(platform::IBluetoothRadio& radio, uint64_t address) {
    const size_t index = radio.Handle() - 1;
    if (index >= radios.size()) return nullptr;
    auto& devices = radios[index].devices;
    auto it = std::find_if(devices.begin(), devices.end(),
                           [&](const auto& d) { return d.address == address; });
    return it == devices.end() ? nullptr : &*it;
}

uint32_t SimBluetooth::SetServiceState(platform::IBluetoothRadio& radio,
                                       const BluetoothDeviceInfo& device, const Guid& service,
                                       uint32_t flags) {
    requests.push_back({radio.Handle() - 1, device.address, service, flags});
    SimBluetoothDevice* target = Find(radio, device.address);
    if (flags > platform::kBluetoothServiceEnable || !target) return kErrorInvalidParameter;
    const auto has = [&](const std::vector<Guid>& list) {
        return std::find(list.begin(), list.end(), service) != list.end();
    };
    if (!has(target->offered)) return kErrorServiceDoesNotExist;
    if (has(target->enabled) == (flags == platform::kBluetoothServiceEnable)) return kEInvalidArg;
    if (flags) {
        target->enabled.push_back(service);
    } else {
        std::erase(target->enabled, service);
    }
    return 0;
}

uint32_t SimBluetooth::EnumerateInstalledServices(platform::IBluetoothRadio& radio,
                                                  const BluetoothDeviceInfo& device,
                                                  uint32_t& count, std::vector<Guid>& services) {
    const SimBluetoothDevice* target = Find(radio, device.address);
    if (!target) return kErrorInvalidParameter;
    const size_t enabled = target->enabled.size();
    const size_t written = services.empty() ? 0 : std::min(enabled, services.size());
    std::copy_n(target->enabled.begin(), written, services.begin());
    count = static_cast<uint32_t>(services.empty() ? enabled : written);
    return written < enabled && !services.empty() ? kErrorMoreData : 0;
}

}  // namespace tarvelin::sim
