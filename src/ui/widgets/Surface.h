#pragma once
// The memory picture of a picture box or form ("redraw from memory"): everything is drawn
// into it, and the window shows it when refreshed or uncovered. The binding makes it: an
// off-screen bitmap on Windows, a raster picture in the headless binding.
#include <cstdint>
#include <memory>

#include "platform/Canvas.h"

namespace tarvelin::ui {

class ISurface {
  public:
    virtual ~ISurface() = default;
    virtual platform::ICanvas& Canvas() = 0;
    virtual const platform::IImage& Image() const = 0;
};

class ISurfaceFactory {
  public:
    virtual ~ISurfaceFactory() = default;
    // A surface of that size filled with the colour; never null (an empty one at worst).
    virtual std::unique_ptr<ISurface> CreateSurface(int32_t width, int32_t height,
                                                    platform::Color background) = 0;
    // A bitmap of the program's resources, kept by the factory; null when there is none.
    virtual const platform::IImage* Bitmap(uint16_t id) = 0;
};

}  // namespace tarvelin::ui
