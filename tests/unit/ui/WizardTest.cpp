// The setup wizard on the headless main window over a simulated system: ports with scripted
// phones, a small driver catalogue, the device installer and the phone book. Pictures of
// every wizard page are kept under the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "../driverdb/ContainerBuilder.h"
#include "core/AppSetting.h"
#include "core/modSystemFile.h"
#include "dialup/modAppRAS.h"
#include "driverdb/DriverCatalogText.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/MemoryResourceSource.h"
#include "platform/posix/BmpImageSource.h"
#include "sim/HostFileSystem.h"
#include "sim/ScratchFolder.h"
#include "sim/SimPlatform.h"
#include "sim/SimSerialDevice.h"
#include "ui/forms/Wizard.h"
#include "ui/headless/FormPicture.h"
#include "ui/headless/HeadlessInput.h"

namespace tarvelin::ui {
namespace {

using Call = sim::SimDeviceManager::Call;

constexpr char kImei[] = "490154203237518";
constexpr char kModem[] = "Acme Phone 1 USB";
constexpr char kFound[] = "Драйвер успешно найден.";
// The first catalogue row of the phone's code names a maker without drivers.
constexpr char kModels[] = "4\tAcme\tPhone 1\t$WINDOWS NT$\tCAB\tTRV\\ACME_P1\n";
constexpr char kTacs[] = "Ghost\tG1\t*98#\t49015420\nAcme\tPhone 1\t*99***1#\t49015420\n";
std::string Inf(const char* extra) {
    return std::string(
               "[Version]\r\nSignature=\"$WINDOWS NT$\"\r\nClass=Modem\r\n"
               "ClassGUID={4D36E96D-E325-11CE-BFC1-08002BE10318}\r\n[Manufacturer]\r\n"
               "%Mfg%=Models\r\n[Models]\r\n%P1% = Modem.Port, trv\\acme_p1\r\n"
               "[Modem.Port]\r\nAddReg=All\r\n") +
           extra + "[Strings]\r\nMfg=\"Acme\"\r\nP1=\"" + kModem + "\"\r\n";
}

// The host's files with the temporary folder moved into the test's own folder.
struct ScratchFiles : sim::HostFileSystem {
    std::string temp;
    bool TempFolder(std::string& folder) override {
        folder = temp;
        return true;
    }
};

struct WizardTest : ::testing::Test {
    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    ScratchFiles files;
    HeadlessBinding binding;
    HeadlessInput input{binding};
    platform::BmpImageSource images{TARVELIN_ARTWORK_DIR};
    std::map<uint16_t, std::shared_ptr<const platform::IImage>> loaded;
    std::unique_ptr<platform::MemoryResourceSource> catalogue;
    std::shared_ptr<frmMain> window;

