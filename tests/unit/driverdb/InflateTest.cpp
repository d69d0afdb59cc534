// Hand-made streams for what the comparison with zlib cannot reach: distances before the
// start of the output, distance codes 30 and 31, literal symbols 286 and 287, output that
// fills the buffer exactly, a wrong NLEN, streams cut short and empty input.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driverdb/Inflate.h"

namespace tarvelin {
namespace {

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

// Fixed-Huffman blocks: "a" then a match of 258 back 1 (or 3 back 2), or then symbol 286 or
// 287; "hello world". Stored blocks: "ab" with a wrong NLEN then "cd"; "abcdef".
const std::vector<uint8_t> kFill = {0x4B, 0x1C, 0x05, 0x00}, kTooFar = {0x4B, 0x04, 0x42, 0x00},
                           k286 = {0x4B, 0x1C, 0x03, 0x00, 0x00},
                           k287 = {0x4B, 0x1C, 0x07, 0x00, 0x00},
                           kHello = {0xCB, 0x48, 0xCD, 0xC9, 0xC9, 0x57, 0x28,
                                     0xCF, 0x2F, 0xCA, 0x49, 0x01, 0x00},
                           kWrongNlen = {0, 2, 0, 0xFC, 0xFF, 'a', 'b',
                                         1, 2, 0, 0xFD, 0xFF, 'c', 'd'},
                           kStored = {1, 6, 0, 0xF9, 0xFF, 'a', 'b', 'c', 'd', 'e', 'f'};

TEST(InflateTest, HandMadeStreams) {
    const std::string a259(259, 'a');
    const struct {
        const char* name;
        std::vector<uint8_t> stream;
        size_t capacity;
        int32_t result;
        std::string text;  // checked when the result is not an error
    } cases[] = {
        {"fills the buffer exactly", kFill, 259, kInflateOk, a259},
        {"one byte too many", kFill, 258, kInflateDataError, ""},
        {"distance before the start", kTooFar, 64, kInflateDataError, ""},
        {"symbol 286", k286, 64, kInflateDataError, ""},
        {"symbol 287", k287, 64, kInflateDataError, ""},
        {"wrong NLEN copied but reported", kWrongNlen, 10, kInflateStoredLength, "abcd"},
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
    for (const auto& full : {kHello, kStored}) {
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
    // A stored block of 65535 bytes, then a fixed block: 0xEE, (3, 32769), (4, 65536), end.
    std::vector<uint8_t> stream = {0, 0xFF, 0xFF, 0, 0};
    stream.insert(stream.end(), head.begin(), head.end());
    stream.insert(stream.end(), {0x7B, 0x07, 0x7C, 0x00, 0x00, 0xE8, 0xFF, 0xFF, 0x00});
    const Outcome r = Decode(stream, 65536 + 7);
    ASSERT_EQ(r.result, kInflateOk);
    std::string expect(head.begin(), head.end());
    expect += '\xEE';
    expect += expect.substr(65536 - 32769, 3);
    expect += expect.substr(65539 - 65536, 4);
    EXPECT_EQ(r.text, expect);
}

}  // namespace
}  // namespace tarvelin
