#include "ui/widgets/Form.h"

#include <algorithm>

namespace tarvelin::ui {
namespace {

// Whether the widget can take the keyboard: a control of the form, itself and every parent
// below the form visible and enabled (labels and images never take it).
bool Focusable(const Form& form, const Widget& widget) {
    const WidgetKind kind = widget.Kind();
    if (kind == WidgetKind::Form || kind == WidgetKind::Label || kind == WidgetKind::Image)
        return false;
    for (const Widget* w = &widget; w != &form; w = w->Parent()) {
        if (!w || !w->Visible() || !w->Enabled()) return false;
    }
    return true;
}

void CollectFocusable(const Form& form, const Widget& parent, std::vector<Widget*>& out) {
    for (const auto& child : parent.Children()) {
        if (Focusable(form, *child)) out.push_back(child.get());
        CollectFocusable(form, *child, out);
    }
}

}  // namespace

void Form::SetState(WindowState state) {
    if (state == state_) return;
    state_ = state;
    Notify(WidgetChange::Window);
    Deliver([](Widget& w) { static_cast<Form&>(w).Resize.Raise(); });
}

void Form::SetShowInTaskbar(bool show) {
    if (show == showInTaskbar_) return;
    showInTaskbar_ = show;
    Notify(WidgetChange::Window);
}

void Form::SetExtendedStyle(uint32_t style) {
    if (style == extendedStyle_) return;
    extendedStyle_ = style;
    Notify(WidgetChange::Window);
}

void Form::SetOpacity(uint8_t opacity) {
    if (opacity == opacity_) return;
    opacity_ = opacity;
    Notify(WidgetChange::Window);
}

void Form::SetWaitPointer(bool wait) {
    if (wait == waitPointer_) return;
    waitPointer_ = wait;
    Notify(WidgetChange::Pointer);
}

void Form::SetColorKey(std::optional<Color> key) {
    if (key == colorKey_) return;
    colorKey_ = key;
    Notify(WidgetChange::Window);
}

void Form::BringToFront() {
    Notify(WidgetChange::Window);
}

Form* Form::Owner() const {
    return static_cast<Form*>(owner_.lock().get());
}

void Form::SetOwner(Form* owner) {
    if (owner == Owner()) return;
    owner_ = owner ? owner->weak_from_this() : std::weak_ptr<Widget>();
    Notify(WidgetChange::Window);
}

// The new widget is recorded before the events, so that a handler asking who has the focus
// gets the answer the system would give. A widget that cannot take the keyboard (hidden,
// disabled, on another form) is refused, as the system refuses it, rather than left holding
// keys nobody sees. The form stays alive for the handlers, whatever they release.
void Form::MoveFocus(Widget* widget) {
    const std::shared_ptr<Widget> old = focused_.lock();
    if (old.get() == widget) return;
    if (widget && widget != this && !Focusable(*this, *widget)) return;
    const auto self = weak_from_this().lock();
    const std::shared_ptr<Widget> next = widget ? widget->weak_from_this().lock() : nullptr;
    focused_ = next;
    if (old) {
        old->Deliver([](Widget& w) { w.LostFocus.Raise(); });
    }
    if (next && focused_.lock() == next) {
        next->Notify(WidgetChange::Focus);
        next->Deliver([](Widget& w) { w.GotFocus.Raise(); });
    }
}

Widget* Form::NextInTabOrder(bool backwards) const {
    std::vector<Widget*> order;
    CollectFocusable(*this, *this, order);
    if (order.empty()) return nullptr;
    std::stable_sort(order.begin(), order.end(),
                     [](Widget* a, Widget* b) { return a->TabIndex() < b->TabIndex(); });
    const auto at = std::find(order.begin(), order.end(), Focused());
    if (at == order.end()) return backwards ? order.back() : order.front();
    const auto index = at - order.begin();
    const auto count = static_cast<ptrdiff_t>(order.size());
    return order[static_cast<size_t>((index + (backwards ? count - 1 : 1)) % count)];
}

// A close asked for from inside a QueryUnload or Unload handler is the one already running
// (not a second round of the events, nor an endless recursion).
bool Form::Close() {
    if (closed_ || closing_) return closed_;
    const auto self = weak_from_this().lock();
    bool cancel = false;
    closing_ = true;
    QueryUnload.Raise(cancel);
    if (cancel) {
        closing_ = false;
        return false;
    }
    Unload.Raise();
    closed_ = true;
    closing_ = false;
    MoveFocus(nullptr);
    SetVisible(false);
    ClosedEvent.Raise();
    return true;
}

}  // namespace tarvelin::ui
