// The canvas adapter drawing into an off-screen bitmap through Wine's GDI: chosen pixels of
// each primitive, and the device context's objects and the process's GDI objects as they were
// before once the canvas is done.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/win32/Win32Canvas.h"

namespace tarvelin {
namespace {

using namespace platform;
constexpr Color kWhite = Rgb(255, 255, 255), kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);

struct Probe {
    Point at;
    Color expected;
};
struct Drawing {
    const char* name;
    std::function<void(ICanvas&)> draw;
    std::vector<Probe> probes;
};

const std::vector<Drawing>& Drawings() {
    static const std::vector<Drawing> drawings = {
        {"fill",
         [](ICanvas& c) {
             c.FillRect({2, 2, 10, 10}, kRed);
         },
         {{{2, 2}, kRed}, {{9, 9}, kRed}, {{10, 5}, kWhite}, {{5, 10}, kWhite}}},
        {"line",
         [](ICanvas& c) {
             c.Line({2, 5}, {10, 5}, kBlue);
         },
         {{{2, 5}, kBlue}, {{9, 5}, kBlue}, {{10, 5}, kWhite}}},
        {"frame",
         [](ICanvas& c) {
             c.FrameRect({2, 2, 10, 10}, kRed);
         },
         {{{2, 2}, kRed}, {{9, 9}, kRed}, {{5, 5}, kWhite}, {{10, 10}, kWhite}}},
        {"pixel",
         [](ICanvas& c) {
             c.SetPixel({7, 3}, kBlue);
         },
         {{{7, 3}, kBlue}, {{8, 3}, kWhite}}},
        {"rounded",
         [](ICanvas& c) {
             c.RoundRect({0, 0, 20, 20}, 10, 10, kBlue, kRed);
         },
         {{{0, 0}, kWhite}, {{10, 0}, kBlue}, {{10, 10}, kRed}, {{19, 10}, kBlue}}},
        {"clip",
         [](ICanvas& c) {
             c.PushClip({0, 0, 8, 8});
             c.PushClip({4, 4, 20, 20});
             c.FillRect({0, 0, 20, 20}, kRed);
             c.PopClip();
             c.PopClip();
             c.FillRect({16, 16, 20, 20}, kBlue);
         },
         {{{4, 4}, kRed}, {{7, 7}, kRed}, {{3, 3}, kWhite}, {{8, 8}, kWhite}, {{17, 17}, kBlue}}},
        {"system colour",
         [](ICanvas& c) {
             c.FillRect({0, 0, 4, 4}, kSystemColorFlag | COLOR_WINDOWTEXT);
         },
         {{{1, 1}, GetSysColor(COLOR_WINDOWTEXT)}}},
    };
    return drawings;
}

void Whiten(Win32Bitmap& bitmap) {
    bitmap.Canvas().FillRect({0, 0, bitmap.Width(), bitmap.Height()}, kWhite);
}

bool Near(Color a, Color b, int tolerance) {
    return std::abs(RedOf(a) - RedOf(b)) <= tolerance &&
           std::abs(GreenOf(a) - GreenOf(b)) <= tolerance &&
           std::abs(BlueOf(a) - BlueOf(b)) <= tolerance;
}

// Writes the bitmap as a BMP file for a person to look at.
void SaveBmp(const Win32Bitmap& bitmap, const char* path) {
    const auto pixels = bitmap.Pixels();
    BITMAPINFOHEADER info{
        sizeof info, bitmap.Width(), -bitmap.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const DWORD size = offset + static_cast<DWORD>(pixels.size_bytes());
    const BITMAPFILEHEADER file{0x4D42, size, 0, 0, offset};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), pixels.size_bytes());
}

// How many more GDI objects the process can create: pens are created until the system refuses,
// then deleted. Wine's GetGuiResources answers 0 for every process, so the objects in use are
// counted this way, on Windows too (its quota per process is lower).
size_t RoomForGdiObjects() {
    std::vector<GdiObject<HPEN>> pens;
    while (HPEN pen = CreatePen(PS_SOLID, 1, 0)) pens.emplace_back(pen);
    return pens.size();
}

TEST(CanvasAdapterTest, PrimitivesPaintTheirPixelsAndNoMore) {
    for (const auto& [name, draw, probes] : Drawings()) {
        Win32Bitmap bitmap(20, 20);
        ASSERT_TRUE(bitmap);
        Whiten(bitmap);
        auto canvas = bitmap.Canvas();
        draw(canvas);
        for (const auto& [at, expected] : probes)
            EXPECT_EQ(bitmap.PixelAt(at), expected) << name << " at " << at.x << "," << at.y;
    }
}

