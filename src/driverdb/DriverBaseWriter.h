#pragma once
// Builds driver database containers: the mirror of the reader. Entries arrive already
// deflated (the caller compresses), so this part needs no compression library. Not part of
// the program: tools/dbtool builds it into tarvelin_dbwriter for the tool and the tests.
#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "driverdb/DriverBaseFormat.h"

namespace tarvelin {

struct StoredEntry {
    uint32_t identifier = 0;
    uint32_t packedLength = 0;    // A
    uint32_t unpackedSize = 0;    // B
    std::vector<uint8_t> stored;  // C enciphered bytes
};

// CBC encipherment in place (each block XOR the previous ciphertext, the first with zero);
// the size must be a multiple of 8.
void EncipherBlocks(std::span<uint8_t> data);

// The frame: 8 filler bytes, the payload length, the payload and `padding` (0..7 for a
// frame the reader accepts) bytes, filler and padding drawn from `random`.
std::vector<uint8_t> BuildFrame(std::span<const uint8_t> payload, size_t padding,
                                std::mt19937_64& random);

// Frames and enciphers one deflated payload with the padding to the next 8-byte boundary.
StoredEntry StoreEntry(std::span<const uint8_t> packed, uint32_t unpackedSize, uint32_t identifier,
                       std::mt19937_64& random);

struct ContainerHeaderFields {
    uint16_t versionMajor = kDriverBaseVersionMajor;
    uint16_t versionMinor = kDriverBaseVersionMinor;
    uint32_t date = kDriverBaseDate;
};

// Header, index and entries back to back; false when the result would not fit the 32-bit
// offsets of the index.
bool LayoutDriverBase(const std::vector<StoredEntry>& entries, const ContainerHeaderFields& fields,
                      std::vector<uint8_t>& container);

// A UTF-8 text file as the catalogue stores it: LF line ends made CR LF, then Windows-1251.
std::string TextEntryFromUtf8(std::string_view text);

}  // namespace tarvelin
