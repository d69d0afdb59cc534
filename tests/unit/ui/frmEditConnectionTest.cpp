// The connection editor on the headless binding over the simulated phone book, modem and
// Internet settings: which groups load, what Save writes and reports, the link, closing, and
// the editor opened over the main window. Pictures before and after the link are kept under
// the build folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <optional>

#include "dialup/modAppRAS.h"
#include "dialup/modAppWinInet.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"
#include "platform/posix/BmpImageSource.h"
#include "sim/SimPlatform.h"
#include "ui/forms/frmEditConnection.h"
#include "ui/forms/frmMain.h"
#include "ui/headless/HeadlessBinding.h"
#include "ui/headless/HeadlessInput.h"

namespace tarvelin::ui {
namespace {

using Call = sim::SimRas::Call;
using Net = sim::SimInternetOptions::Call;
constexpr char kModem[] = "Siemens C65 (кабель)";
constexpr char kEntry[] = "QVT (Siemens C65)";
constexpr char kNotSaved[] = "Не удалось сохранить следующую информацию:";
constexpr char kRenameRefused[] =
    "Не удалось переименовать название подключения. Задайте другое название и повторите "
    "попытку сохранения.";

TEST(EditConnectionValues, ApnFromInitString) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},
        {"AT+CGDCONT=1,\"IP\",\"internet.qvt\"", "internet.qvt"},
        {"AT+CGDCONT=1,\"ip\",\"abc\"", "abc"},
        {"AT+CGDCONT=1,\"PPP\",\"abc\"", ""},
        {"AT+CGDCONT=1,\"IP\"", ""},
        {"AT+CGDCONT=1,IP,\"abc\"", ""},
        {"AT+CGDCONT=1,\"IP\",\"a\"\"b\",0", "ab"},
    };
    for (const auto& [init, apn] : cases) EXPECT_EQ(ExtractApn(init), apn) << init;
}

// A system address control packs blank fields as 0 and tells how many are filled.
TEST(EditConnectionValues, AddressFieldsOfTheSystemControl) {
    using F = IpAddressBox::Fields;
    EXPECT_EQ(AddressFields(0x0A000005, 4), (F{10, 0, 0, 5}));
    EXPECT_EQ(AddressFields(0, 0), (F{-1, -1, -1, -1}));
    EXPECT_EQ(AddressFields(0x0A000500, 2), (F{10, -1, 5, -1}));
    EXPECT_EQ(AddressFields(0x0A000000, 2), (F{10, 0, -1, -1})) << "a typed 0 cannot be told apart";
    EXPECT_EQ(AddressFields(0x01020304, 1), (F{-1, -1, -1, 4})) << "the count wins over the value";
}

// A simulated system with a modem and an entry on it, a headless binding, and the editor.
struct Harness {
    sim::SimPlatform sim;
    HeadlessBinding binding;
    HeadlessInput input{binding};
    platform::BmpImageSource images{TARVELIN_ARTWORK_DIR};
    std::map<uint16_t, std::shared_ptr<const platform::IImage>> loaded;
    std::shared_ptr<frmEditConnection> editor;
    int closedCalls = 0;
    std::string finalName;

