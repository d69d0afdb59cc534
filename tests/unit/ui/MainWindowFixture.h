#pragma once
// The simulated system and headless binding the main window's tests open it on, with the
// program's bitmaps read from the build's artwork.
#include <gtest/gtest.h>

#include <map>
#include <memory>

#include "platform/posix/BmpImageSource.h"
#include "sim/SimPlatform.h"
#include "ui/headless/HeadlessBinding.h"
#include "ui/headless/HeadlessInput.h"

namespace tarvelin::ui {

struct MainWindowFixture : ::testing::Test {
    sim::SimPlatform sim;
    HeadlessBinding binding;
    HeadlessInput input{binding};
    platform::BmpImageSource images{TARVELIN_ARTWORK_DIR};
    std::map<uint16_t, std::shared_ptr<const platform::IImage>> loaded;

    MainWindowFixture() {
        binding.SetBitmapProvider([this](uint16_t id) {
            auto& image = loaded[id];
            if (!image) image = images.Bitmap(id);
            return image.get();
        });
    }
};

}  // namespace tarvelin::ui
