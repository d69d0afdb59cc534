// The settings, modems and connections pages of the main window on the headless binding over
// the simulated system: what the settings page stores, how the lists are filled, and what
// the actions on a modem or a connection do, also when the system refuses them.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/AppSetting.h"
#include "ui/forms/MainPage.h"
#include "ui/forms/OptionsApp.h"
#include "ui/forms/OptionsLists.h"
#include "ui/forms/frmEditConnection.h"
#include "unit/ui/MainWindowFixture.h"

namespace tarvelin::ui {
namespace {

using Texts = std::vector<std::string>;
constexpr int kYes = 6, kNo = 7;

struct OptionsPagesTest : MainWindowFixture {
    std::shared_ptr<frmMain> window;
    OptionsLists* lists = nullptr;

    void SetUp() override {
        window = frmMain::Create(binding);
        ASSERT_TRUE(window->Load());
        sim.loop.Advance(10);
        lists = window->Presenter<OptionsLists>();
        ASSERT_TRUE(lists && window->Presenter<OptionsApp>());
    }
    // A modem known to the phone-book service and to the device manager, on that port.
    void Modem(const std::string& name, const std::string& port) {
        sim.ras.devices.push_back({name, "modem"});
        sim::SimDevice& device = sim.devices.AddDevice(
            "Modem", platform::kGuidDevClassModem,
            {{platform::kSpdrpFriendlyName, {platform::kRegSz, sim::SimRegistry::Sz(name)}}});
        device.driverKey = "{modem}\\" + name;
        sim.registry.PutString(platform::RegRoot::LocalMachine,
                               "SYSTEM\\CurrentControlSet\\Control\\Class\\" + device.driverKey,
                               "AttachedTo", port);
    }
    void Entry(const std::string& name, const std::string& device, const char* type = "modem") {
        RasEntryInfo info;
        info.szDeviceType = type;
        info.szDeviceName = device;
        sim.ras.AddEntry(name, info);
    }
    void Show(int32_t page) {
        window->ShowPage(1);
        window->ShowPage(page);
        EXPECT_TRUE(window->Busy()) << "until the list is filled";
        sim.loop.Advance(10);
        EXPECT_FALSE(window->Busy());
        sim.messageBox.shown.clear();
        sim.messageBox.titles.clear();
    }
    Widget& W(const char* name) { return *window->Window()->Find(name); }
    CheckBox& Box(const char* name) { return *window->Get<CheckBox>(name); }
    void Click(const char* name) {
        input.Click(W(name));
        sim.loop.Advance(10);
    }
    // "*" before a modem's or a modem entry's name, then "|" and the description.
    Texts Items() {
        Texts texts;
        ListItem item;
        for (int32_t i = 1; lists->List()->ItemInfoGetByIndex(i, item); ++i)
            texts.push_back((item.number1 ? "*" : "") + item.text1 + "|" + item.text2);
        return texts;
    }
    void Select(int32_t position) { lists->List()->SetItemSelected(position); }
    void Save(const char* file) {
        EXPECT_TRUE(binding.SavePng(*window->Window(), std::string(TARVELIN_TEST_OUTPUT) + file));
    }
};

constexpr AppSetting kFlags[] = {AppSetting::AutoRun, AppSetting::Tray, AppSetting::CheckDeviceConn,
                                 AppSetting::WidgetShow, AppSetting::StatInByte};

TEST_F(OptionsPagesTest, DefaultsStoreEveryFlagAndTransparency64AndApplyTheTray) {
    for (AppSetting flag : kFlags) SettingSave(flag, false);
    SettingSave(AppSetting::WidgetTrans, uint8_t{200});
    window->Tray()->ApplyTrayMode();
    window->ShowPage(5);
    EXPECT_TRUE(Box("optOptionsAppOptions1").Value());
    EXPECT_FALSE(W("picOptionsAppSlider").Enabled());
    EXPECT_TRUE(sim.notifyArea.icons.empty());
    Click("cmdOptionsAppDefault");
    for (AppSetting flag : kFlags) EXPECT_TRUE(SettingLoadBool(flag)) << static_cast<int>(flag);
    EXPECT_EQ(SettingLoadLong(AppSetting::WidgetTrans), 64);
    EXPECT_EQ(window->Presenter<OptionsApp>()->Slider()->Value(), 64);
    EXPECT_TRUE(W("picOptionsAppSlider").Enabled());
    EXPECT_EQ(sim.notifyArea.icons.size(), 1u) << "tray mode applied at once";
    Save("/options-app.png");
}

TEST_F(OptionsPagesTest, RefusedAutostartWritePutsTheBoxBack) {
    window->ShowPage(5);
    sim.registry.denyWrites = true;
    Click("chkOptionsAppAutoStart");
    EXPECT_FALSE(Box("chkOptionsAppAutoStart").Value());
    sim.registry.denyWrites = false;
    Click("chkOptionsAppAutoStart");
    EXPECT_TRUE(Box("chkOptionsAppAutoStart").Value());
    EXPECT_TRUE(SettingLoadBool(AppSetting::AutoRun));
}

TEST_F(OptionsPagesTest, WidgetBoxEnablesTheSliderWhichTheShownWidgetFollowsAtOnce) {
    SettingSave(AppSetting::WidgetTrans, uint8_t{100});
    Entry("GPRS", "Phone");
    sim.ras.Connect("GPRS");
    sim.loop.Advance(1000);
    const frmStat* widget = window->Presenter<MainPage>()->StatWindow();
    ASSERT_TRUE(widget);
    window->ShowPage(5);
    W("picOptionsAppSlider").SetFocus();
    input.KeyDown(*window->Window(), kKeyRight);
    EXPECT_EQ(SettingLoadLong(AppSetting::WidgetTrans), 105);
    EXPECT_EQ(widget->Transparent(), 105);
    Click("chkOptionsAppWidget");
    EXPECT_FALSE(W("picOptionsAppSlider").Enabled());
    EXPECT_FALSE(SettingLoadBool(AppSetting::WidgetShow));
    EXPECT_EQ(SettingLoadLong(AppSetting::WidgetTrans), 105);
    Click("chkOptionsAppWidget");
    EXPECT_TRUE(W("picOptionsAppSlider").Enabled());
}

TEST_F(OptionsPagesTest, ListsShowModemsOrEverythingWithTheAllBox) {
    Modem("Phone A", "COM5");
    sim.ras.devices.push_back({"VPN port", "vpn"});
    Entry("GPRS A", "Phone A");
    Entry("Office", "VPN port", "vpn");
    struct Case {
        int32_t page;
        const char* all;
        Texts only, everything;
    };
    const Case cases[] = {
        {6,
         "chkOptionsModemsAll",
         {"*Phone A|Устройство подключено к порту COM5"},
         {"*Phone A|Тип устройства: modem\r\nУстройство подключено к порту COM5",
          "VPN port|Тип устройства: vpn"}},
        {7,
         "chkOptionsConnsAll",
         {"*GPRS A|Подключение через устройство Phone A"},
         {"*GPRS A|Тип устройства: modem\r\nПодключение через устройство Phone A",
          "Office|Тип устройства: vpn\r\nПодключение через устройство VPN port"}},
    };
    for (const Case& c : cases) {
        Show(c.page);
        EXPECT_EQ(Items(), c.only) << c.page;
        Click(c.all);
        EXPECT_EQ(Items(), c.everything) << c.page;
        EXPECT_TRUE(W("cmdCommonClose").Enabled());
    }
    // The connections page's details of the chosen entry and its buttons.
    Select(2);
    EXPECT_EQ(W("lblOptionsConnsInfo").Caption(), "Устройство VPN port\r\nСостояние: отключено");
    EXPECT_FALSE(W("cmdOptionsConnsEdit").Enabled()) << "the editor is for modem entries only";
    sim.ras.Connect("GPRS A");
    Select(1);
    EXPECT_EQ(W("lblOptionsConnsInfo").Caption(), "Устройство Phone A\r\nСостояние: подключено");
    EXPECT_TRUE(W("cmdOptionsConnsEdit").Enabled());
    Save("/options-conns.png");
}

TEST(DeviceEntriesTextTest, NamesTheFirstTwoAndCountsMore) {
    const std::pair<Texts, const char*> cases[] = {
        {{}, "Данное устройство не используется ни в одном подключении."},
        {{"A"}, "Подключения:\r\nA"},
        {{"A", "B"}, "Подключения:\r\nA\r\nB"},
        {{"A", "B", "C"}, "Подключения:\r\nA\r\nB\r\n... всего подключений: 3."},
    };
    for (const auto& [entries, text] : cases) EXPECT_EQ(DeviceEntriesText(entries), text);
}

TEST_F(OptionsPagesTest, CreatedConnectionIsReportedAndListed) {
    using Call = sim::SimRas::Call;
    struct Case {
        Call failing;
        const char* title;
        size_t entries;
    };
    const Case cases[] = {
        {Call::HangUp, "Подключение создано", 1},
        {Call::SetEntryDialParams, "Предупреждение", 1},
        {Call::SetEntryProperties, "Предупреждение", 0},
    };
    Modem("Phone", "COM5");
    for (const Case& c : cases) {
        sim.ras.entries.clear();
        sim.ras.FailCall(c.failing, 5);
        Show(6);
        Select(1);
        Click("cmdOptionsModemsCreateConnection");
        sim.ras.FailCall(c.failing, 0);
        EXPECT_EQ(sim.messageBox.titles, Texts{c.title});
        EXPECT_EQ(sim.ras.entries.size(), c.entries);
        EXPECT_EQ(W("lblOptionsModemsInfo").Caption().rfind("Подключения:", 0) == 0,
                  c.entries == 1);
        if (&c == cases) Save("/options-modems.png");
    }
}

// Every entry of the modem is tried, each failure told, and then the device.
TEST_F(OptionsPagesTest, DeletingAModemReportsEntriesInUseAndStillRemovesIt) {
    Modem("Phone", "COM5");
    for (const char* entry : {"E1", "E2"}) {
        Entry(entry, "Phone");
        sim.ras.Connect(entry);
    }
    Show(6);
    Select(1);
    sim.messageBox.answer = kYes;
    Click("cmdOptionsModemsDelete");
    EXPECT_EQ(sim.messageBox.shown,
              (Texts{"Вы действительно хотите удалить устройство 'Phone' и все подключения с ним "
                     "связанные ?",
                     "Не удалось удалить соединение 'E1'. Возможно, оно используется.",
                     "Не удалось удалить соединение 'E2'. Возможно, оно используется."}));
    EXPECT_EQ(sim.ras.entries.size(), 2u);
    EXPECT_TRUE(sim.devices.Devices().empty());
    EXPECT_TRUE(Items().empty());
}

// Refused while connected (its session would lose its entry) or gone from the phone book:
// the failure is told and the list shows what is left.
TEST_F(OptionsPagesTest, DeletingAConnection) {
    const std::string kFailed =
        "Не удалось произвести удаление. Возможно, соединение используется или уже было удалено.";
    const Texts other{"*Other|Подключение через устройство Phone"};
    const Texts both{"*GPRS|Подключение через устройство Phone", other[0]};
    struct Case {
        int answer;
        bool connected, goneMeanwhile, shownFailure;
        const Texts& left;
    };
    const Case cases[] = {{kYes, false, false, false, other},
                          {kNo, false, false, false, both},
                          {kYes, true, false, true, both},
                          {kYes, false, true, true, other}};
    for (const Case& c : cases) {
        sim.ras.entries.clear();
        sim.ras.connections.clear();
        Entry("GPRS", "Phone");
        Entry("Other", "Phone");
        if (c.connected) sim.ras.Connect("GPRS");
        Show(7);
        Select(1);
        if (c.goneMeanwhile) sim.ras.entries.erase(sim.ras.entries.begin());
        sim.messageBox.answer = c.answer;
        Click("cmdOptionsConnsDelete");
        ASSERT_EQ(sim.messageBox.shown.size(), c.shownFailure ? 2u : 1u);
        EXPECT_EQ(sim.messageBox.titles[0], "Подтверждение");
        if (c.shownFailure) {
            EXPECT_EQ(sim.messageBox.shown[1], kFailed);
        }
        EXPECT_EQ(Items(), c.left);
    }
}

// A second click while the confirmation is open starts nothing.
TEST_F(OptionsPagesTest, DeleteClickedAgainDuringItsConfirmationIsIgnored) {
    struct AskingBox : platform::IMessageBox {
        std::function<void()> during;
        int asked = 0;
        int Show(platform::WindowHandle, const std::string&, uint32_t,
                 const std::string&) override {
            if (++asked == 1) during();
            return kNo;
        }
    } box;
    Modem("Phone", "COM5");
    Entry("GPRS", "Phone");
    for (const auto& [page, button] :
         {std::pair{6, "cmdOptionsModemsDelete"}, std::pair{7, "cmdOptionsConnsDelete"}}) {
        Show(page);
        Select(1);
        box.asked = 0;
        sim.platform.messageBox = &sim.messageBox;  // for Show's own boxes
        box.during = [&] { input.Click(W(button)); };
        sim.platform.messageBox = &box;
        Click(button);
        EXPECT_EQ(box.asked, 1) << page;
    }
    sim.platform.messageBox = &sim.messageBox;
}

// The editor's new name replaces the entry's in the list (a change of letter case does not);
// the phone book is not listed again.
TEST_F(OptionsPagesTest, EntryRenamedInTheEditorIsRenamedInTheList) {
    Entry("GPRS", "Phone");
    Entry("Other", "Phone");
    std::string edited, answer;
    lists->SetConnectionEditorOpener([&](const std::string& name, auto closed) {
        edited = name;
        sim.ras.Find(name)->name = answer;
        closed(answer);
    });
    Show(7);
    for (const auto& [newName, listed] : {std::pair{"gprs", "GPRS"}, {"Internet", "Internet"}}) {
        answer = newName;
        Select(1);
        sim.ras.calls.clear();
        Click("cmdOptionsConnsEdit");
        EXPECT_EQ(edited, "GPRS");
        EXPECT_EQ(std::ranges::count(sim.ras.calls, "RasEnumEntries"), 0);
        EXPECT_EQ(Items()[0], std::string("*") + listed + "|Подключение через устройство Phone");
        EXPECT_EQ(W("lblOptionsConnsSelect").Caption(), listed);
    }
}

// Without another opener, Edit opens the connection editor over the disabled main window.
TEST_F(OptionsPagesTest, EditOpensTheConnectionEditor) {
    Entry("GPRS", "Phone");
    Show(7);
    Select(1);
    Click("cmdOptionsConnsEdit");
    ASSERT_TRUE(window->editor);
    EXPECT_EQ(window->editor->EntryName(), "GPRS");
    EXPECT_TRUE(window->editor->Window().Visible());
    EXPECT_FALSE(window->Window()->Enabled());
}

}  // namespace
}  // namespace tarvelin::ui
