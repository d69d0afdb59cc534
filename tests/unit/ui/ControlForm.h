#pragma once
// A shown form of the test's layout rows on the simulated system, with the program's artwork
// as the binding's bitmaps and scripted input: for the skinned controls and the list.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <span>

#include "platform/posix/BmpImageSource.h"
#include "sim/SimPlatform.h"
#include "ui/headless/HeadlessInput.h"
#include "ui/widgets/Layout.h"

namespace tarvelin::ui::test {

class ControlForm {
  public:
    explicit ControlForm(std::span<const WidgetLayout> rows) {
        binding.SetBitmapProvider([this](uint16_t id) {
            auto& image = bitmaps_[id];
            if (!image) image = art_.Bitmap(id);
            return image.get();
        });
        form = BuildForm(
            {{.name = "frmT", .kind = WidgetKind::Form, .rect = {40, 30, 440, 330}}, rows},
            binding);
        form->SetVisible(true);
    }

    template <typename T = PictureBox>
    std::shared_ptr<T> Get(const char* name) {
        return std::dynamic_pointer_cast<T>(form->Find(name)->shared_from_this());
    }
    // The screen point of a point of the widget's client area.
    static Point At(const Widget& widget, int32_t x, int32_t y) {
        const Point origin = ScreenOriginOf(widget);
        return {origin.x + x, origin.y + y};
    }
    static int32_t TimerUsers() { return AppState().sharedTimerUsers; }

    sim::SimPlatform sim;
    HeadlessBinding binding;
    HeadlessInput input{binding};
    std::shared_ptr<Form> form;

  private:
    platform::BmpImageSource art_{TARVELIN_ARTWORK_DIR};
    std::map<uint16_t, std::shared_ptr<const platform::IImage>> bitmaps_;
};

}  // namespace tarvelin::ui::test
