#include "ui/forms/TrayIcon.h"

#include <algorithm>
#include <vector>

#include "core/AppSetting.h"
#include "core/modTypes.h"
#include "dialup/modAppRAS.h"
#include "ui/controls/PCMenu.h"

namespace tarvelin {
namespace {

constexpr char kProductTip[] = "Tarvelin";
constexpr char kRestore[] = "Восстановить приложение";
constexpr char kMinimise[] = "Свернуть приложение";
constexpr char kExit[] = "Выйти";

// The phone book's entries with the active connection of each (0: none).
struct EntryLine {
    std::string name;
    platform::RasHandle connection = 0;
};

std::vector<EntryLine> EntryLines() {
    std::vector<std::string> entries;
    std::vector<RasConnInfo> connections;
    GetRasConnections(connections);
    GetRasEntries(entries);
    std::vector<EntryLine> lines;
    for (const std::string& name : entries) {
        const auto active =
            std::find_if(connections.begin(), connections.end(),
                         [&](const RasConnInfo& c) { return EqualsNoCase(c.EntryName, name); });
        lines.push_back({name, active == connections.end() ? 0 : active->hRasConn});
    }
    return lines;
}

}  // namespace

TrayIcon::TrayIcon(ITrayOwner& owner, platform::IMenus& menus, platform::INotifyArea& notifyArea)
    : owner_(owner), menus_(menus), notifyArea_(notifyArea) {}

TrayIcon::~TrayIcon() {
    guard_->alive = false;
    SetTrayIcon(false);
}

void TrayIcon::SetTrayIcon(bool show) {
    shown_ = show;
    if (show) {
        tip_ = kProductTip;
        Add();
    } else if (present_) {
        notifyArea_.Remove(window_, kTrayIconId);
        present_ = false;
    }
}

void TrayIcon::ApplyTrayMode() {
    const bool tray = SettingLoadBool(AppSetting::Tray);
    if (tray == shown_) return;
    if (!tray && IsHidden()) owner_.ShowApplication(true);
    SetTrayIcon(tray);
}

void TrayIcon::SetTip(const std::string& text) {
    if (!shown_) return;
    tip_ = text;
    if (present_ && notifyArea_.ModifyTip(window_, kTrayIconId, tip_)) return;
    Recover();
}

void TrayIcon::Recover() {
    if (!shown_) return;
    notifyArea_.Remove(window_, kTrayIconId);
    Add();
}

void TrayIcon::Add() {
    window_ = owner_.TrayWindow();
    present_ = notifyArea_.Add(window_, kTrayIconId, kTrayCallbackMessage, kTrayIconResource, tip_);
}

void TrayIcon::OnTrayMouseMessage(int32_t message) {
    const std::shared_ptr<Guard> guard = guard_;
    if (guard->busy) return;
    guard->busy = true;
    if (message == kTrayDoubleClick) ShowOrMinimise();
    if (message == kTrayRightButtonUp) OpenMenu();
    guard->busy = false;  // the guard, not this object: the owner may have unloaded by now
}

bool TrayIcon::IsHidden() {
    return owner_.IsMinimised() || !owner_.IsVisible();
}

void TrayIcon::ShowOrMinimise() {
    if (IsHidden()) {
        owner_.ShowApplication(true);
    } else {
        owner_.Minimise();
    }
}

void TrayIcon::OpenMenu() {
    const std::vector<EntryLine> lines = EntryLines();
    auto n = static_cast<uint32_t>(lines.size());
    const bool hidden = IsHidden();
    const platform::WindowHandle window = owner_.TrayWindow();
    uint32_t chosen = 0;
    {
        PCMenu menu(menus_);
        for (uint32_t i = 0; i < n; ++i) {
            menu.AddItem(i + 1, lines[i].name, {.checked = lines[i].connection != 0});
        }
        if (n > 0) menu.AddItem(++n, "-");
        menu.AddItem(n + 1, hidden ? kRestore : kMinimise, {.isDefault = true});
        menu.AddItem(n + 2, kExit);
        // The owner must be in the foreground for the menu to close on a click elsewhere.
        menus_.SetForeground(window);
        const std::shared_ptr<Guard> guard = guard_;
        chosen = menu.TrackPopup(window, kMenuAtCursor, kMenuAtCursor);
        if (!guard->alive) return;  // the window was unloaded while the menu was open
    }
    if (chosen >= 1 && chosen <= lines.size()) {
        const EntryLine& line = lines[chosen - 1];
        if (line.connection != 0) {
            HangUpConnection(line.connection);
        } else {
            DialEntry(line.name, 0);
        }
    } else if (chosen == n + 1) {
        ShowOrMinimise();
    } else if (chosen == n + 2) {
        owner_.Unload();  // may destroy this object: nothing after it
    }
}

}  // namespace tarvelin
