#include "ui/headless/HeadlessInput.h"

#include <algorithm>
#include <ranges>
#include <utility>

namespace tarvelin::ui {
namespace {

// Whether the system would deliver input to the widget now.
bool Accepts(Widget& widget) {
    const Form* form = widget.OwnerForm();
    return form && !form->Closed() && form->State() != WindowState::Minimised && widget.Shown() &&
           widget.Usable();
}

Point Relative(const Widget& widget, Point screen) {
    const Point origin = ScreenOriginOf(widget);
    return {screen.x - origin.x, screen.y - origin.y};
}

MouseArgs MouseAt(const Widget& widget, Point screen, int32_t button, int32_t shift) {
    const Point at = Relative(widget, screen);
    return {button, shift, at.x, at.y};
}

// Later children lie over earlier ones; a disabled child passes the point on to what lies
// beneath it, as the system's hit test skips disabled windows.
Widget* Topmost(Widget& parent, Point client) {
    for (const auto& child : parent.Children() | std::views::reverse) {
        const Point inner{client.x - child->Bounds().left, client.y - child->Bounds().top};
        if (!child->Visible() || !child->Enabled() || !child->Bounds().Contains(client) ||
            !InsideRegion(*child, inner))
            continue;
        return Topmost(*child, inner);
    }
    return &parent;
}

bool IsButton(const Widget& widget) {
    const WidgetKind kind = widget.Kind();
    return kind == WidgetKind::CommandButton || kind == WidgetKind::CheckBox ||
           kind == WidgetKind::OptionButton;
}

// What a click or a key does to the widget: a check box toggles and an option button sets
// itself (both raising Click through SetValue); the others that take clicks raise Click.
void Activate(Widget& widget) {
    switch (widget.Kind()) {
        case WidgetKind::CheckBox:
        case WidgetKind::OptionButton: {
            auto& check = static_cast<CheckBox&>(widget);
            check.SetValue(widget.Kind() == WidgetKind::OptionButton || !check.Value());
            return;
        }
        case WidgetKind::CommandButton:
        case WidgetKind::Form:
        case WidgetKind::PictureBox:
        case WidgetKind::Label:
        case WidgetKind::Image:
            widget.Deliver([](Widget& w) { w.Click.Raise(); });
            return;
        default:
            return;  // lists, fields and scroll bars act on their own parts, not on a click
    }
}

// The widget keys go to: the focused one, or the form when none has the focus.
Widget* KeyTarget(Form& form) {
    if (!Accepts(form)) return nullptr;
    Widget* focused = form.Focused();
    if (!focused) return &form;
    return Accepts(*focused) ? focused : nullptr;
}

size_t Characters(const std::string& text) {
    return static_cast<size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

std::shared_ptr<Widget> Hold(Widget& widget) {
    return widget.weak_from_this().lock();
}

}  // namespace

Widget* HeadlessInput::HitTest(Form& form, Point screen) {
    if (!Accepts(form) || form.ExtendedStyle() & kStyleTransparent) return nullptr;
    const Point client = Relative(form, screen);
    if (!form.ClientRect().Contains(client) || !InsideRegion(form, client)) return nullptr;
    return Topmost(form, client);
}

// While a button is held the widget pressed takes everything; when it is gone, nothing does
// (a release must not click whatever now lies under the point).
Widget* HeadlessInput::MouseTarget(Form& form, Point screen) const {
    if (buttons_) return capture_.lock().get();
    return HitTest(form, screen);
}

void HeadlessInput::MoveMouse(Form& form, Point screen) {
    const auto keep = Hold(form);
    binding_.SetCursorPosition(screen);
    if (binding_.FollowDrag(screen)) return;
    Widget* target = MouseTarget(form, screen);
    if (!target || !Accepts(*target)) return;
    const MouseArgs args = MouseAt(*target, screen, buttons_, 0);
    target->Deliver([&args](Widget& w) { w.MouseMove.Raise(args); });
}

void HeadlessInput::MouseDown(Form& form, Point screen, int32_t button, int32_t shift) {
    Press(form, screen, button, shift, false);
}

// The focus moves before MouseDown is raised, as the system activates a control on the press
// before the control sees it; a focus handler may hide or close what was pressed.
void HeadlessInput::Press(Form& form, Point screen, int32_t button, int32_t shift, bool second) {
    const auto keep = Hold(form);
    binding_.SetCursorPosition(screen);
    Widget* pressed = MouseTarget(form, screen);
    if (!pressed || !Accepts(*pressed)) return;
    const auto target = Hold(*pressed);
    if (!buttons_) {
        capture_ = target;
        doubleClicked_ = second && !IsButton(*target);
    }
    buttons_ |= button;
    if (button == kButtonLeft && target->Kind() != WidgetKind::Form)
        target->OwnerForm()->MoveFocus(target.get());
    if (!Accepts(*target)) return;
    const MouseArgs args = MouseAt(*target, screen, button, shift);
    if (doubleClicked_)
        target->Deliver([](Widget& w) { w.DblClick.Raise(); });
    else
        target->Deliver([&args](Widget& w) { w.MouseDown.Raise(args); });
}

void HeadlessInput::MouseUp(Form& form, Point screen, int32_t button, int32_t shift) {
    const auto keep = Hold(form);
    binding_.SetCursorPosition(screen);
    Widget* released = MouseTarget(form, screen);
    const bool held = (buttons_ & button) != 0;
    const bool clicks = held && button == kButtonLeft && !doubleClicked_;
    buttons_ &= ~button;
    if (!buttons_) capture_.reset();
    if (binding_.EndDrag()) return;
    if (!released || !Accepts(*released)) return;
    const auto target = Hold(*released);
    const MouseArgs args = MouseAt(*target, screen, button, shift);
    target->Deliver([&args](Widget& w) { w.MouseUp.Raise(args); });
    if (clicks && target->ClientRect().Contains({args.x, args.y}) && Accepts(*target))
        Activate(*target);
}

void HeadlessInput::Click(Form& form, Point screen) {
    MouseDown(form, screen);
    MouseUp(form, screen);
}

void HeadlessInput::DoubleClick(Form& form, Point screen) {
    Click(form, screen);
    Press(form, screen, kButtonLeft, 0, true);
    MouseUp(form, screen);
    doubleClicked_ = false;
}

void HeadlessInput::Click(Widget& widget) {
    Form* form = widget.OwnerForm();
    if (!form) return;
    const Point origin = ScreenOriginOf(widget);
    Click(*form, {origin.x + widget.Width() / 2, origin.y + widget.Height() / 2});
}

void HeadlessInput::KeyDown(Form& form, int32_t key, int32_t shift) {
    const auto keep = Hold(form);
    Widget* focused = KeyTarget(form);
    if (!focused) return;
    if (key == kKeyTab) {
        if (Widget* next = form.NextInTabOrder((shift & kShiftMask) != 0)) form.MoveFocus(next);
        return;
    }
    const auto target = Hold(*focused);
    if (key == kKeyReturn && target->Kind() == WidgetKind::CommandButton) {
        Activate(*target);
        return;
    }
    const KeyArgs args{key, shift};
    target->Deliver([&args](Widget& w) { w.KeyDown.Raise(args); });
    if (key == kKeySpace && IsButton(*target)) spaceOn_ = target;
}

void HeadlessInput::KeyUp(Form& form, int32_t key, int32_t shift) {
    const auto keep = Hold(form);
    Widget* focused = KeyTarget(form);
    const auto spaceOn = key == kKeySpace ? std::exchange(spaceOn_, {}).lock() : nullptr;
    if (!focused) return;
    const auto target = Hold(*focused);
    const KeyArgs args{key, shift};
    target->Deliver([&args](Widget& w) { w.KeyUp.Raise(args); });
    if (spaceOn == target && Accepts(*target)) Activate(*target);
}

void HeadlessInput::Press(Form& form, int32_t key, int32_t shift) {
    KeyDown(form, key, shift);
    KeyUp(form, key, shift);
}

void HeadlessInput::Type(Form& form, const std::string& text) {
    const auto keep = Hold(form);
    for (size_t at = 0; at < text.size();) {
        size_t end = at + 1;
        while (end < text.size() && (text[end] & 0xC0) == 0x80) ++end;
        auto* box = dynamic_cast<TextBox*>(KeyTarget(form));
        if (!box) return;
        const std::string typed = box->Caption();
        if (box->MaxLength() > 0 && Characters(typed) >= static_cast<size_t>(box->MaxLength()))
            return;
        box->SetText(typed + text.substr(at, end - at));
        at = end;
    }
}

void HeadlessInput::Choose(ComboBox& combo, int32_t index) {
    if (!Accepts(combo) || index < 0 || index >= static_cast<int32_t>(combo.Items().size())) return;
    const auto keep = Hold(combo);
    combo.SetListIndex(index);
}

void HeadlessInput::ScrollTo(ScrollBar& bar, int32_t value) {
    if (!Accepts(bar)) return;
    const auto keep = Hold(bar);
    bar.SetValue(value);
    if (Accepts(bar)) bar.Deliver([](Widget& w) { w.Scroll.Raise(); });
}

void HeadlessInput::SetAddress(IpAddressBox& box, const IpAddressBox::Fields& fields) {
    if (!Accepts(box)) return;
    const auto keep = Hold(box);
    box.SetAddress(fields);
}

}  // namespace tarvelin::ui
