#pragma once
// The block cipher of the driver database container: a 32-round Feistel cipher on 64-bit
// blocks with eight 32-bit subkeys, four substitution tables of 256 bytes and a round
// function that splits its sum into bytes by truncating signed division.
#include <array>
#include <cstdint>

namespace tarvelin {

class DriverBaseCipher {
  public:
    DriverBaseCipher();  // forms the substitution tables and the key

    // The round function substitutes the bytes b0 (bits 24..31) to b3 (bits 0..7) of the sum
    // split by repeated signed division by 256, truncated toward zero. The split is folded
    // into the tables: a negative sum indexes with the bytes of sum - 1 a second set of
    // tables that applies the per-byte correction.
    uint32_t RoundFunction(uint32_t x, uint32_t key) const {
        const uint32_t sum = x + key;
        const uint32_t negative = sum >> 31;
        const uint32_t t = sum - negative;
        const auto& s = spread_[negative];
        return s[0][t >> 24] ^ s[1][(t >> 16) & 0xFF] ^ s[2][(t >> 8) & 0xFF] ^ s[3][t & 0xFF];
    }

    void DecipherBlock(uint32_t& l, uint32_t& r) const;
    void EncipherBlock(uint32_t& l, uint32_t& r) const;  // the inverse of DecipherBlock

    // Subkey order of the 32 deciphering rounds: K0..K7, then K7..K0 three times.
    const std::array<uint32_t, 32>& DecipherSchedule() const { return schedule_; }
    // T(1,0), T(3,2), T(5,4), T(7,6).
    const std::array<std::array<uint8_t, 256>, 4>& Substitution() const { return substitution_; }

  private:
    std::array<std::array<uint8_t, 256>, 4> substitution_{};
    // substitution_[i] already placed in its byte of W and rotated left by 11 bits; the
    // second set takes the bytes of sum - 1 of a negative sum.
    std::array<std::array<std::array<uint32_t, 256>, 4>, 2> spread_{};
    std::array<uint32_t, 8> subkeys_{};
    std::array<uint32_t, 32> schedule_{};
};

// The cipher's 64-bit blocks are two big-endian 32-bit words.
inline uint32_t LoadBlockWord(const uint8_t* p) {
    return (static_cast<uint32_t>(p[0]) << 24) | (p[1] << 16) | (p[2] << 8) | p[3];
}
inline void StoreBlockWord(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v >> 24);
    p[1] = static_cast<uint8_t>(v >> 16);
    p[2] = static_cast<uint8_t>(v >> 8);
    p[3] = static_cast<uint8_t>(v);
}

}  // namespace tarvelin
