#pragma once
// Popup menus of the window system, and the few window queries that placing one needs.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/MessageBox.h"

namespace tarvelin::platform {

// Item flags, with the system's values.
inline constexpr uint32_t kMenuGrayed = 1;     // MF_GRAYED
inline constexpr uint32_t kMenuDisabled = 2;   // MF_DISABLED
inline constexpr uint32_t kMenuChecked = 8;    // MF_CHECKED
inline constexpr uint32_t kMenuPopup = 16;     // MF_POPUP
inline constexpr uint32_t kMenuBarBreak = 32;  // MF_MENUBARBREAK

struct ScreenPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct ScreenRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// One empty popup menu, created with the object and destroyed with it. A menu appended to
// another as a submenu stays owned by its own object: destroying the outer menu leaves it.
class IPopupMenu {
  public:
    virtual ~IPopupMenu() = default;
    virtual bool AddItem(uint32_t id, const std::string& text, uint32_t flags) = 0;
    virtual bool AddSeparator(uint32_t id) = 0;
    // flags beyond kMenuPopup (which is always added): kMenuBarBreak.
    virtual bool AddSubmenu(IPopupMenu& menu, const std::string& caption, uint32_t flags) = 0;
    virtual bool SetDefault(uint32_t id) = 0;
};

class IMenus {
  public:
    virtual ~IMenus() = default;
    // Null when the system cannot create one.
    virtual std::unique_ptr<IPopupMenu> CreatePopup() = 0;
    // Shows the menu modally with its top-left corner at (x, y) in screen pixels; returns
    // the chosen identifier, 0 when the menu was closed without a choice.
    virtual uint32_t Track(IPopupMenu& menu, WindowHandle owner, int32_t x, int32_t y) = 0;
    virtual ScreenPoint CursorPosition() = 0;
    // The first top-level window in the system's order that belongs to this process; 0 if none.
    virtual WindowHandle FirstProcessWindow() = 0;
    virtual bool WindowRect(WindowHandle window, ScreenRect& rect) = 0;
    virtual bool SetForeground(WindowHandle window) = 0;
};

}  // namespace tarvelin::platform