    explicit Harness(bool withInit = true) {
        binding.SetBitmapProvider([this](uint16_t id) {
            auto& image = loaded[id];
            if (!image) image = images.Bitmap(id);
            return image.get();
        });
        sim.devices.AddDevice("Modem", platform::kGuidDevClassModem,
                              {{platform::kSpdrpFriendlyName,
                                {platform::kRegSz, sim::SimRegistry::Sz(Utf8ToAnsi(kModem))}}});
        DeviceList list;
        platform::DeviceRecord modem;
        FindDeviceByProperty(DeviceClass::Modem, platform::kSpdrpFriendlyName, kModem, list, modem);
        list->CreateKey(modem, platform::DeviceKeyKind::Driver);
        if (withInit) SetModemUserInit(kModem, "AT+CGDCONT=1,\"IP\",\"internet.old\"");
        RasEntryInfo info;
        info.szDeviceName = kModem;
        info.szDeviceType = "modem";
        info.ipaddr = {10, 0, 0, 5};
        info.dwfOptions = kRasSpecificIpAddress | 0x10;
        info.szLocalPhoneNumber = "*99#";
        auto& entry = sim.ras.AddEntry(kEntry, info);
        entry.dial = {kEntry, "", "", "user", "secret", "dom"};
        entry.passwordStored = true;
        SetConnectionProxy(kEntry, true, true, false, false, "proxy:8080", "*.local", {});
    }
    void Open(bool load = true) {
        editor = frmEditConnection::Show(binding, kEntry, [this](const std::string& n) {
            ++closedCalls;
            finalName = n;
        });
        if (load) sim.loop.Advance(100);
    }
    Widget& W(const std::string& name) { return *editor->Window().Find(name); }
    TextBox& T(const char* name) { return static_cast<TextBox&>(W(name)); }
    IpAddressBox& Ip(int32_t i) { return static_cast<IpAddressBox&>(W(IpControlName(i))); }
    void Click(const std::string& name) { input.Click(W(name)); }
    std::string UserInit() {
        std::string init;
        GetModemUserInit(kModem, init);
        return init;
    }
    const std::vector<std::string>& Shown() const { return sim.messageBox.shown; }
};

struct EditorTest : ::testing::Test, Harness {};

// Which groups a partly readable entry loads: name, dial, addresses, APN, proxy, and Save.
TEST(EditorGroups, EachGroupLoadsOnItsOwn) {
    struct Case {
        const char* what;
        std::optional<Call> failing;
        bool noInit, proxyFails;
        const char* enabled;
    };
    const Case cases[] = {
        {"everything", std::nullopt, false, false, "111111"},
        {"properties unreadable", Call::GetEntryProperties, false, false, "110011"},
        {"dial parameters unreadable", Call::GetEntryDialParams, false, false, "101111"},
        {"modem without init string", std::nullopt, true, false, "111011"},
        {"proxy unreadable", std::nullopt, false, true, "111101"},
    };
    for (const Case& c : cases) {
        Harness t(!c.noInit);  // a fresh system for each case
        if (c.failing) t.sim.ras.FailCall(*c.failing, 5);
        if (c.proxyFails) t.sim.internet.FailCall(Net::Query, 75);
        t.Open();
        std::string enabled;
        for (const char* name : {"txtNameConnection", "txtPhoneNumber", "picHolderIpAddress0",
                                 "txtUserInit", "txtProxyServer", "cmdSave"})
            enabled += t.W(name).Enabled() ? '1' : '0';
        EXPECT_EQ(enabled, c.enabled) << c.what;
        EXPECT_TRUE(t.Shown().empty()) << c.what;
    }
}

// Close does nothing until the load has run; an entry gone by then closes the window.
TEST_F(EditorTest, LoadStep) {
    Open(false);
    EXPECT_FALSE(editor->CloseWindow());
    EXPECT_FALSE(editor->Window().Close()) << "nor through the window's own close";
    EXPECT_FALSE(W("cmdClose").Enabled());
    sim.ras.entries.clear();
    sim.loop.Advance(100);
    EXPECT_TRUE(editor->Window().Closed());
    EXPECT_EQ(closedCalls, 1);
    EXPECT_EQ(Shown(), (std::vector<std::string>{"Не удалось получить настройки соединения. "
                                                 "Возможно, оно было удалено или переименовано."}));
}

// The system after a save: entry name, user, phone, address option bits, the computer's and
// the secondary WINS address, the init string, the proxy server's start and length.
std::string SavedState(Harness& t) {
    if (t.sim.ras.entries.empty()) return "no entry";
    const sim::SimRasEntry& e = t.sim.ras.entries[0];
    const auto dotted = [](const RasIpAddress& a) {
        return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) +
               "." + std::to_string(a[3]);
    };
    bool d, p, a, x;
    std::string server, bypass, url;
    GetConnectionProxy(e.name, d, p, a, x, server, bypass, url);
    return e.name + "|" + e.dial.UserName + "|" + e.info.szLocalPhoneNumber + "|" +
           std::to_string(e.info.dwfOptions & 6) + "|" + dotted(e.info.ipaddr) + "|" +
           dotted(e.info.ipaddrWinsAlt) + "|" + t.UserInit() + "|" + server.substr(0, 4) +
           std::to_string(server.size()) + (p ? "" : " off") + "|" + bypass.substr(0, 8);
}

