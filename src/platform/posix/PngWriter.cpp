#include "platform/posix/PngWriter.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace tarvelin::platform {

namespace {

void PutBigEndian(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<uint8_t>(value >> shift));
}

// A chunk: its length, type and data, then the CRC of the type and data.
void PutChunk(std::vector<uint8_t>& out, const char (&type)[5], const std::vector<uint8_t>& data) {
    PutBigEndian(out, static_cast<uint32_t>(data.size()));
    const size_t start = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, out.data() + start, static_cast<uInt>(out.size() - start));
    PutBigEndian(out, static_cast<uint32_t>(crc));
}

// The rows of the picture as RGB bytes, each behind a filter byte of 0 (none).
std::vector<uint8_t> Scanlines(const RasterPicture& picture) {
    std::vector<uint8_t> rows;
    rows.reserve(static_cast<size_t>(picture.Height()) * (1 + 3 * size_t(picture.Width())));
    for (int32_t y = 0; y < picture.Height(); ++y) {
        rows.push_back(0);
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const Color c = picture.PixelAt({x, y});
            rows.insert(rows.end(), {RedOf(c), GreenOf(c), BlueOf(c)});
        }
    }
    return rows;
}

bool Deflate(const std::vector<uint8_t>& raw, std::vector<uint8_t>& out) {
    uLongf size = compressBound(static_cast<uLong>(raw.size()));
    out.resize(size);
    if (compress(out.data(), &size, raw.data(), static_cast<uLong>(raw.size())) != Z_OK) {
        return false;
    }
    out.resize(size);
    return true;
}

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

bool WritePng(const std::string& path, const RasterPicture& picture) {
    if (picture.Width() <= 0 || picture.Height() <= 0) return false;
    const std::vector<uint8_t> raw = Scanlines(picture);
    if (raw.size() > UINT32_MAX) return false;  // beyond what one chunk and zlib's sizes hold
    std::vector<uint8_t> header;
    PutBigEndian(header, static_cast<uint32_t>(picture.Width()));
    PutBigEndian(header, static_cast<uint32_t>(picture.Height()));
    header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit RGB, deflate, no interlace
    std::vector<uint8_t> compressed;
    if (!Deflate(raw, compressed)) return false;
    std::vector<uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    PutChunk(png, "IHDR", header);
    PutChunk(png, "IDAT", compressed);
    PutChunk(png, "IEND", {});
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file.get()) == png.size();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace tarvelin::platform