    WizardTest() {
        binding.SetBitmapProvider([this](uint16_t id) {
            auto& image = loaded[id];
            if (!image) image = images.Bitmap(id);
            return image.get();
        });
        files.temp = sim::MakeScratchFolder() + "/";
        sim.platform.files = &files;
        sim.platform.serial = &serial;
        UseInf(Inf(""));
        sim.devices.onUpdate = [this] { sim.ras.devices = {{kModem, "modem"}}; };
    }
    ~WizardTest() override {
        window.reset();
        ResetDriverCatalog();
        DeletePath(files.temp);
    }
    void UseInf(const std::string& inf) {
        catalogue = std::make_unique<platform::MemoryResourceSource>(
            "DB", 101,
            test::ContainerOfPlain({test::Bytes(TextEntryFromUtf8(kModels)),
                                    test::Bytes(TextEntryFromUtf8(kTacs)), test::Bytes("ircomm"),
                                    test::Bytes(inf)}));
        sim.platform.resources = catalogue.get();
        ResetDriverCatalog();
    }
    // Five ports listed out of order: COM1 busy, COM2 silent, the phone on COM3, COM4 and
    // COM5 missing behind their names.
    void AddPorts(const char* phoneHardwareId = "USB\\VID_1234") {
        const std::pair<const char*, const char*> ports[] = {{"COM5", "ACPI\\PNP0501"},
                                                             {"COM3", phoneHardwareId},
                                                             {"COM1", "ACPI\\PNP0501"},
                                                             {"COM2", "ACPI\\PNP0501"},
                                                             {"COM4", "ACPI\\PNP0501"}};
        for (const auto& [name, id] : ports)
            sim.devices.AddPort(name, std::string("\\Device\\") + name, id,
                                std::string("Port ") + name, "");
        serial.Line(platform::kDevicePrefix + std::string("COM1")).openError = 5;
        serial.Line(platform::kDevicePrefix + std::string("COM2"));
        auto& phone = serial.Line(platform::kDevicePrefix + std::string("COM3"));
        phone.AnswerAsPhone(kImei);
        phone.immediateReads = true;
    }
    void Load() {
        SettingSave(AppSetting::CheckDeviceConn, false);  // no offer before the wizard
        window = frmMain::Create(binding);
        ASSERT_TRUE(window->Load());
        sim.loop.Advance(10);  // the main page's start-up check, busy until it has run
        window->ShowPage(8);
    }
    Widget& W(const char* name) { return *window->Window()->Find(name); }
    ComboBox& Box(const char* name) { return static_cast<ComboBox&>(W(name)); }
    void Click(const char* name) { input.Click(W(name)); }
    void Picture(const std::string& name) {
        EXPECT_TRUE(binding.SavePng(
            *window->Window(), std::string(TARVELIN_TEST_OUTPUT) + "/wizard-" + name + ".png"));
    }
    // The list entry's second text, by the port it stands for ("" when not listed).
    std::string Entry(const std::string& port) {
        PCListEx* list = CurrentWizard().List();
        ListItem item;
        for (int32_t i = 1; list && i <= list->ItemsCount(); ++i)
            if (list->ItemInfoGetByIndex(i, item) && item.text3 == port) return item.text2;
        return "";
    }
    int32_t EntryNumber(const std::string& port) {
        PCListEx* list = CurrentWizard().List();
        ListItem item;
        for (int32_t i = 1; list && i <= list->ItemsCount(); ++i)
            if (list->ItemInfoGetByIndex(i, item) && item.text3 == port) return i;
        return 0;
    }
    Wizard& CurrentWizard() { return *window->Presenter<Wizard>(); }
    // Page 9 to the end of the search, then the phone's entry chosen as the user would.
    void SearchAndChoosePhone() {
        Click("cmdCommonNext");
        sim.loop.Advance(30000);
        ASSERT_FALSE(window->Busy());
        CurrentWizard().List()->SetItemSelected(EntryNumber("COM3"));
    }
    std::vector<std::string> TempFiles() {
        std::vector<platform::DirEntry> entries;
        files.List(files.temp, entries);
        std::vector<std::string> names;
        for (const auto& e : entries)
            if (e.name != "." && e.name != "..") names.push_back(e.name);
        return names;
    }
};

TEST(WizardPorts, NumberedComPortsComeFirstInNumberOrder) {
    PortList ports;
    for (const char* name :
         {"COM10", "BTHCOM", "COM2", "com1", "COM256", "COM02", "COMX", "COM255"}) {
        ports.emplace_back();
        ports.back().portName = name;
    }
    OrderPorts(ports);
    std::vector<std::string> names;
    for (const auto& port : ports) names.push_back(port.portName);
    EXPECT_EQ(names, (std::vector<std::string>{"com1", "COM2", "COM10", "COM255", "BTHCOM",
                                               "COM256", "COM02", "COMX"}));
}

TEST(WizardPorts, ConnectionKindsFitTheirPorts) {
    struct Case {
        int32_t catalogue, port;
        bool fits;
    };
    const Case cases[] = {{1, 2, true},  {2, 1, true},  {2, 2, true},  {3, 3, true},
                          {4, 4, true},  {3, 2, false}, {4, 3, false}, {0, 0, false},
                          {5, 5, false}, {2, 5, false}};
    for (const Case& c : cases)
        EXPECT_EQ(KindFitsPort(c.catalogue, c.port), c.fits) << c.catalogue << "/" << c.port;
    EXPECT_STREQ(KindNameOf(2).suffix, " Cabel");
    EXPECT_STREQ(KindNameOf(5).text, "");
}

// The whole way: five ports searched, the busy one reported, the silent one gone again, the
// phone recognised on its second catalogue row; the choices carried to page 10; the modem
// installed and its connection created; every temporary file gone.
TEST_F(WizardTest, FindsRecognisesAndInstallsThePhone) {
    AddPorts();
    Load();
    Picture("8");
    Click("cmdCommonNext");
    EXPECT_EQ(W("cmdCommonClose").Caption(), "Остановить");
    EXPECT_FALSE(W("cmdCommonBack").Enabled());
    EXPECT_TRUE(W("picMasterProgress").Visible());
    sim.loop.Advance(3000);
    EXPECT_TRUE(window->Busy());
    EXPECT_TRUE(window->Window()->WaitPointer());
    EXPECT_GT(CurrentWizard().SearchProgress(), 0);
    Picture("9-searching");
    sim.loop.Advance(30000);
    ASSERT_FALSE(window->Busy());
    EXPECT_FALSE(window->Window()->WaitPointer());
    EXPECT_EQ(W("cmdCommonClose").Caption(), "Отмена");
    EXPECT_FALSE(W("picMasterProgress").Visible());
    EXPECT_TRUE(W("cmdCommonNext").Enabled());
    const Wizard& wizard = CurrentWizard();
    std::vector<std::string> order;
    for (const auto& port : wizard.Ports()) order.push_back(port.portName);
    EXPECT_EQ(order, (std::vector<std::string>{"COM1", "COM2", "COM3", "COM4", "COM5"}));
    EXPECT_EQ(Entry("COM1"), "Порт занят! Обнаружение телефона невозможно.");
    EXPECT_EQ(EntryNumber("COM2"), 0) << "nothing found: the entry went again";
    EXPECT_EQ(Entry("COM3"), std::string("Ghost G1 / Acme Phone 1\r\n") + kFound);
    EXPECT_EQ(Box("cmbMasterPorts").Items().size(), 5u);
    for (const int32_t listed : {5, 2}) {  // every port, then those where something was found
        Click("chkMasterAll");
        EXPECT_EQ(CurrentWizard().List()->ItemsCount(), listed);
    }

    CurrentWizard().List()->SetItemSelected(EntryNumber("COM3"));
    CurrentWizard().List()->SetItemSelected(0);
    CurrentWizard().List()->SetItemSelected(EntryNumber("COM3"));
    EXPECT_EQ(Entry("COM3"), std::string("Ghost G1 / Acme Phone 1\r\n") + kFound)
        << "the verdict is given once";
    Picture("9-found");
    Click("cmdCommonNext");
    ASSERT_EQ(window->CurrentPage(), 10);
    EXPECT_EQ(Box("cmbMasterVendors").Text(), "ACME");
    EXPECT_EQ(Box("cmbMasterModels").Text(), "Phone 1");
    EXPECT_EQ(Box("cmbMasterTypeConnect").Text(), "Кабель");
    EXPECT_EQ(Box("cmbMasterPorts").Text(), "COM3");
    EXPECT_EQ(W("lblMasterPortDescription").Caption(), "Port COM3");
    EXPECT_EQ(W("lblMasterConnDialNumber").Caption(), "*99***1#");
    EXPECT_TRUE(W("cmdCommonNext").Enabled());
    Picture("10");
    Click("cmdCommonNext");
    ASSERT_EQ(window->CurrentPage(), 11);
    EXPECT_EQ(W("cmdCommonNext").Caption(), "Установить");
    EXPECT_EQ(W("lblMasterResModel").Caption(), "ACME Phone 1");
    Picture("11");
    Click("cmdCommonNext");
    EXPECT_EQ(window->CurrentPage(), 1);
    EXPECT_EQ(W("cmdCommonNext").Caption(), "Далее >");
    EXPECT_EQ(CurrentWizard().InstalledModemName(), kModem);
    std::vector<std::string> entries;
    GetRasEntries(entries);
    EXPECT_EQ(entries, std::vector<std::string>{"QVT (ACME Phone 1 Cabel, COM3)"});
    ASSERT_EQ(sim.messageBox.shown.size(), 1u);
    EXPECT_EQ(sim.messageBox.shown[0].rfind("Модем успешно установлен.\r\n\r\n", 0), 0u);
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
    EXPECT_FALSE(window->Busy()) << "the main page's Connect must work";
    EXPECT_TRUE(window->Window()->Enabled());
    window->ShowPage(12);
    Picture("12");
}

TEST_F(WizardTest, StopEndsTheSearchAtTheNextPortsEnd) {
    AddPorts();
    Load();
    Click("cmdCommonNext");
    sim.loop.Advance(1000);  // COM2 is being probed
    Click("cmdCommonClose");
    EXPECT_TRUE(window->StopRequested());
    sim.loop.Advance(30000);
    EXPECT_FALSE(window->Busy());
    EXPECT_FALSE(window->StopRequested());
    EXPECT_EQ(window->CurrentPage(), 9);
    EXPECT_EQ(W("cmdCommonClose").Caption(), "Отмена");
    EXPECT_TRUE(serial.Line(platform::kDevicePrefix + std::string("COM3")).commands.empty());
}

// A phone unplugged during the search is not offered, and the list shows what it holds: the
// entries taken away as their ports' probes ended are gone from the screen too.
TEST_F(WizardTest, APhoneUnpluggedDuringTheSearchIsNotOffered) {
    AddPorts();
    Load();
    Click("cmdCommonNext");
    sim.loop.Advance(100);
    serial.Line(platform::kDevicePrefix + std::string("COM3")).Vanish();
    sim.loop.Advance(30000);
    ASSERT_FALSE(window->Busy());
    EXPECT_EQ(EntryNumber("COM3"), 0);
    const platform::RasterPicture shown = binding.Render(*window->Window());
    CurrentWizard().List()->ControlRefresh();
    const platform::RasterPicture current = binding.Render(*window->Window());
    EXPECT_TRUE(std::ranges::equal(shown.Pixels(), current.Pixels()));
}

// The phone's port decides the connection kind and the verdict.
struct KindCase {
    const char* name;
    const char* hardwareId;
    const char* kind;  // chosen in the kind box
    const char* verdict;
};
struct WizardKindTest : WizardTest, ::testing::WithParamInterface<KindCase> {};
TEST_P(WizardKindTest, ThePortKindDecidesTheVerdict) {
    const KindCase& c = GetParam();
    AddPorts(c.hardwareId);
    Load();
    SearchAndChoosePhone();
    EXPECT_EQ(Entry("COM3"), std::string("Ghost G1 / Acme Phone 1\r\n") + c.verdict);
    EXPECT_EQ(Box("cmbMasterModels").Text(), "Phone 1");
    EXPECT_EQ(Box("cmbMasterTypeConnect").Text(), c.kind);
}
INSTANTIATE_TEST_SUITE_P(Kinds, WizardKindTest,
                         ::testing::Values(KindCase{"Cable", "USB\\VID_1234", "Кабель", kFound},
                                           KindCase{"Pci", "PCI\\VEN_1", "",
                                                    "Необходимо выбрать тип подключения вручную"},
                                           KindCase{
                                               "Bluetooth", "BTHENUM\\X", "",
                                               "Драйвер для данного типа подключения не найден!"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(WizardTest, NextOnTheChoicesNeedsEveryBoxFilled) {
    AddPorts();
    Load();
    SearchAndChoosePhone();
    Click("cmdCommonNext");
    ASSERT_TRUE(W("cmdCommonNext").Enabled());
    input.Choose(Box("cmbMasterTypeConnect"), 0);
    EXPECT_FALSE(W("cmdCommonNext").Enabled()) << "the empty kind";
    input.Choose(Box("cmbMasterTypeConnect"), 1);
    EXPECT_TRUE(W("cmdCommonNext").Enabled());
    Box("cmbMasterPorts").SetListIndex(-1);
    EXPECT_FALSE(W("cmdCommonNext").Enabled()) << "no port";
    input.Choose(Box("cmbMasterPorts"), 2);
    input.Choose(Box("cmbMasterVendors"), 0);
    EXPECT_FALSE(W("cmdCommonNext").Enabled()) << "no maker, and so no model or kind";
    EXPECT_EQ(Box("cmbMasterModels").Items().size(), 1u);
}

// Failures leave the wizard on its last step, ready to try again, with no file left behind;
// an INF naming the infrared driver in lower case still gets it beside it.
struct InstallCase {
    const char* name;
    const char* infExtra;
    bool noTempFolder, installerFails;
    const char* message;  // how the first message box begins
    bool irComm;
};
struct WizardInstallTest : WizardTest, ::testing::WithParamInterface<InstallCase> {};
TEST_P(WizardInstallTest, InstallationOutcomes) {
    const InstallCase& c = GetParam();
    UseInf(Inf(c.infExtra));
    AddPorts();
    bool irCommPresent = false;
    sim.devices.onUpdate = [&] {
        irCommPresent = FileExists(files.temp + "MSIRCOMM.SYS");
        sim.ras.devices = {{kModem, "modem"}};
    };
    if (c.installerFails) sim.devices.FailCall(Call::UpdateDriver, 5);
    const std::string temp = files.temp;
    if (c.noTempFolder) files.temp += "missing/";
    Load();
    SearchAndChoosePhone();
    for (int i = 0; i < 3; ++i) Click("cmdCommonNext");
    ASSERT_FALSE(sim.messageBox.shown.empty());
    EXPECT_EQ(sim.messageBox.shown[0].rfind(c.message, 0), 0u) << sim.messageBox.shown[0];
    EXPECT_EQ(irCommPresent, c.irComm);
    const bool done = CurrentWizard().InstallDone();
    EXPECT_EQ(window->CurrentPage(), done ? 1 : 11);
    EXPECT_TRUE(done || (W("cmdCommonBack").Enabled() && W("cmdCommonNext").Enabled() &&
                         W("cmdCommonClose").Enabled()));
    files.temp = temp;
    EXPECT_EQ(TempFiles(), std::vector<std::string>{});
}
INSTANTIATE_TEST_SUITE_P(
    Outcomes, WizardInstallTest,
    ::testing::Values(
        InstallCase{"Unwritable", "", true, false,
                    "Не удалось записать файл драйвера во временную папку.", false},
        InstallCase{"InstallerFails", "", false, true,
                    "Установка модема не удалась. Попробуйте установить модем позднее.\r\n\r\n"
                    "Возможная причина:\r\n",
                    false},
        InstallCase{"LowerCaseIrComm", "CopyFiles=msircomm.sys\r\n", false, false,
                    "Модем успешно установлен.", true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace tarvelin::ui
