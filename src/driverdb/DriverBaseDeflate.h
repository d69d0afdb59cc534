#pragma once
// The compressing half of the container writer (native builds only: it uses zlib), in
// tarvelin_dbwriter with the rest of the writer.
#include <cstdint>
#include <random>
#include <span>
#include <vector>

#include "driverdb/DriverBaseWriter.h"

namespace tarvelin {

// Raw DEFLATE (no wrapper) at the given zlib level; false when zlib fails.
bool DeflateRaw(std::span<const uint8_t> plain, std::vector<uint8_t>& packed, int level = 9);
uint32_t Crc32(std::span<const uint8_t> bytes);
// Deflates, frames and enciphers one entry; its identifier is the CRC-32 of the plain bytes.
bool PackEntry(std::span<const uint8_t> plain, std::mt19937_64& random, StoredEntry& entry);

}  // namespace tarvelin
