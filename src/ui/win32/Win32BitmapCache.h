#pragma once
// The bitmaps of a module's resources as off-screen surfaces a canvas can draw, each loaded
// once and kept for the life of the cache. Shared by the binding and its windows, so that a
// window outliving the binding still paints.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>

#include "platform/win32/Win32Canvas.h"

namespace tarvelin::ui {

class Win32BitmapCache {
  public:
    explicit Win32BitmapCache(HINSTANCE module) : module_(module) {}
    // The bitmap resource of that id, or null when the module has none (asked once).
    const platform::Win32Bitmap* Get(uint16_t id);
    HINSTANCE Module() const { return module_; }

  private:
    HINSTANCE module_;
    std::map<uint16_t, std::unique_ptr<platform::Win32Bitmap>> bitmaps_;
};

}  // namespace tarvelin::ui
