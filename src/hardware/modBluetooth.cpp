#include "hardware/modBluetooth.h"

#include <memory>
#include <vector>

#include "core/AppState.h"
#include "platform/Bluetooth.h"

namespace tarvelin {
namespace {

using platform::IBluetooth;
using platform::IBluetoothRadio;

// The stack's list of a device's services is asked for as a diagnostic of the switch; room
// for this many identifiers.
constexpr uint32_t kServiceRoom = 20;

// Both serial services of every paired or remembered device of one radio. The answers are
// not weighed: a service already on, not offered or refused leaves the walk as it is. No
// inquiry is made, so a device in range but not paired is never touched.
void EnableOnRadio(IBluetooth& bluetooth, IBluetoothRadio& radio) {
    platform::BluetoothDeviceSearch search;
    search.authenticated = true;
    search.remembered = true;
    platform::BluetoothDeviceInfo device;
    const auto devices = bluetooth.FindFirstDevice(search, radio, device);
    if (!devices) return;
    do {
        bluetooth.SetServiceState(radio, device, platform::kSerialPortServiceClass,
                                  platform::kBluetoothServiceEnable);
        bluetooth.SetServiceState(radio, device, platform::kDialupNetworkingServiceClass,
                                  platform::kBluetoothServiceEnable);
        std::vector<platform::Guid> services(kServiceRoom);
        uint32_t count = kServiceRoom;
        bluetooth.EnumerateInstalledServices(radio, device, count, services);
    } while (devices->Next(device));
}

}  // namespace

void EnableBluetoothServices() {
    auto* platform = AppState().platform;
    IBluetooth* bluetooth = platform ? platform->bluetooth : nullptr;
    if (!bluetooth) return;
    std::unique_ptr<IBluetoothRadio> radio;
    const auto radios = bluetooth->FindFirstRadio(radio);
    if (!radios) return;  // no radio, or no Bluetooth on this system
    do {
        if (radio) EnableOnRadio(*bluetooth, *radio);
        radio.reset();  // each radio's handle closes before the next is found
    } while (radios->Next(radio));
}

}  // namespace tarvelin
