#include "driverdb/Inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tarvelin {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the bit reader loads little-endian words");

// A decoding table entry packs everything one lookup needs:
//   bits 0..7   code bits to drop (for a link: the primary index bits)
//   bits 8..11  extra bits following the code (for a link: the subtable's index bits)
//   bits 12..15 flags below; none set means a length or distance
//   bits 16..31 literal byte, length or distance base, or subtable start
constexpr uint32_t kLiteral = 1u << 12;
constexpr uint32_t kEndOfBlock = 1u << 13;
constexpr uint32_t kLink = 1u << 14;
constexpr uint32_t kInvalid = 1u << 15;

constexpr unsigned kLitlenRoot = 10;
constexpr unsigned kDistRoot = 8;
constexpr unsigned kCodeLenRoot = 7;
// Primary table plus room for every subtable a complete code of that many symbols can need.
constexpr size_t kLitlenCapacity = (1u << kLitlenRoot) + 2048;
constexpr size_t kDistCapacity = (1u << kDistRoot) + 1024;
constexpr unsigned kMaxCodeLen = 15;
constexpr unsigned kLitlenSymbols = 288;
constexpr unsigned kDistSymbols = 32;

constexpr uint32_t Entry(uint32_t value, uint32_t extra, uint32_t flags) {
    return (value << 16) | (extra << 8) | flags;
}

constexpr std::array<uint16_t, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                  15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                  67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<uint8_t, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                  2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
// Codes 30 and 31 continue the series; a conforming compressor never emits them.
constexpr std::array<uint16_t, kDistSymbols> kDistBase = {
    1,    2,    3,    4,    5,    7,     9,     13,    17,    25,   33,
    49,   65,   97,   129,  193,  257,   385,   513,   769,   1025, 1537,
    2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577, 32769, 49153};
constexpr std::array<uint8_t, kDistSymbols> kDistExtra = {0,  0,  0,  0,  1,  1,  2,  2,  3,  3, 4,
                                                          4,  5,  5,  6,  6,  7,  7,  8,  8,  9, 9,
                                                          10, 10, 11, 11, 12, 12, 13, 13, 14, 14};

constexpr std::array<uint32_t, kLitlenSymbols> MakeLitlenEntries() {
    std::array<uint32_t, kLitlenSymbols> e{};
    for (uint32_t s = 0; s < 256; ++s) e[s] = Entry(s, 0, kLiteral);
    e[256] = Entry(0, 0, kEndOfBlock);
    for (uint32_t s = 257; s < 286; ++s)
        e[s] = Entry(kLengthBase[s - 257], kLengthExtra[s - 257], 0);
    e[286] = e[287] = kInvalid;
    return e;
}
constexpr std::array<uint32_t, kDistSymbols> MakeDistEntries() {
    std::array<uint32_t, kDistSymbols> e{};
    for (uint32_t s = 0; s < kDistSymbols; ++s) e[s] = Entry(kDistBase[s], kDistExtra[s], 0);
    return e;
}
constexpr std::array<uint32_t, 19> MakeCodeLenEntries() {
    std::array<uint32_t, 19> e{};
    for (uint32_t s = 0; s < 19; ++s) e[s] = Entry(s, 0, 0);
    return e;
}
constexpr auto kLitlenEntries = MakeLitlenEntries();
constexpr auto kDistEntries = MakeDistEntries();
constexpr auto kCodeLenEntries = MakeCodeLenEntries();

constexpr std::array<uint8_t, 256> MakeByteReversal() {
    std::array<uint8_t, 256> r{};
    for (unsigned v = 0; v < 256; ++v) {
        for (unsigned bit = 0; bit < 8; ++bit)
            r[v] |= static_cast<uint8_t>(((v >> bit) & 1) << (7 - bit));
    }
    return r;
}
constexpr auto kByteReversal = MakeByteReversal();

// Huffman codes are sent most significant bit first, so the table index is the code reversed.
uint32_t ReverseBits(uint32_t code, unsigned len) {
    const uint32_t r16 = (kByteReversal[code & 0xFF] << 8) | kByteReversal[(code >> 8) & 0xFF];
    return r16 >> (16 - len);
}

struct CodeShape {
    std::array<uint16_t, kMaxCodeLen + 1> count{};
    unsigned maxLen = 0;
    bool complete = false;
};

