#include "driverdb/DriverBaseFormat.h"

#include <algorithm>

#include "driverdb/PCExtract.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

bool IndexFits(std::span<const uint8_t> container, const DriverBaseHeader& header) {
    if (header.entryCount < 1) return false;
    const auto count = static_cast<uint64_t>(header.entryCount);
    return container.size() >= kDriverBaseHeaderSize + kDriverBaseIndexRecordSize * count;
}

DriverBaseIndexRecord RecordAt(const uint8_t* p) {
    return {LoadLe32(p), LoadLe32(p + 4), LoadLe32(p + 8), LoadLe32(p + 12), LoadLe32(p + 16)};
}

const uint8_t* RecordStart(std::span<const uint8_t> container, size_t index) {
    return container.data() + kDriverBaseHeaderSize + kDriverBaseIndexRecordSize * index;
}

}  // namespace

bool ParseDriverBaseHeader(std::span<const uint8_t> container, DriverBaseHeader& header) {
    if (container.size() < kDriverBaseHeaderSize) return false;
    const uint8_t* p = container.data();
    if (!std::equal(kDriverBaseMagic.begin(), kDriverBaseMagic.end(), p)) return false;
    DriverBaseHeader h;
    h.versionMajor = LoadLe16(p + 6);
    h.versionMinor = LoadLe16(p + 8);
    h.date = static_cast<int32_t>(LoadLe32(p + 10));
    h.entryCount = static_cast<int32_t>(LoadLe32(p + 14));
    if (h.versionMajor != kDriverBaseVersionMajor || h.date < 1 || h.entryCount < 1) return false;
    header = h;
    return true;
}

bool ParseDriverBaseIndex(std::span<const uint8_t> container, const DriverBaseHeader& header,
                          std::vector<DriverBaseIndexRecord>& records) {
    if (!IndexFits(container, header)) return false;
    records.resize(static_cast<size_t>(header.entryCount));
    for (size_t i = 0; i < records.size(); ++i) records[i] = RecordAt(RecordStart(container, i));
    return true;
}

bool ReadDriverBaseIndexRecord(std::span<const uint8_t> container, const DriverBaseHeader& header,
                               int32_t n, DriverBaseIndexRecord& record) {
    if (n < 1 || n > header.entryCount || !IndexFits(container, header)) return false;
    record = RecordAt(RecordStart(container, static_cast<size_t>(n - 1)));
    return true;
}

bool ReadStoredBytes(std::span<const uint8_t> container, const DriverBaseIndexRecord& record,
                     std::vector<uint8_t>& stored) {
    // E - 1 + C must stay inside the container; 64-bit sums cannot wrap.
    if (record.offset < 1 || uint64_t{record.offset} - 1 + record.storedSize > container.size()) {
        return false;
    }
    const auto first = container.begin() + (record.offset - 1);
    stored.assign(first, first + record.storedSize);
    return true;
}

bool ExtractRecord(std::span<const uint8_t> container, const DriverBaseIndexRecord& record,
                   std::vector<uint8_t>& data) {
    std::vector<uint8_t> bytes;
    const PCExtract extract;
    if (!ReadStoredBytes(container, record, bytes) ||
        !extract.GetArray(bytes, static_cast<int32_t>(record.unpackedSize))) {
        return false;
    }
    data = std::move(bytes);
    return true;
}

bool ExtractEntry(std::span<const uint8_t> container, int32_t n, std::vector<uint8_t>& data) {
    DriverBaseHeader header;
    DriverBaseIndexRecord record;
    return ParseDriverBaseHeader(container, header) &&
           ReadDriverBaseIndexRecord(container, header, n, record) &&
           ExtractRecord(container, record, data);
}

}  // namespace tarvelin
