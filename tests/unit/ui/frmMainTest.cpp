// The main window on the headless binding: placement, the page table with its frames and
// the common buttons, the toolbar's refusals, closing, the tray, dragging, and a picture of
// every page kept under the build folder.
#include <gtest/gtest.h>

#include <map>

#include "core/AppSetting.h"
#include "platform/posix/BmpImageSource.h"
#include "sim/SimPlatform.h"
#include "ui/forms/frmMain.h"
#include "ui/headless/FormPicture.h"
#include "ui/headless/HeadlessInput.h"
#include "unit/ui/MainWindowFixture.h"

namespace tarvelin::ui {
namespace {

using platform::Rgb;

struct MainWindowTest : MainWindowFixture {
    std::shared_ptr<frmMain> window;

    Form& Load() {
        window = frmMain::Create(binding);
        EXPECT_TRUE(window->Load());
        sim.loop.Advance(10);  // the main page's start-up check, busy until it has run
        return *window->Window();
    }
    Widget& W(const char* name) { return *window->Window()->Find(name); }
    // Shows the page and lets what it starts run out (the wizard's search of no ports).
    void Show(int32_t page) {
        window->ShowPage(page);
        sim.loop.Advance(5000);
    }
    // A left click on the widget's centre, through the form as the user would.
    void Click(const char* name) { input.Click(W(name)); }
};

TEST(frmMainPlacement, SavedPlaceIsKeptInsideTheScreen) {
    EXPECT_EQ(PlaceOnAxis(-1, 500, 1280), 390) << "nothing stored: centred";
    EXPECT_EQ(PlaceOnAxis(2000, 500, 1280), 780);
    EXPECT_EQ(PlaceOnAxis(780, 500, 1280), 780) << "touching the far edge counts as passing it";
    EXPECT_EQ(PlaceOnAxis(2147483647, 300, 768), 468) << "no overflow near the top of the range";
}

TEST_F(MainWindowTest, OpensAtItsStoredPlaceOrCentred) {
    SettingSave(AppSetting::MainFormLeft, -1);
    SettingSave(AppSetting::MainFormTop, -1);
    EXPECT_EQ(Load().Bounds(), (Rect{390, 362, 890, 662}));
    window->UnloadWindow();
    SettingSave(AppSetting::MainFormLeft, 2000);
    SettingSave(AppSetting::MainFormTop, 10);
    EXPECT_EQ(Load().Bounds().left, 780);
    EXPECT_EQ(window->Window()->Bounds().top, 10);
    EXPECT_EQ(window->CurrentPage(), 1);
}

// Each page's frame, and where Back, Next and Close lead from it (0: nowhere).
struct PageCase {
    int32_t page;
    bool versions, backVisible, backEnabled, nextVisible, nextEnabled, closeVisible, closeEnabled;
    const char* closeCaption;
    int32_t back, next, close;
};
const PageCase kPages[] = {
    {1, true, false, false, false, false, false, false, "Отмена", 0, 0, 0},
    {2, true, false, false, false, false, true, true, "Закрыть", 0, 0, 1},
    {3, true, false, false, false, false, true, true, "Закрыть", 0, 0, 1},
    {4, false, true, false, true, true, true, true, "Отмена", 0, 0, 1},
    {5, true, false, false, false, false, true, true, "Закрыть", 0, 0, 1},
    {6, true, false, false, false, false, true, true, "Закрыть", 0, 0, 1},
    {7, true, false, false, false, false, true, true, "Закрыть", 0, 0, 1},
    {8, false, true, true, true, true, true, true, "Отмена", 4, 9, 1},
    {9, false, true, true, true, true, true, true, "Отмена", 8, 10, 1},    // after the search
    {10, false, true, true, true, false, true, true, "Отмена", 9, 11, 1},  // nothing chosen
    {11, false, true, true, true, true, true, true, "Отмена", 10, 0, 1},
    {12, false, true, true, true, false, true, true, "Отмена", 8, 0, 1},
};

TEST_F(MainWindowTest, EveryPageHasItsFrameAndItsWayOn) {
    Form& form = Load();
    for (const PageCase& c : kPages) {
        for (const char* button : {"cmdCommonBack", "cmdCommonNext", "cmdCommonClose"}) {
            window->ShowPage(1);
            Show(c.page);
            ASSERT_EQ(window->CurrentPage(), c.page);
            EXPECT_TRUE(W(kPagePanels[c.page]).Visible()) << c.page;
            EXPECT_EQ(W("lblCommonVersionApp").Visible(), c.versions) << c.page;
            EXPECT_TRUE(W("picCommonButtonClose").Visible()) << c.page;
            EXPECT_EQ(W("cmdCommonBack").Visible(), c.backVisible) << c.page;
            EXPECT_EQ(W("cmdCommonBack").Enabled(), c.backEnabled) << c.page;
            EXPECT_EQ(W("cmdCommonNext").Visible(), c.nextVisible) << c.page;
            EXPECT_EQ(W("cmdCommonNext").Enabled(), c.nextEnabled) << c.page;
            EXPECT_EQ(W("cmdCommonClose").Visible(), c.closeVisible) << c.page;
            EXPECT_EQ(W("cmdCommonClose").Enabled(), c.closeEnabled) << c.page;
            EXPECT_EQ(W("cmdCommonClose").Caption(), c.closeCaption) << c.page;
            for (int32_t other = 1; other <= kPageCount; ++other) {
                if (other != c.page) {
                    EXPECT_FALSE(W(kPagePanels[other]).Visible());
                }
            }
            const bool usable = W(button).Visible() && W(button).Enabled();
            Click(button);  // a hidden or disabled button takes no click
            const int32_t expected = button[9] == 'B'   ? c.back
                                     : button[9] == 'N' ? c.next
                                                        : c.close;
            EXPECT_EQ(window->CurrentPage(), usable && expected ? expected : c.page)
                << button << " on page " << c.page;
            sim.loop.Advance(5000);
        }
    }
    EXPECT_TRUE(form.Visible());
}

TEST_F(MainWindowTest, OptionsMenuLeadsToTheChosenPage) {
    Load();
    for (const auto& [option, page] : {std::pair{0, 8}, {1, 7}, {2, 5}, {3, 6}}) {
        window->ShowPage(4);
        Click("cmdCommonNext");
        EXPECT_EQ(window->CurrentPage(), 4) << "nothing chosen";
        Click(("optOptionsSelect" + std::to_string(option)).c_str());
        Click("cmdCommonNext");
        EXPECT_EQ(window->CurrentPage(), page);
        sim.loop.Advance(10);  // the lists of pages 6 and 7 are filled from the message loop
        window->ShowPage(1);
        static_cast<CheckBox&>(W(("optOptionsSelect" + std::to_string(option)).c_str()))
            .SetValue(false);
    }
}

TEST_F(MainWindowTest, ToolbarRefusesWhatThePageOrBusyForbids) {
    Load();
    Click("picCommonToolbarAbout");
    EXPECT_EQ(window->CurrentPage(), 2);
    EXPECT_TRUE(window->HeaderControl("picCommonToolbarAbout")->Selected());
    Click("picCommonToolbarOptions");
    EXPECT_EQ(window->CurrentPage(), 4);
    EXPECT_FALSE(window->HeaderControl("picCommonToolbarAbout")->Selected());
    for (int32_t page = 4; page <= kPageCount; ++page) {
        Show(page);
        const Rect before = W("picCommonToolbarOptions").Bounds();
        Click("picCommonToolbarOptions");
        EXPECT_EQ(window->CurrentPage(), page);
        EXPECT_EQ(W("picCommonToolbarOptions").Bounds(), before) << "refused: not even pressed";
    }
    window->ShowPage(1);
    window->SetBusy(true);
    Click("picCommonToolbarUpdate");
    window->ShowPage(5);
    EXPECT_EQ(window->CurrentPage(), 1);
    Click("picCommonButtonClose");
    EXPECT_FALSE(window->Window()->Closed()) << "close refused while busy";
    window->SetBusy(false);
    Click("picCommonToolbarUpdate");
    EXPECT_EQ(window->CurrentPage(), 3);
}

TEST_F(MainWindowTest, BusyCloseOnTheSearchOnlyAsksToStop) {
    Load();
    window->ShowPage(9);
    window->SetBusy(true);
    W("cmdCommonClose").Click.Raise();
    EXPECT_TRUE(window->StopRequested());
    EXPECT_EQ(window->CurrentPage(), 9);
    EXPECT_FALSE(window->UnloadWindow());
    EXPECT_TRUE(window->Window()->Visible());
    window->SetBusy(false);
    window->ShowPage(3);
    window->SetBusy(true);
    W("cmdCommonClose").Click.Raise();
    EXPECT_TRUE(window->UpdateCancel());
}

TEST_F(MainWindowTest, ClosingStoresThePlaceUnlessMinimised) {
    bool closed = false;
    Form& form = Load();
    window->onClosed = [&] { closed = true; };
    form.Move(120, 80);
    Click("picCommonButtonMinimaze");
    EXPECT_EQ(form.State(), WindowState::Minimised);
    form.Move(-32000, -32000);
    EXPECT_TRUE(window->UnloadWindow());
    EXPECT_TRUE(closed);
    EXPECT_NE(SettingLoadLong(AppSetting::MainFormLeft), -32000);
    Form& again = Load();
    again.Move(120, 80);
    Click("picCommonButtonClose");
    EXPECT_TRUE(again.Closed());
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), 120);
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), 80);
}

