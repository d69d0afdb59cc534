#include "ui/widgets/Form.h"

#include <algorithm>

namespace tarvelin::ui {
namespace {

void CollectFocusable(const Widget& parent, std::vector<Widget*>& out) {
    for (const auto& child : parent.Children()) {
        const WidgetKind kind = child->Kind();
        if (kind != WidgetKind::Label && kind != WidgetKind::Image && child->Shown() &&
            child->Usable())
            out.push_back(child.get());
        CollectFocusable(*child, out);
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

void Form::BringToFront() {
    Notify(WidgetChange::Window);
}

// The new widget is recorded before the events, so that a handler asking who has the focus
// gets the answer the system would give.
void Form::MoveFocus(Widget* widget) {
    const std::shared_ptr<Widget> old = focused_.lock();
    if (old.get() == widget) return;
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
    CollectFocusable(*this, order);
    if (order.empty()) return nullptr;
    std::stable_sort(order.begin(), order.end(),
                     [](Widget* a, Widget* b) { return a->TabIndex() < b->TabIndex(); });
    const auto at = std::find(order.begin(), order.end(), Focused());
    if (at == order.end()) return backwards ? order.back() : order.front();
    const auto index = at - order.begin();
    const auto count = static_cast<ptrdiff_t>(order.size());
    return order[static_cast<size_t>((index + (backwards ? count - 1 : 1)) % count)];
}

// A close asked for from inside an Unload handler is the one already running.
bool Form::Close() {
    if (closed_ || closing_) return closed_;
    const auto self = weak_from_this().lock();
    bool cancel = false;
    QueryUnload.Raise(cancel);
    if (cancel || closed_) return closed_;
    closing_ = true;
    Unload.Raise();
    closed_ = true;
    closing_ = false;
    MoveFocus(nullptr);
    SetVisible(false);
    ClosedEvent.Raise();
    return true;
}

}  // namespace tarvelin::ui
