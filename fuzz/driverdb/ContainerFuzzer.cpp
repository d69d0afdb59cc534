// Arbitrary bytes as a container: header, index and every entry's extraction, which must
// agree whether it starts from the entry number or from the parsed index, and never yield
// more than B + 1 bytes.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "driverdb/DriverBaseFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    const std::span<const uint8_t> container(data, size);
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!ParseDriverBaseHeader(container, header) ||
        !ParseDriverBaseIndex(container, header, records)) {
        return 0;
    }
    for (int32_t n = 0; n <= header.entryCount + 1; ++n) {
        std::vector<uint8_t> entry, same;
        const bool extracted = ExtractEntry(container, n, entry);
        if (n < 1 || n > header.entryCount) {
            if (extracted) __builtin_trap();
            continue;
        }
        const DriverBaseIndexRecord& r = records[static_cast<size_t>(n - 1)];
        if (extracted != ExtractRecord(container, r, same) || entry != same ||
            (extracted && entry.size() > uint64_t{r.unpackedSize} + 1)) {
            __builtin_trap();
        }
    }
    return 0;
}
