// Installing a modem on a port and the per-modem values, on a simulated device manager that
// reads a real INF from disk.
#include <gtest/gtest.h>

#include "core/modSystemFile.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"
#include "sim/HostFileSystem.h"
#include "sim/ScratchFolder.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using Call = sim::SimDeviceManager::Call;

constexpr char kHardwareId[] = "TRVMDM\\CAB_NOKIA_6230";
constexpr char kModemName[] = "Nokia 6230 (кабель)";
constexpr char kInf[] =
    "; A cable modem\r\n[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=Modem\r\n"
    "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n[Manufacturer]\r\n%Mfg%=Models\r\n"
    "[Models]\r\n%M6230% = Modem.Port, trvmdm\\cab_nokia_6230\r\n[Modem.Port]\r\n"
    "AddReg=All\r\n[Strings]\r\nMfg=\"Nokia\"\r\nM6230=\"Nokia 6230 (кабель)\"\r\n";

class ModemInstallTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.platform.files = &files;
        folder = sim::MakeScratchFolder();
        inf = folder + "/папка с пробелами/модем.inf";
        ASSERT_TRUE(files.CreateFolder(folder + "/папка с пробелами"));
        ASSERT_TRUE(files.WriteAll(inf, Utf8ToAnsi(kInf)));
        sim.devices.AddPort("COM5", "\\Device\\Serial5", "USB\\VID_0421", "Nokia USB", "");
    }
    void TearDown() override {
        EXPECT_EQ(sim.devices.OpenLists(), 0);
        EXPECT_EQ(sim.devices.OpenKeys(), 0);
        DeletePath(folder);
    }
    bool Install(const std::string& port = "COM5") {
        return InstallModem(0, inf, port, kHardwareId, name, restart, message);
    }
    std::vector<std::string> Modems() const {
        std::vector<std::string> names;
        for (const auto& [devInst, device] : sim.devices.Devices()) {
            if (device.className == "Modem")
                names.push_back(
                    AnsiToUtf8(sim::SimDeviceManager::Text(device, platform::kSpdrpFriendlyName)));
        }
        return names;
    }
    std::string AttachedTo(const std::string& modem) {
        std::string port;
        GetModemAttachedTo(modem, port);
        return port;
    }

    sim::SimPlatform sim;
    sim::HostFileSystem files;
    std::string folder, inf, name, message;
    bool restart = true;
};

// A clean installation succeeds even where the system leaves a stale error code behind.
TEST_F(ModemInstallTest, FreshPortGetsANamedModemAttachedToIt) {
    sim.devices.staleError = 2;
    ASSERT_TRUE(Install()) << message;
    EXPECT_EQ(name, kModemName);
    EXPECT_EQ(message, "");
    EXPECT_FALSE(restart);
    EXPECT_EQ(Modems(), std::vector<std::string>{kModemName});
    EXPECT_EQ(AttachedTo(kModemName), "COM5");
}

TEST_F(ModemInstallTest, ModemOnThePortIsUpdatedAndOnAnotherPortIsNotReused) {
    ASSERT_TRUE(Install());
    ASSERT_TRUE(Install("com5"));
    EXPECT_EQ(name, kModemName);
    EXPECT_EQ(message,
              "Выбранный модем уже был установлен ранее на указанный порт, приложение обновило "
              "драйвер модема.");
    sim.devices.FailCall(Call::UpdateDriver, 5);
    EXPECT_TRUE(Install());
    EXPECT_EQ(message,
              "Выбранный модем уже был установлен ранее на указанный порт, но приложению не "
              "удалось обновить драйвер модема.");
    EXPECT_EQ(Modems().size(), 1u);

    sim.devices.FailCall(Call::UpdateDriver, 0, 0);
    sim.devices.restartNeeded = true;
    ASSERT_TRUE(Install("COM6")) << message;
    EXPECT_EQ(name, std::string(kModemName) + " #2");
    EXPECT_TRUE(restart);
    EXPECT_EQ(AttachedTo(name), "COM6");
    EXPECT_EQ(AttachedTo(kModemName), "COM5");
}

// A modem an earlier install left without a name gets one when its driver is renewed.
TEST_F(ModemInstallTest, NamelessModemOnThePortIsNamedByItsUpdate) {
    sim.devices.namesDevices = false;
    EXPECT_FALSE(Install());
    EXPECT_EQ(Modems(), std::vector<std::string>{""});
    sim.devices.namesDevices = true;
    ASSERT_TRUE(Install()) << message;
    EXPECT_EQ(name, kModemName);
    EXPECT_EQ(Modems(), std::vector<std::string>{kModemName});
}

