#pragma once
// The program's pictures natively: "<folder>/<id>.bmp", the files the build renders.
#include <string>

#include "platform/ImageSource.h"
#include "platform/posix/RasterCanvas.h"

namespace tarvelin::platform {

// The picture of a bitmap file; nullptr when it cannot be read or decoded.
std::shared_ptr<RasterPicture> LoadBmpFile(const std::string& path);

class BmpImageSource final : public IImageSource {
  public:
    explicit BmpImageSource(std::string folder) : folder_(std::move(folder)) {}
    // Reads and decodes the file afresh on every call.
    std::shared_ptr<const IImage> Bitmap(uint16_t id) override;

  private:
    std::string folder_;
};

}  // namespace tarvelin::platform
