#include <gtest/gtest.h>

#include <zlib.h>

#include "platform/PngImage.h"
#include "sim/GraphPicture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/posix/PngWriter.h"
#include "platform/posix/RasterCanvas.h"

namespace tarvelin::platform {
namespace {

constexpr Color kWhite = Rgb(255, 255, 255), kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);

struct Probe {
    Point at;
    Color expected;
};

void ExpectPixels(const RasterPicture& picture, std::initializer_list<Probe> probes) {
    for (const auto& probe : probes) {
        EXPECT_EQ(picture.PixelAt(probe.at), probe.expected) << probe.at.x << "," << probe.at.y;
    }
}

TEST(RasterCanvas, PrimitivesPaintTheSystemsPixels) {
    RasterPicture picture(40, 30);
    RasterCanvas canvas(picture);
    canvas.FillRect({2, 2, 6, 5}, kRed);
    canvas.FrameRect({10, 2, 15, 6}, kBlue);
    canvas.Line({0, 10}, {5, 10}, kRed);
    canvas.GradientRect({0, 20, 3, 22}, Rgb(0, 0, 0), Rgb(255, 10, 0), true);
    canvas.SetPixel({39, 29}, kSystemColorFlag | 15);
    canvas.RoundRect({20, 0, 30, 10}, 6, 6, kBlue, kRed);
    ExpectPixels(picture, {{{2, 2}, kRed},
                           {{5, 4}, kRed},
                           {{6, 4}, kWhite},
                           {{5, 5}, kWhite},
                           {{10, 2}, kBlue},
                           {{14, 5}, kBlue},
                           {{12, 4}, kWhite},
                           {{15, 5}, kWhite},
                           {{4, 10}, kRed},
                           {{5, 10}, kWhite},
                           {{0, 20}, Rgb(0, 0, 0)},
                           {{1, 21}, Rgb(128, 5, 0)},
                           {{2, 20}, Rgb(255, 10, 0)},
                           {{3, 20}, kWhite},
                           {{39, 29}, Rgb(212, 208, 200)},
                           {{20, 0}, kWhite},
                           {{25, 0}, kBlue},
                           {{29, 5}, kBlue},
                           {{25, 5}, kRed}});
}

TEST(RasterCanvas, ClipsNestAndImagesBlend) {
    RasterPicture picture(20, 20, Rgb(0, 0, 0)), image(2, 2, kWhite);
    RasterCanvas canvas(picture);
    canvas.PushClip({0, 0, 10, 10});
    canvas.PushClip({5, 5, 20, 20});
    canvas.FillRect({-100, -100, 100, 100}, kRed);
    canvas.PopClip();
    canvas.Line({0, 0}, {19, 0}, kBlue);
    canvas.PopClip();
    canvas.PopClip();  // unmatched: ignored
    canvas.BlendImage(image, {12, 12, 16, 16}, 128);
    canvas.DrawImage(image, {18, 18});
    ExpectPixels(picture, {{{5, 5}, kRed},
                           {{9, 9}, kRed},
                           {{10, 9}, 0},
                           {{4, 6}, 0},
                           {{9, 0}, kBlue},
                           {{10, 0}, 0},
                           {{15, 15}, Rgb(128, 128, 128)},
                           {{16, 16}, 0},
                           {{19, 19}, kWhite}});
    RasterPicture row(4, 1, 0);
    row.SetPixelAt({0, 0}, kRed);
    RasterCanvas(row).DrawImage(row, {1, 0});
    ExpectPixels(row, {{{1, 0}, kRed}, {{2, 0}, 0}});  // read as it was before the call
}

// A rounded clip cuts the corners of everything drawn under it, nested clips included, and
// ends with its PopClip.
TEST(RasterCanvas, RoundedClipsCutTheCorners) {
    RasterPicture picture(20, 20, Rgb(0, 0, 0)), image(20, 20, kWhite);
    RasterCanvas canvas(picture);
    canvas.PushRoundClip({0, 0, 20, 20}, 10, 10);
    canvas.PushClip({0, 0, 20, 16});
    canvas.DrawImage(image, {0, 0});
    canvas.Line({0, 1}, {20, 1}, kRed);
    canvas.PopClip();
    canvas.PopClip();
    canvas.SetPixel({19, 19}, kBlue);
    ExpectPixels(picture, {{{0, 0}, 0},
                           {{1, 0}, 0},
                           {{3, 3}, kWhite},
                           {{0, 10}, kWhite},
                           {{10, 16}, 0},
                           {{0, 1}, 0},
                           {{5, 1}, kRed},
                           {{19, 19}, kBlue}});
    for (int32_t y = 0; y < 16; ++y)
        for (int32_t x = 0; x < 20; ++x)
            EXPECT_EQ(picture.PixelAt({x, y}) != 0, InsideRoundRect({0, 0, 20, 20}, 10, 10, x, y))
                << x << "," << y;
}

TEST(RasterCanvas, TextStaysInItsRectangleAndMeasuresAsDrawn) {
    RasterPicture picture(200, 60, kWhite);
    RasterCanvas canvas(picture);
    for (const Font& font : {Font{}, Font{"Tahoma", 22, true, true}}) {
        const TextSize size = canvas.MeasureText("Hi \xD0\x96!", font);
        Rect measured{0, 0, 1000, 1000};
        canvas.DrawText("Hi &\xD0\x96!", measured, kTextCalcRect | kTextSingleLine, font, 0);
        EXPECT_EQ(size, (TextSize{measured.Width(), measured.Height()}));
        EXPECT_EQ(size.width, 5 * size.height * 3 / 4) << "five cells of 6x8";
    }
    Rect box{10, 10, 60, 40};
    const std::string words = "one two three four five six";
    EXPECT_EQ(canvas.DrawText(words, box, kTextWordBreak | kTextCenter, Font{}, kBlue), 32);
    Rect shortened{0, 0, 40, 10};
    canvas.DrawText(words, shortened, kTextCalcRect | kTextSingleLine | kTextWordEllipsis, {}, 0);
    EXPECT_EQ(shortened.Width(), 6 * 6) << "one...";
    for (int32_t y = 0; y < picture.Height(); ++y) {
        for (int32_t x = 0; x < picture.Width(); ++x) {
            const bool inside = x >= 10 && x < 60 && y >= 10 && y < 40;
            if (!inside) {
                ASSERT_EQ(picture.PixelAt({x, y}), kWhite) << x << "," << y;
            }
        }
    }
    EXPECT_EQ(picture.PixelAt({15, 12}), kBlue) << "\"one two\" centred: the top of its o";
}

TEST(RasterCanvas, RussianLettersHaveGlyphsOfTheirOwn) {
    const auto painted = [](const std::string& text) {
        RasterPicture picture(6, 8, kWhite);
        Rect cell{0, 0, 6, 8};
        RasterCanvas(picture).DrawText(text, cell, kTextSingleLine, Font{}, 0);
        return std::vector<uint32_t>(picture.Pixels().begin(), picture.Pixels().end());
    };
    const auto box = painted("\xE2\x82\xAC");  // the euro sign: not in the font
    for (const char* letter : {"\xD0\x96", "\xD1\x8F", "\xD0\x81", "\xD1\x91"}) {  // Ж я Ё ё
        EXPECT_NE(painted(letter), box) << letter;
    }
    EXPECT_NE(painted("\xD0\x96"), painted("\xD0\xA5")) << "Ж is not Х";
    EXPECT_EQ(painted("\xD0\xA5"), painted("X")) << "Х looks like the Latin X";
}

TEST(RasterPng, WritesSignatureAndSize) {
    const auto path = std::filesystem::temp_directory_path() / "tarvelin-raster-test.png";
    RasterPicture picture(300, 2);
    ASSERT_TRUE(WritePng(path.string(), picture));
    std::ifstream in(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(in), {}};
    std::filesystem::remove(path);
    ASSERT_GT(bytes.size(), 33u);
    EXPECT_EQ(bytes.substr(0, 16), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
    EXPECT_EQ(bytes.substr(16, 8), std::string("\0\0\x01\x2C\0\0\0\x02", 8));
    EXPECT_FALSE(WritePng((path / "no-such-folder" / "x.png").string(), picture));
    EXPECT_FALSE(WritePng(path.string(), RasterPicture(0, 5)));
}

TEST(RasterCanvasTest, TrafficGraphShowsItsBarsAndAxis) {
    RasterPicture picture(400, 90);
    RasterCanvas canvas(picture);
    EXPECT_EQ(sim::CheckGraphPicture(canvas, [&](Point at) { return picture.PixelAt(at); }), "");
}

// Stored blocks make a stream any inflater reads back: more than one block, Adler-32 and all.
TEST(RasterCanvasTest, UncompressedPngStreamInflatesToTheRows) {
    const auto png = EncodePng(200, 120, [](Point at) { return Rgb(at.x, at.y, 7); });
    ASSERT_GT(png.size(), 33u + 72120u);
    const uint32_t length = png[33] << 24 | png[34] << 16 | png[35] << 8 | png[36];
    std::vector<uint8_t> rows(120 * 601);
    uLongf size = rows.size();
    ASSERT_EQ(uncompress(rows.data(), &size, png.data() + 41, length), Z_OK);
    ASSERT_EQ(size, rows.size());
    EXPECT_EQ(rows[601 * 5 + 1 + 3 * 9], 9);  // red of (9, 5)
    EXPECT_EQ(rows[601 * 119 + 1 + 3 * 199 + 2], 7);
}

}  // namespace
}  // namespace tarvelin::platform
