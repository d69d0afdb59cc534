#include "ui/controls/PCMenu.h"

namespace tarvelin {
namespace {

constexpr char kSeparator[] = "-";

uint32_t ItemFlags(const MenuItemOptions& options) {
    return (options.checked ? platform::kMenuChecked : 0u) |
           (options.disabled ? platform::kMenuDisabled : 0u) |
           (options.grayed ? platform::kMenuGrayed : 0u) |
           (options.menuBarBreak ? platform::kMenuBarBreak : 0u);
}

}  // namespace

PCMenu::PCMenu(platform::IMenus& menus) : menus_(menus), menu_(menus.CreatePopup()) {}

bool PCMenu::AddItem(uint32_t id, const std::string& item, MenuItemOptions options) {
    if (!menu_) return false;
    const bool added =
        item == kSeparator ? menu_->AddSeparator(id) : menu_->AddItem(id, item, ItemFlags(options));
    return added && SetDefaultIf(options.isDefault, id);
}

bool PCMenu::AddItem(uint32_t id, const PCMenu& submenu, MenuItemOptions options) {
    if (!menu_ || !submenu.menu_ || submenu.menu_ == menu_) return false;
    const uint32_t flags = options.menuBarBreak ? platform::kMenuBarBreak : 0u;
    if (!menu_->AddSubmenu(*submenu.menu_, submenu.Caption, flags)) return false;
    submenus_.push_back(submenu.menu_);
    return SetDefaultIf(options.isDefault, id);
}

uint32_t PCMenu::TrackPopup(platform::WindowHandle owner, int32_t x, int32_t y,
                            platform::WindowHandle alignment) {
    if (!menu_) return 0;
    if (owner == kMenuNoWindow || owner == 0) owner = menus_.FirstProcessWindow();
    if (owner == 0) return 0;
    const platform::ScreenPoint at = Position(x, y, alignment);
    // The menu object stays alive through the modal loop even if the caller's handlers,
    // run from inside it, drop this PCMenu.
    const std::shared_ptr<platform::IPopupMenu> shown = menu_;
    return menus_.Track(*shown, owner, at.x, at.y);
}

bool PCMenu::SetDefaultIf(bool isDefault, uint32_t id) {
    return !isDefault || menu_->SetDefault(id);
}

platform::ScreenPoint PCMenu::Position(int32_t x, int32_t y, platform::WindowHandle alignment) {
    platform::ScreenRect rect;
    if (alignment != kMenuNoWindow && menus_.WindowRect(alignment, rect)) {
        return {rect.left, rect.bottom};
    }
    if (x == kMenuAtCursor || y == kMenuAtCursor) {
        const platform::ScreenPoint cursor = menus_.CursorPosition();
        if (x == kMenuAtCursor) x = cursor.x;
        if (y == kMenuAtCursor) y = cursor.y;
    }
    return {x, y};
}

}  // namespace tarvelin