// What Save writes and reports after the edits, with a system call failing.
TEST(EditorGroups, SaveWritesTheLoadedGroups) {
    const std::string old = "|AT+CGDCONT=1,\"IP\",\"internet.old\"|prox10|*.local";
    struct Case {
        const char* what;
        std::function<void(Harness&)> edit;
        std::string state, report;  // no report: saved and closed
        const char* focus = nullptr;
        bool noProperties = false;  // the entry's properties cannot be read
    };
    const Case cases[] = {
        {"case-only rename, full 0.0.0.0, secondary WINS only, empty APN, no proxy",
         [](Harness& t) {
             t.T("txtNameConnection").SetText("qvt (siemens c65)");
             t.Ip(0).SetAddress({0, 0, 0, 0});
             t.Ip(4).SetAddress({10, 1, 1, 1});
             t.T("txtUserInit").SetText("  ");
             t.T("txtProxyServer").SetText(" ");
         },
         "QVT (Siemens C65)|user|*99#|4|0.0.0.0|10.1.1.1||0 off|*.local", ""},
        {"rename, dial, APN and a long Cyrillic proxy",
         [](Harness& t) {
             t.T("txtNameConnection").SetText("Мой GPRS");
             t.T("txtUserName").SetText("новый");
             t.T("txtPhoneNumber").SetText("*99***2#");
             t.T("txtUserInit").SetText(" apn\"x ");
             t.T("txtProxyServer").SetText(std::string(2000, 'p'));
             t.T("txtProxyBypass").SetText("сервер.рф;" + std::string(1990, 'b'));
         },
         "Мой GPRS|новый|*99***2#|2|10.0.0.5|0.0.0.0|AT+CGDCONT=1,\"IP\",\"apnx\"|pppp2000|серв",
         ""},
        {"only the proxy fails", [](Harness& t) { t.sim.internet.FailCall(Net::Set, 75); },
         kEntry + std::string("|user|*99#|2|10.0.0.5|0.0.0.0") + old,
         kNotSaved + std::string("\r\n- настройки прокси-сервера")},
        {"modem gone and entry deleted after the load: not created anew",
         [](Harness& t) {
             DeleteModem(kModem);
             t.sim.ras.entries.clear();
         },
         "no entry",
         kNotSaved + std::string("\r\n- параметры дозвона\r\n- настройки IP адресов\r\n- "
                                 "параметры APN\r\n- настройки прокси-сервера")},
        {"partly typed address: dial saved before it, nothing after",
         [](Harness& t) {
             t.T("txtUserName").SetText("kept");
             t.T("txtUserInit").SetText("never");
             t.Ip(2).SetAddress({8, 8, -1, -1});
         },
         kEntry + std::string("|kept|*99#|2|10.0.0.5|0.0.0.0") + old,
         "Введен некорректный IP адрес. Исправьте это и повторите сохранение.", "IP Control 2"},
        {"name the system refuses",
         [](Harness& t) {
             t.T("txtNameConnection").SetText("QVT: C65");
             t.T("txtUserName").SetText("never");
         },
         kEntry + std::string("|user|*99#|2|10.0.0.5|0.0.0.0") + old, kRenameRefused,
         "txtNameConnection"},
        {"name outside the system's code page",
         [](Harness& t) { t.T("txtNameConnection").SetText("GPRS 中"); },
         kEntry + std::string("|user|*99#|2|10.0.0.5|0.0.0.0") + old, kRenameRefused},
        {"properties unreadable: dial saved, addresses and APN skipped",
         [](Harness& t) { t.T("txtUserName").SetText("other"); },
         kEntry + std::string("|other|*99#|2|10.0.0.5|0.0.0.0") + old, "", nullptr, true},
        {"properties unreadable: a changed phone number has nowhere to go",
         [](Harness& t) { t.T("txtPhoneNumber").SetText("*99***1#"); },
         kEntry + std::string("|user|*99#|2|10.0.0.5|0.0.0.0") + old,
         kNotSaved + std::string("\r\n- параметры дозвона"), nullptr, true},
    };
    for (const Case& c : cases) {
        Harness t;
        if (c.noProperties) t.sim.ras.FailCall(Call::GetEntryProperties, 5);
        t.Open();
        c.edit(t);
        t.Click("cmdSave");
        EXPECT_EQ(SavedState(t), c.state) << c.what;
        EXPECT_EQ(t.Shown().empty() ? "" : t.Shown().back(), c.report) << c.what;
        EXPECT_EQ(t.closedCalls, c.report.empty() ? 1 : 0) << c.what;
        EXPECT_TRUE(!c.focus || t.W(c.focus).HasFocus()) << c.what;
    }
}

