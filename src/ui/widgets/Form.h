#pragma once
// A top-level window: a picture box with a caption, a window state, a shape and the
// window system's styles, which keeps the keyboard focus of its widgets and its timers.
#include <cstdint>
#include <memory>
#include <optional>

#include "core/Event.h"
#include "ui/widgets/PictureBox.h"

namespace tarvelin::ui {

enum class WindowState { Normal, Minimised };

// Extended styles the forms ask for (the system's WS_EX_ values).
enum WindowStyle : uint32_t {
    kStyleTopmost = 0x8,
    kStyleTransparent = 0x20,  // mouse input passes through
    kStyleToolWindow = 0x80,
    kStyleLayered = 0x80000,
    kStyleNoActivate = 0x8000000,  // shown and clicked without taking the keyboard
};

class Form final : public PictureBox {
  public:
    explicit Form(std::string name) : PictureBox(WidgetKind::Form, std::move(name)) {
        SetVisible(false);
    }

    WindowState State() const { return state_; }
    // Raises Resize when the state changes, as a minimise by the user does.
    void SetState(WindowState state);
    bool ShowInTaskbar() const { return showInTaskbar_; }
    void SetShowInTaskbar(bool show);
    uint32_t ExtendedStyle() const { return extendedStyle_; }
    void SetExtendedStyle(uint32_t style);
    // Opacity of a layered window, 0 to 255.
    uint8_t Opacity() const { return opacity_; }
    void SetOpacity(uint8_t opacity);
    // The colour a layered window shows as fully see-through, if any.
    std::optional<Color> ColorKey() const { return colorKey_; }
    void SetColorKey(std::optional<Color> key);
    // The hourglass over the whole window while a long task runs, above every widget's own
    // pointer.
    bool WaitPointer() const { return waitPointer_; }
    void SetWaitPointer(bool wait);
    // Brings the window to the front and gives it the keyboard (SetForegroundWindow).
    void BringToFront();
    // The window this one stays above and is minimised with (a dialog's owner), or null.
    Form* Owner() const;
    void SetOwner(Form* owner);

    // The widget with the keyboard focus, or null.
    Widget* Focused() const { return focused_.lock().get(); }
    // Moves the focus, raising LostFocus on the old widget and GotFocus on the new one;
    // nothing happens when it is already there.
    void MoveFocus(Widget* widget);
    // The next focusable widget after the focused one in tab order (Tab), wrapping round.
    Widget* NextInTabOrder(bool backwards) const;

    // Closes the window: QueryUnload may cancel; otherwise Unload is raised, the window is
    // hidden and Closed tells the owner it is gone. Returns whether it closed.
    bool Close();
    bool Closed() const { return closed_; }

    Event<bool&> QueryUnload;  // the argument is Cancel
    Event<> Unload;
    Event<> Resize;
    Event<> ClosedEvent;
    // The system's task bar was created again (after the shell restarted): icons in the
    // notification area are gone and must be added anew.
    Event<> ShellRestarted;

  private:
    WindowState state_ = WindowState::Normal;
    bool showInTaskbar_ = true;
    uint32_t extendedStyle_ = 0;
    uint8_t opacity_ = 255;
    std::optional<Color> colorKey_;
    std::weak_ptr<Widget> focused_;
    std::weak_ptr<Widget> owner_;
    bool closed_ = false;
    bool closing_ = false;
    bool waitPointer_ = false;
};

}  // namespace tarvelin::ui
