// The port list built from the serial-port map and the device list, on a simulated system.
#include <gtest/gtest.h>

#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::kRegDword;
using platform::kRegSz;

class PortEnumerationTest : public ::testing::Test {
  protected:
    void TearDown() override {
        EXPECT_EQ(sim.devices.OpenLists(), 0);
        EXPECT_EQ(sim.devices.OpenKeys(), 0);
    }
    sim::SimPlatform sim;
    PortList ports;
};

TEST_F(PortEnumerationTest, KindComesFromTheHardwareIdBeforeTheName) {
    struct Case {
        const char* hardwareId;
        const char* friendlyName;
        ConnectionKind kind;
        bool preferMsbt;
    };
    const Case cases[] = {
        {"USB\\VID_0421&PID_0428", "Nokia Bluetooth Modem", ConnectionKindCable, false},
        {"BTHENUM\\{00001101-0000-1000-8000-00805f9b34fb}", "", ConnectionKindBluetooth, true},
        {"bluetooth\\port", "", ConnectionKindBluetooth, false},
        {"IRENUM\\IRCOMM", "", ConnectionKindInfrared, false},
        {"IRCOMM2K\\PORT", "", ConnectionKindInfrared, false},
        {"ACPI\\PNP0501", "USB", ConnectionKindSerialPort, false},
        {"PCI\\VEN_1415", "", ConnectionKindPci, false},
        {"FTDIBUS\\X", "Serial usb adapter", ConnectionKindCable, false},
        {"WIDCOMM\\X", "Standard Serial over BLUETOOTH link", ConnectionKindBluetooth, false},
        {"ROOT\\X", "Communications Port", ConnectionKindNone, false},
        {"", "", ConnectionKindNone, false},
    };
    for (const Case& c : cases) {
        sim::SimPlatform system;
        system.devices.AddPort("COM4", "\\Device\\Serial0", c.hardwareId, c.friendlyName, "Desc");
        ASSERT_TRUE(EnumerateComPorts(ports)) << c.hardwareId;
        ASSERT_EQ(ports.size(), 1u);
        EXPECT_EQ(ports[0].kind, c.kind) << c.hardwareId;
        EXPECT_EQ(ports[0].preferMsbt, c.preferMsbt) << c.hardwareId;
        EXPECT_EQ(ports[0].hardwareId, c.hardwareId);
        EXPECT_EQ(ports[0].friendlyName, c.friendlyName);
    }
}

// Only ports of the map are listed, in its order and spelling; devices only complete them.
TEST_F(PortEnumerationTest, MapDecidesWhichPortsAreListed) {
    sim.devices.AddSerialMapValue("\\Device\\Serial1", kRegSz, sim::SimRegistry::Sz("COM1"));
    sim.devices.AddSerialMapValue("\\Device\\BtModem", kRegSz, sim::SimRegistry::Sz("com5"));
    sim.devices.AddSerialMapValue("\\Device\\Number", kRegDword, {'C', 'O', 'M', '7'});
    sim.devices.AddSerialMapValue("\\Device\\Empty", kRegSz, {0});
    sim.devices.AddSerialMapValue("\\Device\\Parallel0", kRegSz, sim::SimRegistry::Sz("LPT1"));
    sim.devices.AddSerialMapValue("\\Device\\Odd", kRegSz, sim::SimRegistry::Sz("COM"));
    sim.devices.AddPort("COM5", "", "BTHENUM\\X", Utf8ToAnsi("Телефон Bluetooth"),
                        Utf8ToAnsi("Последовательный порт"));
    sim.devices.AddPort("LPT1", "", "ACPI\\PNP0400", "Printer Port", "");
    sim.devices.AddPort("COM9", "\\Device\\Serial9", "ACPI\\PNP0501", "", "", false);

    ASSERT_TRUE(EnumerateComPorts(ports));
    ASSERT_EQ(ports.size(), 2u);
    EXPECT_EQ(ports[0].portName, "COM1");
    EXPECT_EQ(ports[0].deviceName, "\\Device\\Serial1");
    EXPECT_EQ(ports[0].kind, ConnectionKindNone);
    EXPECT_EQ(ports[0].friendlyName + ports[0].description + ports[0].hardwareId, "");
    EXPECT_EQ(ports[1].portName, "com5");
    EXPECT_EQ(ports[1].friendlyName, "Телефон Bluetooth");
    EXPECT_EQ(ports[1].description, "Последовательный порт");
    EXPECT_EQ(ports[1].kind, ConnectionKindBluetooth);
    EXPECT_EQ(FindOrAddPort("COM5", false, ports), 2u);
    EXPECT_EQ(FindOrAddPort("COM6", false, ports), 0u);
}

// Properties of the wrong type, empty or longer than any fixed buffer; a "PortName" that is
// a number; a second device on the same port.
TEST_F(PortEnumerationTest, OddDevicePropertiesLeaveFieldsAsTheyWere) {
    using Value = sim::SimRegistry::Value;
    const std::string longName(5000, 'N');
    sim.devices.AddPort("COM3", "\\Device\\Serial3", "ACPI\\PNP0501", "Port", "Desc");
    auto& second = sim.devices.AddDevice(
        "Ports", platform::kGuidDevClassPorts,
        {{platform::kSpdrpHardwareId, Value{kRegDword, {1, 0, 0, 0}}},
         {platform::kSpdrpFriendlyName, Value{kRegSz, sim::SimRegistry::Sz(longName)}},
         {platform::kSpdrpDeviceDesc, Value{kRegSz, {}}}});
    sim.registry.PutString(
        platform::RegRoot::LocalMachine,
        "SYSTEM\\CurrentControlSet\\Enum\\" + second.instanceId + "\\Device Parameters", "PortName",
        "COM3");
    auto& numbered = sim.devices.AddDevice("Ports", platform::kGuidDevClassPorts, {});
    sim.registry.PutRaw(
        platform::RegRoot::LocalMachine,
        "SYSTEM\\CurrentControlSet\\Enum\\" + numbered.instanceId + "\\Device Parameters",
        "PortName", kRegDword, {3, 0, 0, 0});

    ASSERT_TRUE(EnumerateComPorts(ports));
    ASSERT_EQ(ports.size(), 1u);
    EXPECT_EQ(ports[0].hardwareId, "ACPI\\PNP0501");
    EXPECT_EQ(ports[0].friendlyName, longName);
    EXPECT_EQ(ports[0].description, "Desc");
    EXPECT_EQ(ports[0].kind, ConnectionKindSerialPort);
}

TEST_F(PortEnumerationTest, NoMapNoPortsAndFailingDeviceListKeepsTheMap) {
    sim.devices.AddPort("COM3", "", "USB\\X", "", "");
    EXPECT_FALSE(EnumerateComPorts(ports));
    EXPECT_TRUE(ports.empty());

    sim.devices.AddSerialMapValue("\\Device\\Serial3", kRegSz, sim::SimRegistry::Sz("COM3"));
    sim.devices.FailCall(sim::SimDeviceManager::Call::GetClassDevs, 8);
    ASSERT_TRUE(EnumerateComPorts(ports));
    EXPECT_EQ(ports[0].kind, ConnectionKindNone);
}

}  // namespace
}  // namespace tarvelin
