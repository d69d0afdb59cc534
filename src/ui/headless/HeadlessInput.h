#pragma once
// Scripted input for forms on the headless binding: the mouse at screen points, keys to the
// focused widget, typing, choices and scrolling, each raising the widgets' events through
// Widget::Deliver in the order the system raises them. Input to a hidden, disabled, minimised
// or closed form or widget is dropped, as the system never delivers it.
#include <cstdint>
#include <memory>
#include <string>

#include "ui/headless/HeadlessBinding.h"
#include "ui/widgets/Controls.h"

namespace tarvelin::ui {

// Shift states of mouse and key events (the system's values).
inline constexpr int32_t kShiftMask = 1;
inline constexpr int32_t kCtrlMask = 2;
inline constexpr int32_t kAltMask = 4;

class HeadlessInput {
  public:
    explicit HeadlessInput(HeadlessBinding& binding) : binding_(binding) {}

    // The mouse at a screen point over the form. A press captures the mouse: until every
    // button is up, moves and releases go to the widget pressed, in its coordinates, wherever
    // the point is. A left press moves the focus to a focusable widget; a left release over
    // the widget pressed clicks it (a check box toggles, an option button sets itself).
    // Every call leaves the virtual cursor at the point.
    void MoveMouse(Form& form, Point screen);
    void MouseDown(Form& form, Point screen, int32_t button = kButtonLeft, int32_t shift = 0);
    void MouseUp(Form& form, Point screen, int32_t button = kButtonLeft, int32_t shift = 0);
    void Click(Form& form, Point screen);
    // A click, then a second press raising DblClick instead of MouseDown (buttons, check
    // boxes and option buttons take it as a second click).
    void DoubleClick(Form& form, Point screen);
    // A click at the centre of the widget, on whatever is topmost there.
    void Click(Widget& widget);

    // Keys to the focused widget (the form itself when none has the focus). Tab and
    // Shift+Tab move the focus in tab order; Space released on a button, check box or option
    // button clicks it; Return on a command button clicks it.
    void KeyDown(Form& form, int32_t key, int32_t shift = 0);
    void KeyUp(Form& form, int32_t key, int32_t shift = 0);
    void Press(Form& form, int32_t key, int32_t shift = 0);
    // Types UTF-8 text, a character at a time, into the focused text box, up to its
    // MaxLength; each character raises Change.
    void Type(Form& form, const std::string& text);

    // The user's choices on single controls: an item of the list, a scroll position (Change
    // then Scroll), an address.
    void Choose(ComboBox& combo, int32_t index);
    void ScrollTo(ScrollBar& bar, int32_t value);
    void SetAddress(IpAddressBox& box, const IpAddressBox::Fields& fields);

    // The topmost visible, enabled widget of the form under the screen point: later children
    // over earlier ones, labels and images included; null outside the form's region.
    static Widget* HitTest(Form& form, Point screen);
    // The widget holding the mouse capture, or null.
    Widget* Captured() const { return capture_.lock().get(); }

  private:
    void Press(Form& form, Point screen, int32_t button, int32_t shift, bool second);
    Widget* MouseTarget(Form& form, Point screen) const;

    HeadlessBinding& binding_;
    std::weak_ptr<Widget> capture_;
    int32_t buttons_ = 0;            // the buttons held down
    bool doubleClicked_ = false;     // the press held is a double click's second press
    std::weak_ptr<Widget> spaceOn_;  // the button Space went down on
};

}  // namespace tarvelin::ui
