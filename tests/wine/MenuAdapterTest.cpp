// Relies on Wine's menus, window enumeration and notification area behaving as Windows
// documents them.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32NotifyArea.h"

namespace tarvelin {
namespace {

constexpr char kNoDisplay[] = "no display for windows (the test scripts provide one)";

HMENU Menu(const platform::IPopupMenu& menu) {
    return reinterpret_cast<HMENU>(platform::Win32MenuHandle(menu));
}

// A hidden top-level window of the test process.
class HiddenWindow {
  public:
    HiddenWindow()
        : window_(CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                  nullptr, nullptr)) {}
    ~HiddenWindow() { DestroyWindow(window_); }
    HiddenWindow(const HiddenWindow&) = delete;
    HiddenWindow& operator=(const HiddenWindow&) = delete;
    platform::WindowHandle Handle() const {
        return reinterpret_cast<platform::WindowHandle>(window_);
    }

  private:
    HWND window_;
};

TEST(MenuAdapter, PopupMenuGetsItsItemsFlagsAndDefault) {
    platform::Win32Menus menus;
    auto menu = menus.CreatePopup();
    auto inner = menus.CreatePopup();
    ASSERT_TRUE(menu && inner);
    ASSERT_TRUE(menu->AddItem(1, "Подключение", platform::kMenuChecked | platform::kMenuGrayed));
    ASSERT_TRUE(menu->AddSeparator(2));
    ASSERT_TRUE(menu->AddItem(3, "Выйти", platform::kMenuBarBreak));
    ASSERT_TRUE(menu->AddSubmenu(*inner, "Ещё", 0));
    ASSERT_TRUE(menu->SetDefault(3));

    const HMENU handle = Menu(*menu);
    EXPECT_EQ(GetMenuState(handle, 1, MF_BYCOMMAND) & (MF_CHECKED | MF_GRAYED),
              UINT{MF_CHECKED | MF_GRAYED});
    EXPECT_TRUE(GetMenuState(handle, 2, MF_BYCOMMAND) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(handle, 3, MF_BYCOMMAND) & MF_MENUBARBREAK);
    EXPECT_EQ(GetMenuDefaultItem(handle, FALSE, 0), 3u);
    EXPECT_EQ(GetSubMenu(handle, 3), Menu(*inner));
    wchar_t text[32] = {};
    GetMenuStringW(handle, 1, text, 32, MF_BYCOMMAND);
    EXPECT_STREQ(text, L"Подключение");

    const HMENU submenu = Menu(*inner);
    menu.reset();
    EXPECT_TRUE(IsMenu(submenu)) << "the outer menu leaves its submenu to the submenu's owner";
    inner.reset();
    EXPECT_FALSE(IsMenu(submenu));
}

TEST(MenuAdapter, FirstProcessWindowFindsAWindowOfThisProcess) {
    HiddenWindow window;
    if (!window.Handle()) GTEST_SKIP() << kNoDisplay;
    platform::Win32Menus menus;
    const auto found = reinterpret_cast<HWND>(menus.FirstProcessWindow());
    ASSERT_NE(found, nullptr);
    EXPECT_EQ(reinterpret_cast<platform::WindowHandle>(found), window.Handle())
        << "the newest is first";
    DWORD process = 0;
    GetWindowThreadProcessId(found, &process);
    EXPECT_EQ(process, GetCurrentProcessId());
    platform::ScreenRect rect;
    ASSERT_TRUE(menus.WindowRect(window.Handle(), rect));
    EXPECT_EQ(rect.right - rect.left, 10);
}

TEST(NotifyAreaAdapter, IconIsAddedRetippedAndRemoved) {
    HiddenWindow window;
    if (!window.Handle()) GTEST_SKIP() << kNoDisplay;
    platform::Win32NotifyArea area;
    EXPECT_NE(platform::TaskbarCreatedMessage(), 0u);
    ASSERT_TRUE(area.Add(window.Handle(), 1, WM_MOUSEMOVE, 1, "Tarvelin"));
    EXPECT_TRUE(area.ModifyTip(window.Handle(), 1, "Tarvelin\r\n" + std::string(80, 'x')));
    EXPECT_TRUE(area.Remove(window.Handle(), 1));
    EXPECT_FALSE(area.ModifyTip(window.Handle(), 1, "Tarvelin")) << "the icon is gone";
}

}  // namespace
}  // namespace tarvelin
