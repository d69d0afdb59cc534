// The bitmap decoder on crafted files, the icon and cursor packer, and the artwork the build
// made: every documented picture loads at its documented size.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "ArtPack.h"
#include "platform/BmpImage.h"
#include "platform/LittleEndian.h"
#include "platform/posix/BmpImageSource.h"
#include "ui/Artwork.h"

namespace tarvelin::platform {
namespace {

// A 3 x 2 picture (rows of 3 * 3 bytes need one byte of padding) with distinct pixels.
std::vector<uint8_t> Sample() {
    std::vector<uint8_t> rgba;
    for (uint8_t i = 0; i < 6; ++i) rgba.insert(rgba.end(), {uint8_t(i * 40), uint8_t(i), 7, 255});
    return artpack::EncodeBmp24({3, 2, rgba});
}

// The same picture as a 32-bit file with rows top-down.
std::vector<uint8_t> TopDown32(const std::vector<uint8_t>& bmp24) {
    const auto picture = DecodeBmp(bmp24);
    std::vector<uint8_t> out(bmp24.begin(), bmp24.begin() + 54);
    StoreLe32(out.data() + 22, static_cast<uint32_t>(-picture->height));
    StoreLe16(out.data() + 28, 32);
    for (Color c : picture->pixels) out.insert(out.end(), {BlueOf(c), GreenOf(c), RedOf(c), 0});
    return out;
}

TEST(BmpImage, TopDownAndBottomUpAgree) {
    const auto bottomUp = DecodeBmp(Sample());
    ASSERT_TRUE(bottomUp);
    EXPECT_EQ(bottomUp->width, 3);
    EXPECT_EQ(bottomUp->At(0, 0), Rgb(0, 0, 7));
    EXPECT_EQ(bottomUp->At(2, 1), Rgb(200, 5, 7));
    const auto topDown = DecodeBmp(TopDown32(Sample()));
    ASSERT_TRUE(topDown);
    EXPECT_EQ(topDown->pixels, bottomUp->pixels);
}

TEST(BmpImage, RefusesDamagedFiles) {
    using Edit = std::function<void(std::vector<uint8_t>&)>;
    const std::pair<const char*, Edit> cases[] = {
        {"truncated pixels", [](auto& b) { b.pop_back(); }},
        {"headers only", [](auto& b) { b.resize(53); }},
        {"not a bitmap", [](auto& b) { b[0] = 'X'; }},
        {"16 bits", [](auto& b) { StoreLe16(b.data() + 28, 16); }},
        {"compressed", [](auto& b) { StoreLe32(b.data() + 30, 1); }},
        {"pixels past the end", [](auto& b) { StoreLe32(b.data() + 10, 60); }},
        {"pixels inside the header", [](auto& b) { StoreLe32(b.data() + 10, 20); }},
        {"header past the end", [](auto& b) { StoreLe32(b.data() + 14, 4000); }},
        {"zero height", [](auto& b) { StoreLe32(b.data() + 22, 0); }},
        {"most negative height", [](auto& b) { StoreLe32(b.data() + 22, 0x80000000u); }},
        {"huge, few bytes",
         [](auto& b) { StoreLe32(b.data() + 18, 8000), StoreLe32(b.data() + 22, 8000); }},
        {"wider than allowed", [](auto& b) { StoreLe32(b.data() + 18, kBmpMostSide + 1); }},
    };
    for (const auto& [name, edit] : cases) {
        std::vector<uint8_t> bytes = Sample();
        edit(bytes);
        EXPECT_FALSE(DecodeBmp(bytes)) << name;
    }
}

TEST(ArtPack, CursorCarriesHotSpotAndMask) {
    std::vector<uint8_t> rgba(4 * 4 * 4, 255);
    rgba[3] = 0;  // top-left pixel transparent
    const artpack::IconEntry entry{{4, 4, rgba}, 2, 3};
    const std::vector<uint8_t> cur = artpack::EncodeIconFile({&entry, 1}, true);
    ASSERT_EQ(cur.size(), 6u + 16 + 40 + 64 + 16);
    EXPECT_EQ(LoadLe16(cur.data() + 2), 2);        // cursor
    EXPECT_EQ(LoadLe16(cur.data() + 10), 2);       // hot spot x
    EXPECT_EQ(LoadLe16(cur.data() + 12), 3);       // hot spot y
    EXPECT_EQ(LoadLe32(cur.data() + 22 + 8), 8u);  // colours and mask: twice the height
    EXPECT_EQ(cur[cur.size() - 4], 0x80);          // mask of the top row, bottom-up last
    EXPECT_TRUE(artpack::EncodeIconFile({&entry, 0}, false).empty());
}

TEST(Artwork, EveryBitmapLoadsAtItsSize) {
    BmpImageSource images(TARVELIN_ARTWORK_DIR);
    for (const ArtworkBitmap& art : kArtworkBitmaps) {
        const auto image = images.Bitmap(art.id);
        ASSERT_TRUE(image) << art.id;
        EXPECT_EQ(image->Width(), art.width) << art.id;
        EXPECT_EQ(image->Height(), art.height) << art.id;
    }
    EXPECT_FALSE(images.Bitmap(999));
    EXPECT_EQ(PortKindBitmap(4), 143);
    EXPECT_EQ(PortKindBitmap(0), 145);
    EXPECT_EQ(PortKindBitmap(6), 145);
}

}  // namespace
}  // namespace tarvelin::platform
