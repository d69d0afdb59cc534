#pragma once
// One popup menu of the program: created empty with the object, filled with AddItem and
// shown with TrackPopup; the system menu is destroyed with the object.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/Menus.h"

namespace tarvelin {

// "No window" for TrackPopup's owner and alignment arguments, and "the cursor's" for x, y.
inline constexpr platform::WindowHandle kMenuNoWindow = ~platform::WindowHandle{0};
inline constexpr int32_t kMenuAtCursor = -1;

struct MenuItemOptions {
    bool isDefault = false;
    bool checked = false;
    bool disabled = false;
    bool grayed = false;
    bool menuBarBreak = false;
};

class PCMenu {
  public:
    explicit PCMenu(platform::IMenus& menus);
    PCMenu(const PCMenu&) = delete;
    PCMenu& operator=(const PCMenu&) = delete;

    std::string Caption;  // the text under which this menu shows as another menu's submenu

    // The item "-" is a separator with that identifier.
    bool AddItem(uint32_t id, const std::string& item, MenuItemOptions options = {});
    // Appends submenu under its Caption. The outer menu keeps the submenu's system menu
    // alive for as long as it lives itself.
    bool AddItem(uint32_t id, const PCMenu& submenu, MenuItemOptions options = {});

    // Shows the menu modally and returns the chosen identifier, 0 when none. Owner
    // kMenuNoWindow or 0: the process's first top-level window; none at all: 0, nothing
    // shown. An alignment window puts the menu under it, at its left edge; otherwise it
    // opens at (x, y), either being kMenuAtCursor for the cursor's coordinate.
    uint32_t TrackPopup(platform::WindowHandle owner = kMenuNoWindow, int32_t x = kMenuAtCursor,
                        int32_t y = kMenuAtCursor,
                        platform::WindowHandle alignment = kMenuNoWindow);

  private:
    bool SetDefaultIf(bool isDefault, uint32_t id);
    platform::ScreenPoint Position(int32_t x, int32_t y, platform::WindowHandle alignment);

    platform::IMenus& menus_;
    std::shared_ptr<platform::IPopupMenu> menu_;  // null when the system had none to give
    std::vector<std::shared_ptr<platform::IPopupMenu>> submenus_;
};

}  // namespace tarvelin
