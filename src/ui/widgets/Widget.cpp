#include "ui/widgets/Widget.h"

#include "ui/widgets/Form.h"

namespace tarvelin::ui {

Widget::Widget(WidgetKind kind, std::string name) : kind_(kind), name_(std::move(name)) {}

Widget::~Widget() = default;

Form* Widget::OwnerForm() {
    Widget* top = this;
    while (top->parent_) top = top->parent_;
    return top->kind_ == WidgetKind::Form ? static_cast<Form*>(top) : nullptr;
}

void Widget::AddChild(std::shared_ptr<Widget> child) {
    child->parent_ = this;
    children_.push_back(std::move(child));
}

Widget* Widget::Find(const std::string& name) const {
    for (const auto& child : children_) {
        if (child->name_ == name) return child.get();
        if (Widget* found = child->Find(name)) return found;
    }
    return nullptr;
}

void Widget::Notify(WidgetChange what) {
    if (peer_) peer_->Changed(*this, what);
}

void Widget::SetBounds(const Rect& bounds) {
    if (bounds == bounds_) return;
    bounds_ = bounds;
    Notify(WidgetChange::Bounds);
}

void Widget::Move(int32_t left, int32_t top) {
    SetBounds({left, top, left + bounds_.Width(), top + bounds_.Height()});
}

void Widget::SetVisible(bool visible) {
    if (visible == visible_) return;
    visible_ = visible;
    if (!visible) DropFocusWithin();
    Notify(WidgetChange::Visible);
}

// A widget hidden or disabled with the focus, or with the focus on a widget inside it, gives
// it up, as the system's windows do: keys must not go on to a control nobody can see or use.
// The widget stays alive for the LostFocus handlers, whatever they release.
void Widget::DropFocusWithin() {
    Form* form = OwnerForm();
    if (!form || form == this) return;
    const auto self = weak_from_this().lock();
    for (const Widget* w = form->Focused(); w; w = w->parent_) {
        if (w == this) {
            form->MoveFocus(nullptr);
            return;
        }
    }
}

bool Widget::Shown() const {
    for (const Widget* w = this; w; w = w->parent_)
        if (!w->visible_) return false;
    return true;
}

void Widget::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    enabled_ = enabled;
    if (!enabled) DropFocusWithin();
    Notify(WidgetChange::Enabled);
}

bool Widget::Usable() const {
    for (const Widget* w = this; w; w = w->parent_)
        if (!w->enabled_) return false;
    return true;
}

void Widget::SetCaption(const std::string& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    Notify(WidgetChange::Caption);
}

void Widget::SetFont(const Font& font) {
    if (font == font_) return;
    font_ = font;
    Notify(WidgetChange::Font);
}

void Widget::SetForeColor(Color color) {
    if (color == foreColor_) return;
    foreColor_ = color;
    Notify(WidgetChange::Colors);
}

void Widget::SetBackColor(Color color) {
    if (color == backColor_) return;
    backColor_ = color;
    Notify(WidgetChange::Colors);
}

void Widget::SetToolTip(const std::string& text) {
    if (text == toolTip_) return;
    toolTip_ = text;
    Notify(WidgetChange::ToolTip);
}

void Widget::SetPointer(MousePointer pointer) {
    if (pointer == pointer_) return;
    pointer_ = pointer;
    Notify(WidgetChange::Pointer);
}

bool Widget::HasFocus() const {
    const Form* form = const_cast<Widget*>(this)->OwnerForm();
    return form && form->Focused() == this;
}

void Widget::SetFocus() {
    if (Form* form = OwnerForm()) form->MoveFocus(this);
}

Point Widget::ClientToScreen(Point client) const {
    const Point origin = peer_ ? peer_->ScreenOrigin(*this) : Point{};
    return {origin.x + client.x, origin.y + client.y};
}

Point Widget::ScreenToClient(Point screen) const {
    const Point origin = peer_ ? peer_->ScreenOrigin(*this) : Point{};
    return {screen.x - origin.x, screen.y - origin.y};
}

void Widget::Refresh() {
    if (peer_) peer_->Refresh(*this);
}

}  // namespace tarvelin::ui
