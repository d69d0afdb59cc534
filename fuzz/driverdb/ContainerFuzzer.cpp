// Arbitrary bytes as a container: header, index and every entry's extraction.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "driverdb/DriverBaseFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> container(data, size);
    tarvelin::DriverBaseHeader header;
    std::vector<tarvelin::DriverBaseIndexRecord> records;
    if (!tarvelin::ParseDriverBaseHeader(container, header) ||
        !tarvelin::ParseDriverBaseIndex(container, header, records)) {
        return 0;
    }
    for (int32_t n = 0; n <= header.entryCount + 1; ++n) {
        std::vector<uint8_t> entry;
        tarvelin::ExtractEntry(container, n, entry);
    }
    return 0;
}
