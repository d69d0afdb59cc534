#include "platform/win32/Win32Menus.h"

#include <windows.h>

#include "platform/win32/WideText.h"

namespace tarvelin::platform {
namespace {

HWND ToWindow(WindowHandle window) {
    return reinterpret_cast<HWND>(window);
}

class Win32PopupMenu : public IPopupMenu {
  public:
    explicit Win32PopupMenu(HMENU menu) : menu_(menu) {}
    // DestroyMenu destroys submenus too; they belong to their own objects, so they are
    // detached first and each handle is destroyed exactly once.
    ~Win32PopupMenu() override {
        for (int item = GetMenuItemCount(menu_) - 1; item >= 0; --item) {
            if (GetSubMenu(menu_, item)) RemoveMenu(menu_, item, MF_BYPOSITION);
        }
        DestroyMenu(menu_);
    }
    Win32PopupMenu(const Win32PopupMenu&) = delete;
    Win32PopupMenu& operator=(const Win32PopupMenu&) = delete;

    bool AddItem(uint32_t id, const std::string& text, uint32_t flags) override {
        return AppendMenuW(menu_, MF_STRING | flags, id, Widen(text).c_str()) != FALSE;
    }
    bool AddSeparator(uint32_t id) override {
        return AppendMenuW(menu_, MF_SEPARATOR, id, nullptr) != FALSE;
    }
    bool AddSubmenu(IPopupMenu& menu, const std::string& caption, uint32_t flags) override {
        const auto submenu = reinterpret_cast<UINT_PTR>(static_cast<Win32PopupMenu&>(menu).menu_);
        return AppendMenuW(menu_, MF_POPUP | flags, submenu, Widen(caption).c_str()) != FALSE;
    }
    bool SetDefault(uint32_t id) override { return SetMenuDefaultItem(menu_, id, FALSE) != FALSE; }

    HMENU Handle() const { return menu_; }

  private:
    HMENU menu_;
};

BOOL CALLBACK FindProcessWindow(HWND window, LPARAM found) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

}  // namespace

std::unique_ptr<IPopupMenu> Win32Menus::CreatePopup() {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    return std::make_unique<Win32PopupMenu>(menu);
}

uintptr_t Win32MenuHandle(const IPopupMenu& menu) {
    return reinterpret_cast<uintptr_t>(static_cast<const Win32PopupMenu&>(menu).Handle());
}

uint32_t Win32Menus::Track(IPopupMenu& menu, WindowHandle owner, int32_t x, int32_t y) {
    const auto handle = reinterpret_cast<HMENU>(Win32MenuHandle(menu));
    const BOOL chosen = TrackPopupMenu(handle, TPM_RETURNCMD, x, y, 0, ToWindow(owner), nullptr);
    return chosen > 0 ? static_cast<uint32_t>(chosen) : 0;
}

ScreenPoint Win32Menus::CursorPosition() {
    POINT at{};
    if (!GetCursorPos(&at)) return {};
    return {at.x, at.y};
}

WindowHandle Win32Menus::FirstProcessWindow() {
    HWND found = nullptr;
    EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&found));
    return reinterpret_cast<WindowHandle>(found);
}

bool Win32Menus::WindowRect(WindowHandle window, ScreenRect& rect) {
    RECT r{};
    if (!GetWindowRect(ToWindow(window), &r)) return false;
    rect = {r.left, r.top, r.right, r.bottom};
    return true;
}

bool Win32Menus::SetForeground(WindowHandle window) {
    return SetForegroundWindow(ToWindow(window)) != FALSE;
}

}  // namespace tarvelin::platform
