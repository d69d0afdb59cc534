#include "ui/win32/Win32BitmapCache.h"

namespace tarvelin::ui {
namespace {

using platform::GdiObject;
using platform::Win32Bitmap;

// The resource copied into a 32-bit surface of our own, so that every canvas draws it the
// same way whatever depth the resource has.
std::unique_ptr<Win32Bitmap> Load(HINSTANCE module, uint16_t id) {
    const GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(module, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || !GetObjectW(loaded.get(), sizeof info, &info)) return nullptr;
    auto copy = std::make_unique<Win32Bitmap>(info.bmWidth, info.bmHeight);
    HDC source = CreateCompatibleDC(copy->Dc());
    if (!*copy || !source) {
        if (source) DeleteDC(source);
        return nullptr;
    }
    HGDIOBJ previous = SelectObject(source, loaded.get());
    BitBlt(copy->Dc(), 0, 0, info.bmWidth, info.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
    return copy;
}

}  // namespace

const platform::Win32Bitmap* Win32BitmapCache::Get(uint16_t id) {
    if (id == 0) return nullptr;
    auto found = bitmaps_.find(id);
    if (found == bitmaps_.end()) found = bitmaps_.emplace(id, Load(module_, id)).first;
    return found->second.get();
}

}  // namespace tarvelin::ui
