// The canvas adapter drawing into an off-screen bitmap through Wine's GDI: chosen pixels of
// each primitive, and the device context's objects and the process's GDI objects as they were
// before once the canvas is done.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>

#include "platform/PngImage.h"
#include "platform/win32/Win32Canvas.h"
#include "sim/GraphPicture.h"

namespace tarvelin {
namespace {

using namespace platform;
constexpr Color kWhite = Rgb(255, 255, 255), kRed = Rgb(255, 0, 0), kBlue = Rgb(0, 0, 255);
using Probes = std::vector<std::pair<Point, Color>>;

// Fills through two nested clips, then after both have ended.
void NestedClips(ICanvas& c) {
    c.PushClip({0, 0, 8, 8});
    c.PushClip({4, 4, 20, 20});
    c.FillRect({0, 0, 20, 20}, kRed);
    c.PopClip();
    c.PopClip();
    c.FillRect({16, 16, 20, 20}, kBlue);
}

// A rounded clip within a plain one: the corners and the strip below stay white.
void RoundedClip(ICanvas& c) {
    c.PushClip({0, 0, 20, 16});
    c.PushRoundClip({0, 0, 20, 20}, 10, 10);
    c.FillRect({0, 0, 20, 20}, kRed);
    c.PopClip();
    c.PopClip();
}

// Each drawing on a white 20 x 20 bitmap, and pixels it must (or must not) have painted.
// clang-format off
const std::vector<std::tuple<const char*, Probes, std::function<void(ICanvas&)>>> kDrawings = {
    {"fill", {{{2, 2}, kRed}, {{9, 9}, kRed}, {{10, 5}, kWhite}, {{5, 10}, kWhite}},
     [](ICanvas& c) { c.FillRect({2, 2, 10, 10}, kRed); }},
    {"line", {{{2, 5}, kBlue}, {{9, 5}, kBlue}, {{10, 5}, kWhite}},
     [](ICanvas& c) { c.Line({2, 5}, {10, 5}, kBlue); }},
    {"frame", {{{2, 2}, kRed}, {{9, 9}, kRed}, {{5, 5}, kWhite}, {{10, 10}, kWhite}},
     [](ICanvas& c) { c.FrameRect({2, 2, 10, 10}, kRed); }},
    {"pixel", {{{7, 3}, kBlue}, {{8, 3}, kWhite}}, [](ICanvas& c) { c.SetPixel({7, 3}, kBlue); }},
    {"rounded", {{{0, 0}, kWhite}, {{10, 0}, kBlue}, {{10, 10}, kRed}, {{19, 10}, kBlue}},
     [](ICanvas& c) { c.RoundRect({0, 0, 20, 20}, 10, 10, kBlue, kRed); }},
    {"across", {{{0, 5}, kRed}, {{10, 5}, Rgb(128, 0, 128)}, {{19, 5}, kBlue}},
     [](ICanvas& c) { c.GradientRect({0, 0, 20, 20}, kRed, kBlue, true); }},
    {"down", {{{5, 0}, kRed}, {{5, 10}, Rgb(128, 0, 128)}, {{5, 19}, kBlue}},
     [](ICanvas& c) { c.GradientRect({0, 0, 20, 20}, kRed, kBlue, false); }},
    {"clip", {{{4, 4}, kRed}, {{7, 7}, kRed}, {{3, 3}, kWhite}, {{8, 8}, kWhite}, {{17, 17}, kBlue}},
     NestedClips},
    {"round clip", {{{0, 0}, kWhite}, {{19, 0}, kWhite}, {{0, 1}, kWhite}, {{3, 3}, kRed},
                    {{10, 0}, kRed}, {{0, 10}, kRed}, {{19, 15}, kRed}, {{10, 16}, kWhite}},
     RoundedClip},
    {"system colour", {{{1, 1}, GetSysColor(COLOR_WINDOWTEXT)}},
     [](ICanvas& c) { c.FillRect({0, 0, 4, 4}, kSystemColorFlag | COLOR_WINDOWTEXT); }},
    {"stray top bits", {{{1, 1}, kRed}}, [](ICanvas& c) { c.FillRect({0, 0, 4, 4}, kRed | 0x1000000); }},
};
// clang-format on

void Whiten(const Win32Bitmap& bitmap) {
    bitmap.Canvas().FillRect({0, 0, bitmap.Width(), bitmap.Height()}, kWhite);
}

ptrdiff_t Painted(const Win32Bitmap& bitmap) {
    const auto pixels = bitmap.Pixels();
    return std::count_if(pixels.begin(), pixels.end(), [](uint32_t p) { return p != 0xFFFFFF; });
}

// Within 16 in each channel: the gradients' ends and middles differ that much between the
// image library and the bands drawn without it.
bool Near(Color a, Color b) {
    for (const int shift : {0, 8, 16})
        if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > 16) return false;
    return true;
}

// How many more GDI objects the process can create: pens are created until the system refuses,
// then deleted. Wine's GetGuiResources answers 0 for every process, so the objects in use are
// counted this way, on Windows too (whose quota per process is lower).
size_t RoomForGdiObjects() {
    std::vector<GdiObject<HPEN>> pens;
    while (HPEN pen = CreatePen(PS_SOLID, 1, 0)) pens.emplace_back(pen);
    return pens.size();
}

// A BMP file of the bitmap, for a person to look at.
void SaveBmp(const Win32Bitmap& bitmap, const char* path) {
    const auto pixels = bitmap.Pixels();
    BITMAPINFOHEADER info{
        sizeof info, bitmap.Width(), -bitmap.Height(), 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    const DWORD offset = sizeof(BITMAPFILEHEADER) + sizeof info;
    const BITMAPFILEHEADER file{0x4D42, offset + DWORD(pixels.size_bytes()), 0, 0, offset};
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info), sizeof info);
    out.write(reinterpret_cast<const char*>(pixels.data()), pixels.size_bytes());
}

