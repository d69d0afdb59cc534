// Arbitrary bytes as a bitmap file: the decoder must refuse or decode, never read outside the
// bytes, and a decoded picture must hold exactly width x height pixels.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "platform/BmpImage.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto picture = tarvelin::platform::DecodeBmp(std::span(data, size));
    if (picture && picture->pixels.size() !=
                       static_cast<size_t>(picture->width) * static_cast<size_t>(picture->height)) {
        std::abort();
    }
    return 0;
}
