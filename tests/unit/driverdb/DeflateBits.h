#pragma once
// Hand-made raw DEFLATE streams for tests that must not depend on a compressor: stored
// blocks and fixed-Huffman blocks with literals (symbols below 256), the end of block (256)
// and matches of any length and distance (distance codes 30 and 31 included).
#include <cstdint>
#include <span>
#include <vector>

namespace tarvelin::test {

class DeflateBits {
  public:
    void Put(uint32_t value, unsigned bits) {
        for (unsigned i = 0; i < bits; ++i) PutBit((value >> i) & 1);
    }
    // Huffman codes go most significant bit first.
    void PutCode(uint32_t code, unsigned len) {
        for (unsigned i = len; i > 0; --i) PutBit((code >> (i - 1)) & 1);
    }
    void FixedHeader(bool final) {
        Put(final ? 1 : 0, 1);
        Put(1, 2);
    }
    void FixedSymbol(unsigned sym) {
        if (sym < 144) return PutCode(0x30 + sym, 8);
        if (sym < 256) return PutCode(0x190 + sym - 144, 9);
        if (sym < 280) return PutCode(sym - 256, 7);
        PutCode(0xC0 + sym - 280, 8);
    }
    void Match(unsigned length, unsigned distance) {
        static constexpr uint16_t kLenBase[29] = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                  15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
        static constexpr uint8_t kLenExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
        unsigned l = 28;
        while (kLenBase[l] > length) --l;
        FixedSymbol(257 + l);
        Put(length - kLenBase[l], kLenExtra[l]);
        unsigned d = 31;
        while (DistBase(d) > distance) --d;
        PutCode(d, 5);
        Put(distance - DistBase(d), d < 4 ? 0 : d / 2 - 1);
    }
    // Aligns to a byte and writes a stored block (LEN, NLEN, data).
    void Stored(std::span<const uint8_t> data, bool final, bool wrongNlen = false) {
        Put(final ? 1 : 0, 1);
        Put(0, 2);
        while (count_ % 8 != 0) PutBit(0);
        const auto len = static_cast<uint32_t>(data.size());
        Put(len, 16);
        Put((len ^ 0xFFFF) ^ (wrongNlen ? 1 : 0), 16);
        for (uint8_t b : data) Put(b, 8);
    }
    std::vector<uint8_t> Bytes() const { return bytes_; }

    static unsigned DistBase(unsigned code) {
        if (code < 4) return code + 1;
        const unsigned extra = code / 2 - 1;
        return (1u << (extra + 1)) + 1 + (code & 1) * (1u << extra);
    }

  private:
    void PutBit(uint32_t bit) {
        if (count_ % 8 == 0) bytes_.push_back(0);
        bytes_.back() |= static_cast<uint8_t>(bit << (count_ % 8));
        ++count_;
    }
    std::vector<uint8_t> bytes_;
    size_t count_ = 0;
};

inline std::vector<uint8_t> StoredStream(std::span<const uint8_t> data, bool wrongNlen = false) {
    DeflateBits bits;
    bits.Stored(data, true, wrongNlen);
    return bits.Bytes();
}

}  // namespace tarvelin::test
