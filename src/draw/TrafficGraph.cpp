// The traffic graph: receive and transmit speeds of a sample window as vertical bars, the
// newest second at the left, under a speed axis labelled in bits or bytes per second.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/AppState.h"
#include "draw/modAppDraw.h"
#include "platform/Locale.h"

namespace tarvelin {

using platform::Font;
using platform::Point;
using platform::Rgb;

namespace {

constexpr Color kReceive = Rgb(255, 0, 0);   // receive bars and the caption
constexpr Color kGrey = Rgb(173, 175, 175);  // axes, grid and transmit bars
constexpr Color kOutline = Rgb(102, 100, 101);
constexpr Color kLabel = Rgb(30, 30, 30);
constexpr Color kWhite = Rgb(255, 255, 255);
constexpr char kBitUnit[] = "Бит/сек";
constexpr char kByteUnit[] = "Байт/сек";
constexpr uint32_t kOneLine = platform::kTextSingleLine | platform::kTextNoPrefix;

// To the nearest integer, halves to the even neighbour (the default rounding mode).
int64_t RoundEven(double value) {
    return static_cast<int64_t>(std::nearbyint(std::clamp(value, -1e15, 1e15)));
}

int32_t Clamp32(int64_t value, int32_t low, int32_t high) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, low, std::max(low, high)));
}

std::string DecimalSeparator() {
    const platform::Platform* services = AppState().platform;
    if (services == nullptr || services->locale == nullptr) return ".";
    return services->locale->DecimalSeparator();
}

// One decimal, in the user's notation.
std::string FormatTenths(double value, const std::string& separator) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", value);
    std::string result = text;
    const size_t point = result.find('.');
    if (point != std::string::npos) result.replace(point, 1, separator);
    return result;
}

struct SpeedAxis {
    int64_t scale = 0;     // bytes per second at the top of the plot
    double display = 0.0;  // the same in the unit shown
    std::string unit;
};

// The axis reaches the next multiple of 10 above the larger maximum, raised so that two text
// lines of headroom stay free above the highest bar when the plot is high enough for them.
SpeedAxis ScaleAxis(bool statInByte, int32_t winMaxRx, int32_t winMaxTx, int64_t plotRows,
                    int32_t lineHeight) {
    const int64_t highest = std::max<int64_t>({winMaxRx, winMaxTx, 0});
    const int64_t top = highest + 10 - highest % 10;
    const int64_t barRows = plotRows - 2 * int64_t{lineHeight};
    SpeedAxis axis;
    axis.scale = barRows > 0 ? RoundEven(static_cast<double>(plotRows) * static_cast<double>(top) /
                                         static_cast<double>(barRows))
                             : top;
    axis.display = statInByte ? axis.scale : axis.scale * 8.0;
    axis.unit = statInByte ? kByteUnit : kBitUnit;
    if (axis.display > 1024) {
        axis.display /= 1024;
        axis.unit = "K" + axis.unit;
    }
    return axis;
}

// The widest label the axis can carry: a 9 for each digit of the top value and one decimal.
std::string LabelTemplate(double display) {
    return std::string(std::to_string(RoundEven(display)).size(), '9') + ",9";
}

void DrawHeadings(ICanvas& canvas, const Rect& plot, const SpeedAxis& axis,
                  const std::string& caption, int32_t textHeight, const Font& font) {
    Rect unitBox{plot.left + 2, plot.top + textHeight / 3, plot.right, plot.top + 2 * textHeight};
    canvas.DrawText(axis.unit, unitBox, platform::kTextLeft | kOneLine, font, kLabel);
    if (caption.empty()) return;
    Rect captionBox = unitBox;
    captionBox.left = plot.left + canvas.MeasureText(axis.unit, font).width + 5;
    canvas.DrawText(caption, captionBox, kOneLine | platform::kTextWordEllipsis, font, kReceive);
}

