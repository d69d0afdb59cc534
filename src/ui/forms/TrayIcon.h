#pragma once
// The program's icon in the notification area: adding and removing it with the Tray
// setting, its tool tip, bringing it back after the task bar was re-created, and the mouse
// events on it (double click restores or minimises; the right button opens the menu of the
// dial-up entries and the window).
#include <cstdint>
#include <memory>
#include <string>

#include "platform/Menus.h"
#include "platform/NotifyArea.h"

namespace tarvelin {

inline constexpr uint32_t kTrayIconId = 1;
// Mouse events on the icon arrive at the tray window as mouse moves whose x coordinate
// carries the mouse message.
inline constexpr uint32_t kTrayCallbackMessage = 512;  // WM_MOUSEMOVE
inline constexpr uint32_t kTrayIconResource = 1;       // the program's icon
inline constexpr int32_t kTrayDoubleClick = 515;       // WM_LBUTTONDBLCLK
inline constexpr int32_t kTrayRightButtonUp = 517;     // WM_RBUTTONUP

// What the icon needs of the main window.
class ITrayOwner {
  public:
    virtual ~ITrayOwner() = default;
    virtual bool IsMinimised() = 0;
    virtual bool IsVisible() = 0;
    virtual void ShowApplication(bool show) = 0;
    virtual void Minimise() = 0;
    // Unloads the main window; this may destroy the TrayIcon itself.
    virtual void Unload() = 0;
    // The hidden picture box that receives the icon's messages and owns the menu.
    virtual platform::WindowHandle TrayWindow() = 0;
};

class TrayIcon {
  public:
    TrayIcon(ITrayOwner& owner, platform::IMenus& menus, platform::INotifyArea& notifyArea);
    ~TrayIcon();  // removes the icon; asks nothing of the owner, which may be going too
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The tray mode is on: the icon is meant to be shown (TrayIconShown).
    bool TrayIconShown() const { return shown_; }
    // The icon really is in the notification area. Only then may minimising hide the
    // window, or nothing would be left to bring it back.
    bool IconPresent() const { return present_; }

    void SetTrayIcon(bool show);
    // Follows the Tray setting; switching it off while the window is hidden shows the window.
    void ApplyTrayMode();
    void OnTrayMouseMessage(int32_t message);
    // The periodic tool tip; the icon is added again when the system no longer knows it.
    void SetTip(const std::string& text);
    // Adds the icon again when it is meant to be shown (the task bar was re-created).
    void Recover();

  private:
    // Outlives the object when the owner unloads from inside an event of the icon.
    struct Guard {
        bool busy = false;
        bool alive = true;
    };

    void Add();
    bool IsHidden();
    void ShowOrMinimise();
    void OpenMenu();

    ITrayOwner& owner_;
    platform::IMenus& menus_;
    platform::INotifyArea& notifyArea_;
    std::shared_ptr<Guard> guard_ = std::make_shared<Guard>();
    bool shown_ = false;
    bool present_ = false;
    platform::WindowHandle window_ = 0;  // where the icon was added, for removing it later
    std::string tip_;
};

}  // namespace tarvelin
