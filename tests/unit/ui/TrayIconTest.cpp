#include <gtest/gtest.h>

#include <algorithm>

#include "core/AppSetting.h"
#include "sim/SimPlatform.h"
#include "ui/forms/TrayIcon.h"

namespace tarvelin {
namespace {

using Kind = sim::SimMenuItem::Kind;
constexpr platform::WindowHandle kTrayWindow = 0x77;

struct Owner : ITrayOwner {
    bool IsMinimised() override { return minimised; }
    bool IsVisible() override { return visible; }
    void ShowApplication(bool show) override { actions.push_back(show ? "show" : "hide"); }
    void Minimise() override { actions.push_back("minimise"); }
    void Unload() override {
        actions.push_back("unload");
        if (onUnload) onUnload();
    }
    platform::WindowHandle TrayWindow() override { return kTrayWindow; }
    bool minimised = false, visible = true;
    std::vector<std::string> actions;
    std::function<void()> onUnload;
};

class TrayIconTest : public ::testing::Test {
  protected:
    void SetUp() override { sim.menus.cursor = {300, 700}; }
    void TwoEntriesSecondConnected() {
        sim.ras.AddEntry("Alpha");
        sim.ras.AddEntry("Beta");
        sim.ras.Connect("Beta").entryName = "BETA";  // names match without regard to case
    }
    int Calls(const std::string& name) const {
        return static_cast<int>(std::count(sim.ras.calls.begin(), sim.ras.calls.end(), name));
    }
    const sim::SimNotifyIcon* Icon() const {
        const auto found = sim.notifyArea.icons.find({kTrayWindow, kTrayIconId});
        return found == sim.notifyArea.icons.end() ? nullptr : &found->second;
    }