// Lines (or ticks) every 1.2 text lines' worth of speed, rounded up to a multiple of 5 when
// above 2, each labelled with its value right-aligned left of the axis, none too near the top.
void DrawGrid(ICanvas& canvas, const Rect& area, const Rect& plot, const SpeedAxis& axis,
              bool gridHor, int32_t textHeight, const Font& font) {
    const double rows = plot.Height();
    double step = 1.2 * textHeight * axis.display / rows;
    if (step > 2) step = static_cast<double>(RoundEven(step + 5 - RoundEven(step) % 5));
    if (!(step > 0)) return;
    const double stepPx = step * rows / axis.display;
    const int64_t count = RoundEven(rows / stepPx);
    const std::string separator = DecimalSeparator();
    for (int64_t k = 0; k <= count; ++k) {
        const int64_t y = RoundEven(plot.bottom - stepPx * k + 1);
        if (y < plot.top + 1.5 * textHeight) break;
        const auto row = static_cast<int32_t>(y);
        canvas.Line(Point{plot.left - 3, row}, Point{gridHor ? plot.right : plot.left, row}, kGrey);
        if (y - textHeight < plot.top) continue;
        Rect box{area.left, row - textHeight, plot.left - 2, row};
        canvas.DrawText(FormatTenths(stepPx * axis.display * k / rows, separator), box,
                        platform::kTextRight | platform::kTextBottom | kOneLine, font, kLabel);
    }
}

// A bar up from the baseline and, after the first, the outline segment back to the top of
// the newer sample's bar one column to the left.
void DrawColumn(ICanvas& canvas, Point base, int32_t top, const int32_t* newerTop, Color color) {
    canvas.Line(base, Point{base.x, top}, color);
    if (newerTop != nullptr)
        canvas.Line(Point{base.x, top}, Point{base.x - 1, *newerTop}, kOutline);
}

// Sample 3 is the newest smoothed one (the two before it are raw) and stands at the plot's
// left + 1; older samples follow to the right as far as the plot is wide.
void DrawBars(ICanvas& canvas, const Rect& plot, int64_t scale,
              std::span<const TrafficSample> samples) {
    const double pxPerByte = static_cast<double>(plot.Height()) / static_cast<double>(scale);
    const auto barTop = [&](int32_t speed) {
        return Clamp32(RoundEven(plot.bottom - speed * pxPerByte), plot.top, plot.bottom);
    };
    const int64_t n = std::min<int64_t>(static_cast<int64_t>(samples.size()), plot.Width());
    for (int64_t i = 3; i <= n; ++i) {
        const Point base{static_cast<int32_t>(plot.left + i - 2), plot.bottom};
        const TrafficSample& sample = samples[i - 1];
        const TrafficSample& newer = samples[i - 2];
        const int32_t newerRx = barTop(newer.rx);
        const int32_t newerTx = barTop(newer.tx);
        DrawColumn(canvas, base, barTop(sample.rx), i > 3 ? &newerRx : nullptr, kReceive);
        DrawColumn(canvas, base, barTop(sample.tx), i > 3 ? &newerTx : nullptr, kGrey);
    }
}

}  // namespace

void DrawTrafficGraph(ICanvas& canvas, bool statInByte, bool bgClear, bool gridHor,
                      const std::string& caption, const Rect& rect, int32_t winMaxRx,
                      int32_t winMaxTx, std::span<const TrafficSample> samples, const Font& font) {
    if (rect.Empty()) return;
    canvas.PushClip(rect);
    if (bgClear) canvas.FillRect(rect, kWhite);
    const int64_t plotRows = int64_t{rect.bottom} - 5 - rect.top - 3;
    const SpeedAxis axis =
        ScaleAxis(statInByte, winMaxRx, winMaxTx, plotRows, canvas.MeasureText("Qq", font).height);
    const platform::TextSize label = canvas.MeasureText(LabelTemplate(axis.display), font);
    const Rect plot{Clamp32(int64_t{rect.left} + 3 + label.width + 4, rect.left, rect.right),
                    rect.top + 3, rect.right, rect.bottom - 5};
    if (!plot.Empty()) {
        const Point corner{plot.left, plot.bottom + 1};
        canvas.Line(Point{plot.left, plot.top}, corner, kGrey);
        canvas.Line(corner, Point{plot.right, corner.y}, kGrey);
        DrawHeadings(canvas, plot, axis, caption, label.height, font);
        DrawGrid(canvas, rect, plot, axis, gridHor, label.height, font);
        DrawBars(canvas, plot, axis.scale, samples);
    }
    canvas.PopClip();
}

}  // namespace tarvelin
