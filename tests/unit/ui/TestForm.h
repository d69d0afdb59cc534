#pragma once
// A small form for the widget tests, at (100, 50) on the screen: a panel holding a button, a
// label lying over part of that button, check and option boxes, fields, a scroll bar, a
// disabled and a hidden button.
#include <gtest/gtest.h>

#include <memory>

#include "ui/headless/HeadlessInput.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui::test {

inline WidgetLayout Row(std::string_view name, WidgetKind kind, Rect rect, int32_t tabIndex,
                        uint32_t flags = 0, std::string_view parent = {}) {
    return {.name = name,
            .kind = kind,
            .parent = parent,
            .rect = rect,
            .tabIndex = tabIndex,
            .flags = flags};
}

inline std::shared_ptr<Form> BuildTestForm(HeadlessBinding& binding) {
    using K = WidgetKind;
    static const WidgetLayout rows[] = {
        Row("picPanel", K::PictureBox, {10, 10, 110, 90}, 9),
        Row("cmdOk", K::CommandButton, {5, 5, 65, 28}, 1, 0, "picPanel"),
        {.name = "lblOver", .kind = K::Label, .rect = {60, 20, 120, 40}, .caption = "Over"},
        Row("chkA", K::CheckBox, {120, 10, 190, 30}, 2),
        Row("optA", K::OptionButton, {120, 35, 190, 50}, 3),
        Row("optB", K::OptionButton, {120, 50, 190, 65}, 4),
        Row("txtPwd", K::TextBox, {10, 95, 110, 115}, 5, kPassword),
        Row("cmdOff", K::CommandButton, {120, 70, 190, 90}, 6, kDisabled),
        Row("cmdHid", K::CommandButton, {120, 95, 190, 115}, 7, kHidden),
        Row("cboList", K::ComboBox, {120, 120, 175, 140}, 8),
        Row("vsb", K::ScrollBar, {180, 95, 196, 148}, 10),
        Row("ipAddr", K::IpAddress, {10, 120, 110, 140}, 9),
    };
    auto form =
        BuildForm({{.name = "frmT", .kind = K::Form, .rect = {100, 50, 300, 200}}, rows}, binding);
    if (form) form->SetVisible(true);
    return form;
}

// The form built and shown, with scripted input, and its widgets by name and kind.
struct FormTest : ::testing::Test {
    HeadlessBinding binding;
    HeadlessInput input{binding};
    std::shared_ptr<Form> form = BuildTestForm(binding);
    template <typename T = Widget>
    T& W(const char* name) {
        return *FindWidget<T>(*form, name);
    }
};

}  // namespace tarvelin::ui::test
