#include <gtest/gtest.h>

#include <filesystem>

#include "ui/headless/FormPicture.h"
#include "ui/headless/HeadlessBinding.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui {
namespace {

using platform::Rgb;

int Count(const platform::RasterPicture& picture, const Rect& r, Color color) {
    int count = 0;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) count += picture.PixelAt({x, y}) == color;
    }
    return count;
}

TEST(FormPicture, ShowsTheWidgetsInsideTheRegion) {
    using K = WidgetKind;
    const WidgetLayout rows[] = {
        {.name = "lblTitle",
         .kind = K::Label,
         .rect = {10, 8, 230, 24},
         .caption = "Legible label, centred",
         .foreColor = Rgb(0, 0, 255),
         .flags = kCentred},
        {.name = "picDraw",
         .kind = K::PictureBox,
         .rect = {10, 30, 70, 90},
         .backColor = Rgb(255, 255, 255),
         .flags = kBorder},
        {.name = "cmdOff",
         .kind = K::CommandButton,
         .rect = {80, 30, 150, 54},
         .caption = "Disabled",
         .flags = kDisabled},
        {.name = "cmdHid", .kind = K::CommandButton, .rect = {80, 60, 150, 84}, .flags = kHidden},
        {.name = "chkOn", .kind = K::CheckBox, .rect = {160, 30, 230, 50}, .caption = "Check"},
        {.name = "optOn", .kind = K::OptionButton, .rect = {160, 55, 230, 75}, .caption = "Opt"},
        {.name = "txtPwd",
         .kind = K::TextBox,
         .rect = {10, 100, 110, 120},
         .caption = "abc",
         .flags = kPassword},
        {.name = "cboList", .kind = K::ComboBox, .rect = {120, 100, 230, 120}},
        {.name = "ipAddr", .kind = K::IpAddress, .rect = {10, 125, 150, 145}},
        {.name = "vsb", .kind = K::ScrollBar, .rect = {210, 80, 226, 98}},
    };
    HeadlessBinding binding;
    const auto form =
        BuildForm({{.name = "frmPic", .kind = K::Form, .rect = {0, 0, 240, 160}}, rows}, binding);
    ASSERT_NE(form, nullptr);
    form->SetRegion(WindowRegion{{0, 0, 240, 160}, 30, 30});
    FindWidget<PictureBox>(*form, "picDraw")->Canvas().FillRect({5, 5, 25, 25}, Rgb(255, 0, 0));
    FindWidget<CheckBox>(*form, "chkOn")->SetValue(true);
    FindWidget<CheckBox>(*form, "optOn")->SetValue(true);
    FindWidget<ComboBox>(*form, "cboList")->AddItem("COM1");
    FindWidget<ComboBox>(*form, "cboList")->SetListIndex(0);
    FindWidget<IpAddressBox>(*form, "ipAddr")->SetAddress({192, 168, 0, -1});

    const platform::RasterPicture picture = binding.Render(*form);
    const Color face = Rgb(212, 208, 200), grey = Rgb(128, 128, 128), black = Rgb(0, 0, 0);
    EXPECT_EQ(picture.PixelAt({0, 0}), kDesktopColor) << "outside the region";
    EXPECT_EQ(picture.PixelAt({25, 45}), Rgb(255, 0, 0)) << "drawn on the box";
    EXPECT_EQ(picture.PixelAt({50, 70}), Rgb(255, 255, 255)) << "its background";
    EXPECT_GT(Count(picture, {10, 8, 230, 24}, Rgb(0, 0, 255)), 20) << "label";
    EXPECT_GT(Count(picture, {83, 33, 147, 51}, grey), 10) << "greyed caption";
    EXPECT_EQ(Count(picture, {83, 33, 147, 51}, black), 0);
    EXPECT_EQ(Count(picture, {80, 60, 150, 84}, face), 70 * 24) << "hidden";

    const auto path = std::string(TARVELIN_TEST_OUTPUT) + "/FormPicture.png";
    std::filesystem::remove(path);
    EXPECT_TRUE(binding.SavePng(*form, path));
    EXPECT_GT(std::filesystem::file_size(path), 100u);
}

}  // namespace
}  // namespace tarvelin::ui
