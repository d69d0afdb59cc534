#pragma once
// Resource numbers and sizes of the program's own pictures, as resources/art/artwork.txt
// has the build render them. Toolbar buttons are 48 x 40: three of them stand side by side
// at the right of the 58-pixel header.
#include <array>
#include <cstdint>

namespace tarvelin {

inline constexpr uint16_t kIconApp = 1;           // 16, 32 and 48 pixels
inline constexpr uint16_t kCursorHand = 101;      // 32 x 32, hot spot at the finger tip (9, 1)
inline constexpr uint16_t kBitmapLink = 103;      // 16 x 16, before a link with an address
inline constexpr uint16_t kBitmapMinimise = 104;  // 16 x 16, the header's window buttons
inline constexpr uint16_t kBitmapClose = 105;
inline constexpr uint16_t kBitmapTick = 106;            // 16 x 16, a finished installation step
inline constexpr uint16_t kBitmapToolbarOptions = 110;  // normal; +1 hover, +2 selected
inline constexpr uint16_t kBitmapToolbarUpdate = 120;
inline constexpr uint16_t kBitmapToolbarAbout = 130;
inline constexpr uint16_t kBitmapPortKindFirst = 140;  // list icons of the port kinds
inline constexpr uint16_t kBitmapLogo = 150;
inline constexpr uint16_t kBitmapTitle = 151;
inline constexpr uint16_t kBitmapGprs = 152;

// The list icon of a port of kind 1 (built-in serial), 2 (USB), 3 (infrared), 4 (Bluetooth),
// 5 (PCI card); any other kind has the unknown port's icon (145).
constexpr uint16_t PortKindBitmap(int32_t kind) {
    return static_cast<uint16_t>(kBitmapPortKindFirst + (kind >= 1 && kind <= 5 ? kind - 1 : 5));
}

struct ArtworkBitmap {
    uint16_t id;
    int32_t width;
    int32_t height;
};

inline constexpr std::array<ArtworkBitmap, 22> kArtworkBitmaps{{
    {103, 16, 16}, {104, 16, 16}, {105, 16, 16},  {106, 16, 16}, {110, 48, 40}, {111, 48, 40},
    {112, 48, 40}, {120, 48, 40}, {121, 48, 40},  {122, 48, 40}, {130, 48, 40}, {131, 48, 40},
    {132, 48, 40}, {140, 32, 32}, {141, 32, 32},  {142, 32, 32}, {143, 32, 32}, {144, 32, 32},
    {145, 32, 32}, {150, 48, 48}, {151, 104, 32}, {152, 52, 20},
}};

}  // namespace tarvelin
