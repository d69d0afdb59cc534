#include "driverdb/Inflate.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

static_assert(std::endian::native == std::endian::little,
              "the bit reader and the match copies load little-endian words");

// A decoding table entry packs everything one lookup needs:
//   bits 0..7   bits to drop: the code and the extra bits that follow it, so a length or
//               distance takes one lookup and one shift (for a link: the primary index bits)
//   bits 8..11  the code's own bits, below its extra bits (for a link: the subtable's index
//               bits)
//   bits 12..15 flags below; none set means a length or distance
//   bits 16..31 literal byte, length or distance base, or subtable start
constexpr uint32_t kLiteral = 1u << 12;
constexpr uint32_t kEndOfBlock = 1u << 13;
constexpr uint32_t kLink = 1u << 14;
constexpr uint32_t kInvalid = 1u << 15;

constexpr unsigned kLitlenRoot = 10;
constexpr unsigned kDistRoot = 8;
constexpr unsigned kCodeLenRoot = 7;
// Primary table plus room for every subtable a complete code of that many symbols can need
// (286 literal/length codes need at most 308 subtable entries beyond a 10-bit primary
// table, 32 distance codes at most 146 beyond an 8-bit one). A 10-bit primary table is
// cheaper to build for the container's short streams and decodes as fast as a wider one.
constexpr size_t kLitlenCapacity = (1u << kLitlenRoot) + 512;
constexpr size_t kDistCapacity = (1u << kDistRoot) + 256;
constexpr unsigned kMaxCodeLen = 15;
constexpr unsigned kLitlenSymbols = 288;
constexpr unsigned kDistSymbols = 32;

