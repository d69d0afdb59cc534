#pragma once
// Saving a raster picture as a PNG file a person can open.
#include <string>

#include "platform/posix/RasterCanvas.h"

namespace tarvelin::platform {

// Writes the picture as an 8-bit RGB PNG. Returns false when the picture is empty or the
// file cannot be written completely.
bool WritePng(const std::string& path, const RasterPicture& picture);

}  // namespace tarvelin::platform
