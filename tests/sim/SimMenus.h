#pragma once
// Simulated popup menus: every menu built is recorded (and stays recorded after its object
// is gone), and Track answers what the test chose, optionally running a test callback while
// the menu is "open" so that a test can re-enter the caller from inside the modal loop.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/Menus.h"

namespace tarvelin::sim {

struct SimMenu;

struct SimMenuItem {
    enum class Kind : uint8_t { Text, Separator, Submenu };
    uint32_t id = 0;
    std::string text;
    uint32_t flags = 0;
    Kind kind = Kind::Text;
    const SimMenu* submenu = nullptr;
};

struct SimMenu {
    std::vector<SimMenuItem> items;
    uint32_t defaultId = 0;  // 0: none
    bool destroyed = false;
};

struct SimTracked {
    const SimMenu* menu = nullptr;
    platform::WindowHandle owner = 0;
    int32_t x = 0, y = 0;
};

class SimMenus : public platform::IMenus {
  public:
    std::unique_ptr<platform::IPopupMenu> CreatePopup() override {
        if (failCreate) return nullptr;
        built.push_back(std::make_unique<SimMenu>());
        return std::make_unique<Popup>(*built.back());
    }
    uint32_t Track(platform::IPopupMenu& menu, platform::WindowHandle owner, int32_t x,
                   int32_t y) override {
        const SimMenu& shown = static_cast<Popup&>(menu).record;
        tracked.push_back({&shown, owner, x, y});
        return whileOpen ? whileOpen(shown) : choice;
    }
    platform::ScreenPoint CursorPosition() override { return cursor; }
    platform::WindowHandle FirstProcessWindow() override { return processWindow; }
    bool WindowRect(platform::WindowHandle window, platform::ScreenRect& rect) override {
        const auto found = windows.find(window);
        if (found == windows.end()) return false;
        rect = found->second;
        return true;
    }
    bool SetForeground(platform::WindowHandle window) override {
        foreground.push_back(window);
        return true;
    }

    // --- Set by the test ------------------------------------------------------------------
    uint32_t choice = 0;                                // what Track answers
    std::function<uint32_t(const SimMenu&)> whileOpen;  // when set, runs in Track and answers
    bool failCreate = false;
    platform::ScreenPoint cursor;
    platform::WindowHandle processWindow = 0;
    std::map<platform::WindowHandle, platform::ScreenRect> windows;
    // --- Observed ---------------------------------------------------------------------------
    std::vector<std::unique_ptr<SimMenu>> built;  // in creation order
    std::vector<SimTracked> tracked;
    std::vector<platform::WindowHandle> foreground;

  private:
    struct Popup : platform::IPopupMenu {
        explicit Popup(SimMenu& menu) : record(menu) {}
        ~Popup() override { record.destroyed = true; }
        Popup(const Popup&) = delete;
        Popup& operator=(const Popup&) = delete;
        bool AddItem(uint32_t id, const std::string& text, uint32_t flags) override {
            return Add({id, text, flags, SimMenuItem::Kind::Text, nullptr});
        }
        bool AddSeparator(uint32_t id) override {
            return Add({id, "", 0, SimMenuItem::Kind::Separator, nullptr});
        }
        bool AddSubmenu(platform::IPopupMenu& menu, const std::string& caption,
                        uint32_t flags) override {
            const SimMenu* inner = &static_cast<Popup&>(menu).record;
            return Add(
                {0, caption, platform::kMenuPopup | flags, SimMenuItem::Kind::Submenu, inner});
        }
        bool SetDefault(uint32_t id) override {
            record.defaultId = id;
            return true;
        }
        bool Add(SimMenuItem item) {
            record.items.push_back(std::move(item));
            return true;
        }
        SimMenu& record;
    };
};

}  // namespace tarvelin::sim
