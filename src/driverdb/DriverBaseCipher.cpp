#include "driverdb/DriverBaseCipher.h"

#include <bit>

namespace tarvelin {
namespace {

// The container format's substitution rows; every row is a permutation of 0..15.
constexpr uint8_t kSubstitutionRows[8][16] = {
    {0x9, 0x3, 0xE, 0x0, 0x7, 0xB, 0x5, 0xC, 0x1, 0xF, 0x8, 0x2, 0xD, 0x6, 0xA, 0x4},
    {0x4, 0xA, 0x1, 0xD, 0x8, 0x6, 0xF, 0x3, 0xC, 0x0, 0x5, 0xB, 0x2, 0xE, 0x7, 0x9},
    {0xB, 0x6, 0x0, 0x9, 0xC, 0x3, 0xE, 0x5, 0x2, 0xD, 0x7, 0x8, 0xF, 0x1, 0x4, 0xA},
    {0x2, 0xF, 0x9, 0x4, 0x0, 0xD, 0x6, 0xA, 0xE, 0x3, 0xB, 0x7, 0x5, 0x8, 0xC, 0x1},
    {0xD, 0x0, 0x5, 0xA, 0x3, 0xE, 0x9, 0x7, 0x6, 0xC, 0x1, 0xF, 0x8, 0x2, 0xB, 0x4},
    {0x7, 0xC, 0xA, 0x1, 0xF, 0x2, 0x8, 0xD, 0x4, 0x9, 0x0, 0x6, 0xB, 0x5, 0x3, 0xE},
    {0x1, 0x8, 0x4, 0xE, 0x6, 0x9, 0xD, 0x2, 0xF, 0x5, 0xA, 0x0, 0x3, 0xB, 0xC, 0x7},
    {0xE, 0x5, 0xB, 0x7, 0x2, 0x0, 0xC, 0x9, 0xA, 0x4, 0x6, 0x1, 0x8, 0xF, 0xD, 0x3},
};

// The first 24 key values; the key is never stored whole. Values 24..31 are zero.
constexpr uint8_t kKeyTable[24] = {0x4B, 0x9E, 0x2D, 0x71, 0xC3, 0x58, 0xE6, 0x0F,
                                   0xA4, 0x37, 0xD9, 0x62, 0x15, 0xBC, 0x80, 0x4E,
                                   0xF2, 0x6B, 0x3A, 0x97, 0x2C, 0xE1, 0x74, 0xD5};

// A byte of the split of a negative sum, from the same byte of sum - 1: truncating division
// of a negative sum gives per byte the byte of the negated magnitude negated again, that is
// (sum - 1) + 1 without carries between the bytes.
constexpr unsigned NegativeSplitByte(unsigned v) {
    return ((v & 0x7F) + 1) ^ (v & 0x80);
}

}  // namespace

DriverBaseCipher::DriverBaseCipher() {
    for (unsigned t = 0; t < 4; ++t) {
        const uint8_t* high = kSubstitutionRows[2 * t + 1];
        const uint8_t* low = kSubstitutionRows[2 * t];
        for (unsigned v = 0; v < 256; ++v) {
            substitution_[t][v] = static_cast<uint8_t>(high[v >> 4] * 16 + low[v & 15]);
        }
        const auto spread = [&](unsigned v) {
            return std::rotl(static_cast<uint32_t>(substitution_[t][v]) << (8 * t), 11);
        };
        for (unsigned v = 0; v < 256; ++v) {
            spread_[0][t][v] = spread(v);
            spread_[1][t][v] = spread(NegativeSplitByte(v));
        }
    }
    std::array<uint8_t, 32> key{};
    for (unsigned i = 0; i < 32; ++i) {
        key[i] = static_cast<uint8_t>((i < 24 ? kKeyTable[i] : 0) ^ (31 - i));
    }
    for (unsigned i = 0; i < 8; ++i) {
        subkeys_[i] = key[4 * i] | (key[4 * i + 1] << 8) | (key[4 * i + 2] << 16) |
                      (static_cast<uint32_t>(key[4 * i + 3]) << 24);
    }
    for (unsigned i = 0; i < 8; ++i) {
        schedule_[i] = subkeys_[i];
        for (unsigned pass = 1; pass < 4; ++pass) schedule_[8 * pass + i] = subkeys_[7 - i];
    }
}

void DriverBaseCipher::DecipherBlock(uint32_t& l, uint32_t& r) const {
    for (unsigned round = 0; round < 32; round += 2) {
        l ^= RoundFunction(r, schedule_[round]);
        r ^= RoundFunction(l, schedule_[round + 1]);
    }
}

void DriverBaseCipher::EncipherBlock(uint32_t& l, uint32_t& r) const {
    for (unsigned round = 32; round > 0; round -= 2) {
        r ^= RoundFunction(l, schedule_[round - 1]);
        l ^= RoundFunction(r, schedule_[round - 2]);
    }
}

}  // namespace tarvelin
