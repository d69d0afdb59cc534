#include "ui/widgets/Layout.h"

#include <set>
#include <string>

#include "ui/widgets/Binding.h"

namespace tarvelin::ui {
namespace {

std::shared_ptr<Widget> Create(const WidgetLayout& row) {
    std::string name(row.name);
    switch (row.kind) {
        case WidgetKind::Form:
            return nullptr;  // only the table's head is a form
        case WidgetKind::PictureBox:
            return std::make_shared<PictureBox>(std::move(name));
        case WidgetKind::Label:
            return std::make_shared<Label>(std::move(name));
        case WidgetKind::Image:
            return std::make_shared<ImageBox>(std::move(name));
        case WidgetKind::CommandButton:
            return std::make_shared<CommandButton>(std::move(name));
        case WidgetKind::CheckBox:
        case WidgetKind::OptionButton:
            return std::make_shared<CheckBox>(row.kind, std::move(name));
        case WidgetKind::ComboBox:
            return std::make_shared<ComboBox>(std::move(name));
        case WidgetKind::TextBox:
            return std::make_shared<TextBox>(std::move(name));
        case WidgetKind::ScrollBar:
            return std::make_shared<ScrollBar>(std::move(name));
        case WidgetKind::IpAddress:
            return std::make_shared<IpAddressBox>(std::move(name));
    }
    return nullptr;
}

uint32_t LabelAlignment(uint32_t flags) {
    uint32_t alignment = flags & kCentred        ? platform::kTextCenter
                         : flags & kRightAligned ? platform::kTextRight
                                                 : platform::kTextLeft;
    return alignment | (flags & kSingleLine ? platform::kTextSingleLine | platform::kTextVCenter
                                            : platform::kTextWordBreak);
}

// The properties every kind has, then those of its own kind.
void Apply(Widget& widget, const WidgetLayout& row, IBinding& binding) {
    widget.SetBounds(row.rect);
    widget.SetCaption(std::string(row.caption));
    widget.SetFont(row.font);
    if (row.foreColor != kDefaultColor) widget.SetForeColor(row.foreColor);
    if (row.backColor != kDefaultColor) widget.SetBackColor(row.backColor);
    widget.SetTabIndex(row.tabIndex);
    widget.SetToolTip(std::string(row.toolTip));
    if (row.flags & kHidden) widget.SetVisible(false);
    if (row.flags & kDisabled) widget.SetEnabled(false);
    if (auto* picture = dynamic_cast<PictureBox*>(&widget)) {
        picture->SetSurfaceFactory(&binding);
        picture->SetBorder((row.flags & kBorder) != 0);
        picture->SetPictureId(row.picture);
    } else if (auto* image = dynamic_cast<ImageBox*>(&widget)) {
        image->SetPictureId(row.picture);
    } else if (auto* label = dynamic_cast<Label*>(&widget)) {
        label->SetAlignment(LabelAlignment(row.flags));
    } else if (auto* check = dynamic_cast<CheckBox*>(&widget)) {
        check->SetGroup(row.group);
    } else if (auto* text = dynamic_cast<TextBox*>(&widget)) {
        if (row.flags & kPassword) text->SetPasswordChar(U'*');
    }
}

}  // namespace

std::shared_ptr<Form> BuildForm(const FormLayout& layout, IBinding& binding) {
    auto form = std::make_shared<Form>(std::string(layout.form.name));
    Apply(*form, layout.form, binding);
    form->SetVisible(false);
    std::set<std::string_view> names{layout.form.name};
    for (const WidgetLayout& row : layout.widgets) {
        Widget* parent = row.parent.empty() || row.parent == layout.form.name
                             ? form.get()
                             : form->Find(std::string(row.parent));
        auto widget = Create(row);
        if (!parent || !widget || !names.insert(row.name).second) return nullptr;
        Apply(*widget, row, binding);
        parent->AddChild(std::move(widget));
    }
    binding.Attach(*form);
    return form;
}

}  // namespace tarvelin::ui
