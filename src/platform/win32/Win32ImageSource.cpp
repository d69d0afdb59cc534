#include "platform/win32/Win32ImageSource.h"

#include "platform/win32/Win32Canvas.h"

namespace tarvelin::platform {

std::shared_ptr<const IImage> Win32ImageSource::Bitmap(uint16_t id) {
    GdiObject<HBITMAP> loaded(static_cast<HBITMAP>(
        LoadImageW(module_, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    BITMAP info{};
    if (!loaded || GetObjectW(loaded.get(), sizeof info, &info) != sizeof info) return nullptr;
    auto bitmap = std::make_shared<Win32Bitmap>(info.bmWidth, info.bmHeight);
    if (!*bitmap) return nullptr;
    struct DcDeleter {
        void operator()(HDC dc) const { DeleteDC(dc); }
    };
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> source(CreateCompatibleDC(nullptr));
    if (!source) return nullptr;
    const HGDIOBJ previous = SelectObject(source.get(), loaded.get());
    const bool copied = BitBlt(bitmap->Dc(), 0, 0, info.bmWidth, info.bmHeight, source.get(), 0, 0,
                               SRCCOPY) != FALSE;
    SelectObject(source.get(), previous);
    return copied ? bitmap : nullptr;
}

}  // namespace tarvelin::platform
