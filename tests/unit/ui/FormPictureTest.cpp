#include <gtest/gtest.h>

#include <filesystem>

#include "TestForm.h"
#include "ui/headless/FormPicture.h"

namespace tarvelin::ui {
namespace {

using platform::Rgb;
using FormPicture = test::FormTest;

int Count(const platform::RasterPicture& picture, const Rect& r, Color color) {
    int count = 0;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x) count += picture.PixelAt({x, y}) == color;
    }
    return count;
}

TEST_F(FormPicture, ShowsTheWidgetsInsideTheRegion) {
    form->SetRegion(WindowRegion{{0, 0, 200, 150}, 30, 30});
    W<PictureBox>("picPanel").Canvas().FillRect({10, 40, 40, 70}, Rgb(255, 0, 0));
    W("lblOver").SetForeColor(Rgb(0, 0, 255));
    W<CheckBox>("chkA").SetCaption("Check");
    W<CheckBox>("chkA").SetValue(true);
    W<CheckBox>("optB").SetValue(true);
    W<TextBox>("txtPwd").SetText("abc");
    W<ComboBox>("cboList").AddItem("COM1");
    W<ComboBox>("cboList").SetListIndex(0);
    W<IpAddressBox>("ipAddr").SetAddress({192, 168, 0, -1});
    W("cmdOk").SetCaption("OK");
    W("cmdOff").SetCaption("Off");
    W("cmdOk").SetFocus();

    const platform::RasterPicture picture = binding.Render(*form);
    const Color face = Rgb(212, 208, 200), grey = Rgb(128, 128, 128);
    EXPECT_EQ(picture.PixelAt({0, 0}), kDesktopColor) << "outside the region";
    EXPECT_EQ(picture.PixelAt({30, 60}), Rgb(255, 0, 0)) << "drawn on the panel";
    EXPECT_GT(Count(picture, {60, 20, 120, 40}, Rgb(0, 0, 255)), 20) << "label over the button";
    EXPECT_GT(Count(picture, {123, 73, 187, 87}, grey), 10) << "greyed caption";
    EXPECT_EQ(Count(picture, {123, 73, 187, 87}, Rgb(0, 0, 0)), 0);
    EXPECT_EQ(Count(picture, {120, 95, 175, 115}, face), 55 * 20) << "hidden";

    const auto path = std::string(TARVELIN_TEST_OUTPUT) + "/FormPicture.png";
    std::filesystem::remove(path);
    EXPECT_TRUE(binding.SavePng(*form, path));
    EXPECT_GT(std::filesystem::file_size(path), 100u);
}

}  // namespace
}  // namespace tarvelin::ui