// Through the image library and as bands where it is missing: each end has its colour.
TEST(CanvasAdapterTest, GradientsRunFromOneColourToTheOther) {
    for (const bool system : {true, false}) {
        for (const bool horizontal : {true, false}) {
            Win32Bitmap bitmap(32, 32);
            bitmap.Canvas(system).GradientRect({0, 0, 32, 32}, kRed, kBlue, horizontal);
            const Point last = horizontal ? Point{31, 5} : Point{5, 31};
            EXPECT_TRUE(Near(bitmap.PixelAt({0, 0}), kRed, 8)) << system << horizontal;
            EXPECT_TRUE(Near(bitmap.PixelAt(last), kBlue, 8)) << system << horizontal;
            EXPECT_TRUE(Near(bitmap.PixelAt({16, 16}), Rgb(128, 0, 128), 12));
        }
    }
}

// White over black: the mid grey at half opacity, or without the image library a copy at
// half and above and nothing below.
TEST(CanvasAdapterTest, ImagesAreCopiedAndBlended) {
    Win32Bitmap white(4, 4);
    Whiten(white);
    const struct {
        bool system;
        uint8_t opacity;
        Color expected;
    } cases[] = {{true, 128, Rgb(128, 128, 128)}, {false, 128, kWhite}, {false, 127, 0}};
    for (const auto& [system, opacity, expected] : cases) {
        Win32Bitmap bitmap(16, 16);
        auto canvas = bitmap.Canvas(system);
        canvas.BlendImage(white, {0, 0, 8, 8}, opacity);
        canvas.DrawImage(white, {10, 10});
        EXPECT_TRUE(Near(bitmap.PixelAt({7, 7}), expected, 2)) << int{opacity} << system;
        EXPECT_EQ(bitmap.PixelAt({8, 8}), 0u);
        EXPECT_EQ(bitmap.PixelAt({13, 13}), kWhite);
        EXPECT_EQ(bitmap.PixelAt({14, 14}), 0u);
    }
}

// The picture is left in the test's folder as canvas-adapter.bmp.
TEST(CanvasAdapterTest, TextIsMeasuredAndDrawnInsideItsRectangle) {
    constexpr int32_t kWidth = 280, kHeight = 48;
    Win32Bitmap bitmap(kWidth, kHeight);
    Whiten(bitmap);
    auto canvas = bitmap.Canvas();
    const Font font{"Tahoma", 16, true, false};
    const std::string text = "Тарвелин: соединение";
    const TextSize size = canvas.MeasureText(text, font);
    EXPECT_GT(size.width, 40);
    EXPECT_GT(size.height, 8);
    Rect measured{0, 0, kWidth, 0};
    EXPECT_GT(canvas.DrawText(text, measured, kTextSingleLine | kTextCalcRect, font, kBlue), 8);
    EXPECT_EQ(measured.Width(), size.width);
    EXPECT_EQ(std::count(bitmap.Pixels().begin(), bitmap.Pixels().end(), 0xFFFFFFu),
              kWidth * kHeight);
    Rect box{20, 10, kWidth - 20, 40};
    ASSERT_LT(size.width, box.Width());  // else the system clips it to the box
    canvas.DrawText(text, box, kTextCenter | kTextVCenter | kTextSingleLine, font, kBlue);
    int inside = 0, outside = 0;
    for (int32_t y = 0; y < kHeight; ++y) {
        for (int32_t x = 0; x < kWidth; ++x) {
            const bool within = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            if (bitmap.PixelAt({x, y}) != kWhite) ++(within ? inside : outside);
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    canvas.RoundRect({2, 2, kWidth - 2, kHeight - 2}, 12, 12, kRed, {});
    SaveBmp(bitmap, "canvas-adapter.bmp");
}

// Every call restores the device context's pen, brush and font and deletes its own objects;
// the canvas's end deletes the font it kept and ends the clips still pushed.
TEST(CanvasAdapterTest, NothingStaysSelectedOrAllocated) {
    Win32Bitmap bitmap(20, 20);
    const HDC dc = bitmap.Dc();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH),
                  font = GetCurrentObject(dc, OBJ_FONT);
    const size_t room = RoomForGdiObjects();
    {
        Win32Canvas canvas(dc, {0, 0, 20, 20});
        for (const auto& drawing : Drawings()) drawing.draw(canvas);
        canvas.GradientRect({0, 0, 20, 20}, kRed, kBlue, true);
        Rect box{0, 0, 20, 20};
        canvas.DrawText("a", box, 0, Font{}, kBlue);
        canvas.MeasureText("b", Font{"Tahoma", 20, true, true});
        canvas.PushClip({0, 0, 2, 2});
        EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    }
    EXPECT_EQ(RoomForGdiObjects(), room);
    bitmap.Canvas().FillRect({0, 0, 20, 20}, kRed);
    EXPECT_EQ(bitmap.PixelAt({19, 19}), kRed);  // the clip left pushed has ended
}

}  // namespace
}  // namespace tarvelin
