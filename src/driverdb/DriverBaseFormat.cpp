#include "driverdb/DriverBaseFormat.h"

#include <cstring>

#include "driverdb/PCExtract.h"

namespace tarvelin {
namespace {

constexpr char kMagic[6] = {'V', 'e', 'x', 'r', 'D', 'B'};

uint32_t Load32(const uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

}  // namespace

bool ParseDriverBaseHeader(std::span<const uint8_t> container, DriverBaseHeader& header) {
    if (container.size() < kDriverBaseHeaderSize) return false;
    const uint8_t* p = container.data();
    if (std::memcmp(p, kMagic, sizeof kMagic) != 0) return false;
    DriverBaseHeader h;
    h.versionMajor = Load16(p + 6);
    h.versionMinor = Load16(p + 8);
    h.date = static_cast<int32_t>(Load32(p + 10));
    h.entryCount = static_cast<int32_t>(Load32(p + 14));
    if (h.versionMajor != kDriverBaseVersionMajor || h.date < 1 || h.entryCount < 1) return false;
    header = h;
    return true;
}

bool ParseDriverBaseIndex(std::span<const uint8_t> container, const DriverBaseHeader& header,
                          std::vector<DriverBaseIndexRecord>& records) {
    if (header.entryCount < 1) return false;
    const auto count = static_cast<uint64_t>(header.entryCount);
    if (container.size() < kDriverBaseHeaderSize + kDriverBaseIndexRecordSize * count) return false;
    records.resize(static_cast<size_t>(count));
    const uint8_t* p = container.data() + kDriverBaseHeaderSize;
    for (auto& r : records) {
        r = {Load32(p), Load32(p + 4), Load32(p + 8), Load32(p + 12), Load32(p + 16)};
        p += kDriverBaseIndexRecordSize;
    }
    return true;
}

bool ExtractEntry(std::span<const uint8_t> container, int32_t n, std::vector<uint8_t>& data) {
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!ParseDriverBaseHeader(container, header) ||
        !ParseDriverBaseIndex(container, header, records)) {
        return false;
    }
    if (n < 1 || n > header.entryCount) return false;
    const DriverBaseIndexRecord& r = records[static_cast<size_t>(n - 1)];
    // E - 1 + C must stay inside the container; 64-bit sums cannot wrap.
    if (r.offset < 1 || uint64_t{r.offset} - 1 + r.storedSize > container.size()) return false;
    const auto first = container.begin() + (r.offset - 1);
    std::vector<uint8_t> bytes(first, first + r.storedSize);
    const PCExtract extract;
    if (!extract.GetArray(bytes, static_cast<int32_t>(r.unpackedSize))) return false;
    data = std::move(bytes);
    return true;
}

}  // namespace tarvelin
