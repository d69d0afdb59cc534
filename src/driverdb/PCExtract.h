#pragma once
// Turns the stored bytes of one container entry back into the entry: deciphers the frame
// (CBC, zero initialisation vector), takes its payload and inflates it.
#include <cstdint>
#include <span>
#include <vector>

#include "driverdb/DriverBaseCipher.h"

namespace tarvelin {

class PCExtract {
  public:
    PCExtract() = default;
    PCExtract(const PCExtract&) = delete;
    PCExtract& operator=(const PCExtract&) = delete;

    // `data` holds the stored bytes of an entry, `unpackedSize` its index size B. On true,
    // `data` holds the entry; on false its content is unspecified.
    bool GetArray(std::vector<uint8_t>& data, int32_t unpackedSize) const;

    // Inflates a deciphered payload in place: true when the stream ends within B + 1 bytes
    // of output. Memory follows the output actually produced, not the size the index claims.
    bool InflatePayload(std::vector<uint8_t>& data, int32_t unpackedSize) const;

    // Deciphers the frame in place and leaves its payload: false unless the size is a whole
    // number of blocks and the payload length L satisfies L >= 1 and 12 <= size - L < 20.
    bool DecipherBuffer(std::vector<uint8_t>& data) const;

    // CBC deciphering of whole 8-byte blocks in place.
    void DecipherBlocks(std::span<uint8_t> data) const;

    const DriverBaseCipher& Cipher() const { return cipher_; }

  private:
    DriverBaseCipher cipher_;
};

}  // namespace tarvelin
