#include "driverdb/DriverBaseDeflate.h"

#include <zlib.h>

#include <limits>

namespace tarvelin {

bool DeflateRaw(std::span<const uint8_t> plain, std::vector<uint8_t>& packed, int level) {
    if (plain.size() > std::numeric_limits<uInt>::max()) return false;
    z_stream z{};
    if (deflateInit2(&z, level, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK) return false;
    std::vector<uint8_t> out(deflateBound(&z, static_cast<uLong>(plain.size())));
    z.next_in = const_cast<Bytef*>(plain.data());
    z.avail_in = static_cast<uInt>(plain.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int result = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    if (result != Z_STREAM_END) return false;
    packed = std::move(out);
    return true;
}

uint32_t Crc32(std::span<const uint8_t> bytes) {
    uLong crc = crc32(0, nullptr, 0);
    for (size_t done = 0; done < bytes.size();) {
        const size_t chunk = std::min<size_t>(bytes.size() - done, 1u << 30);
        crc = crc32(crc, bytes.data() + done, static_cast<uInt>(chunk));
        done += chunk;
    }
    return static_cast<uint32_t>(crc);
}

bool PackEntry(std::span<const uint8_t> plain, std::mt19937_64& random, StoredEntry& entry) {
    std::vector<uint8_t> packed;
    if (plain.size() > std::numeric_limits<uint32_t>::max() || !DeflateRaw(plain, packed)) {
        return false;
    }
    entry = StoreEntry(packed, static_cast<uint32_t>(plain.size()), Crc32(plain), random);
    return true;
}

}  // namespace tarvelin
