#pragma once
// The driver database container: an 18-byte header ("VexrDB", structure version, database
// date, entry count), an index of 20-byte records and the stored entries. These functions
// work on any byte span and never read outside it.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tarvelin {

inline constexpr std::string_view kDriverBaseMagic = "VexrDB";  // case counts
inline constexpr size_t kDriverBaseHeaderSize = 18;
inline constexpr size_t kDriverBaseIndexRecordSize = 20;
inline constexpr uint16_t kDriverBaseVersionMajor = 1;
inline constexpr uint16_t kDriverBaseVersionMinor = 2;
inline constexpr int32_t kDriverBaseDate = 39629;  // 30 June 2008, in days since 30.12.1899

struct DriverBaseHeader {
    uint16_t versionMajor = 0;
    uint16_t versionMinor = 0;
    int32_t date = 0;
    int32_t entryCount = 0;
};

struct DriverBaseIndexRecord {
    uint32_t identifier = 0;    // the writer's own; the reader ignores it
    uint32_t packedLength = 0;  // A: length of the deflated stream
    uint32_t unpackedSize = 0;  // B: size after inflation
    uint32_t storedSize = 0;    // C: enciphered bytes, a multiple of 8
    uint32_t offset = 0;        // E: 1-based offset of the first stored byte
};

// Reads the header: false when shorter than 18 bytes, the magic differs (case counts), the
// major version is not 1, or the date or entry count is below 1.
bool ParseDriverBaseHeader(std::span<const uint8_t> container, DriverBaseHeader& header);

// Fills `records` with entries 1..N (records[n - 1] is entry n); false when the container
// is shorter than 18 + 20 N bytes.
bool ParseDriverBaseIndex(std::span<const uint8_t> container, const DriverBaseHeader& header,
                          std::vector<DriverBaseIndexRecord>& records);

// Entry n's record alone (1-based), without reading the rest of the index; false when n is
// outside 1..N or the index does not fit the container.
bool ReadDriverBaseIndexRecord(std::span<const uint8_t> container, const DriverBaseHeader& header,
                               int32_t n, DriverBaseIndexRecord& record);

// The C stored bytes from offset E; false when they do not lie inside the container.
bool ReadStoredBytes(std::span<const uint8_t> container, const DriverBaseIndexRecord& record,
                     std::vector<uint8_t>& stored);

// The plain bytes of one entry; `data` is untouched on failure.
bool ExtractRecord(std::span<const uint8_t> container, const DriverBaseIndexRecord& record,
                   std::vector<uint8_t>& data);
// The plain bytes of entry n (1-based); `data` is untouched on failure.
bool ExtractEntry(std::span<const uint8_t> container, int32_t n, std::vector<uint8_t>& data);

}  // namespace tarvelin
