#include "platform/posix/PngWriter.h"

#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "platform/PngImage.h"

namespace tarvelin::platform {
namespace {

// Compressed natively, where zlib is at hand.
bool Compress(const std::vector<uint8_t>& raw, std::vector<uint8_t>& out) {
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
    const std::vector<uint8_t> png = EncodePng(
        picture.Width(), picture.Height(), [&](Point at) { return picture.PixelAt(at); }, Compress);
    if (png.empty()) return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
    if (!file) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), file.get()) == png.size();
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace tarvelin::platform