TEST_F(MainWindowTest, MinimisedIntoTheTrayAndBackByADoubleClick) {
    SettingSave(AppSetting::Tray, true);
    Form& form = Load();
    ASSERT_TRUE(window->Tray() && window->Tray()->IconPresent());
    Click("picCommonButtonMinimaze");
    EXPECT_FALSE(form.Visible());
    EXPECT_FALSE(form.ShowInTaskbar());
    W("picCommonTray").MouseMove.Raise({kButtonLeft, 0, 515, 0});
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(form.State(), WindowState::Normal);
    sim.notifyArea.LoseIcons();
    form.ShellRestarted.Raise();
    EXPECT_TRUE(window->Tray()->IconPresent());
    sim.menus.choice = 2;  // "Выйти" with no entries
    W("picCommonTray").MouseMove.Raise({kButtonLeft, 0, 517, 0});
    EXPECT_TRUE(form.Closed());
    EXPECT_FALSE(window->Tray()->IconPresent());
}

TEST_F(MainWindowTest, TheBackgroundDragsTheWindow) {
    Form& form = Load();
    const Rect at = form.Bounds();
    const Point start{at.left + 250, at.top + 120};  // on the main page's panel
    input.MouseDown(form, start);
    input.MoveMouse(form, {start.x + 30, start.y + 12});
    input.MouseUp(form, {start.x + 30, start.y + 12});
    EXPECT_EQ(form.Bounds().left, at.left + 30);
    EXPECT_EQ(form.Bounds().top, at.top + 12);
}

