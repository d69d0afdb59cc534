#pragma once
// The program's own painting routines over a canvas: colour conversions, filled, framed and
// line shapes, two kinds of gradient, the progress strip and the traffic graph. Each draws
// with what it is given and leaves nothing selected or allocated behind it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin {

using platform::Color;
using platform::ICanvas;
using platform::Rect;

// A system colour (top bit set) becomes the system's current value of that colour; any
// other value is returned unchanged.
Color TranslateColor(ICanvas& canvas, Color color);
// Each channel c becomes amount + c * (255 - amount) / 255: 0 keeps the colour, 255 is white.
Color LightenColor(Color color, uint8_t amount);
void FillRectColor(const Rect& rect, Color color, ICanvas& canvas);
void FillBox(ICanvas& canvas, Color color, int32_t left, int32_t top, int32_t right,
             int32_t bottom);
void FrameRectColor(const Rect& rect, Color color, ICanvas& canvas);
void DrawLine(int32_t x1, int32_t y1, int32_t x2, int32_t y2, ICanvas& canvas, Color color);
void GradientFillRect(ICanvas& canvas, Color color1, Color color2, int32_t left, int32_t top,
                      int32_t right, int32_t bottom, bool horizontal);
// A gradient as one-pixel lines, one per step, each channel interpolated and rounded:
// vertical lines across the rectangle's width, or horizontal ones down its height.
void GradientLines(ICanvas& canvas, Color color1, Color color2, const Rect& rect,
                   bool verticalLines);
// The progress strip over the whole canvas: a percentage, or with moving an animation phase.
void DrawProgress(ICanvas& canvas, Color color, bool moving, int32_t value);

// One second of a sample window: bytes per second received and transmitted.
struct TrafficSample {
    int32_t rx = 0;
    int32_t tx = 0;
    friend bool operator==(const TrafficSample&, const TrafficSample&) = default;
};

// The traffic graph of a sample window (index 0 is the newest second) in the rectangle,
// scaled to the window's maxima, labelled in bits or bytes per second.
void DrawTrafficGraph(ICanvas& canvas, bool statInByte, bool bgClear, bool gridHor,
                      const std::string& caption, const Rect& rect, int32_t winMaxRx,
                      int32_t winMaxTx, std::span<const TrafficSample> samples,
                      const platform::Font& font);

}  // namespace tarvelin
