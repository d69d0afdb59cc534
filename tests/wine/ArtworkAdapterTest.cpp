// The artwork as the program carries it: this test program is linked with the same resource
// lines as Tarvelin.exe, and the system must load every bitmap at its documented size, the
// hand cursor and the application icon.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Canvas.h"
#include "platform/win32/Win32ImageSource.h"
#include "ui/Artwork.h"

namespace tarvelin {
namespace {

using namespace platform;

TEST(ArtworkAdapter, EveryBitmapLoadsAtItsSize) {
    Win32ImageSource images;
    for (const ArtworkBitmap& art : kArtworkBitmaps) {
        const auto image = images.Bitmap(art.id);
        ASSERT_TRUE(image) << art.id;
        EXPECT_EQ(image->Width(), art.width) << art.id;
        EXPECT_EQ(image->Height(), art.height) << art.id;
    }
    EXPECT_FALSE(images.Bitmap(999));
    // The selected toolbar image is white on the red plate.
    const auto selected = images.Bitmap(kBitmapToolbarOptions + 2);
    ASSERT_TRUE(selected);
    EXPECT_EQ(static_cast<const Win32Bitmap&>(*selected).PixelAt({10, 3}), Rgb(255, 0, 0));
}

TEST(ArtworkAdapter, CursorAndIconLoad) {
    const HINSTANCE self = GetModuleHandleW(nullptr);
    HCURSOR cursor = LoadCursorW(self, MAKEINTRESOURCEW(kCursorHand));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(info.xHotspot, 9u);
    EXPECT_EQ(info.yHotspot, 1u);
    DeleteObject(info.hbmMask);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    for (int size : {16, 32, 48}) {
        HANDLE icon = LoadImageW(self, MAKEINTRESOURCEW(kIconApp), IMAGE_ICON, size, size, 0);
        EXPECT_NE(icon, nullptr) << size;
        if (icon) DestroyIcon(static_cast<HICON>(icon));
    }
}

}  // namespace
}  // namespace tarvelin
