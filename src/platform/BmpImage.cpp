#include "platform/BmpImage.h"

#include "platform/LittleEndian.h"

namespace tarvelin::platform {
namespace {

constexpr size_t kFileHeader = 14;
constexpr uint32_t kInfoHeader = 40;  // BITMAPINFOHEADER; the later headers extend it
constexpr uint32_t kBiRgb = 0;

struct Layout {
    int32_t width;
    int32_t height;
    bool topDown;
    uint32_t bytesPerPixel;
    uint64_t stride;
    uint64_t offset;
};

std::optional<Layout> ReadLayout(std::span<const uint8_t> b) {
    if (b.size() < kFileHeader + kInfoHeader || b[0] != 'B' || b[1] != 'M') return std::nullopt;
    const uint8_t* info = b.data() + kFileHeader;
    const uint32_t headerSize = LoadLe32(info);
    const auto width = static_cast<int32_t>(LoadLe32(info + 4));
    const auto rawHeight = static_cast<int32_t>(LoadLe32(info + 8));
    const uint16_t bits = LoadLe16(info + 14);
    if (headerSize < kInfoHeader || headerSize > b.size() - kFileHeader ||
        LoadLe16(info + 12) != 1 || (bits != 24 && bits != 32) || LoadLe32(info + 16) != kBiRgb) {
        return std::nullopt;
    }
    // The most negative height has no positive counterpart; it is refused with the others.
    if (width <= 0 || width > kBmpMostSide || rawHeight == 0 || rawHeight < -kBmpMostSide ||
        rawHeight > kBmpMostSide) {
        return std::nullopt;
    }
    Layout l{width,
             rawHeight < 0 ? -rawHeight : rawHeight,
             rawHeight < 0,
             bits / 8u,
             0,
             LoadLe32(b.data() + 10)};
    l.stride = (uint64_t{l.bytesPerPixel} * static_cast<uint64_t>(width) + 3) & ~uint64_t{3};
    // The pixels start after the headers and end within the bytes given.
    if (l.offset < kFileHeader + headerSize || l.offset > b.size() ||
        l.stride * static_cast<uint64_t>(l.height) > b.size() - l.offset) {
        return std::nullopt;
    }
    return l;
}

}  // namespace

std::optional<BmpPicture> DecodeBmp(std::span<const uint8_t> bytes) {
    const std::optional<Layout> l = ReadLayout(bytes);
    if (!l) return std::nullopt;
    BmpPicture picture{l->width, l->height, {}};
    picture.pixels.reserve(static_cast<size_t>(l->width) * static_cast<size_t>(l->height));
    for (int32_t y = 0; y < l->height; ++y) {
        const int32_t row = l->topDown ? y : l->height - 1 - y;
        const uint8_t* p = bytes.data() + l->offset + l->stride * static_cast<uint64_t>(row);
        for (int32_t x = 0; x < l->width; ++x, p += l->bytesPerPixel) {
            picture.pixels.push_back(Rgb(p[2], p[1], p[0]));  // stored blue, green, red
        }
    }
    return picture;
}

}  // namespace tarvelin::platform
