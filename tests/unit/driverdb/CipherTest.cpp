// The container cipher: its known answer, the split of a negative sum and the interleaved
// deciphering of whole runs of blocks.
#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <vector>

#include "driverdb/DriverBaseCipher.h"
#include "driverdb/DriverBaseWriter.h"
#include "driverdb/PCExtract.h"

namespace tarvelin {
namespace {

// Pins the whole format (rows, key, rounds): a change here makes every stored container
// unreadable.
TEST(CipherTest, KnownAnswer) {
    const DriverBaseCipher c;
    uint32_t l = 0x01234567, r = 0x89ABCDEF;
    c.DecipherBlock(l, r);
    EXPECT_EQ(l, 0x1D426F09u);
    EXPECT_EQ(r, 0x4C32E8F0u);
}

// A sum with bit 31 set splits into bytes by truncating signed division, which the round
// function folds into a second set of tables; checked against the division itself.
TEST(CipherTest, NegativeSumSplitsByTruncatingDivision) {
    const DriverBaseCipher c;
    const auto reference = [&](uint32_t sum) {
        auto s = static_cast<int32_t>(sum);
        uint32_t w = 0;
        for (int t = 3; t >= 0; --t, s /= 256) {  // the low byte goes through the last table
            w |= uint32_t{c.Substitution()[t][static_cast<uint8_t>(s & 255)]} << (8 * t);
        }
        return std::rotl(w, 11);
    };
    std::mt19937 random(7);
    for (uint32_t sum : {0x80000000u, 0x80000001u, 0xFFFFFFFFu, 0xFFFFFF00u, 0xFFFFFF01u,
                         0xFF00FF00u, 0x80808080u, 0x7FFFFFFFu, 0u}) {
        EXPECT_EQ(c.RoundFunction(sum, 0), reference(sum)) << std::hex << sum;
    }
    for (int i = 0; i < 100000; ++i) {
        const uint32_t x = random(), k = random();
        ASSERT_EQ(c.RoundFunction(x, k), reference(x + k)) << std::hex << x << " " << k;
    }
}

// The lanes of the interleaved path against chained one-block deciphering, 1..13 blocks.
TEST(CipherTest, InterleavedCbcDecipheringMatchesBlockByBlock) {
    const PCExtract extract;
    std::mt19937 random(5);
    for (size_t blocks = 1; blocks <= 13; ++blocks) {
        std::vector<uint8_t> plain(blocks * 8);
        for (auto& b : plain) b = static_cast<uint8_t>(random());
        std::vector<uint8_t> data = plain;
        EncipherBlocks(data);
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