// Through the image library and as where it is missing.
TEST(CanvasAdapterTest, PrimitivesPaintTheirPixelsAndNoMore) {
    for (const bool system : {true, false}) {
        for (const auto& [name, probes, draw] : kDrawings) {
            Win32Bitmap bitmap(20, 20);
            Whiten(bitmap);
            auto canvas = bitmap.Canvas(system);
            draw(canvas);
            for (const auto& [at, expected] : probes)
                EXPECT_TRUE(Near(bitmap.PixelAt(at), expected))
                    << name << system << " at " << at.x << "," << at.y;
        }
    }
}

// White over black: the mid grey at half opacity, or without the image library a copy at
// half and above and nothing below.
TEST(CanvasAdapterTest, ImagesAreCopiedAndBlended) {
    const Win32Bitmap white(4, 4);
    Whiten(white);
    for (const auto& [system, opacity, expected] :
         {std::tuple{true, 128, Rgb(128, 128, 128)}, {false, 128, kWhite}, {false, 127, 0u}}) {
        const Win32Bitmap bitmap(16, 16);
        auto canvas = bitmap.Canvas(system);
        canvas.BlendImage(white, {0, 0, 8, 8}, static_cast<uint8_t>(opacity));
        canvas.DrawImage(white, {10, 10});
        EXPECT_TRUE(Near(bitmap.PixelAt({7, 7}), expected)) << opacity << system;
        EXPECT_EQ(bitmap.PixelAt({8, 8}) | bitmap.PixelAt({14, 14}), 0u);
        EXPECT_EQ(bitmap.PixelAt({13, 13}), kWhite);
    }
}

// Text is measured, measuring draws nothing, and drawing paints within the box only. The
// picture is left in the test's folder as canvas-adapter.bmp.
TEST(CanvasAdapterTest, TextIsMeasuredAndDrawnInsideItsRectangle) {
    const Win32Bitmap bitmap(280, 48);
    Whiten(bitmap);
    auto canvas = bitmap.Canvas();
    const Font font{"Tahoma", 16, true, false};
    const std::string text = "Тарвелин: соединение";
    const TextSize size = canvas.MeasureText(text, font);
    Rect measured{0, 0, 280, 0}, box{20, 10, 260, 40};
    EXPECT_GT(canvas.DrawText(text, measured, kTextSingleLine | kTextCalcRect, font, kBlue), 8);
    EXPECT_EQ((TextSize{measured.Width(), measured.Height()}), size);
    ASSERT_TRUE(size.width > 40 && size.width < box.Width());  // else the system clips it
    EXPECT_EQ(Painted(bitmap), 0);
    canvas.DrawText(text, box, kTextCenter | kTextVCenter | kTextSingleLine, font, kBlue);
    SaveBmp(bitmap, "canvas-adapter.bmp");
    const auto painted = Painted(bitmap);
    canvas.FillRect(box, kWhite);
    EXPECT_GT(painted, 50);
    EXPECT_EQ(Painted(bitmap), 0);  // nothing outside the box
}

// The traffic graph through the system's drawing shows what the native raster canvas shows
// of the same window; the picture is left in the test's folder as traffic-graph.png.
TEST(CanvasAdapterTest, TrafficGraphShowsItsBarsAndAxis) {
    const Win32Bitmap bitmap(400, 90);
    auto canvas = bitmap.Canvas();
    const auto pixel = [&](Point at) { return bitmap.PixelAt(at); };
    EXPECT_EQ(sim::CheckGraphPicture(canvas, pixel), "");
    const std::vector<uint8_t> png = EncodePng(bitmap.Width(), bitmap.Height(), pixel);
    std::ofstream("traffic-graph.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(png.data()), static_cast<std::streamsize>(png.size()));
}

// Every call restores the device context's pen, brush and font and deletes its own objects;
// the canvas's end deletes the font it kept and ends the clips still pushed.
TEST(CanvasAdapterTest, NothingStaysSelectedOrAllocated) {
    const Win32Bitmap bitmap(20, 20);
    const HDC dc = bitmap.Dc();
    std::pair<UINT, HGDIOBJ> objects[] = {
        {OBJ_PEN, nullptr}, {OBJ_BRUSH, nullptr}, {OBJ_FONT, nullptr}};
    for (auto& [kind, object] : objects) object = GetCurrentObject(dc, kind);
    const size_t room = RoomForGdiObjects();
    {
        Win32Canvas canvas(dc, {0, 0, 20, 20});
        for (const auto& drawing : kDrawings) std::get<2>(drawing)(canvas);
        Rect box{0, 0, 20, 20};
        canvas.DrawText("a", box, 0, Font{}, kBlue);
        canvas.MeasureText("b", Font{"Tahoma", 20, true, true});
        canvas.PushClip({0, 0, 2, 2});
        for (const auto& [kind, object] : objects) EXPECT_EQ(GetCurrentObject(dc, kind), object);
    }
    EXPECT_EQ(RoomForGdiObjects(), room);
    bitmap.Canvas().FillRect({0, 0, 20, 20}, kRed);
    EXPECT_EQ(bitmap.PixelAt({19, 19}), kRed);  // the clip left pushed has ended
}

}  // namespace
}  // namespace tarvelin
