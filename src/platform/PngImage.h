#pragma once
// A picture as the bytes of a PNG file (8-bit RGB), portable, so that tests on every system
// can keep what they drew as a file a person can open.
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::platform {

// Turns the rows (each a filter byte and its RGB bytes) into a zlib stream; false on failure.
using PngDeflater =
    std::function<bool(const std::vector<uint8_t>& rows, std::vector<uint8_t>& stream)>;
// A zlib stream of stored (uncompressed) blocks: needs no compression library.
bool StoredDeflate(const std::vector<uint8_t>& rows, std::vector<uint8_t>& stream);
// The PNG file of a width x height picture whose colours pixel gives; empty for an empty
// picture or one too large for a single data chunk.
std::vector<uint8_t> EncodePng(int32_t width, int32_t height,
                               const std::function<Color(Point)>& pixel,
                               const PngDeflater& deflate = StoredDeflate);

}  // namespace tarvelin::platform
