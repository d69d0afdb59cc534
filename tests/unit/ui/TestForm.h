#pragma once
// A small form for the widget tests, at (100, 50) on the screen: a panel holding a button, a
// label lying over part of that button, check and option boxes, fields, a disabled and a
// hidden button.
#include <memory>

#include "ui/headless/HeadlessBinding.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui::test {

inline std::shared_ptr<Form> BuildTestForm(HeadlessBinding& binding) {
    using K = WidgetKind;
    static const WidgetLayout rows[] = {
        {.name = "picPanel", .kind = K::PictureBox, .rect = {10, 10, 110, 90}, .tabIndex = 9},
        {.name = "cmdOk",
         .kind = K::CommandButton,
         .parent = "picPanel",
         .rect = {5, 5, 65, 28},
         .caption = "OK",
         .tabIndex = 1},
        {.name = "lblOver", .kind = K::Label, .rect = {60, 20, 120, 40}, .caption = "Over"},
        {.name = "chkA", .kind = K::CheckBox, .rect = {120, 10, 190, 30}, .tabIndex = 2},
        {.name = "optA",
         .kind = K::OptionButton,
         .rect = {120, 35, 190, 50},
         .tabIndex = 3,
         .group = 1},
        {.name = "optB",
         .kind = K::OptionButton,
         .rect = {120, 50, 190, 65},
         .tabIndex = 4,
         .group = 1},
        {.name = "txtPwd",
         .kind = K::TextBox,
         .rect = {10, 95, 110, 115},
         .tabIndex = 5,
         .flags = kPassword},
        {.name = "cmdOff",
         .kind = K::CommandButton,
         .rect = {120, 70, 190, 90},
         .tabIndex = 6,
         .flags = kDisabled},
        {.name = "cmdHid",
         .kind = K::CommandButton,
         .rect = {120, 95, 190, 115},
         .tabIndex = 7,
         .flags = kHidden},
        {.name = "cboList", .kind = K::ComboBox, .rect = {10, 120, 110, 140}, .tabIndex = 8},
        {.name = "vsb", .kind = K::ScrollBar, .rect = {180, 120, 196, 148}, .tabIndex = 10},
    };
    auto form =
        BuildForm({{.name = "frmT", .kind = K::Form, .rect = {100, 50, 300, 200}}, rows}, binding);
    if (form) form->SetVisible(true);
    return form;
}

}  // namespace tarvelin::ui::test
