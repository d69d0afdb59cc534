#pragma once
// Popup menus over the system's menu functions (wide texts).
#include "platform/Menus.h"

namespace tarvelin::platform {

class Win32Menus : public IMenus {
  public:
    std::unique_ptr<IPopupMenu> CreatePopup() override;
    uint32_t Track(IPopupMenu& menu, WindowHandle owner, int32_t x, int32_t y) override;
    ScreenPoint CursorPosition() override;
    WindowHandle FirstProcessWindow() override;
    bool WindowRect(WindowHandle window, ScreenRect& rect) override;
    bool SetForeground(WindowHandle window) override;
};

// The system menu handle (HMENU) of a menu this adapter created.
uintptr_t Win32MenuHandle(const IPopupMenu& menu);

}  // namespace tarvelin::platform
