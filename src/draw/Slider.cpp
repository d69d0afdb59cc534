#include "draw/Slider.h"

#include <algorithm>
#include <cmath>

#include "draw/modAppDraw.h"

namespace tarvelin {

using platform::Point;
using platform::Rgb;

namespace {

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kDarkRed = Rgb(192, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr Color kLightGrey = Rgb(224, 224, 224);
constexpr Color kPaleGrey = Rgb(240, 240, 240);
constexpr Color kShadow = Rgb(128, 128, 128);
constexpr Color kOutline = 0x656466;
constexpr Color kDisabled = 0xAFAFAD;
constexpr Color kDark = 0x1E1E1E;

constexpr int32_t kStartOffset = 8;  // from the slider's start to the minimum's pixel
constexpr int32_t kMargin = 2;       // around the thumb's band
constexpr int32_t kTickBand = 6;     // a gap and the longest tick
constexpr int32_t kTickLength = 3;
constexpr int32_t kEndTickLength = 5;
constexpr int32_t kMinTickPitch = 3;

// The slider's geometry along its length: where the minimum's pixel is, the divisor of the
// value formula (pixels for the whole range) and the number of values.
struct Track {
    int64_t start = 0;
    int64_t span = 0;
    int64_t count = 0;
    int32_t minimum = 0;
    int32_t maximum = 0;

    Track(const Rect& client, bool horizontal, int32_t thumbSize, int32_t min, int32_t max)
        : start(int64_t{horizontal ? client.left : client.top} + kStartOffset),
          span(horizontal ? int64_t{client.right} - thumbSize - client.left - 9
                          : int64_t{client.bottom} - thumbSize - client.top - 7),
          count(int64_t{max} - min + 1),
          minimum(min),
          maximum(max) {}

    bool Usable() const { return span > 0 && maximum >= minimum; }
    // The value at an offset from the minimum's pixel, halves to even (the default rounding).
    int32_t ValueAt(int64_t offset) const {
        if (!Usable()) return minimum;
        const double value = std::nearbyint(minimum + static_cast<double>(offset) * count / span);
        return static_cast<int32_t>(std::clamp<double>(value, minimum, maximum));
    }
    // The offset of the value: the nearest pixel to its exact place, or a neighbour when that
    // one reads back as another value and the neighbour as this one.
    int64_t OffsetOf(int32_t value) const {
        if (!Usable()) return 0;
        const int64_t k = int64_t{std::clamp(value, minimum, maximum)} - minimum;
        const auto nearest =
            static_cast<int64_t>(std::llround(static_cast<double>(k) * span / count));
        for (const int64_t offset : {nearest, nearest - 1, nearest + 1})
            if (offset >= 0 && offset <= span && ValueAt(offset) == minimum + k) return offset;
        return nearest;
    }
};

struct ThumbLook {
    Color from, to, frame;
};

ThumbLook LookOf(int32_t state) {
    switch (state) {
        case kSliderHover:
            return {kWhite, LightenColor(kRed, 160), kRed};
        case kSliderFocus:
            return {kWhite, kLightGrey, kDark};
        case kSliderPressed:
            return {LightenColor(kRed, 120), kRed, kDarkRed};
        case kSliderDisabled:
            return {kPaleGrey, kPaleGrey, kDisabled};
        default:
            return {kWhite, kLightGrey, kOutline};
    }
}

Color Mix(Color a, Color b) {
    return Rgb(static_cast<uint8_t>((platform::RedOf(a) + platform::RedOf(b)) / 2),
               static_cast<uint8_t>((platform::GreenOf(a) + platform::GreenOf(b)) / 2),
               static_cast<uint8_t>((platform::BlueOf(a) + platform::BlueOf(b)) / 2));
}

// Draws in slider coordinates: along the slider and across it.
struct SliderPen {
    ICanvas& canvas;
    bool horizontal;

    Point At(int64_t along, int32_t across) const {
        const auto a = static_cast<int32_t>(along);
        return horizontal ? Point{a, across} : Point{across, a};
    }
    Rect Box(int64_t along0, int32_t across0, int64_t along1, int32_t across1) const {
        const Point p = At(along0, across0), q = At(along1, across1);
        return {p.x, p.y, q.x, q.y};
    }
    void Along(int64_t from, int64_t to, int32_t across, Color color) const {
        canvas.Line(At(from, across), At(to, across), color);
    }
    void Across(int64_t along, int32_t from, int32_t to, Color color) const {
        canvas.Line(At(along, from), At(along, to), color);
    }
};

// The groove across the middle of the band [c0, c1): a shadow edge, a pale inside whose part
// up to the thumb carries the accent, and a white edge.
void DrawGroove(const SliderPen& pen, const Track& track, int64_t thumbAt, int32_t c0, int32_t c1,
                Color accent) {
    const int32_t mid = c0 + (c1 - c0) / 2;
    const int64_t end = track.start + std::max<int64_t>(track.span, 0) + 1;
    pen.Along(track.start, end, mid - 2, kShadow);
    pen.canvas.FillRect(pen.Box(track.start, mid - 1, end, mid + 1), kPaleGrey);
    pen.canvas.FillRect(pen.Box(track.start, mid - 1, thumbAt, mid + 1), accent);
    pen.Along(track.start, end, mid + 1, kWhite);
}

// Ticks every `every` values from the minimum and at the maximum, thinned to a multiple of
// `every` so that they stay kMinTickPitch pixels apart however wide the range.
void DrawTicks(const SliderPen& pen, const Track& track, int32_t every, int32_t base,
               int32_t direction, Color color) {
    if (!track.Usable()) return;
    const double pitch = static_cast<double>(every) * track.span / track.count;
    const double thinned =
        pitch >= kMinTickPitch ? every : std::ceil(kMinTickPitch / pitch) * every;
    const auto step = static_cast<int64_t>(std::min(thinned, static_cast<double>(track.count)));
    const auto tick = [&](int64_t value, int32_t length) {
        const int64_t at = track.start + track.OffsetOf(static_cast<int32_t>(value));
        pen.Across(at, base, base + direction * length, color);
    };
    for (int64_t value = track.minimum + step; value < track.maximum; value += step)
        tick(value, kTickLength);
    tick(track.minimum, kEndTickLength);
    tick(track.maximum, kEndTickLength);
}

void DrawThumb(const SliderPen& pen, const Rect& box, const ThumbLook& look, Color background) {
    ICanvas& canvas = pen.canvas;
    if (box.Empty()) return;
    canvas.GradientRect(box, look.from, look.to, !pen.horizontal);
    const Point corners[] = {{box.left, box.top},
                             {box.right - 1, box.top},
                             {box.left, box.bottom - 1},
                             {box.right - 1, box.bottom - 1}};
    canvas.Line({box.left + 1, box.top}, {box.right - 1, box.top}, look.frame);
    canvas.Line({box.left + 1, box.bottom - 1}, {box.right - 1, box.bottom - 1}, look.frame);
    canvas.Line({box.left, box.top + 1}, {box.left, box.bottom - 1}, look.frame);
    canvas.Line({box.right - 1, box.top + 1}, {box.right - 1, box.bottom - 1}, look.frame);
    for (const Point& corner : corners) canvas.SetPixel(corner, Mix(look.frame, background));
}

}  // namespace

int32_t SliderValueFromPoint(const Rect& client, bool horizontal, int32_t x, int32_t y,
                             int32_t thumbSize, int32_t minimum, int32_t maximum) {
    const Track track(client, horizontal, thumbSize, minimum, maximum);
    return track.ValueAt(int64_t{horizontal ? x : y} - track.start);
}

void DrawSlider(ICanvas& canvas, const Rect& client, Color background, bool horizontal,
                int32_t paramA, int32_t state, int32_t thumbSize, int32_t minimum, int32_t value,
                int32_t maximum, int32_t paramB, Rect& thumb) {
    const Color back = TranslateColor(canvas, background);
    const SliderPen pen{canvas, horizontal};
    const Track track(client, horizontal, thumbSize, minimum, maximum);
    const bool ticksAfter = paramB > 0 && (paramA == 0 || paramA == 2);
    const bool ticksBefore = paramB > 0 && (paramA == 1 || paramA == 2);
    int32_t c0 = (horizontal ? client.top : client.left) + kMargin;
    int32_t c1 = (horizontal ? client.bottom : client.right) - kMargin;
    if (ticksBefore) c0 += kTickBand;
    if (ticksAfter) c1 -= kTickBand;
    const int64_t at = track.start + track.OffsetOf(value);
    const int64_t thumbStart = at - std::max(thumbSize, 0) / 2;
    thumb = pen.Box(thumbStart, c0, thumbStart + std::max(thumbSize, 0), c1);

    const bool disabled = state == kSliderDisabled;
    canvas.PushClip(client);
    canvas.FillRect(client, back);
    DrawGroove(pen, track, at, c0, c1, disabled ? kDisabled : kRed);
    const Color tickColor = disabled ? kDisabled : kOutline;
    if (ticksAfter) DrawTicks(pen, track, paramB, c1 + 1, 1, tickColor);
    if (ticksBefore) DrawTicks(pen, track, paramB, c0 - 2, -1, tickColor);
    DrawThumb(pen, thumb, LookOf(state), back);
    canvas.PopClip();
}

}  // namespace tarvelin
