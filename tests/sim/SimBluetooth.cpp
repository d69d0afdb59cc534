#include "sim/SimBluetooth.h"

#include <algorithm>

namespace tarvelin::sim {
namespace {

using platform::BluetoothDeviceInfo;
using platform::Guid;

constexpr uint32_t kErrorInvalidParameter = 87;
constexpr uint32_t kErrorNoMoreItems = 259;

// An open handle or search: counted while it lives.
struct Counted {
    explicit Counted(int& open) : count(++open) {}
    ~Counted() { --count; }
    int& count;
};

class Radio : public platform::IBluetoothRadio {
  public:
    Radio(size_t index, int& open) : index_(index), open_(open) {}
    uintptr_t Handle() const override { return index_ + 1; }

  private:
    size_t index_;
    Counted open_;
};

}  // namespace

// A radio or device search over what was found when it started.
template <class Base, class Item, class Out>
class SimBluetooth::Search : public Base {
  public:
    Search(SimBluetooth& stack, std::vector<Item> items)
        : stack_(stack), items_(std::move(items)), open_(stack.openSearches_) {}
    bool Next(Out& out) override {
        stack_.lastError_ = next_ < items_.size() ? 0 : kErrorNoMoreItems;
        if (stack_.lastError_ == 0) Hand(items_[next_++], out);
        return stack_.lastError_ == 0;
    }

  private:
    void Hand(size_t radio, std::unique_ptr<platform::IBluetoothRadio>& out) {
        out = std::make_unique<Radio>(radio, stack_.openRadios_);
    }
    void Hand(const BluetoothDeviceInfo& device, BluetoothDeviceInfo& out) { out = device; }

    SimBluetooth& stack_;
    std::vector<Item> items_;
    size_t next_ = 0;
    Counted open_;
};

std::unique_ptr<platform::IBluetoothRadioFind> SimBluetooth::FindFirstRadio(
    std::unique_ptr<platform::IBluetoothRadio>& radio) {
    std::vector<size_t> all(radios.size());
    for (size_t i = 0; i < all.size(); ++i) all[i] = i;
    auto find = std::make_unique<
        Search<platform::IBluetoothRadioFind, size_t, std::unique_ptr<platform::IBluetoothRadio>>>(
        *this, std::move(all));
    return find->Next(radio) ? std::move(find) : nullptr;
}

// Unpaired devices in range are found only by an inquiry.
std::unique_ptr<platform::IBluetoothDeviceFind> SimBluetooth::FindFirstDevice(
    const platform::BluetoothDeviceSearch& search, platform::IBluetoothRadio& radio,
    BluetoothDeviceInfo& device) {
    std::vector<BluetoothDeviceInfo> found;
    for (const auto& d : radios.at(radio.Handle() - 1).devices) {
        const bool unknown = !d.authenticated && !d.remembered;
        if ((search.authenticated && d.authenticated) || (search.remembered && d.remembered) ||
            (search.connected && d.connected) ||
            (search.unknown && search.issueInquiry && unknown)) {
            found.push_back({d.address, 0, d.connected, d.remembered, d.authenticated, d.name});
        }
    }
    auto find = std::make_unique<
        Search<platform::IBluetoothDeviceFind, BluetoothDeviceInfo, BluetoothDeviceInfo>>(
        *this, std::move(found));
    return find->Next(device) ? std::move(find) : nullptr;
}

SimBluetoothDevice* SimBluetooth::Find(platform::IBluetoothRadio& radio, uint64_t address) {
    auto& devices = radios.at(radio.Handle() - 1).devices;
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
    if (!has(target->offered)) return 1060;                       // ERROR_SERVICE_DOES_NOT_EXIST
    if (has(target->enabled) == (flags != 0)) return 0x80070057;  // E_INVALIDARG: no change
    if (flags) target->enabled.push_back(service);
    if (!flags) std::erase(target->enabled, service);
    return 0;
}

uint32_t SimBluetooth::EnumerateInstalledServices(platform::IBluetoothRadio& radio,
                                                  const BluetoothDeviceInfo& device,
                                                  uint32_t& count, std::vector<Guid>& services) {
    const SimBluetoothDevice* target = Find(radio, device.address);
    if (!target) return kErrorInvalidParameter;
    const size_t enabled = target->enabled.size();
    count = static_cast<uint32_t>(services.empty() ? enabled : std::min(enabled, services.size()));
    std::copy_n(target->enabled.begin(), services.empty() ? 0 : count, services.begin());
    return services.empty() || count == enabled ? 0 : 234;  // ERROR_MORE_DATA: incomplete
}

}  // namespace tarvelin::sim
