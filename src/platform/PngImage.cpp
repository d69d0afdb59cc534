#include "platform/PngImage.h"

#include <array>
#include <limits>

namespace tarvelin::platform {
namespace {

constexpr size_t kStoredBlock = 65535;  // the most one stored deflate block holds

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

uint32_t Crc32(const uint8_t* data, size_t size) {
    static const std::array<uint32_t, 256> table = [] {
        std::array<uint32_t, 256> t{};
        for (uint32_t n = 0; n < 256; ++n) {
            uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) crc = table[(crc ^ data[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

// A chunk: its length, type and data, then the CRC of the type and data.
void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    PutBigEndian(out, Crc32(out.data() + start, out.size() - start));
}

}  // namespace

bool StoredDeflate(const std::vector<uint8_t>& rows, std::vector<uint8_t>& stream) {
    stream = {0x78, 0x01};  // deflate, 32 KiB window, no dictionary
    uint32_t a = 1, b = 0;  // the Adler-32 of the rows
    for (size_t at = 0; at < rows.size() || at == 0; at += kStoredBlock) {
        const size_t size = std::min(kStoredBlock, rows.size() - at);
        stream.push_back(at + size >= rows.size() ? 1 : 0);  // last block, stored
        const auto length = static_cast<uint16_t>(size);
        stream.insert(stream.end(),
                      {static_cast<uint8_t>(length), static_cast<uint8_t>(length >> 8),
                       static_cast<uint8_t>(~length), static_cast<uint8_t>(~length >> 8)});
        stream.insert(stream.end(), rows.begin() + static_cast<std::ptrdiff_t>(at),
                      rows.begin() + static_cast<std::ptrdiff_t>(at + size));
        if (rows.empty()) break;
    }
    for (uint8_t byte : rows) {
        a = (a + byte) % 65521;
        b = (b + a) % 65521;
    }
    PutBigEndian(stream, (b << 16) | a);
    return true;
}

std::vector<uint8_t> EncodePng(int32_t width, int32_t height,
                               const std::function<Color(Point)>& pixel,
                               const PngDeflater& deflate) {
    const uint64_t rowBytes = 1 + 3 * uint64_t(width > 0 ? width : 0);
    if (width <= 0 || height <= 0 ||
        rowBytes * uint64_t(height) > std::numeric_limits<uint32_t>::max() / 2)
        return {};
    std::vector<uint8_t> rows;
    rows.reserve(rowBytes * static_cast<size_t>(height));
    for (int32_t y = 0; y < height; ++y) {
        rows.push_back(0);  // no filter
        for (int32_t x = 0; x < width; ++x) {
            const Color c = pixel({x, y});
            rows.insert(rows.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
        }
    }
    std::vector<uint8_t> header, stream;
    PutBigEndian(header, static_cast<uint32_t>(width));
    PutBigEndian(header, static_cast<uint32_t>(height));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    if (!deflate(rows, stream)) return {};
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", stream);
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace tarvelin::platform
