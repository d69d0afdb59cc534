#pragma once
// Containers for tests, built without a compressor: every entry a stored-block stream.
#include <random>
#include <string>
#include <vector>

#include "DeflateBits.h"
#include "driverdb/DriverBaseWriter.h"

namespace tarvelin::test {

inline StoredEntry StoredEntryOf(const std::vector<uint8_t>& plain, std::mt19937_64& random) {
    return StoreEntry(StoredStream(plain), static_cast<uint32_t>(plain.size()), 0, random);
}

inline std::vector<uint8_t> ContainerOf(const std::vector<StoredEntry>& entries,
                                        const ContainerHeaderFields& fields = {}) {
    std::vector<uint8_t> container;
    LayoutDriverBase(entries, fields, container);
    return container;
}

inline std::vector<uint8_t> ContainerOfPlain(const std::vector<std::vector<uint8_t>>& plain) {
    std::mt19937_64 random(1);
    std::vector<StoredEntry> entries;
    for (const auto& p : plain) entries.push_back(StoredEntryOf(p, random));
    return ContainerOf(entries);
}

inline std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

}  // namespace tarvelin::test
