#pragma once
// The program's own pictures (toolbar buttons, list icons, header images) by resource number:
// the executable's bitmap resources on Windows, the bitmaps the build made natively.
#include <cstdint>
#include <memory>

#include "platform/Canvas.h"

namespace tarvelin::platform {

class IImageSource {
  public:
    virtual ~IImageSource() = default;
    // The bitmap of that number, ready to draw; nullptr when there is none or it is unreadable.
    virtual std::shared_ptr<const IImage> Bitmap(uint16_t id) = 0;
};

}  // namespace tarvelin::platform
