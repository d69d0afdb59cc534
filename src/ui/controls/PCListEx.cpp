#include "ui/controls/PCListEx.h"

namespace tarvelin::ui {
namespace {

constexpr Color kListBackground = 0xFFFFFF;

}  // namespace

void PCListEx::ControlInit(std::shared_ptr<PictureBox> box, std::shared_ptr<ScrollBar> scrollBar) {
    ControlRelease();
    if (!box || !scrollBar) return;
    box_ = std::move(box);
    bar_ = std::move(scrollBar);
    box_->SetBorder(false);
    box_->SetBackColor(kListBackground);
    bar_->SetVisible(false);
    const std::weak_ptr<PCListEx> weak = weak_from_this();
    const auto bind = [&](auto& event, auto member) {
        connections_.push_back(event.Connect([weak, member](const auto&... args) {
            if (const auto self = weak.lock()) ((*self).*member)(args...);
        }));
    };
    bind(box_->MouseDown, &PCListEx::OnMouseDown);
    bind(box_->MouseMove, &PCListEx::OnMouseMove);
    bind(box_->MouseUp, &PCListEx::OnMouseUp);
    bind(box_->KeyDown, &PCListEx::OnKeyDown);
    bind(bar_->Change, &PCListEx::OnScroll);
    bind(bar_->Scroll, &PCListEx::OnScroll);
    connections_.push_back(box_->GotFocus.Connect([weak] {
        if (const auto self = weak.lock()) self->OnFocus(true);
    }));
    connections_.push_back(box_->LostFocus.Connect([weak] {
        if (const auto self = weak.lock()) self->OnFocus(false);
    }));
    Repaint();
}

void PCListEx::ControlRefresh() {
    Repaint();
}

void PCListEx::ControlRelease() {
    tracker_.Stop();
    connections_.clear();
    box_.reset();
    bar_.reset();
}

int32_t PCListEx::ItemAdd(const std::string& text1, const std::string& text2,
                          const std::string& text3, int32_t number1, int32_t number2) {
    items_.push_back({text1, text2, text3, number1, number2, {}, false});
    return ItemsCount();
}

bool PCListEx::ItemInfoGetByIndex(int32_t position, ListItem& item) const {
    if (position < 1 || position > ItemsCount()) return false;
    item = items_[static_cast<size_t>(position - 1)];
    return true;
}

bool PCListEx::ItemInfoSetByIndex(int32_t position, const std::string& text1,
                                  const std::string& text2, const std::string& text3,
                                  int32_t number1, int32_t number2) {
    if (position < 1 || position > ItemsCount()) return false;
    ListItem& item = items_[static_cast<size_t>(position - 1)];
    item.text1 = text1;
    item.text2 = text2;
    item.text3 = text3;
    item.number1 = number1;
    item.number2 = number2;
    return true;
}

// The later items move down one place with their fields, their painted places forgotten; a
// selection below keeps its number and so names the item that followed.
void PCListEx::ItemRemove(int32_t position) {
    const auto self = shared_from_this();
    if (position < 1 || position > ItemsCount()) return;
    items_.erase(items_.begin() + (position - 1));
    for (size_t i = static_cast<size_t>(position - 1); i < items_.size(); ++i) {
        items_[i].rect = {};
        items_[i].fullyVisible = false;
    }
    if (hover_ > ItemsCount()) hover_ = 0;
    if (position == selected_) {
        selected_ = 0;
        ShowSelection();
    } else if (selected_ > ItemsCount()) {
        selected_ = ItemsCount();
    }
}

void PCListEx::ItemsClear() {
    items_.clear();
    first_ = 1;
    selected_ = hover_ = 0;
    if (!bar_) return;
    painting_ = true;  // the scroll bar's change must not repaint
    bar_->SetValue(1);
    painting_ = false;
}

int32_t PCListEx::ImageAdd(const platform::IImage* image) {
    images_.push_back(image);
    return static_cast<int32_t>(images_.size());
}

void PCListEx::SetItemSelected(int32_t position) {
    const auto self = shared_from_this();
    if (position < 0 || position > ItemsCount() || position == selected_) return;
    Select(position);
}

void PCListEx::Select(int32_t position) {
    selected_ = position;
    Repaint();
    ShowSelection();
}

// The painter places the scroll bar in the box's coordinates; the bar is the box's sibling.
void PCListEx::ApplyScrollBar(const ListScrollBar& scroll) {
    const Rect& box = box_->Bounds();
    if (scroll.visible) {
        bar_->SetBounds({box.left + scroll.rect.left, box.top + scroll.rect.top,
                         box.left + scroll.rect.right, box.top + scroll.rect.bottom});
        bar_->SetRange(scroll.min, scroll.max, scroll.smallChange, scroll.largeChange);
        bar_->SetValue(scroll.value);
    }
    bar_->SetVisible(scroll.visible);
}

void PCListEx::Repaint() {
    if (painting_ || !box_ || !bar_) return;
    painting_ = true;
    if (tracker_.Tracking()) {
        const Point at = box_->ScreenToClient(binding_.CursorPosition());
        hover_ = HitTest(at.x, at.y);
    }
    box_->Clear();
    ListScrollBar scroll;
    scroll.visible = bar_->Visible();
    scroll.value = first_;
    PaintList(box_->Canvas(), box_->ClientRect(), box_->GetFont(), scroll, first_, selected_,
              hover_, items_, images_);
    ApplyScrollBar(scroll);
    box_->Refresh();
    painting_ = false;
}

int32_t PCListEx::HitTest(int32_t x, int32_t y) const {
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].rect.Contains({x, y})) return static_cast<int32_t>(i) + 1;
    return 0;
}

