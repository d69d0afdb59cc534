#pragma once
// A form's controls as data, like a form file: one row per widget with the name the forms'
// code uses, its kind, its parent, its rectangle in pixels at 96 dots per inch, caption,
// font, colours, tab order and tool tip. Each form has its layout table in a source file of
// its own; BuildForm turns the table into widgets.
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "ui/widgets/Controls.h"
#include "ui/widgets/Form.h"

namespace tarvelin::ui {

// Flags of a layout row.
enum LayoutFlag : uint32_t {
    kHidden = 0x1,
    kDisabled = 0x2,
    kBorder = 0x4,    // a picture box with a border
    kPassword = 0x8,  // a text box showing "*" for each character
    kCentred = 0x10,  // a label's text centred
    kRightAligned = 0x20,
    kSingleLine = 0x40,  // a label's text on one line, vertically centred
};

inline constexpr Color kDefaultColor = 0xFFFFFFFF;  // keep the widget's own colour

// Every field has a default, so that rows name only what they set (designated initializers).
struct WidgetLayout {
    std::string_view name{};
    WidgetKind kind = WidgetKind::PictureBox;
    std::string_view parent{};  // empty: the form
    Rect rect{};                // left, top, right, bottom in the parent's client area
    std::string_view caption{};
    Font font{};
    Color foreColor = kDefaultColor;
    Color backColor = kDefaultColor;
    int32_t tabIndex = 0;
    std::string_view toolTip{};
    uint32_t flags = 0;
    uint16_t picture = 0;  // bitmap resource of an image or picture box
    int32_t group = 0;     // option buttons of one group share it
};

struct FormLayout {
    WidgetLayout form;  // the form itself: its caption, client size, font and colours
    std::span<const WidgetLayout> widgets;  // parents before their children
};

class IBinding;

// The form with its widgets, attached to the binding. A row whose parent is unknown, or
// that repeats a name, is a fault of the table: BuildForm returns null rather than a form
// missing a control.
std::shared_ptr<Form> BuildForm(const FormLayout& layout, IBinding& binding);

// The widget of that name and kind on the form; null when there is none of that kind.
template <typename T>
T* FindWidget(const Form& form, std::string_view name) {
    return dynamic_cast<T*>(form.Find(std::string(name)));
}

}  // namespace tarvelin::ui
