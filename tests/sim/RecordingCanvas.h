#pragma once
// A canvas that draws nothing and records every call, for tests to assert geometry exactly.
// Text metrics are fixed: each character (UTF-8 code point) is 6 pixels wide and a line is
// the font's pixel height + 2 high. Word breaking wraps at spaces to the rectangle's width;
// the ellipses cut characters (at a space for kTextWordEllipsis) until text + "..." fits.
#include <map>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::sim {

using platform::Color;
using platform::Point;
using platform::Rect;

struct CanvasCall {
    enum Kind { Fill, Frame, Line, Pixel, RoundRect, Gradient, Text, PushClip, PopClip, Image };
    Kind kind = Fill;
    Rect rect;           // shape, text box (the measured extent with kTextCalcRect), clip, image
    Point from, to;      // lines and pixels
    Color color = 0;     // fill, pen, text, gradient start; an image's opacity
    Color color2 = 0;    // gradient end, rounded rectangle's fill
    uint32_t flags = 0;  // text format; 1 for a horizontal gradient or a filled round rect
    std::string text;    // as laid out, after any ellipsis
    platform::Font font;
    Rect clip;  // the clip in force
};

class RecordingCanvas : public platform::ICanvas {
  public:
    static constexpr int32_t kCharWidth = 6;
    explicit RecordingCanvas(Rect bounds = {0, 0, 400, 90}) : bounds_(bounds) {}

    Rect Bounds() const override { return bounds_; }
    void FillRect(const Rect& rect, Color color) override { Add(CanvasCall::Fill, rect, color); }
    void FrameRect(const Rect& rect, Color color) override { Add(CanvasCall::Frame, rect, color); }
    void Line(Point from, Point to, Color color) override {
        AddLine(CanvasCall::Line, from, to, color);
    }
    void SetPixel(Point at, Color color) override { AddLine(CanvasCall::Pixel, at, at, color); }
    void RoundRect(const Rect& rect, int32_t, int32_t, Color pen,
                   std::optional<Color> fill) override;
    void GradientRect(const Rect& rect, Color from, Color to, bool horizontal) override;
    int32_t DrawText(const std::string& text, Rect& rect, uint32_t format,
                     const platform::Font& font, Color color) override;
    platform::TextSize MeasureText(const std::string& text, const platform::Font& font) override;
    void PushClip(const Rect& rect) override;
    void PopClip() override;
    void DrawImage(const platform::IImage& image, Point at) override;
    void BlendImage(const platform::IImage& image, const Rect& to, uint8_t opacity) override;
    Color SystemColor(uint32_t index) override { return systemColors[index]; }

    std::vector<CanvasCall> Of(CanvasCall::Kind kind) const;
    // Calls that would paint a pixel outside the area, within the clip they were made under.
    std::vector<CanvasCall> OutsideOf(const Rect& area) const;
    size_t ClipDepth() const { return clips_.size(); }

    std::vector<CanvasCall> calls;
    int32_t unmatchedPops = 0;
    std::map<uint32_t, Color> systemColors = {{5, 0xFFFFFF}, {8, 0}, {15, 0xC8D0D4}};

  private:
    void AddLine(CanvasCall::Kind kind, Point from, Point to, Color color) {
        CanvasCall& call = Add(kind, {}, color);
        call.from = from;
        call.to = to;
    }
    CanvasCall& Add(CanvasCall::Kind kind, const Rect& rect = {}, Color color = 0);
    Rect bounds_;
    std::vector<Rect> clips_;
};

}  // namespace tarvelin::sim
