// Arbitrary streams into an arbitrary output capacity (the first two bytes).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "driverdb/Inflate.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const size_t capacity = data[0] | (data[1] << 8);
    std::vector<uint8_t> out(capacity);
    size_t produced = 0;
    const int32_t result = tarvelin::Inflate(std::span(data + 2, size - 2), out, produced);
    if (produced > capacity) std::abort();
    if (result != tarvelin::kInflateOk && result != tarvelin::kInflateDataError &&
        result != tarvelin::kInflateStoredLength && result != tarvelin::kInflateDynamicTables) {
        std::abort();  // the fixed tables always build
    }
    return 0;
}
