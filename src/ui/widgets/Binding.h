#pragma once
// A binding of the widget model to a window system: real windows on Windows, state in
// memory in the headless binding. Presenters get one and never know which it is.
#include <cstdint>

#include "platform/MessageBox.h"

#include "ui/widgets/Form.h"
#include "ui/widgets/Surface.h"

namespace tarvelin::ui {

class IBinding : public ISurfaceFactory {
  public:
    // Gives the form and every widget below it their peers (for a real binding: creates the
    // windows, hidden until the form is shown).
    virtual void Attach(Form& form) = 0;
    // The mouse cursor on the screen.
    virtual Point CursorPosition() const = 0;
    // The screen's size, and the part of it not taken by the task bar.
    virtual Rect ScreenRect() const = 0;
    virtual Rect WorkArea() const = 0;
    // Twips per pixel of the screen: 15 at 96 dots per inch.
    virtual int32_t TwipsPerPixel() const = 0;
    // Lets the user move the form with the mouse from the press that is going on, as a press
    // on a caption does (the system's non-client press with HTCAPTION).
    virtual void DragWindow(Form& form) = 0;
    // The window system's handle of the widget's window, for the system services that take an
    // owner or a window to notify (message boxes, menus, the notification area); 0 for none.
    virtual platform::WindowHandle NativeWindow(const Widget& widget) const = 0;
};

}  // namespace tarvelin::ui
