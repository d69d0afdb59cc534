// Hand-made streams: the result codes, the output bound and the extended distance codes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DeflateBits.h"
#include "driverdb/Inflate.h"

namespace tarvelin {
namespace {

using test::DeflateBits;
using test::StoredStream;

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

TEST(InflateTest, StoredAndFixedBlocksConcatenate) {
    DeflateBits bits;
    bits.Stored(Bytes("abc"), false);
    bits.FixedHeader(true);
    bits.Literal('x');
    bits.Match(6, 4);  // "abcxab"
    bits.EndOfBlock();
    const Outcome r = Decode(bits.Bytes(), 100);
    EXPECT_EQ(r.result, kInflateOk);
    EXPECT_EQ(r.text, "abcxabcxab");
}

TEST(InflateTest, OutputMayFillTheBufferExactlyButNotOverflowIt) {
    DeflateBits match;
    match.FixedHeader(true);
    match.Literal('a');
    match.Match(258, 1);
    match.EndOfBlock();
    const std::vector<uint8_t> stored = StoredStream(Bytes("12345"));
    for (const auto& [stream, text] : {std::pair{match.Bytes(), std::string(259, 'a')},
                                       std::pair{stored, std::string("12345")}}) {
        EXPECT_EQ(Decode(stream, text.size()).result, kInflateOk);
        EXPECT_EQ(Decode(stream, text.size()).text, text);
        EXPECT_EQ(Decode(stream, text.size() - 1).result, kInflateDataError);
    }
}

TEST(InflateTest, WrongNlenIsCopiedButReported) {
    DeflateBits bits;
    bits.Stored(Bytes("ab"), false, true);
    bits.Stored(Bytes("cd"), true);
    const Outcome r = Decode(bits.Bytes(), 10);
    EXPECT_EQ(r.result, kInflateStoredLength);
    EXPECT_EQ(r.text, "abcd");
}

TEST(InflateTest, BlockTypeThreeFails) {
    DeflateBits bits;
    bits.Put(1, 1);
    bits.Put(3, 2);
    EXPECT_EQ(Decode(bits.Bytes(), 10).result, kInflateDataError);
}

TEST(InflateTest, TruncatedStreamsFail) {
    DeflateBits bits;
    bits.FixedHeader(true);
    for (char c : std::string("hello world")) bits.Literal(static_cast<uint8_t>(c));
    bits.EndOfBlock();
    for (const std::vector<uint8_t>& full : {bits.Bytes(), StoredStream(Bytes("abcdef"))}) {
        ASSERT_EQ(Decode(full, 64).result, kInflateOk);
        for (size_t cut = 0; cut < full.size(); ++cut) {
            const std::vector<uint8_t> part(full.begin(),
                                            full.begin() + static_cast<ptrdiff_t>(cut));
            EXPECT_EQ(Decode(part, 64).result, kInflateDataError) << "cut at " << cut;
        }
    }
}

TEST(InflateTest, DistanceBeforeTheStartFails) {
    DeflateBits bits;
    bits.FixedHeader(true);
    bits.Literal('a');
    bits.Match(3, 2);
    bits.EndOfBlock();
    EXPECT_EQ(Decode(bits.Bytes(), 64).result, kInflateDataError);
}

// Codes 30 and 31 reach 32769 and 49153 + 16383 bytes back.
TEST(InflateTest, DistanceCodesThirtyAndThirtyOneReachFurtherBack) {
    std::vector<uint8_t> head(65535);
    for (size_t i = 0; i < head.size(); ++i) head[i] = static_cast<uint8_t>(i * 7 + i / 251);
    DeflateBits good;
    good.Stored(head, false);
    good.FixedHeader(true);
    good.Literal(0xEE);
    good.Match(3, 32769);
    good.Match(4, 65536);
    good.EndOfBlock();
    const Outcome r = Decode(good.Bytes(), 65536 + 7);
    ASSERT_EQ(r.result, kInflateOk);
    std::string expect(head.begin(), head.end());
    expect += '\xEE';
    expect += expect.substr(65536 - 32769, 3);
    expect += expect.substr(65539 - 65536, 4);
    EXPECT_EQ(r.text, expect);
}

TEST(InflateTest, FixedLiteralSymbols286And287AreInvalid) {
    for (unsigned sym : {286u, 287u}) {
        DeflateBits bits;
        bits.FixedHeader(true);
        bits.Literal('a');
        bits.FixedSymbol(sym);
        bits.Put(0, 16);
        EXPECT_EQ(Decode(bits.Bytes(), 64).result, kInflateDataError) << sym;
    }
}

// A dynamic block with one code-length code per length symbol it uses.
std::vector<uint8_t> DynamicBlock(unsigned nlit, unsigned ndist,
                                  const std::vector<uint8_t>& clens) {
    DeflateBits bits;
    bits.Put(1, 1);
    bits.Put(2, 2);
    bits.Put(nlit - 257, 5);
    bits.Put(ndist - 1, 5);
    bits.Put(clens.size() - 4, 4);
    for (uint8_t l : clens) bits.Put(l, 3);
    bits.Put(0, 32);
    return bits.Bytes();
}

TEST(InflateTest, BadDynamicHeadersCannotBuildTables) {
    // Too many literal/length codes.
    EXPECT_EQ(Decode(DynamicBlock(287, 1, std::vector<uint8_t>(19, 5)), 64).result,
              kInflateDynamicTables);
    // Over-subscribed code-length code: nineteen codes of one bit.
    EXPECT_EQ(Decode(DynamicBlock(257, 1, std::vector<uint8_t>(19, 1)), 64).result,
              kInflateDynamicTables);
    // Incomplete code-length code: a single code of two bits.
    EXPECT_EQ(Decode(DynamicBlock(257, 1, {0, 0, 0, 2}), 64).result, kInflateDynamicTables);
    // No code lengths at all.
    EXPECT_EQ(Decode(DynamicBlock(257, 1, {0, 0, 0, 0}), 64).result, kInflateDynamicTables);
}

TEST(InflateTest, EmptyInputFails) {
    EXPECT_EQ(Decode({}, 8).result, kInflateDataError);
}

}  // namespace
}  // namespace tarvelin
