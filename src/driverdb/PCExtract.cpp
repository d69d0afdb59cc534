#include "driverdb/PCExtract.h"

#include <algorithm>

#include "driverdb/Inflate.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

constexpr size_t kBlock = 8;
constexpr size_t kFrameHead = 12;  // filler and payload length
// The longest output one input byte can code: four 258-byte matches of two bits each.
constexpr uint64_t kMaxExpansion = 1032;
// The first output buffer for a payload of L bytes: room for most entries at once. The index
// size alone never sets it, since a container can claim any size.
constexpr uint64_t kFirstRatio = 16;
constexpr uint64_t kFirstSlack = 4096;
// The longest single write of the decoder (a stored block): a stream that failed with less
// room than this left may only have run out of room.
constexpr size_t kLongestWrite = 65535;

// Deciphers `Lanes` independent blocks side by side: CBC deciphering has no chain between
// the blocks' rounds, so interleaving them keeps the processor's units busy.
template <size_t Lanes>
void DecipherLanes(const DriverBaseCipher& cipher, uint8_t* p, uint32_t& prevL, uint32_t& prevR) {
    uint32_t l[Lanes], r[Lanes], cl[Lanes], cr[Lanes];
    for (size_t k = 0; k < Lanes; ++k) {
        cl[k] = l[k] = LoadBlockWord(p + kBlock * k);
        cr[k] = r[k] = LoadBlockWord(p + kBlock * k + 4);
    }
    const auto& schedule = cipher.DecipherSchedule();
    for (unsigned round = 0; round < 32; round += 2) {
        for (size_t k = 0; k < Lanes; ++k) l[k] ^= cipher.RoundFunction(r[k], schedule[round]);
        for (size_t k = 0; k < Lanes; ++k) r[k] ^= cipher.RoundFunction(l[k], schedule[round + 1]);
    }
    for (size_t k = 0; k < Lanes; ++k) {
        StoreBlockWord(p + kBlock * k, l[k] ^ prevL);
        StoreBlockWord(p + kBlock * k + 4, r[k] ^ prevR);
        prevL = cl[k];
        prevR = cr[k];
    }
}

}  // namespace

void PCExtract::DecipherBlocks(std::span<uint8_t> data) const {
    constexpr size_t kLanes = 6;
    uint32_t prevL = 0, prevR = 0;
    const size_t blocks = data.size() / kBlock;
    size_t i = 0;
    for (; i + kLanes <= blocks; i += kLanes) {
        DecipherLanes<kLanes>(cipher_, data.data() + i * kBlock, prevL, prevR);
    }
    for (; i < blocks; ++i) DecipherLanes<1>(cipher_, data.data() + i * kBlock, prevL, prevR);
}

bool PCExtract::DecipherBuffer(std::vector<uint8_t>& data) const {
    if (data.size() % kBlock != 0 || data.size() < 2 * kBlock) return false;
    DecipherBlocks(data);
    const uint32_t length = LoadLe32(&data[8]);
    const uint64_t slack = data.size() - uint64_t{length};  // wraps huge when length > size
    if (length < 1 || slack < kFrameHead || slack >= kFrameHead + kBlock) return false;
    std::copy(data.begin() + kFrameHead, data.begin() + kFrameHead + length, data.begin());
    data.resize(length);
    return true;
}

bool PCExtract::GetArray(std::vector<uint8_t>& data, int32_t unpackedSize) const {
    return unpackedSize >= 0 && DecipherBuffer(data) && InflatePayload(data, unpackedSize);
}

bool PCExtract::InflatePayload(std::vector<uint8_t>& data, int32_t unpackedSize) const {
    if (unpackedSize < 0) return false;
    // Output beyond B + 1 bytes, or beyond what the payload can code, is refused.
    const uint64_t limit = std::min<uint64_t>(uint64_t{static_cast<uint32_t>(unpackedSize)} + 1,
                                              kMaxExpansion * data.size() + kMaxExpansion);
    uint64_t capacity = std::min(limit, kFirstRatio * data.size() + kFirstSlack);
    std::vector<uint8_t> out;
    for (;;) {
        out.resize(static_cast<size_t>(capacity));
        size_t produced = 0;
        if (Inflate(data, out, produced) == kInflateOk) {
            out.resize(produced);
            data = std::move(out);
            return true;
        }
        // Doubling only while the output filled the buffer keeps the work under twice that
        // of one pass with the final buffer.
        if (capacity == limit || out.size() - produced > kLongestWrite) return false;
        capacity = std::min(limit, 2 * capacity);
    }
}

}  // namespace tarvelin