// Counts the code lengths and checks the code: never over-subscribed, and complete unless
// `allowSparse` and no code is longer than one bit (a lone distance code, or none at all).
bool ShapeOf(const uint8_t* lens, unsigned n, bool allowSparse, CodeShape& shape) {
    for (unsigned s = 0; s < n; ++s) ++shape.count[lens[s]];
    shape.count[0] = 0;
    int32_t left = 1;
    for (unsigned len = 1; len <= kMaxCodeLen; ++len) {
        left = left * 2 - shape.count[len];
        if (left < 0) return false;
        if (shape.count[len] != 0) shape.maxLen = len;
    }
    shape.complete = left == 0;
    return shape.complete || (allowSparse && shape.maxLen <= 1);
}

// Size in index bits of the subtable that starts with a code of length `len`: wide enough
// for every remaining code sharing its primary prefix.
unsigned SubtableBits(const CodeShape& remaining, unsigned len, unsigned root) {
    unsigned bits = len - root;
    int32_t left = 1 << bits;
    while (bits + root < remaining.maxLen) {
        left -= remaining.count[bits + root];
        if (left <= 0) break;
        ++bits;
        left <<= 1;
    }
    return bits;
}

// Builds a canonical Huffman decoding table (primary `root` bits, subtables behind links).
bool BuildTable(const uint8_t* lens, unsigned n, const uint32_t* entries, unsigned root,
                bool allowSparse, uint32_t* table, size_t capacity) {
    CodeShape shape;
    if (!ShapeOf(lens, n, allowSparse, shape)) return false;
    std::array<uint16_t, kMaxCodeLen + 2> offset{};
    for (unsigned len = 1; len <= kMaxCodeLen; ++len)
        offset[len + 1] = offset[len] + shape.count[len];
    std::array<uint16_t, kLitlenSymbols> sorted{};
    for (unsigned s = 0; s < n; ++s) {
        if (lens[s] != 0) sorted[offset[lens[s]]++] = static_cast<uint16_t>(s);
    }
    const uint32_t rootSize = 1u << root;
    if (!shape.complete) std::fill(table, table + rootSize, kInvalid);  // else all get written
    CodeShape remaining = shape;
    size_t next = rootSize;
    uint32_t prefix = ~0u, subBits = 0, subStart = 0, code = 0;
    unsigned index = 0;
    for (unsigned len = 1; len <= shape.maxLen; ++len, code <<= 1) {
        for (unsigned k = 0; k < shape.count[len]; ++k, ++code) {
            const uint32_t entry = entries[sorted[index++]];
            const uint32_t rev = ReverseBits(code, len);
            if (len <= root) {
                for (uint32_t i = rev; i < rootSize; i += 1u << len) table[i] = entry | len;
            } else {
                if ((rev & (rootSize - 1)) != prefix) {
                    prefix = rev & (rootSize - 1);
                    subBits = SubtableBits(remaining, len, root);
                    if (next + (size_t{1} << subBits) > capacity) return false;
                    subStart = static_cast<uint32_t>(next);
                    table[prefix] = Entry(subStart, subBits, kLink) | root;
                    next += size_t{1} << subBits;
                }
                for (uint32_t i = rev >> root; i < (1u << subBits); i += 1u << (len - root)) {
                    table[subStart + i] = entry | (len - root);
                }
            }
            --remaining.count[len];
        }
    }
    return true;
}

class Decoder {
  public:
    Decoder(std::span<const uint8_t> in, std::span<uint8_t> out)
        : p_(in.data()),
          end_(in.data() + in.size()),
          outBegin_(out.data()),
          out_(out.data()),
          outEnd_(out.data() + out.size()) {}

    size_t Produced() const { return static_cast<size_t>(out_ - outBegin_); }

    int32_t Run() {
        bool storedMismatch = false;
        for (bool final = false; !final;) {
            if (!Refill()) return kInflateDataError;
            final = Bits(1) != 0;
            const auto type = static_cast<uint32_t>((bitbuf_ >> 1) & 3);
            Drop(3);
            int32_t r = kInflateDataError;
            if (type == 0) r = Stored(storedMismatch);
            if (type == 1) r = Fixed();
            if (type == 2) r = Dynamic();
            if (r != kInflateOk) return r;
        }
        if (overread_ * 8 > bitcount_) return kInflateDataError;
        return storedMismatch ? kInflateStoredLength : kInflateOk;
    }