constexpr uint32_t Entry(uint32_t value, uint32_t extra, uint32_t flags) {
    return (value << 16) | extra | flags;
}
constexpr unsigned DropBits(uint32_t e) {
    return e & 0xFF;
}
constexpr unsigned CodeBits(uint32_t e) {
    return (e >> 8) & 15;
}
constexpr uint64_t LowBits(uint64_t word, unsigned n) {
    return word & ((uint64_t{1} << n) - 1);
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

// Entries without their code length; the table builder adds it to both bit counts.
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
    // Four tallies, so that runs of equal lengths do not wait on one counter.
    std::array<std::array<uint16_t, kMaxCodeLen + 1>, 4> tally{};
    unsigned s = 0;
    for (; s + 4 <= n; s += 4) {
        for (unsigned k = 0; k < 4; ++k) ++tally[k][lens[s + k]];
    }
    for (; s < n; ++s) ++tally[0][lens[s]];
    for (unsigned len = 1; len <= kMaxCodeLen; ++len)
        shape.count[len] = tally[0][len] + tally[1][len] + tally[2][len] + tally[3][len];
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

// An entry for a code of `len` bits (counted from the end of a link for subtable codes).
uint32_t WithCodeBits(uint32_t entry, unsigned len) {
    return entry + len + (len << 8);
}

// Repeats the first `size` entries once. Entries that longer codes will fill are not written
// yet, so this copies bytes rather than values.
void DoubleTable(uint32_t* table, size_t size) {
    if (size < 4) {
        std::memcpy(table + size, table, size * sizeof(uint32_t));
        return;
    }
    for (size_t i = 0; i < size; i += 4) std::memcpy(table + size + i, table + i, 16);
}

// Builds a canonical Huffman decoding table (primary `root` bits, subtables behind links).
// Codes no longer than the primary index are placed once in a table as wide as their
// length, which then doubles by copying itself until it is `root` bits wide; longer codes
// fill subtables.
bool BuildTable(const uint8_t* lens, unsigned n, const uint32_t* entries, unsigned root,
                bool allowSparse, uint32_t* table, size_t capacity) {
    CodeShape shape;
    if (!ShapeOf(lens, n, allowSparse, shape)) return false;
    std::array<uint16_t, kMaxCodeLen + 2> offset{};
    for (unsigned len = 1; len <= kMaxCodeLen; ++len)
        offset[len + 1] = offset[len] + shape.count[len];
    std::array<uint16_t, kLitlenSymbols> sorted;
    for (unsigned s = 0; s < n; ++s) {
        if (lens[s] != 0) sorted[offset[lens[s]]++] = static_cast<uint16_t>(s);
    }
    if (!shape.complete) std::fill(table, table + (1u << root), kInvalid);  // rare: see ShapeOf
    unsigned index = 0;
    uint32_t code = 0;
    unsigned len = 1;
    while (len < root && shape.count[len] == 0) ++len;
    for (; len <= root; ++len, code <<= 1) {
        for (unsigned k = 0; k < shape.count[len]; ++k, ++code) {
            table[ReverseBits(code, len)] = WithCodeBits(entries[sorted[index++]], len);
        }
        if (len < root) DoubleTable(table, size_t{1} << len);
    }
    const uint32_t rootMask = (1u << root) - 1;
    CodeShape remaining = shape;
    size_t next = size_t{1} << root;
    uint32_t prefix = ~0u, subBits = 0, subStart = 0;
    for (; len <= shape.maxLen; ++len, code <<= 1) {
        for (unsigned k = 0; k < shape.count[len]; ++k, ++code) {
            const uint32_t entry = WithCodeBits(entries[sorted[index++]], len - root);
            const uint32_t rev = ReverseBits(code, len);
            if ((rev & rootMask) != prefix) {
                prefix = rev & rootMask;
                subBits = SubtableBits(remaining, len, root);
                if (next + (size_t{1} << subBits) > capacity) return false;
                subStart = static_cast<uint32_t>(next);
                table[prefix] = Entry(subStart, root, kLink) | (subBits << 8);
                next += size_t{1} << subBits;
            }
            for (uint32_t i = rev >> root; i < (1u << subBits); i += 1u << (len - root)) {
                table[subStart + i] = entry;
            }
            --remaining.count[len];
        }
    }
    return true;
}

struct CodeTables {
    std::array<uint32_t, kLitlenCapacity> litlen;
    std::array<uint32_t, kDistCapacity> dist;

    bool Build(const uint8_t* lens, unsigned nlit, unsigned ndist) {
        return BuildTable(lens, nlit, kLitlenEntries.data(), kLitlenRoot, true, litlen.data(),
                          litlen.size()) &&
               BuildTable(lens + nlit, ndist, kDistEntries.data(), kDistRoot, true, dist.data(),
                          dist.size());
    }
};

// The fixed code's tables, built on first use and shared by every later call.
const CodeTables* FixedTables() {
    static const CodeTables* const tables = [] {
        static CodeTables t;
        std::array<uint8_t, kLitlenSymbols + kDistSymbols> lens{};
        std::fill(lens.begin(), lens.begin() + 144, 8);
        std::fill(lens.begin() + 144, lens.begin() + 256, 9);
        std::fill(lens.begin() + 256, lens.begin() + 280, 7);
        std::fill(lens.begin() + 280, lens.begin() + 288, 8);
        std::fill(lens.begin() + 288, lens.end(), 5);
        return t.Build(lens.data(), kLitlenSymbols, kDistSymbols) ? &t : nullptr;
    }();
    return tables;
}

// The input side: a 64-bit buffer of the next bits, least significant first.
struct BitReader {
    const uint8_t* p;
    const uint8_t* end;
    uint64_t buf = 0;
    // Bits in the buffer. While codes are decoded only its low byte counts (DropEntry
    // subtracts whole entries); DecodeCodes clears the rest before it returns.
    unsigned count = 0;
    size_t overread = 0;  // zero bytes fed past the end of the input

    // Keeps at least 56 bits in the buffer: loads a whole word and advances by the bytes
    // that fitted. The bits above `count` are the input's next bits too, so loading them
    // again later changes nothing. Needs eight readable bytes.
    void RefillFast() {
        buf |= LoadWord(p) << (count & 63);
        p += 7 - ((count >> 3) & 7);
        count |= 56;
    }
    // As RefillFast, but past the end of the input it feeds zero bytes and fails once any of
    // them has been consumed.
    bool Refill() {
        count &= 0xFF;
        if (end - p >= 8) {
            RefillFast();
            return true;
        }
        while (count < 56) {
            uint64_t byte = 0;
            if (p < end) {
                byte = *p++;
            } else {
                ++overread;
            }
            buf |= byte << count;
            count += 8;
        }
        return overread * 8 <= count;
    }
    uint32_t Bits(unsigned n) const { return static_cast<uint32_t>(LowBits(buf, n)); }
    void Drop(unsigned n) {
        buf >>= n;
        count -= n;
    }
    // Drops the bits of a table entry; see `count`.
    void DropEntry(uint32_t e) {
        buf >>= e & 63;
        count -= e;
    }
    // Drops the code of a table entry, following a link into its subtable; `saved` keeps the
    // buffer from before the final entry's bits for Value.
    uint32_t Decode(const uint32_t* table, uint32_t e, uint64_t& saved) {
        saved = buf;
        DropEntry(e);
        if (e & kLink) {
            e = table[(e >> 16) + Bits(CodeBits(e))];
            saved = buf;
            DropEntry(e);
        }
        return e;
    }
    // The base plus the extra bits of a length or distance entry.
    static size_t Value(uint32_t e, uint64_t saved) {
        return (e >> 16) + (LowBits(saved, DropBits(e)) >> CodeBits(e));
    }
    static uint64_t LoadWord(const uint8_t* q) {
        uint64_t word;
        std::memcpy(&word, q, 8);
        return word;
    }
};

// Copies a match (distance at least one) where the output has room for 32 bytes and for 8
// bytes past the match: whole words, or for distances under eight a repeated pattern word.
void CopyMatchFast(uint8_t* dst, size_t distance, size_t length) {
    // Per distance under eight: the pattern's repetition multiplier and the word step that
    // keeps the pattern in phase (the largest multiple of the distance up to eight).
    static constexpr uint64_t kRepeat[8] = {0,
                                            0x0101010101010101u,
                                            0x0001000100010001u,
                                            0x0001000001000001u,
                                            0x0000000100000001u,
                                            0x0000010000000001u,
                                            0x0001000000000001u,
                                            0x0100000000000001u};
    static constexpr uint8_t kStep[8] = {0, 8, 8, 6, 8, 5, 6, 7};
    const uint8_t* src = dst - distance;
    uint8_t* const end = dst + length;
    if (distance >= 8) {
        // Each word reads only bytes that earlier words or output have settled. Four words
        // without a test cover most matches.
        for (int i = 0; i < 4; ++i) std::memcpy(dst + 8 * i, src + 8 * i, 8);
        for (dst += 32, src += 32; dst < end; dst += 8, src += 8) std::memcpy(dst, src, 8);
        return;
    }
    const uint64_t pattern = LowBits(BitReader::LoadWord(src), 8 * distance) * kRepeat[distance];
    const size_t step = kStep[distance];
    for (; dst < end; dst += step) std::memcpy(dst, &pattern, 8);
}

// Copies a match byte for byte where words could overrun the buffer.
void CopyMatch(uint8_t* dst, size_t distance, size_t length) {
    const uint8_t* src = dst - distance;
    for (uint8_t* const end = dst + length; dst < end;) *dst++ = *src++;
}

// Input and output room that one fast-loop step can use: two word loads of which the first
// advances at most seven bytes, and three literals or one match with its copy's overshoot.
constexpr ptrdiff_t kFastInput = 16;
constexpr ptrdiff_t kFastOutput = 258 + 8;
constexpr unsigned kLitMask = (1u << kLitlenRoot) - 1, kDistMask = (1u << kDistRoot) - 1;

// The output of a block: where it starts, the next byte and the end of the buffer.
struct Output {
    uint8_t* begin;
    uint8_t* next;
    uint8_t* end;
};

constexpr int32_t kStoppedShort = 1;  // the fast loop reached the ends' margins

// Decodes literals and matches while the input and the output have room for a whole step,
// without bounds checks. Returns kInflateOk at the end of the block, kInflateDataError on a
// bad code or distance, and kStoppedShort when it leaves the rest to DecodeCareful. The
// reader and the output position live in locals here, so that the stores of literals
// (through a byte pointer that could alias anything) do not force them to memory.
int32_t DecodeFast(BitReader& reader, Output& o, const CodeTables& tables) {
    const uint32_t* const litlen = tables.litlen.data();
    const uint32_t* const dist = tables.dist.data();
    BitReader in = reader;
    uint8_t* out = o.next;
    // One refill covers three literals whose codes fit the primary table, or the longest
    // length (15 + 5 bits); another one the longest distance (15 + 14 bits) and the next
    // lookup, which starts before the match is copied.
    in.RefillFast();
    uint32_t e = litlen[in.buf & kLitMask];
    int32_t result = kStoppedShort;
    while (in.end - in.p >= kFastInput && o.end - out >= kFastOutput) {
        in.RefillFast();
        if (e & kLiteral) {
            in.DropEntry(e);
            *out++ = static_cast<uint8_t>(e >> 16);
            e = litlen[in.buf & kLitMask];
            if (e & kLiteral) {
                in.DropEntry(e);
                *out++ = static_cast<uint8_t>(e >> 16);
                e = litlen[in.buf & kLitMask];
                if (e & kLiteral) {
                    in.DropEntry(e);
                    *out++ = static_cast<uint8_t>(e >> 16);
                    e = litlen[in.buf & kLitMask];
                }
            }
            continue;
        }
        uint64_t saved;
        e = in.Decode(litlen, e, saved);
        if (e & kLiteral) {
            *out++ = static_cast<uint8_t>(e >> 16);
            e = litlen[in.buf & kLitMask];
            continue;
        }
        if (e & (kEndOfBlock | kInvalid)) {
            result = (e & kEndOfBlock) ? kInflateOk : kInflateDataError;
            break;
        }
        const size_t length = BitReader::Value(e, saved);
        in.RefillFast();
        const uint32_t d = in.Decode(dist, dist[in.buf & kDistMask], saved);
        const size_t distance = BitReader::Value(d, saved);
        if ((d & kInvalid) || distance > static_cast<size_t>(out - o.begin)) {
            result = kInflateDataError;
            break;
        }
        e = litlen[in.buf & kLitMask];
        CopyMatchFast(out, distance, length);
        out += length;
    }
    reader = in;
    o.next = out;
    return result;
}

// Decodes one symbol at a time with every read and write checked, near the ends of the input
// and the output.
int32_t DecodeCareful(BitReader& in, Output& o, const CodeTables& tables) {
    for (;;) {
        if (!in.Refill()) return kInflateDataError;
        uint64_t saved;
        const uint32_t e = in.Decode(tables.litlen.data(), tables.litlen[in.buf & kLitMask], saved);
        if (e & kLiteral) {
            if (o.next == o.end) return kInflateDataError;
            *o.next++ = static_cast<uint8_t>(e >> 16);
            continue;
        }
        if (e & kEndOfBlock) return kInflateOk;
        if (e & kInvalid) return kInflateDataError;
        const size_t length = BitReader::Value(e, saved);
        const uint32_t d = in.Decode(tables.dist.data(), tables.dist[in.buf & kDistMask], saved);
        const size_t distance = BitReader::Value(d, saved);
        if ((d & kInvalid) || distance > static_cast<size_t>(o.next - o.begin) ||
            length > static_cast<size_t>(o.end - o.next)) {
            return kInflateDataError;
        }
        CopyMatch(o.next, distance, length);
        o.next += length;
    }
}

// Decodes literals and matches until the end-of-block code.
int32_t DecodeCodes(BitReader& in, Output& o, const CodeTables& tables) {
    int32_t result = kStoppedShort;
    if (in.end - in.p >= kFastInput && o.end - o.next >= kFastOutput) {
        result = DecodeFast(in, o, tables);
    }
    if (result == kStoppedShort) result = DecodeCareful(in, o, tables);
    in.count &= 0xFF;
    return result;
}

class Decoder {
  public:
    Decoder(std::span<const uint8_t> in, std::span<uint8_t> out)
        : in_{in.data(), in.data() + in.size()},
          out_{out.data(), out.data(), out.data() + out.size()} {}

    size_t Produced() const { return static_cast<size_t>(out_.next - out_.begin); }

    int32_t Run() {
        bool storedMismatch = false;
        for (bool final = false; !final;) {
            if (!in_.Refill()) return kInflateDataError;
            final = in_.Bits(1) != 0;
            const auto type = static_cast<uint32_t>((in_.buf >> 1) & 3);
            in_.Drop(3);
            int32_t r = kInflateDataError;
            if (type == 0) r = Stored(storedMismatch);
            if (type == 1) r = Fixed();
            if (type == 2) r = Dynamic();
            if (r != kInflateOk) return r;
        }
        if (in_.overread * 8 > in_.count) return kInflateDataError;
        return storedMismatch ? kInflateStoredLength : kInflateOk;
    }

  private:
    int32_t Stored(bool& mismatch) {
        in_.Drop(in_.count & 7);
        const size_t buffered = in_.count / 8;
        if (in_.overread > buffered) return kInflateDataError;
        const uint8_t* p = in_.p - (buffered - in_.overread);  // unread whole bytes go back
        in_ = BitReader{p, in_.end};
        if (in_.end - p < 4) return kInflateDataError;
        const uint32_t len = LoadLe16(p);
        const uint32_t nlen = LoadLe16(p + 2);
        p += 4;
        if (len > static_cast<size_t>(in_.end - p) ||
            len > static_cast<size_t>(out_.end - out_.next)) {
            return kInflateDataError;
        }
        if ((len ^ 0xFFFF) != nlen) mismatch = true;
        if (len != 0) std::memcpy(out_.next, p, len);  // an empty buffer may have no address
        out_.next += len;
        in_.p = p + len;
        return kInflateOk;
    }

    int32_t Fixed() {
        const CodeTables* fixed = FixedTables();
        if (fixed == nullptr) return kInflateFixedTables;
        return DecodeCodes(in_, out_, *fixed);
    }

    int32_t Dynamic() {
        static constexpr std::array<uint8_t, 19> kOrder = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
        if (!in_.Refill()) return kInflateDataError;
        const unsigned nlit = in_.Bits(5) + 257;
        const unsigned ndist = ((in_.buf >> 5) & 31) + 1;
        const unsigned ncode = ((in_.buf >> 10) & 15) + 4;
        in_.Drop(14);
        if (nlit > 286) return kInflateDynamicTables;
        std::array<uint8_t, 19> clens{};
        for (unsigned i = 0; i < ncode; ++i) {
            if (!in_.Refill()) return kInflateDataError;
            clens[kOrder[i]] = static_cast<uint8_t>(in_.Bits(3));
            in_.Drop(3);
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
        if (!tables_.Build(lens.data(), nlit, ndist)) return kInflateDynamicTables;
        return DecodeCodes(in_, out_, tables_);
    }

    // Reads `total` code lengths coded with the code-length code, expanding repeats.
    int32_t ReadLengths(const uint32_t* clTable, uint8_t* lens, unsigned total) {
        for (unsigned n = 0; n < total;) {
            if (!in_.Refill()) return kInflateDataError;
            const uint32_t e = clTable[in_.Bits(kCodeLenRoot)];
            in_.Drop(DropBits(e));
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
                repeat = 3 + in_.Bits(2);
                in_.Drop(2);
            } else if (sym == 17) {
                repeat = 3 + in_.Bits(3);
                in_.Drop(3);
            } else {
                repeat = 11 + in_.Bits(7);
                in_.Drop(7);
            }
            if (repeat > total - n) return kInflateDynamicTables;
            std::memset(lens + n, value, repeat);
            n += repeat;
        }
        return kInflateOk;
    }

    BitReader in_;
    Output out_;
    CodeTables tables_;
};

}  // namespace

int32_t Inflate(std::span<const uint8_t> in, std::span<uint8_t> out, size_t& produced) {
    Decoder decoder(in, out);
    const int32_t result = decoder.Run();
    produced = decoder.Produced();
    return result;
}

}  // namespace tarvelin
