// The device-installation and Bluetooth adapters against Wine's own setup interface,
// registry and Bluetooth library, and the hardware layer on top of them. Wine 8's driver
// installer answers success without installing anything (even for an INF that does not
// exist), so a new modem never gets a friendly name there; its Bluetooth library has every
// function the program looks up, but the radio search answers 120 (not implemented).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "hardware/modAppHardware.h"
#include "hardware/modBluetooth.h"
#include "platform/win32/Win32Bluetooth.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "platform/win32/Win32Registry.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using namespace platform;

constexpr char kCableId[] = "USB\\VID_0421&PID_0428";
constexpr char kModemId[] = "TRVMDM\\CAB_NOKIA_6310I";
constexpr char kOtherModemId[] = "TRVMDM\\CAB_NOKIA_6210";
constexpr char kSerialMap[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM";
constexpr char kMapName[] = "\\Device\\TarvelinTest7";

std::vector<uint8_t> Bytes(const std::string& text) {
    return {text.begin(), text.end() + 1};
}

class HardwareAdapterTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.platform.registry = &registry;
        sim.platform.devices = &devices;
        sim.platform.bluetooth = &bluetooth;
    }
    // The devices of the test's hardware id go, and the port map's value. Tests run in
    // parallel, so each has an id of its own.
    void TearDown() override {
        DeviceList list;
        DeviceRecord device;
        DeviceValue id;
        uint32_t type = 0;
        ASSERT_TRUE(OpenDeviceList(DeviceClass::None, kDigcfAllClasses, list));
        for (uint32_t i = 0; !hardwareId.empty() && EnumDevice(*list, i, device); ++i) {
            const bool ours = GetDeviceProperty(*list, device, kSpdrpHardwareId, id, type) &&
                              id == DeviceValue(hardwareId);
            EXPECT_TRUE(!ours || list->Remove(device));
        }
        long error = 0;
        auto map = registry.Open(RegRoot::LocalMachine, kSerialMap, true, error);
        if (map && hardwareId == kCableId) map->Delete(kMapName);
    }
    // A registered device of the list's class with that hardware id.
    DeviceRecord NewDevice(IDeviceList& list, const char* className, const Guid& classGuid) {
        DeviceRecord device;
        EXPECT_TRUE(list.Create(className, classGuid, device)) << devices.LastError();
        EXPECT_TRUE(list.SetProperty(device, kSpdrpHardwareId, Bytes(hardwareId + '\0')));
        EXPECT_TRUE(list.Register(device)) << std::hex << devices.LastError();
        return device;
    }
    std::string hardwareId;
    sim::SimPlatform sim;
    Win32Registry registry;
    Win32DeviceSetup devices;
    Win32Bluetooth bluetooth;
};

TEST_F(HardwareAdapterTest, UsbCablePortIsListedWithItsHardwareId) {
    hardwareId = kCableId;
    auto list = devices.CreateList(kGuidDevClassPorts);
    ASSERT_NE(list, nullptr);
    const DeviceRecord device = NewDevice(*list, "Ports", kGuidDevClassPorts);
    auto key = list->CreateKey(device, DeviceKeyKind::Hardware);
    ASSERT_NE(key, nullptr) << std::hex << devices.LastError();
    ASSERT_EQ(key->Set("PortName", kRegSz, Bytes("COM7")), ERROR_SUCCESS);
    long error = 0;
    auto map = registry.Create(RegRoot::LocalMachine, kSerialMap, error);
    ASSERT_NE(map, nullptr);
    ASSERT_EQ(map->Set(kMapName, kRegSz, Bytes("COM7")), ERROR_SUCCESS);

    // The size query the property reads rely on: refused, with the size and type.
    std::vector<uint8_t> small(1);
    uint32_t type = 0, required = 0;
    EXPECT_FALSE(list->GetProperty(device, kSpdrpHardwareId, type, small, required));
    EXPECT_EQ(devices.LastError(), kErrorInsufficientBuffer);
    EXPECT_EQ(required, sizeof kCableId + 1);
    EXPECT_EQ(type, kRegMultiSz);

    PortList ports;
    ASSERT_TRUE(EnumerateComPorts(ports));
    const auto port = std::find_if(ports.begin(), ports.end(),
                                   [](const PortInfo& p) { return p.portName == "COM7"; });
    ASSERT_NE(port, ports.end());
    EXPECT_EQ(port->deviceName, kMapName);
    EXPECT_EQ(port->hardwareId, kCableId);
    EXPECT_EQ(port->kind, ConnectionKindCable);
}

// The driver key of a new device does not exist until it is created: the modem installer
// tells that case from a refused key by the error the open leaves behind.
TEST_F(HardwareAdapterTest, NewModemDriverKeyIsCreatedAfterTheOpenFails) {
    hardwareId = kOtherModemId;
    auto list = devices.CreateList(kGuidDevClassModem);
    ASSERT_NE(list, nullptr);
    const DeviceRecord device = NewDevice(*list, "Modem", kGuidDevClassModem);
    EXPECT_EQ(list->OpenKey(device, DeviceKeyKind::Driver, DeviceKeyAccess::All), nullptr);
    EXPECT_EQ(devices.LastError(), kErrorKeyDoesNotExist);
    EXPECT_NE(list->CreateKey(device, DeviceKeyKind::Driver), nullptr);
    EXPECT_NE(list->OpenKey(device, DeviceKeyKind::Driver, DeviceKeyAccess::Read), nullptr);
}

TEST_F(HardwareAdapterTest, ModemIsCreatedOnThePortButWineNamesNoDriver) {
    hardwareId = kModemId;
    std::string inf = TARVELIN_TEST_INF, name, message;
    std::replace(inf.begin(), inf.end(), '/', '\\');
    bool restart = true;
    const bool created = CreateModemDevice(0, kModemId, "Z:" + inf, "COM7", name, restart, message);
    EXPECT_FALSE(created);
    EXPECT_EQ(message.substr(0, message.find('\r')), "Не удалось получить имя нового устройства.");
    EXPECT_FALSE(restart);

    // The device stays, attached to the port, for the modem options to use.
    DeviceList list;
    DeviceRecord device;
    ASSERT_TRUE(FindDeviceByProperty(DeviceClass::Modem, kSpdrpHardwareId, kModemId, list, device));
    DeviceValue port;
    uint32_t type = 0;
    ASSERT_TRUE(GetDeviceRegValue(*list, device, DeviceKeyKind::Driver, "AttachedTo", port, type));
    EXPECT_EQ(port, DeviceValue("COM7"));
}

TEST_F(HardwareAdapterTest, NoBluetoothRadioUnderWine) {
    std::unique_ptr<IBluetoothRadio> radio;
    EXPECT_EQ(bluetooth.FindFirstRadio(radio), nullptr);
    EXPECT_EQ(radio, nullptr);
    EXPECT_NE(bluetooth.LastError(), 0u);
    EnableBluetoothServices();
}

}  // namespace
}  // namespace tarvelin
