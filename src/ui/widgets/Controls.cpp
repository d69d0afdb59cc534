#include "ui/widgets/Controls.h"

#include <algorithm>

namespace tarvelin::ui {

void Label::SetAlignment(uint32_t alignment) {
    if (alignment == alignment_) return;
    alignment_ = alignment;
    Notify(WidgetChange::Caption);
}

void ImageBox::SetPictureId(uint16_t id) {
    if (id == pictureId_) return;
    pictureId_ = id;
    Notify(WidgetChange::Picture);
}

void CommandButton::SetFlat(bool flat) {
    if (flat == flat_) return;
    flat_ = flat;
    Notify(WidgetChange::Window);
}

std::vector<CheckBox*> CheckBox::GroupMembers() const {
    std::vector<CheckBox*> members;
    if (!Parent()) return members;
    for (const auto& sibling : Parent()->Children()) {
        auto* option = dynamic_cast<CheckBox*>(sibling.get());
        if (option && option->Kind() == WidgetKind::OptionButton && option->group_ == group_)
            members.push_back(option);
    }
    std::stable_sort(members.begin(), members.end(),
                     [](CheckBox* a, CheckBox* b) { return a->TabIndex() < b->TabIndex(); });
    return members;
}

// An option button set clears the others of its group first, so that at no moment two are
// set when Click runs.
void CheckBox::SetValue(bool value) {
    if (value == value_) return;
    if (value && Kind() == WidgetKind::OptionButton) {
        for (CheckBox* other : GroupMembers()) {
            if (other != this && other->value_) {
                other->value_ = false;
                other->Notify(WidgetChange::Value);
            }
        }
    }
    value_ = value;
    Notify(WidgetChange::Value);
    // An option button raises Click only when it becomes set.
    if (value || Kind() == WidgetKind::CheckBox) Deliver([](Widget& w) { w.Click.Raise(); });
}

int32_t ComboBox::AddItem(const std::string& text, int32_t data) {
    items_.push_back({text, data});
    Notify(WidgetChange::Value);
    return static_cast<int32_t>(items_.size()) - 1;
}

void ComboBox::SetItem(int32_t index, const std::string& text, int32_t data) {
    if (index < 0 || index >= static_cast<int32_t>(items_.size())) return;
    items_[static_cast<size_t>(index)] = {text, data};
    Notify(WidgetChange::Value);
}

void ComboBox::RemoveItem(int32_t index) {
    if (index < 0 || index >= static_cast<int32_t>(items_.size())) return;
    items_.erase(items_.begin() + index);
    if (index_ == index) index_ = -1;
    if (index_ > index) --index_;
    Notify(WidgetChange::Value);
}

void ComboBox::Clear() {
    items_.clear();
    index_ = -1;
    Notify(WidgetChange::Value);
}

void ComboBox::SetListIndex(int32_t index) {
    if (index < -1 || index >= static_cast<int32_t>(items_.size())) index = -1;
    if (index == index_) return;
    index_ = index;
    Notify(WidgetChange::Value);
    Deliver([](Widget& w) { w.Click.Raise(); });
}

std::string ComboBox::Text() const {
    return index_ >= 0 ? items_[static_cast<size_t>(index_)].text : std::string();
}

int32_t ComboBox::ItemData(int32_t index) const {
    if (index < 0 || index >= static_cast<int32_t>(items_.size())) return 0;
    return items_[static_cast<size_t>(index)].data;
}

void TextBox::SetText(const std::string& text) {
    if (text == Caption()) return;
    SetCaption(text);
    Deliver([](Widget& w) { w.Change.Raise(); });
}

void TextBox::SetPasswordChar(char32_t c) {
    if (c == passwordChar_) return;
    passwordChar_ = c;
    Notify(WidgetChange::Caption);
}

void ScrollBar::SetRange(int32_t minimum, int32_t maximum, int32_t smallChange,
                         int32_t largeChange) {
    min_ = minimum;
    max_ = std::max(minimum, maximum);
    small_ = std::max(1, smallChange);
    large_ = std::max(1, largeChange);
    Notify(WidgetChange::Value);
    SetValue(value_);
}

void ScrollBar::SetValue(int32_t value) {
    value = std::clamp(value, min_, max_);
    if (value == value_) return;
    value_ = value;
    Notify(WidgetChange::Value);
    Deliver([](Widget& w) { w.Change.Raise(); });
}

bool IpAddressBox::Blank() const {
    return std::all_of(fields_.begin(), fields_.end(), [](int32_t f) { return f < 0; });
}

void IpAddressBox::SetAddress(const Fields& fields) {
    Fields checked = fields;
    for (int32_t& f : checked)
        if (f < 0 || f > 255) f = -1;
    if (checked == fields_) return;
    fields_ = checked;
    Notify(WidgetChange::Value);
    Deliver([](Widget& w) { w.Change.Raise(); });
}

IpAddressBox::Fields AddressFields(uint32_t packed, int32_t filled) {
    IpAddressBox::Fields fields{};
    for (size_t i = 0; i < fields.size(); ++i)
        fields[i] = static_cast<int32_t>((packed >> (24 - 8 * i)) & 0xFF);
    int32_t blanks = 4 - std::clamp(filled, 0, 4);
    for (size_t i = fields.size(); i-- > 0 && blanks > 0;) {
        if (fields[i] != 0 && blanks < static_cast<int32_t>(i) + 1) continue;
        fields[i] = -1;
        --blanks;
    }
    return fields;
}

}  // namespace tarvelin::ui
