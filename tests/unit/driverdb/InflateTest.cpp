// Hand-made streams for what the comparison with zlib cannot reach: distances before the
// start of the output, distance codes 30 and 31, literal symbols 286 and 287, output that
// fills the buffer exactly, a wrong NLEN, streams cut short and empty input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeflateBits.h"
#include "driverdb/Inflate.h"

namespace tarvelin {
namespace {

using test::DeflateBits;

struct Outcome {
    int32_t result;
    std::string text;
};

Outcome Decode(const std::vector<uint8_t>& stream, size_t capacity) {
    std::vector<uint8_t> out(capacity);
    size_t produced = 0;
    const int32_t result = Inflate(stream, out, produced);
    EXPECT_LE(produced, capacity);
    return {result, std::string(out.begin(), out.begin() + static_cast<ptrdiff_t>(produced))};
}

std::vector<uint8_t> Bytes(const std::string& s) {
    return {s.begin(), s.end()};
}

// A final fixed-Huffman block: the literals, the (length, distance) matches, then `last`.
std::vector<uint8_t> Fixed(const std::string& literals,
                           std::vector<std::pair<unsigned, unsigned>> matches,
                           unsigned last = 256) {
    DeflateBits bits;
    bits.FixedHeader(true);
    for (char c : literals) bits.FixedSymbol(static_cast<uint8_t>(c));
    for (const auto& [length, distance] : matches) bits.Match(length, distance);
    bits.FixedSymbol(last);
    if (last != 256) bits.Put(0, 16);  // input enough for the symbol not to fail for lack of it
    return bits.Bytes();
}

std::vector<uint8_t> WrongNlenThenRight() {
    DeflateBits bits;
    bits.Stored(Bytes("ab"), false, true);
    bits.Stored(Bytes("cd"), true);
    return bits.Bytes();
}

TEST(InflateTest, HandMadeStreams) {
    const std::string a259(259, 'a');
    const struct {
        const char* name;
        std::vector<uint8_t> stream;
        size_t capacity;
        int32_t result;
        std::string text;  // checked when the result is not an error
    } cases[] = {
        {"fills the buffer exactly", Fixed("a", {{258, 1}}), 259, kInflateOk, a259},
        {"one byte too many", Fixed("a", {{258, 1}}), 258, kInflateDataError, ""},
        {"distance before the start", Fixed("a", {{3, 2}}), 64, kInflateDataError, ""},
        {"symbol 286", Fixed("a", {}, 286), 64, kInflateDataError, ""},
        {"symbol 287", Fixed("a", {}, 287), 64, kInflateDataError, ""},
        {"wrong NLEN copied but reported", WrongNlenThenRight(), 10, kInflateStoredLength, "abcd"},
        {"empty input", {}, 8, kInflateDataError, ""},
    };
    for (const auto& c : cases) {
        const Outcome r = Decode(c.stream, c.capacity);
        EXPECT_EQ(r.result, c.result) << c.name;
        if (c.result != kInflateDataError) {
            EXPECT_EQ(r.text, c.text) << c.name;
        }
    }
}

TEST(InflateTest, TruncatedStreamsFail) {
    for (const auto& full : {Fixed("hello world", {}), test::StoredStream(Bytes("abcdef"))}) {
        ASSERT_EQ(Decode(full, 64).result, kInflateOk);
        for (size_t cut = 0; cut < full.size(); ++cut) {
            const std::vector<uint8_t> part(full.begin(),
                                            full.begin() + static_cast<ptrdiff_t>(cut));
            EXPECT_EQ(Decode(part, 64).result, kInflateDataError) << "cut at " << cut;
        }
    }
}

// Codes 30 and 31 reach 32769 and 49153 + 16383 bytes back.
TEST(InflateTest, DistanceCodesThirtyAndThirtyOneReachFurtherBack) {
    std::vector<uint8_t> head(65535);
    for (size_t i = 0; i < head.size(); ++i) head[i] = static_cast<uint8_t>(i * 7 + i / 251);
    DeflateBits bits;
    bits.Stored(head, false);
    bits.FixedHeader(true);
    bits.FixedSymbol(0xEE);
    bits.Match(3, 32769);
    bits.Match(4, 65536);
    bits.FixedSymbol(256);
    const Outcome r = Decode(bits.Bytes(), 65536 + 7);
    ASSERT_EQ(r.result, kInflateOk);
    std::string expect(head.begin(), head.end());
    expect += '\xEE';
    expect += expect.substr(65536 - 32769, 3);
    expect += expect.substr(65539 - 65536, 4);
    EXPECT_EQ(r.text, expect);
}

}  // namespace
}  // namespace tarvelin
