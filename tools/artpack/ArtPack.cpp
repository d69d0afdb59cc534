#include "ArtPack.h"

#include "platform/LittleEndian.h"

namespace tarvelin::artpack {
namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kInfoHeader = 40;

bool Fits(const Picture& p, int32_t most) {
    return p.Valid() && p.width <= most && p.height <= most;
}

void Put16(std::vector<uint8_t>& out, uint16_t v) {
    out.resize(out.size() + 2);
    StoreLe16(out.data() + out.size() - 2, v);
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    out.resize(out.size() + 4);
    StoreLe32(out.data() + out.size() - 4, v);
}

// BITMAPINFOHEADER of an uncompressed bottom-up bitmap.
void PutInfoHeader(std::vector<uint8_t>& out, int32_t width, int32_t height, uint16_t bits,
                   uint32_t imageBytes) {
    Put32(out, kInfoHeader);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height));
    Put16(out, 1);
    Put16(out, bits);
    Put32(out, 0);  // BI_RGB
    Put32(out, imageBytes);
    Put32(out, 2835);  // 72 dots per inch
    Put32(out, 2835);
    Put32(out, 0);
    Put32(out, 0);
}

uint8_t OverWhite(uint8_t channel, uint8_t alpha) {
    return static_cast<uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

const uint8_t* PixelOf(const Picture& p, int32_t x, int32_t y) {
    return p.rgba.data() + (static_cast<size_t>(y) * p.width + x) * 4;
}

size_t MaskStride(int32_t width) {
    return static_cast<size_t>((width + 31) / 32) * 4;
}

// The entry as the system keeps it in an icon resource: header (twice the height, for the
// colours and the mask), bottom-up BGRA rows, then the one-bit mask rows.
std::vector<uint8_t> IconImage(const Picture& p) {
    const size_t colour = static_cast<size_t>(p.width) * p.height * 4;
    const size_t mask = MaskStride(p.width) * p.height;
    std::vector<uint8_t> out;
    PutInfoHeader(out, p.width, p.height * 2, 32, static_cast<uint32_t>(colour + mask));
    for (int32_t y = p.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < p.width; ++x) {
            const uint8_t* s = PixelOf(p, x, y);
            const bool drawn = s[3] >= 128;
            out.insert(out.end(), {drawn ? s[2] : uint8_t{0}, drawn ? s[1] : uint8_t{0},
                                   drawn ? s[0] : uint8_t{0}, s[3]});
        }
    }
    for (int32_t y = p.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(MaskStride(p.width), 0);
        for (int32_t x = 0; x < p.width; ++x) {
            if (PixelOf(p, x, y)[3] < 128) row[x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

}  // namespace

bool Picture::Valid() const {
    return width > 0 && height > 0 && width <= 4096 && height <= 4096 &&
           rgba.size() == static_cast<size_t>(width) * height * 4;
}

std::vector<uint8_t> EncodeBmp24(const Picture& picture) {
    if (!picture.Valid()) return {};
    const size_t stride = (static_cast<size_t>(picture.width) * 3 + 3) & ~size_t{3};
    const size_t image = stride * picture.height;
    std::vector<uint8_t> out{'B', 'M'};
    Put32(out, static_cast<uint32_t>(kFileHeader + kInfoHeader + image));
    Put32(out, 0);
    Put32(out, kFileHeader + kInfoHeader);
    PutInfoHeader(out, picture.width, picture.height, 24, static_cast<uint32_t>(image));
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        const size_t rowStart = out.size();
        for (int32_t x = 0; x < picture.width; ++x) {
            const uint8_t* s = PixelOf(picture, x, y);
            out.insert(out.end(),
                       {OverWhite(s[2], s[3]), OverWhite(s[1], s[3]), OverWhite(s[0], s[3])});
        }
        out.resize(rowStart + stride, 0);
    }
    return out;
}

std::vector<uint8_t> EncodeIconFile(std::span<const IconEntry> entries, bool cursor) {
    if (entries.empty() || entries.size() > 64) return {};
    std::vector<std::vector<uint8_t>> images;
    for (const IconEntry& e : entries) {
        if (!Fits(e.picture, 256)) return {};
        images.push_back(IconImage(e.picture));
    }
    std::vector<uint8_t> out;
    Put16(out, 0);
    Put16(out, cursor ? 2 : 1);
    Put16(out, static_cast<uint16_t>(entries.size()));
    size_t offset = 6 + 16 * entries.size();
    for (size_t i = 0; i < entries.size(); ++i) {
        const Picture& p = entries[i].picture;
        out.push_back(static_cast<uint8_t>(p.width & 0xFF));  // 0 stands for 256
        out.push_back(static_cast<uint8_t>(p.height & 0xFF));
        out.push_back(0);  // no palette
        out.push_back(0);
        // An icon names its planes and bit depth here, a cursor its hot spot.
        Put16(out, cursor ? entries[i].hotX : 1);
        Put16(out, cursor ? entries[i].hotY : 32);
        Put32(out, static_cast<uint32_t>(images[i].size()));
        Put32(out, static_cast<uint32_t>(offset));
        offset += images[i].size();
    }
    for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
    return out;
}

}  // namespace tarvelin::artpack