TEST_F(EditorTest, RecommendedSettingsFillTheFieldsOnly) {
    sim.ras.Find(kEntry)->info.ipaddrWins = {1, 2, 3, 4};
    Open();
    binding.SavePng(editor->Window(), TARVELIN_TEST_OUTPUT "/frmEditConnection_loaded.png");
    EXPECT_EQ(T("txtNameConnection").Caption() + T("txtPassword").Caption(),
              kEntry + std::string("secret"));
    EXPECT_EQ(T("txtPhoneNumber").Caption(), "*99#") << "the entry keeps it";
    EXPECT_EQ(T("txtUserInit").Caption() + T("txtProxyServer").Caption(), "internet.oldproxy:8080");
    EXPECT_EQ(Ip(0).Address(), (IpAddressBox::Fields{10, 0, 0, 5}));
    Click("picLinkSettingsQVT");
    binding.SavePng(editor->Window(), TARVELIN_TEST_OUTPUT "/frmEditConnection_recommended.png");
    std::string fields;
    for (const char* name : {"txtPhoneNumber", "txtUserName", "txtPassword", "txtDomain",
                             "txtUserInit", "txtProxyServer", "txtProxyBypass"})
        fields += T(name).Caption() + "|";
    EXPECT_EQ(fields, "*99***1#|qvt|dfk||internet.qvt|||");
    for (int32_t i = 0; i < kIpControlCount; ++i) EXPECT_TRUE(Ip(i).Blank());
    EXPECT_EQ(sim.ras.Find(kEntry)->dial.UserName, "user") << "nothing saved yet";
    input.DoubleClick(editor->Window(), W("cmdSave").ClientToScreen({W("cmdSave").Width() / 2, 4}));
    EXPECT_EQ(closedCalls, 1);
    EXPECT_EQ(
        SavedState(*this),
        kEntry +
            std::string(
                "|qvt|*99***1#|0|0.0.0.0|0.0.0.0|AT+CGDCONT=1,\"IP\",\"internet.qvt\"|0 off|"));
}

TEST_F(EditorTest, ModalOverTheMainWindow) {
    auto window = frmMain::Create(binding);
    ASSERT_TRUE(window->Load());
    std::vector<std::string> names;
    const auto open = [&] {
        OpenConnectionEditor(*window, kEntry, [&](const std::string& n) { names.push_back(n); });
        sim.loop.Advance(100);
    };
    open();
    ASSERT_TRUE(window->editor);
    EXPECT_FALSE(window->Window()->Enabled());
    EXPECT_EQ(window->editor->Window().Owner(), window->Window());
    EXPECT_TRUE(binding.WorkArea().Contains(
        Point{window->editor->Window().Bounds().left, window->editor->Window().Bounds().top}));
    static_cast<TextBox*>(window->editor->Window().Find("txtNameConnection"))->SetText("QVT 2");
    input.Click(*window->editor->Window().Find("cmdSave"));
    EXPECT_TRUE(window->Window()->Enabled());
    open();  // a second editor after the first closed: the old name is gone
    EXPECT_EQ(names, (std::vector<std::string>{"QVT 2", kEntry}));
    EXPECT_TRUE(window->Window()->Enabled());
}

}  // namespace
}  // namespace tarvelin::ui
