#include "platform/posix/BmpImageSource.h"

#include <fstream>
#include <iterator>
#include <vector>

#include "platform/BmpImage.h"

namespace tarvelin::platform {

std::shared_ptr<RasterPicture> LoadBmpFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return nullptr;
    const std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
    const std::optional<BmpPicture> decoded = DecodeBmp(bytes);
    if (!decoded) return nullptr;
    auto picture = std::make_shared<RasterPicture>(decoded->width, decoded->height);
    for (int32_t y = 0; y < decoded->height; ++y) {
        for (int32_t x = 0; x < decoded->width; ++x) picture->SetPixelAt({x, y}, decoded->At(x, y));
    }
    return picture;
}

std::shared_ptr<const IImage> BmpImageSource::Bitmap(uint16_t id) {
    return LoadBmpFile(folder_ + "/" + std::to_string(id) + ".bmp");
}

}  // namespace tarvelin::platform