void PCListEx::ShowSelection() {
    if (selected_ > 0 && selected_ <= ItemsCount() && bar_ && bar_->Visible()) {
        if (selected_ == 1)
            bar_->SetValue(1);
        else if (!Whole(selected_))
            ScrollInto(selected_);
    }
    ChangeSelection.Raise(selected_);
}

bool PCListEx::Whole(int32_t position) const {
    return items_[static_cast<size_t>(position - 1)].fullyVisible;
}

// Leaves the list where scrolling one step at a time would: an item above comes to the top,
// an item below to the bottom. It jumps to the item and, for one below, steps back while the
// item stays whole, so that a long list costs a page of repaints rather than one per item.
// An item taller than the list is never whole: it is shown from its top.
void PCListEx::ScrollInto(int32_t position) {
    const bool below = position > first_;
    bar_->SetValue(position);
    while (below && bar_ && bar_->Visible() && Whole(position) && bar_->Value() > bar_->Min()) {
        bar_->SetValue(bar_->Value() - 1);
        if (bar_ && !Whole(position)) {
            bar_->SetValue(bar_->Value() + 1);
            break;
        }
    }
}

// A click gives the list the keyboard focus, so that the keys move its selection next.
void PCListEx::OnMouseDown(const MouseArgs& args) {
    if (args.button != kButtonLeft) return;
    const auto self = shared_from_this();  // the focus events may drop the list
    mousePressed_ = true;
    if (box_ && !box_->HasFocus()) box_->SetFocus();
}

void PCListEx::OnMouseUp(const MouseArgs& args) {
    const auto self = shared_from_this();
    if (args.button != kButtonLeft) return;
    const int32_t hit = HitTest(args.x, args.y);
    mousePressed_ = false;
    if (hit != selected_) Select(hit);
}

void PCListEx::OnMouseMove(const MouseArgs& args) {
    const auto self = shared_from_this();
    const int32_t hit = HitTest(args.x, args.y);
    if (hit != hover_) {
        hover_ = hit;
        Repaint();
    }
    if (!tracker_.Tracking() && box_ && box_->ClientRect().Contains({args.x, args.y})) {
        const std::weak_ptr<PCListEx> weak = weak_from_this();
        tracker_.Start([weak] {
            if (const auto list = weak.lock()) list->OnHoverTick();
        });
    }
}

// Page Up and Page Down move by one item, as Up and Down do.
void PCListEx::OnKeyDown(const KeyArgs& args) {
    const auto self = shared_from_this();
    const int32_t count = ItemsCount();
    if (count == 0) return;
    int32_t next = selected_;
    switch (args.keyCode) {
        case kKeyHome:
            if (selected_ > 1) next = 1;
            break;
        case kKeyUp:
        case kKeyPageUp:
            if (selected_ >= 2) next = selected_ - 1;
            break;
        case kKeyDown:
        case kKeyPageDown:
            if (selected_ < count) next = selected_ + 1;
            break;
        case kKeyEnd:
            if (selected_ < count) next = count;
            break;
        default:
            return;
    }
    if (next != selected_) Select(next);
}

void PCListEx::OnFocus(bool focus) {
    focus_ = focus;
    Repaint();
}

void PCListEx::OnScroll() {
    const auto self = shared_from_this();
    if (!bar_) return;
    first_ = bar_->Value();
    Repaint();
}

void PCListEx::OnHoverTick() {
    if (!tracker_.Tracking() || !box_) {
        tracker_.Stop();
        return;
    }
    if (CursorInside()) return;
    tracker_.Stop();
    hover_ = 0;
    Repaint();
}

bool PCListEx::CursorInside() const {
    const Point at = box_->ScreenToClient(binding_.CursorPosition());
    return box_->ClientRect().Contains(at);
}

}  // namespace tarvelin::ui
