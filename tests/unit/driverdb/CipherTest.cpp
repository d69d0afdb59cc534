// The container cipher against a plain reading of its rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <random>
#include <vector>

#include "driverdb/DriverBaseCipher.h"
#include "driverdb/DriverBaseWriter.h"
#include "driverdb/PCExtract.h"

namespace tarvelin {
namespace {

// The byte split as written: repeated signed division by 256, truncated toward zero.
uint32_t SplitByDivision(uint32_t sum) {
    auto s = static_cast<int32_t>(sum);
    uint32_t packed = 0;
    for (int byte = 0; byte < 4; ++byte) {
        packed |= static_cast<uint32_t>(s & 255) << (8 * byte);
        s /= 256;
    }
    return packed;
}

uint32_t ReferenceRound(const DriverBaseCipher& c, uint32_t x, uint32_t k) {
    const uint32_t b = SplitByDivision(x + k);
    const auto& t = c.Substitution();
    const uint32_t w = t[0][b >> 24] | (t[1][(b >> 16) & 255] << 8) | (t[2][(b >> 8) & 255] << 16) |
                       (static_cast<uint32_t>(t[3][b & 255]) << 24);
    return std::rotl(w, 11);
}

TEST(CipherTest, SumWithBit31SetSplitsByTruncatingDivision) {
    EXPECT_EQ(DriverBaseCipher::SplitSum(0xFFFFFF01u), 0x00000001u);
    EXPECT_EQ(DriverBaseCipher::SplitSum(0x12345678u), 0x12345678u);
    EXPECT_EQ(DriverBaseCipher::SplitSum(0xFFFFFF00u), 0x0000FF00u);  // exact first division
    for (uint32_t s : {0u, 1u, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0xFFFFFFFFu, 0xFF000000u,
                       0xFF00FF00u, 0x80808080u, 0xFFFF0001u}) {
        EXPECT_EQ(DriverBaseCipher::SplitSum(s), SplitByDivision(s)) << std::hex << s;
    }
    std::mt19937 random(7);
    for (int i = 0; i < 200000; ++i) {
        const uint32_t s = random();
        ASSERT_EQ(DriverBaseCipher::SplitSum(s), SplitByDivision(s)) << std::hex << s;
    }
}

TEST(CipherTest, SubstitutionTablesArePermutations) {
    const DriverBaseCipher c;
    for (const auto& table : c.Substitution()) {
        std::vector<bool> seen(256);
        for (uint8_t v : table) seen[v] = true;
        EXPECT_EQ(std::count(seen.begin(), seen.end(), true), 256);
    }
}

TEST(CipherTest, RoundFunctionPlacesTheHighByteLowAndRotatesByEleven) {
    const DriverBaseCipher c;
    std::mt19937 random(11);
    for (int i = 0; i < 20000; ++i) {
        const uint32_t x = random(), k = random();
        ASSERT_EQ(c.RoundFunction(x, k), ReferenceRound(c, x, k));
    }
}

TEST(CipherTest, BlockRoundsFollowTheSubkeyScheduleWithoutFinalSwap) {
    const DriverBaseCipher c;
    const auto& key = c.Subkeys();
    std::mt19937 random(3);
    for (int i = 0; i < 1000; ++i) {
        uint32_t l = random(), r = random();
        uint32_t refL = l, refR = r;
        for (int round = 0; round < 32; ++round) {
            const uint32_t k = round < 8 ? key[round] : key[7 - round % 8];
            if (round % 2 == 0) {
                refL ^= ReferenceRound(c, refR, k);
            } else {
                refR ^= ReferenceRound(c, refL, k);
            }
        }
        c.DecipherBlock(l, r);
        ASSERT_EQ(l, refL);
        ASSERT_EQ(r, refR);
        c.EncipherBlock(l, r);
        c.DecipherBlock(l, r);
        ASSERT_EQ(l, refL);
    }
}

// Pins the whole format (rows, key, rounds): a change here makes every stored container
// unreadable.
TEST(CipherTest, KnownAnswer) {
    const DriverBaseCipher c;
    uint32_t l = 0x01234567, r = 0x89ABCDEF;
    c.DecipherBlock(l, r);
    EXPECT_EQ(l, 0x1D426F09u);
    EXPECT_EQ(r, 0x4C32E8F0u);
}

TEST(CipherTest, InterleavedCbcDecipheringMatchesBlockByBlock) {
    const PCExtract extract;
    std::mt19937 random(5);
    for (size_t blocks = 1; blocks <= 13; ++blocks) {
        std::vector<uint8_t> plain(blocks * 8);
        for (auto& b : plain) b = static_cast<uint8_t>(random());
        std::vector<uint8_t> data = plain;
        EncipherBlocks(data);
        EXPECT_NE(data, plain);
        std::vector<uint8_t> reference = data;
        uint32_t prevL = 0, prevR = 0;
        for (size_t i = 0; i < reference.size(); i += 8) {
            uint32_t l = LoadBlockWord(&reference[i]), r = LoadBlockWord(&reference[i + 4]);
            const uint32_t cl = l, cr = r;
            extract.Cipher().DecipherBlock(l, r);
            StoreBlockWord(&reference[i], l ^ prevL);
            StoreBlockWord(&reference[i + 4], r ^ prevR);
            prevL = cl, prevR = cr;
        }
        extract.DecipherBlocks(data);
        EXPECT_EQ(data, reference) << blocks;
        EXPECT_EQ(data, plain) << blocks;
    }
}

}  // namespace
}  // namespace tarvelin
