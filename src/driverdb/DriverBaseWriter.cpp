#include "driverdb/DriverBaseWriter.h"

#include <limits>

#include "driverdb/DriverBaseCipher.h"
#include "platform/AnsiText.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

constexpr size_t kBlock = 8;
constexpr size_t kFrameHead = 12;

void AppendLe16(std::vector<uint8_t>& out, uint16_t v) {
    uint8_t bytes[2];
    StoreLe16(bytes, v);
    out.insert(out.end(), bytes, bytes + 2);
}
void AppendLe32(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[4];
    StoreLe32(bytes, v);
    out.insert(out.end(), bytes, bytes + 4);
}
void AppendRandom(std::vector<uint8_t>& out, size_t count, std::mt19937_64& random) {
    for (size_t i = 0; i < count; ++i) out.push_back(static_cast<uint8_t>(random()));
}

}  // namespace

void EncipherBlocks(std::span<uint8_t> data) {
    const DriverBaseCipher cipher;
    uint32_t prevL = 0, prevR = 0;
    for (size_t i = 0; i + kBlock <= data.size(); i += kBlock) {
        uint32_t l = LoadBlockWord(&data[i]) ^ prevL;
        uint32_t r = LoadBlockWord(&data[i + 4]) ^ prevR;
        cipher.EncipherBlock(l, r);
        StoreBlockWord(&data[i], prevL = l);
        StoreBlockWord(&data[i + 4], prevR = r);
    }
}

std::vector<uint8_t> BuildFrame(std::span<const uint8_t> payload, size_t padding,
                                std::mt19937_64& random) {
    std::vector<uint8_t> frame;
    frame.reserve(kFrameHead + payload.size() + padding);
    AppendRandom(frame, 8, random);
    AppendLe32(frame, static_cast<uint32_t>(payload.size()));
    frame.insert(frame.end(), payload.begin(), payload.end());
    AppendRandom(frame, padding, random);
    return frame;
}

StoredEntry StoreEntry(std::span<const uint8_t> packed, uint32_t unpackedSize, uint32_t identifier,
                       std::mt19937_64& random) {
    const size_t padding = (kBlock - (kFrameHead + packed.size()) % kBlock) % kBlock;
    StoredEntry entry{identifier, static_cast<uint32_t>(packed.size()), unpackedSize,
                      BuildFrame(packed, padding, random)};
    EncipherBlocks(entry.stored);
    return entry;
}

bool LayoutDriverBase(const std::vector<StoredEntry>& entries, const ContainerHeaderFields& fields,
                      std::vector<uint8_t>& container) {
    uint64_t offset = kDriverBaseHeaderSize + kDriverBaseIndexRecordSize * uint64_t{entries.size()};
    std::vector<uint8_t> out(kDriverBaseMagic.begin(), kDriverBaseMagic.end());
    AppendLe16(out, fields.versionMajor);
    AppendLe16(out, fields.versionMinor);
    AppendLe32(out, fields.date);
    AppendLe32(out, static_cast<uint32_t>(entries.size()));
    for (const StoredEntry& e : entries) {
        if (offset + 1 + e.stored.size() > std::numeric_limits<uint32_t>::max()) return false;
        for (uint32_t v :
             {e.identifier, e.packedLength, e.unpackedSize, static_cast<uint32_t>(e.stored.size()),
              static_cast<uint32_t>(offset + 1)}) {
            AppendLe32(out, v);
        }
        offset += e.stored.size();
    }
    for (const StoredEntry& e : entries) out.insert(out.end(), e.stored.begin(), e.stored.end());
    container = std::move(out);
    return true;
}

std::string TextEntryFromUtf8(std::string_view text) {
    std::string crlf;
    crlf.reserve(text.size() + text.size() / 16);
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) crlf += '\r';
        crlf += text[i];
    }
    return Utf8ToCp1251(crlf);
}

}  // namespace tarvelin