  private:
    // Keeps at least 56 bits in the buffer; past the end of the input it feeds zero bytes
    // and fails once any of them has been consumed.
    bool Refill() {
        if (end_ - p_ >= 8) {
            uint64_t word;
            std::memcpy(&word, p_, 8);
            bitbuf_ |= word << bitcount_;
            p_ += (63 - bitcount_) >> 3;
            bitcount_ |= 56;
            return true;
        }
        while (bitcount_ < 56) {
            uint64_t byte = 0;
            if (p_ < end_) {
                byte = *p_++;
            } else {
                ++overread_;
            }
            bitbuf_ |= byte << bitcount_;
            bitcount_ += 8;
        }
        return overread_ * 8 <= bitcount_;
    }
    uint32_t Bits(unsigned n) const {
        return static_cast<uint32_t>(bitbuf_ & ((uint64_t{1} << n) - 1));
    }
    void Drop(unsigned n) {
        bitbuf_ >>= n;
        bitcount_ -= n;
    }

    int32_t Stored(bool& mismatch) {
        Drop(bitcount_ & 7);
        const size_t buffered = bitcount_ / 8;
        if (overread_ > buffered) return kInflateDataError;
        p_ -= buffered - overread_;  // hand the unread whole bytes back to the input
        bitbuf_ = 0;
        bitcount_ = 0;
        overread_ = 0;
        if (end_ - p_ < 4) return kInflateDataError;
        const uint32_t len = p_[0] | (p_[1] << 8);
        const uint32_t nlen = p_[2] | (p_[3] << 8);
        p_ += 4;
        if (len > static_cast<size_t>(end_ - p_) || len > static_cast<size_t>(outEnd_ - out_)) {
            return kInflateDataError;
        }
        if ((len ^ 0xFFFF) != nlen) mismatch = true;
        if (len == 0) return kInflateOk;  // an empty buffer may have no address to copy to
        std::memcpy(out_, p_, len);
        out_ += len;
        p_ += len;
        return kInflateOk;
    }

    int32_t Fixed() {
        std::array<uint8_t, kLitlenSymbols + kDistSymbols> lens{};
        std::fill(lens.begin(), lens.begin() + 144, 8);
        std::fill(lens.begin() + 144, lens.begin() + 256, 9);
        std::fill(lens.begin() + 256, lens.begin() + 280, 7);
        std::fill(lens.begin() + 280, lens.begin() + 288, 8);
        std::fill(lens.begin() + 288, lens.end(), 5);
        if (!BuildCodes(lens.data(), kLitlenSymbols, kDistSymbols)) return kInflateFixedTables;
        return Codes();
    }

    int32_t Dynamic() {
        static constexpr std::array<uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
        if (!Refill()) return kInflateDataError;
        const unsigned nlit = Bits(5) + 257;
        const unsigned ndist = ((bitbuf_ >> 5) & 31) + 1;
        const unsigned ncode = ((bitbuf_ >> 10) & 15) + 4;
        Drop(14);
        if (nlit > 286) return kInflateDynamicTables;
        std::array<uint8_t, 19> clens{};
        for (unsigned i = 0; i < ncode; ++i) {
            if (!Refill()) return kInflateDataError;
            clens[kOrder[i]] = static_cast<uint8_t>(Bits(3));
            Drop(3);
        }
        std::array<uint32_t, 1u << kCodeLenRoot> clTable;
        if (!BuildTable(clens.data(), 19, kCodeLenEntries.data(), kCodeLenRoot, false,
                        clTable.data(), clTable.size())) {
            return kInflateDynamicTables;
        }
        std::array<uint8_t, kLitlenSymbols + kDistSymbols> lens{};
        const int32_t r = ReadLengths(clTable.data(), lens.data(), nlit + ndist);
        if (r != kInflateOk) return r;
        if (lens[256] == 0) return kInflateDynamicTables;
        std::memmove(lens.data() + kLitlenSymbols, lens.data() + nlit, ndist);
        std::fill(lens.begin() + nlit, lens.begin() + kLitlenSymbols, 0);
        std::fill(lens.begin() + kLitlenSymbols + ndist, lens.end(), 0);
        if (!BuildCodes(lens.data(), kLitlenSymbols, kDistSymbols)) return kInflateDynamicTables;
        return Codes();
    }

    // Reads `total` code lengths coded with the code-length code, expanding repeats.
    int32_t ReadLengths(const uint32_t* clTable, uint8_t* lens, unsigned total) {
        for (unsigned n = 0; n < total;) {
            if (!Refill()) return kInflateDataError;
            const uint32_t e = clTable[Bits(kCodeLenRoot)];
            Drop(e & 0xFF);
            const uint32_t sym = e >> 16;
            if (sym < 16) {
                lens[n++] = static_cast<uint8_t>(sym);
                continue;
            }
            uint8_t value = 0;
            unsigned repeat = 0;
            if (sym == 16) {
                if (n == 0) return kInflateDynamicTables;
                value = lens[n - 1];
                repeat = 3 + Bits(2);
                Drop(2);
            } else if (sym == 17) {
                repeat = 3 + Bits(3);
                Drop(3);
            } else {
                repeat = 11 + Bits(7);
                Drop(7);
            }
            if (repeat > total - n) return kInflateDynamicTables;
            std::memset(lens + n, value, repeat);
            n += repeat;
        }
        return kInflateOk;
    }

