#pragma once
// Decoding of uncompressed 24- and 32-bit bitmap files (bottom-up or top-down rows), the form
// the build gives the program's pictures. The bytes come from files, so every size and
// offset is checked against them; a 32-bit picture's fourth byte is ignored (opaque).
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::platform {

struct BmpPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<Color> pixels;  // top row first
    Color At(int32_t x, int32_t y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// Pictures larger than this on either side are refused before anything is allocated.
inline constexpr int32_t kBmpMostSide = 8192;

// The picture of a bitmap file; nullopt when the bytes are not a complete bitmap of a
// supported kind.
std::optional<BmpPicture> DecodeBmp(std::span<const uint8_t> bytes);

}  // namespace tarvelin::platform
