#pragma once
// A canvas that draws nothing and records every call, for tests to assert geometry exactly.
// Text metrics are fixed: each character (UTF-8 code point) is 6 pixels wide and a line is
// the font's pixel height + 2 high. A word-broken text takes as many lines as its width
// needs; the ellipses cut characters (back to a space for kTextWordEllipsis) until the text
// and "..." fit.
#include <map>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::sim {

using platform::Color;
using platform::Point;
using platform::Rect;

struct CanvasCall {
    enum Kind {
        Fill,
        Frame,
        Line,
        Pixel,
        RoundRect,
        Gradient,
        Text,
        PushClip,
        RoundClip,
        PopClip,
        Image
    };
    Kind kind = Fill;
    Rect rect;           // shape, text box (its extent with kTextCalcRect), clip, image
    Point from, to;      // lines and pixels; from: a rounded clip's corner width and height
    Color color = 0;     // fill, pen, text, gradient start; an image's opacity
    Color color2 = 0;    // gradient end, round rectangle's fill
    uint32_t flags = 0;  // text format; 1 for a horizontal gradient
    std::string text;    // as laid out, after any ellipsis
    platform::Font font;
    Rect clip;  // the clip in force
};

class RecordingCanvas : public platform::ICanvas {
  public:
    explicit RecordingCanvas(Rect bounds = {0, 0, 400, 90}) : bounds_(bounds) {}

    Rect Bounds() const override { return bounds_; }
    void FillRect(const Rect& rect, Color color) override { Add(CanvasCall::Fill, rect, color); }
    void FrameRect(const Rect& rect, Color color) override { Add(CanvasCall::Frame, rect, color); }
    void Line(Point from, Point to, Color color) override;
    void SetPixel(Point at, Color color) override { Line(at, {at.x + 1, at.y}, color); }
    void RoundRect(const Rect& rect, int32_t, int32_t, Color pen,
                   std::optional<Color> fill) override {
        Add(CanvasCall::RoundRect, rect, pen).color2 = fill.value_or(pen);
    }
    void GradientRect(const Rect& rect, Color from, Color to, bool horizontal) override;
    int32_t DrawText(const std::string& text, Rect& rect, uint32_t format,
                     const platform::Font& font, Color color) override;
    platform::TextSize MeasureText(const std::string& text, const platform::Font& font) override;
    void PushClip(const Rect& rect) override;
    // Recorded with its corners; the clip in force for later calls is its bounding box.
    void PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) override;
    void PopClip() override;
    void DrawImage(const platform::IImage& image, Point at) override {
        Add(CanvasCall::Image, {at.x, at.y, at.x + image.Width(), at.y + image.Height()}, 255);
    }
    void BlendImage(const platform::IImage&, const Rect& to, uint8_t opacity) override {
        Add(CanvasCall::Image, to, opacity);
    }
    Color SystemColor(uint32_t index) override { return systemColors[index]; }

    std::vector<CanvasCall> Of(CanvasCall::Kind kind, std::optional<Color> color = {}) const;
    // Calls that would paint a pixel outside the area, within the clip they were made under.
    std::vector<CanvasCall> OutsideOf(const Rect& area) const;

    std::vector<CanvasCall> calls;
    std::vector<Rect> clips;  // the clip stack
    int32_t unmatchedPops = 0;
    std::map<uint32_t, Color> systemColors = {{5, 0xFFFFFF}, {8, 0}, {15, 0xC8D0D4}};

  private:
    CanvasCall& Add(CanvasCall::Kind kind, const Rect& rect, Color color);
    Rect bounds_;
};

}  // namespace tarvelin::sim
