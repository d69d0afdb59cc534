// Switching on the serial services of paired phones, on a simulated Bluetooth stack.
#include <gtest/gtest.h>

#include "hardware/modBluetooth.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::kDialupNetworkingServiceClass;
using platform::kSerialPortServiceClass;

sim::SimBluetoothDevice Phone(uint64_t address, bool paired, bool remembered,
                              std::vector<platform::Guid> offered) {
    sim::SimBluetoothDevice phone;
    phone.address = address;
    phone.authenticated = paired;
    phone.remembered = remembered;
    phone.offered = std::move(offered);
    return phone;
}

TEST(BluetoothServicesTest, NoBluetoothOrNoRadioReturnsQuietly) {
    sim::SimPlatform sim;
    EnableBluetoothServices();
    EXPECT_TRUE(sim.bluetooth.requests.empty());
    sim.platform.bluetooth = nullptr;  // a system without the Bluetooth library
    EnableBluetoothServices();
}

// Every paired or remembered device of every radio is asked for both services, whatever
// it offers; a device only in range is left alone. Every handle is closed afterwards.
TEST(BluetoothServicesTest, BothServicesOnEveryKnownDeviceOfEveryRadio) {
    sim::SimPlatform sim;
    const std::vector<platform::Guid> both{kSerialPortServiceClass, kDialupNetworkingServiceClass};
    sim.bluetooth.radios.resize(2);
    sim.bluetooth.radios[0].devices = {Phone(0xA1, true, true, both),
                                       Phone(0xA2, false, false, both)};
    sim.bluetooth.radios[1].devices = {Phone(0xB1, false, true, {kDialupNetworkingServiceClass}),
                                       Phone(0xB2, true, false, {})};
    EnableBluetoothServices();

    std::vector<std::pair<uint64_t, uint32_t>> asked;
    for (const auto& r : sim.bluetooth.requests) {
        EXPECT_EQ(r.flags, platform::kBluetoothServiceEnable);
        asked.emplace_back(r.address, r.service.data1);
    }
    const std::vector<std::pair<uint64_t, uint32_t>> expected{{0xA1, 0x1101}, {0xA1, 0x1103},
                                                              {0xB1, 0x1101}, {0xB1, 0x1103},
                                                              {0xB2, 0x1101}, {0xB2, 0x1103}};
    EXPECT_EQ(asked, expected);
    EXPECT_EQ(sim.bluetooth.radios[0].devices[1].enabled.size(), 0u);
    EXPECT_EQ(sim.bluetooth.radios[1].devices[0].enabled,
              std::vector<platform::Guid>{kDialupNetworkingServiceClass});
    EXPECT_EQ(sim.bluetooth.OpenRadios() + sim.bluetooth.OpenSearches(), 0);
}

}  // namespace
}  // namespace tarvelin
