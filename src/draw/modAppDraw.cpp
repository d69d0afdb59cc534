#include "draw/modAppDraw.h"

#include <algorithm>
#include <cmath>

namespace tarvelin {

using platform::Point;

namespace {

constexpr Color kWhite = platform::Rgb(255, 255, 255);

// The channel at step of steps (0 to steps - 1) between a and b, to the nearest integer with
// halves upwards; a lone step keeps a.
uint8_t BlendChannel(int32_t a, int32_t b, int32_t step, int32_t steps) {
    if (steps <= 1) return static_cast<uint8_t>(a);
    const int64_t span = steps - 1;
    const int64_t scaled = int64_t{a} * span + int64_t{b - a} * step;  // never negative
    return static_cast<uint8_t>((2 * scaled + span) / (2 * span));
}

}  // namespace

Color TranslateColor(ICanvas& canvas, Color color) {
    if ((color & platform::kSystemColorFlag) == 0) return color;
    return canvas.SystemColor(color & ~platform::kSystemColorFlag);
}

Color LightenColor(Color color, uint8_t amount) {
    const auto lighten = [amount](uint8_t c) {
        return static_cast<uint8_t>(std::min(255, amount + c * (255 - amount) / 255));
    };
    return platform::Rgb(lighten(platform::RedOf(color)), lighten(platform::GreenOf(color)),
                         lighten(platform::BlueOf(color)));
}

void FillRectColor(const Rect& rect, Color color, ICanvas& canvas) {
    canvas.FillRect(rect, TranslateColor(canvas, color));
}

void FillBox(ICanvas& canvas, Color color, int32_t left, int32_t top, int32_t right,
             int32_t bottom) {
    FillRectColor(Rect{left, top, right, bottom}, color, canvas);
}

void FrameRectColor(const Rect& rect, Color color, ICanvas& canvas) {
    canvas.FrameRect(rect, color);
}

void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, ICanvas& canvas, Color color) {
    canvas.Line(Point{x1, y1}, Point{x2, y2}, TranslateColor(canvas, color));
}

void GradientFillRect(ICanvas& canvas, Color color1, Color color2, int32_t left, int32_t top,
                      int32_t right, int32_t bottom, bool horizontal) {
    canvas.GradientRect(Rect{left, top, right, bottom}, color1, color2, horizontal);
}

void GradientLines(ICanvas& canvas, Color color1, Color color2, const Rect& rect,
                   bool verticalLines) {
    if (rect.Empty()) return;
    const Color from = TranslateColor(canvas, color1);
    const Color to = TranslateColor(canvas, color2);
    const int32_t steps = verticalLines ? rect.Width() : rect.Height();
    for (int32_t i = 0; i < steps; ++i) {
        const Color color =
            platform::Rgb(BlendChannel(platform::RedOf(from), platform::RedOf(to), i, steps),
                          BlendChannel(platform::GreenOf(from), platform::GreenOf(to), i, steps),
                          BlendChannel(platform::BlueOf(from), platform::BlueOf(to), i, steps));
        if (verticalLines) {
            canvas.Line(Point{rect.left + i, rect.top}, Point{rect.left + i, rect.bottom}, color);
        } else {
            canvas.Line(Point{rect.left, rect.top + i}, Point{rect.right, rect.top + i}, color);
        }
    }
}

namespace {

constexpr int32_t kStripInset = 3;    // white margin between the frame and the strip
constexpr int32_t kSegmentPitch = 8;  // a 6-pixel segment and its 2-pixel gap
constexpr int32_t kSegmentGap = 2;
constexpr int32_t kBlockWidth = 10;  // the moving blocks
constexpr int32_t kBlockPitch = 12;
constexpr int32_t kBlockTravel = 45;  // how far left of the start the blocks begin at phase 0

// The filled part of a percentage: whole segments from the strip's start, lighter bands
// along its top and bottom edges, white gaps between the segments.
void DrawProgressPercent(ICanvas& canvas, Color color, const Rect& client, const Rect& strip,
                         int32_t percent) {
    if (percent <= 0) return;
    const int64_t reach = std::lround(percent / 98.0 * (int64_t{client.right} - strip.left));
    int32_t end = static_cast<int32_t>(std::min<int64_t>(strip.left + reach, strip.right));
    end -= (end - strip.left) % kSegmentPitch;
    if (end <= strip.left) return;
    const Rect filled{strip.left, strip.top, end, strip.bottom};
    canvas.FillRect(filled, color);
    const Color light = LightenColor(color, 150);
    const int32_t band = filled.Height() / 3;
    GradientLines(canvas, light, color, Rect{filled.left, filled.top, end, filled.top + band},
                  false);
    GradientLines(canvas, color, light, Rect{filled.left, filled.bottom - band, end, filled.bottom},
                  false);
    for (int32_t x = filled.left + kSegmentPitch - kSegmentGap; x < end; x += kSegmentPitch) {
        canvas.FillRect(Rect{x, filled.top, x + kSegmentGap, filled.bottom}, kWhite);
    }
}

// Three shaded blocks that slide in from the left as the phase goes from 0 to 100.
void DrawProgressBlocks(ICanvas& canvas, Color color, const Rect& strip, int32_t phase) {
    canvas.PushClip(strip);
    const int32_t shift = kBlockTravel * (100 - phase) / 100;
    for (int32_t i = 0; i < 3; ++i) {
        const int32_t left = strip.left + kBlockPitch * i - shift;
        GradientLines(canvas, LightenColor(color, static_cast<uint8_t>(220 - 40 * i)),
                      LightenColor(color, static_cast<uint8_t>(200 - 40 * i)),
                      Rect{left, strip.top, left + kBlockWidth, strip.bottom}, true);
    }
    canvas.PopClip();
}

}  // namespace

void DrawProgress(ICanvas& canvas, Color color, bool moving, int32_t value) {
    const Rect client = canvas.Bounds();
    if (client.Empty()) return;
    value = std::clamp(value, 0, 100);
    const Color rgb = TranslateColor(canvas, color);
    canvas.FillRect(client, kWhite);
    const Rect strip{client.left + kStripInset, client.top + kStripInset,
                     client.right - kStripInset, client.bottom - kStripInset};
    if (!strip.Empty()) {
        if (moving) {
            DrawProgressBlocks(canvas, rgb, strip, value);
        } else {
            DrawProgressPercent(canvas, rgb, client, strip, value);
        }
    }
    FrameRectColor(client, rgb, canvas);
}

}  // namespace tarvelin
