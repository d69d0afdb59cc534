// Arbitrary streams into an arbitrary output capacity (the first two bytes). A stream that
// decodes must decode the same into a buffer of exactly its size (where the decoder leaves
// its fast loop at other points) and must fail into one byte less.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "driverdb/Inflate.h"

namespace {

int32_t Decode(std::span<const uint8_t> in, size_t capacity, std::vector<uint8_t>& out) {
    out.assign(capacity, 0);
    size_t produced = 0;
    const int32_t result = tarvelin::Inflate(in, out, produced);
    if (produced > capacity) std::abort();
    out.resize(produced);
    return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t capacity = data[0] | (data[1] << 8);
    const std::span<const uint8_t> in(data + 2, size - 2);
    std::vector<uint8_t> out, exact;
    const int32_t result = Decode(in, capacity, out);
    if (result != tarvelin::kInflateOk && result != tarvelin::kInflateDataError &&
        result != tarvelin::kInflateStoredLength && result != tarvelin::kInflateDynamicTables) {
        std::abort();  // the fixed tables always build
    }
    if (result != tarvelin::kInflateOk && result != tarvelin::kInflateStoredLength) return 0;
    if (Decode(in, out.size(), exact) != result || exact != out) std::abort();
    if (!out.empty() && Decode(in, out.size() - 1, exact) != tarvelin::kInflateDataError) {
        std::abort();
    }
    return 0;
}