// The window's outline and fade, the page area's rounded corner and the header's pictures,
// on every page's picture.
TEST_F(MainWindowTest, EveryPageIsPictured) {
    Form& form = Load();
    for (int32_t page = kPageCount; page >= 1; --page) {
        Show(page);
        const platform::RasterPicture picture = binding.Render(form);
        EXPECT_TRUE(binding.SavePng(form, std::string(TARVELIN_TEST_OUTPUT) + "/main-page-" +
                                              std::to_string(page) + ".png"));
        EXPECT_EQ(picture.PixelAt({0, 0}), kDesktopColor) << "outside the rounded outline";
        EXPECT_EQ(picture.PixelAt({250, 0}), Rgb(102, 100, 101)) << "the outline";
        EXPECT_EQ(picture.PixelAt({250, 1}), Rgb(255, 255, 255)) << "the header";
        EXPECT_EQ(picture.PixelAt({2, 200}), Rgb(255, 255, 255)) << "above the fade";
        const platform::Color faded = picture.PixelAt({3, 295});
        EXPECT_LT(platform::RedOf(faded), 215) << "the lowest pixels fade towards grey";
        EXPECT_GT(platform::RedOf(faded), 173);
        EXPECT_EQ(picture.PixelAt({5, 57}), Rgb(255, 255, 255)) << "outside the page's corner";
        EXPECT_EQ(picture.PixelAt({6, 58}), Rgb(102, 100, 101)) << "the page frame's corner";
        EXPECT_EQ(picture.PixelAt({5, 100}), Rgb(102, 100, 101)) << "the page frame";
    }
}

}  // namespace
}  // namespace tarvelin::ui