// Each step that can fail: its message, and whether the half-built device stays.
TEST_F(ModemInstallTest, EveryStepFailureEndsWithItsMessageAndNothingHalfInstalled) {
    struct Case {
        Call call;
        int skip;
        uint32_t error;
        const char* message;
        size_t modemsLeft;
    };
    const Case cases[] = {
        {Call::GetInfClass, 0, 2, "Не удалось получить название класса устройств INF-файла.", 0},
        {Call::CreateList, 0, 8, "Не удалось получить список устройств заданного класса.", 0},
        {Call::Create, 0, 8, "Не удалось создать новый элемент в списке устройств.", 0},
        {Call::SetProperty, 0, 87, "Не удалось задать идентификатор нового устройства.", 0},
        {Call::Register, 0, 5, "Не удалось зарегистрировать информацию о новом устройстве.", 0},
        {Call::OpenKey, 0, 5, "Не удалось открыть ключ реестра для регистрации порта устройства.",
         0},
        {Call::CreateKey, 0, 5, "Не удалось создать ключ реестра для регистрации порта устройства.",
         0},
        {Call::KeySet, 0, 5, "Не удалось зарегистрировать порт устройства.", 0},
        {Call::Register, 1, 5, "Не удалась повторная регистрация устройства.", 0},
        {Call::UpdateDriver, 0, 1223,
         "Не удалось обновить драйвер для зарегистрированного устройства.\r\n"
         "Возможно, действие было отменено пользователем.",
         0},
        {Call::GetProperty, 0, 13,
         "Не удалось получить имя нового устройства.\r\nВозможно, устройство было установлено "
         "ранее и использует имя уже установленного ранее устройства.\r\nДля создания "
         "соединения используйте окно настройки модемов.",
         1},
        {Call::KeyQuery, 0, 5, "Не удалось проверить корректность записи порта модема.", 0},
    };
    for (const Case& c : cases) {
        sim::SimPlatform system;
        system.platform.files = &files;
        system.devices.FailCall(c.call, c.error, c.skip);
        EXPECT_FALSE(CreateModemDevice(0, kHardwareId, inf, "COM5", name, restart, message));
        EXPECT_EQ(message, c.message);
        size_t modems = 0;
        for (const auto& [devInst, device] : system.devices.Devices()) modems += device.registered;
        EXPECT_EQ(modems, c.modemsLeft) << c.message;
        EXPECT_EQ(system.devices.OpenLists() + system.devices.OpenKeys(), 0) << c.message;
    }
}

// The driver may rewrite the port value; it is set back, and a failure to do so undoes all.
TEST_F(ModemInstallTest, PortChangedByTheDriverIsWrittenBack) {
    sim.devices.onUpdate = [&] {
        for (const auto& [devInst, device] : sim.devices.Devices()) {
            if (!device.driverKey.empty())
                sim.registry.PutString(
                    platform::RegRoot::LocalMachine,
                    "SYSTEM\\CurrentControlSet\\Control\\Class\\" + device.driverKey, "AttachedTo",
                    "COM1");
        }
    };
    ASSERT_TRUE(Install());
    EXPECT_EQ(AttachedTo(kModemName), "COM5");

    sim.devices.FailCall(Call::KeySet, 5, 1);
    EXPECT_FALSE(Install("COM6"));
    EXPECT_EQ(message, "Не удалось повторно задать порт модема.");
    EXPECT_EQ(Modems(), std::vector<std::string>{kModemName});
}

TEST_F(ModemInstallTest, MissingOrInvalidInfIsReportedWithoutADevice) {
    EXPECT_FALSE(InstallModem(0, folder + "/нет.inf", "COM5", kHardwareId, name, restart, message));
    EXPECT_EQ(message, "Файл драйвера не найден.");
    ASSERT_TRUE(files.WriteAll(inf, "MZ not an INF\r\n[Version\r\n"));
    EXPECT_FALSE(Install());
    EXPECT_EQ(message, "Не удалось получить название класса устройств INF-файла.");
    EXPECT_TRUE(Modems().empty());
}

TEST_F(ModemInstallTest, ValuesOfAModemByItsFriendlyName) {
    ASSERT_TRUE(Install());
    const std::string init = "AT+CGDCONT=1,\"IP\",\"internet.qvt\"";
    std::string read;
    EXPECT_FALSE(GetModemUserInit(kModemName, read));
    EXPECT_TRUE(SetModemUserInit("nokia 6230 (КАБЕЛЬ)", init));
    EXPECT_TRUE(GetModemUserInit(kModemName, read));
    EXPECT_EQ(read, init);
    EXPECT_FALSE(SetModemUserInit("Nokia USB", init));  // a port, not a modem

    EXPECT_TRUE(DeleteModem(kModemName));
    EXPECT_TRUE(Modems().empty());
    EXPECT_FALSE(DeleteModem(kModemName));
    read = "stale";
    EXPECT_FALSE(GetModemAttachedTo(kModemName, read));
    EXPECT_EQ(read, "");
}

}  // namespace
}  // namespace tarvelin