    bool BuildCodes(const uint8_t* lens, unsigned nlit, unsigned ndist) {
        return BuildTable(lens, nlit, kLitlenEntries.data(), kLitlenRoot, true, litlen_.data(),
                          litlen_.size()) &&
               BuildTable(lens + nlit, ndist, kDistEntries.data(), kDistRoot, true, dist_.data(),
                          dist_.size());
    }

    uint32_t Lookup(const uint32_t* table, unsigned root) {
        return Resolve(table, table[Bits(root)]);
    }
    // Follows a primary entry into its subtable if it is a link, and drops the code's bits.
    uint32_t Resolve(const uint32_t* table, uint32_t e) {
        if (e & kLink) {
            Drop(e & 0xFF);
            e = table[(e >> 16) + Bits((e >> 8) & 15)];
        }
        Drop(e & 0xFF);
        return e;
    }

    // Writes a literal found in the primary table; false when the output is full.
    bool PutLiteral(uint32_t e) {
        if (out_ == outEnd_) return false;
        Drop(e & 0xFF);
        *out_++ = static_cast<uint8_t>(e >> 16);
        return true;
    }

    // Decodes literals and matches until the end-of-block code. One refill covers the
    // longest symbol (15 + 5 length bits and 15 + 14 distance bits), or three literals whose
    // codes fit the primary table.
    int32_t Codes() {
        for (;;) {
            if (!Refill()) return kInflateDataError;
            uint32_t e = litlen_[Bits(kLitlenRoot)];
            if (e & kLiteral) {
                if (!PutLiteral(e)) return kInflateDataError;
                e = litlen_[Bits(kLitlenRoot)];
                if (!(e & kLiteral)) continue;
                if (!PutLiteral(e)) return kInflateDataError;
                e = litlen_[Bits(kLitlenRoot)];
                if ((e & kLiteral) && !PutLiteral(e)) return kInflateDataError;
                continue;
            }
            e = Resolve(litlen_.data(), e);
            if (e & kLiteral) {
                if (out_ == outEnd_) return kInflateDataError;
                *out_++ = static_cast<uint8_t>(e >> 16);
                continue;
            }
            if (e & kEndOfBlock) return kInflateOk;
            if (e & kInvalid) return kInflateDataError;
            const unsigned lengthExtra = (e >> 8) & 15;
            const size_t length = (e >> 16) + Bits(lengthExtra);
            Drop(lengthExtra);
            const uint32_t d = Lookup(dist_.data(), kDistRoot);
            if (d & kInvalid) return kInflateDataError;
            const unsigned distExtra = (d >> 8) & 15;
            const size_t distance = (d >> 16) + Bits(distExtra);
            Drop(distExtra);
            if (distance > Produced() || length > static_cast<size_t>(outEnd_ - out_)) {
                return kInflateDataError;
            }
            Copy(distance, length);
        }
    }

    void Copy(size_t distance, size_t length) {
        uint8_t* dst = out_;
        const uint8_t* src = out_ - distance;
        out_ += length;
        if (distance >= 8 && static_cast<size_t>(outEnd_ - dst) >= length + 8) {
            // Whole words: each reads only bytes that earlier words or output have settled.
            do {
                std::memcpy(dst, src, 8);
                dst += 8;
                src += 8;
            } while (dst < out_);
        } else if (distance == 1) {
            std::memset(dst, *src, length);
        } else {
            while (dst < out_) *dst++ = *src++;
        }
    }

    const uint8_t* p_;
    const uint8_t* end_;
    uint8_t* outBegin_;
    uint8_t* out_;
    uint8_t* outEnd_;
    uint64_t bitbuf_ = 0;
    unsigned bitcount_ = 0;
    size_t overread_ = 0;  // zero bytes fed past the end of the input
    std::array<uint32_t, kLitlenCapacity> litlen_;
    std::array<uint32_t, kDistCapacity> dist_;
};

}  // namespace

int32_t Inflate(std::span<const uint8_t> in, std::span<uint8_t> out, size_t& produced) {
    Decoder decoder(in, out);
    const int32_t result = decoder.Run();
    produced = decoder.Produced();
    return result;
}

}  // namespace tarvelin
