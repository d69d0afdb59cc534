#pragma once
// Containers for tests, built without a compressor: every entry a stored-block stream.
#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "driverdb/DriverBaseWriter.h"
#include "platform/LittleEndian.h"

namespace tarvelin::test {

// One final stored block (LEN, NLEN, the bytes); `wrongNlen` breaks NLEN's last bit.
inline std::vector<uint8_t> StoredStream(const std::vector<uint8_t>& data, bool wrongNlen = false) {
    const auto len = static_cast<uint16_t>(data.size());
    std::vector<uint8_t> s(5 + data.size(), 1);
    StoreLe16(&s[1], len);
    StoreLe16(&s[3], static_cast<uint16_t>(~len ^ (wrongNlen ? 1 : 0)));
    std::copy(data.begin(), data.end(), s.begin() + 5);
    return s;
}

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
