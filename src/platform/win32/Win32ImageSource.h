#pragma once
// The program's pictures from the bitmap resources of a module, copied into 32-bit surfaces
// that the canvas draws.
#include <windows.h>

#include "platform/ImageSource.h"

namespace tarvelin::platform {

class Win32ImageSource final : public IImageSource {
  public:
    // module null: the running program's own.
    explicit Win32ImageSource(HINSTANCE module = nullptr)
        : module_(module ? module : GetModuleHandleW(nullptr)) {}
    std::shared_ptr<const IImage> Bitmap(uint16_t id) override;

  private:
    HINSTANCE module_;
};

}  // namespace tarvelin::platform