    sim::SimPlatform sim;
    Owner owner;
    std::unique_ptr<TrayIcon> tray = std::make_unique<TrayIcon>(owner, sim.menus, sim.notifyArea);
};

TEST_F(TrayIconTest, MenuListsEntriesThenTheWindowItems) {
    const struct {
        bool withEntries, minimised;
        std::vector<std::string> texts;  // "-" for the separator
        std::vector<bool> checked;
        uint32_t defaultId;
    } cases[] = {
        {false, false, {"Свернуть приложение", "Выйти"}, {false, false}, 1},
        {false, true, {"Восстановить приложение", "Выйти"}, {false, false}, 1},
        {true,
         false,
         {"Alpha", "Beta", "-", "Свернуть приложение", "Выйти"},
         {false, true, false, false, false},
         4},
    };
    for (const auto& c : cases) {
        sim.ras.entries.clear();
        sim.ras.connections.clear();
        sim.menus.tracked.clear();
        sim.menus.foreground.clear();
        if (c.withEntries) TwoEntriesSecondConnected();
        owner.minimised = c.minimised;
        tray->OnTrayMouseMessage(kTrayRightButtonUp);

        ASSERT_EQ(sim.menus.tracked.size(), 1u);
        const sim::SimTracked& shown = sim.menus.tracked[0];
        EXPECT_EQ(shown.owner, kTrayWindow);
        EXPECT_EQ(shown.x, 300);
        EXPECT_EQ(shown.y, 700);
        EXPECT_EQ(sim.menus.foreground, std::vector<platform::WindowHandle>{kTrayWindow});
        ASSERT_EQ(shown.menu->items.size(), c.texts.size());
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const sim::SimMenuItem& item = shown.menu->items[i];
            EXPECT_EQ(item.id, i + 1);
            EXPECT_EQ(item.kind == Kind::Separator ? "-" : item.text, c.texts[i]);
            EXPECT_EQ(item.flags == platform::kMenuChecked, c.checked[i]) << c.texts[i];
        }
        EXPECT_EQ(shown.menu->defaultId, c.defaultId);
        EXPECT_TRUE(sim.menus.built.back()->destroyed) << "the menu lives only while shown";
    }
}

TEST_F(TrayIconTest, ClicksAndMenuChoicesDoWhatTheIconOffers) {
    TwoEntriesSecondConnected();
    const struct {
        int32_t message;
        uint32_t choice;  // in the menu: 1 Alpha, 2 Beta (connected), 4 window, 5 exit
        bool minimised, visible;
        int dials, hangUps;
        std::vector<std::string> actions;
    } cases[] = {
        {kTrayRightButtonUp, 1, false, true, 1, 0, {}},
        {kTrayRightButtonUp, 2, false, true, 0, 1, {}},
        {kTrayRightButtonUp, 4, false, true, 0, 0, {"minimise"}},
        {kTrayRightButtonUp, 4, true, true, 0, 0, {"show"}},
        {kTrayRightButtonUp, 5, false, true, 0, 0, {"unload"}},
        {kTrayRightButtonUp, 0, false, true, 0, 0, {}},
        {kTrayDoubleClick, 0, false, true, 0, 0, {"minimise"}},
        {kTrayDoubleClick, 0, true, true, 0, 0, {"show"}},
        {kTrayDoubleClick, 0, false, false, 0, 0, {"show"}},
        {513, 0, false, true, 0, 0, {}},  // other mouse messages are ignored
    };
    for (const auto& c : cases) {
        sim.ras.calls.clear();
        owner.actions.clear();
        owner.minimised = c.minimised;
        owner.visible = c.visible;
        sim.menus.choice = c.choice;
        tray->OnTrayMouseMessage(c.message);
        EXPECT_EQ(Calls("RasDialDlg"), c.dials) << c.message << " " << c.choice;
        EXPECT_EQ(Calls("RasHangUp"), c.hangUps) << c.message << " " << c.choice;
        EXPECT_EQ(owner.actions, c.actions) << c.message << " " << c.choice;
    }
}

TEST_F(TrayIconTest, TrayMessagesWhileTheMenuIsOpenAreIgnored) {
    sim.menus.whileOpen = [&](const sim::SimMenu&) {
        tray->OnTrayMouseMessage(kTrayRightButtonUp);
        tray->OnTrayMouseMessage(kTrayDoubleClick);
        return 1u;  // "Свернуть приложение"
    };
    tray->OnTrayMouseMessage(kTrayRightButtonUp);
    EXPECT_EQ(sim.menus.tracked.size(), 1u);
    EXPECT_EQ(owner.actions, std::vector<std::string>{"minimise"});
    sim.menus.whileOpen = nullptr;
    tray->OnTrayMouseMessage(kTrayDoubleClick);
    EXPECT_EQ(owner.actions.size(), 2u) << "the guard is released afterwards";
}

TEST_F(TrayIconTest, OwnerMayDestroyTheIconFromTheMenu) {
    TwoEntriesSecondConnected();
    SettingSave(AppSetting::Tray, true);
    tray->ApplyTrayMode();
    owner.onUnload = [&] { tray.reset(); };
    sim.menus.choice = 5;  // "Выйти"
    tray->OnTrayMouseMessage(kTrayRightButtonUp);
    EXPECT_EQ(tray, nullptr);
    EXPECT_EQ(Icon(), nullptr) << "the icon leaves with its object";

    tray = std::make_unique<TrayIcon>(owner, sim.menus, sim.notifyArea);
    sim.menus.whileOpen = [&](const sim::SimMenu&) {
        tray.reset();  // the window went while the menu was open
        return 1u;     // "Alpha"
    };
    TrayIcon* raw = tray.get();
    raw->OnTrayMouseMessage(kTrayRightButtonUp);
    EXPECT_EQ(Calls("RasDialDlg"), 0) << "a choice made for a window that is gone is dropped";
}

TEST_F(TrayIconTest, IconFollowsTheSettingAndSurvivesTheTaskBar) {
    SettingSave(AppSetting::Tray, true);
    sim.notifyArea.failAdd = true;
    tray->ApplyTrayMode();
    EXPECT_TRUE(tray->TrayIconShown());
    EXPECT_FALSE(tray->IconPresent()) << "no icon yet: minimising must not hide the window";

    sim.notifyArea.failAdd = false;
    tray->SetTip(std::string(70, 'x'));  // the refresh finds the icon missing and adds it
    ASSERT_NE(Icon(), nullptr);
    EXPECT_TRUE(tray->IconPresent());
    EXPECT_EQ(Icon()->tip, std::string(63, 'x'));
    EXPECT_EQ(Icon()->callbackMessage, 512u);
    EXPECT_EQ(Icon()->iconResource, 1u);

    sim.notifyArea.LoseIcons();
    tray->Recover();
    ASSERT_NE(Icon(), nullptr);
    EXPECT_EQ(Icon()->tip, std::string(63, 'x')) << "comes back with its latest tip";

    owner.visible = false;
    SettingSave(AppSetting::Tray, false);
    tray->ApplyTrayMode();
    EXPECT_EQ(Icon(), nullptr);
    EXPECT_EQ(owner.actions, std::vector<std::string>{"show"});
    tray->Recover();
    EXPECT_EQ(Icon(), nullptr) << "the tray is off: nothing to recover";
}

TEST(NotifyTip, CutBetweenCharactersAt63Units) {
    const std::string emoji = "\xF0\x9F\x93\x9E";  // two UTF-16 units
    const struct {
        std::string text, fitted;
    } cases[] = {
        {"Tarvelin", "Tarvelin"},
        {std::string(63, 'a'), std::string(63, 'a')},
        {std::string(64, 'a'), std::string(63, 'a')},
        {std::string(61, 'a') + emoji + "b", std::string(61, 'a') + emoji},
        {std::string(62, 'a') + emoji, std::string(62, 'a')},  // never half a pair
        {[] {
             std::string s;
             for (int i = 0; i < 70; ++i) s += "ж";
             return s;
         }(),
         [] {
             std::string s;
             for (int i = 0; i < 63; ++i) s += "ж";
             return s;
         }()},
        {std::string(62, 'a') + "\xE2\x82", std::string(62, 'a') + "\xE2\x82"},  // cut short
    };
    for (const auto& c : cases) EXPECT_EQ(platform::FitNotifyTip(c.text), c.fitted) << c.text;
}

}  // namespace
}  // namespace tarvelin
