#pragma once
// A canvas that paints into a picture in memory with a software rasteriser: the native
// surface that tests and tools draw on, compare pixels of and save as PNG pictures.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::platform {

// An owned picture of opaque pixels, each kept as a Color (red in the low byte) with the top
// byte 0xFF, so that in memory the bytes run red, green, blue, alpha.
class RasterPicture final : public IImage {
  public:
    RasterPicture(int32_t width, int32_t height, Color background = Rgb(255, 255, 255));
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    // The colour at the point, 0 outside the picture.
    Color PixelAt(Point at) const;
    // Points outside the picture are ignored.
    void SetPixelAt(Point at, Color color);
    std::span<const uint32_t> Pixels() const { return pixels_; }

  private:
    bool Contains(Point at) const;
    int32_t width_;
    int32_t height_;
    std::vector<uint32_t> pixels_;
};

class RasterCanvas final : public ICanvas {
  public:
    explicit RasterCanvas(RasterPicture& picture) : picture_(picture) {}

    Rect Bounds() const override { return {0, 0, picture_.Width(), picture_.Height()}; }
    void FillRect(const Rect& rect, Color color) override;
    void FrameRect(const Rect& rect, Color color) override;
    void Line(Point from, Point to, Color color) override;
    void SetPixel(Point at, Color color) override;
    void RoundRect(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight, Color pen,
                   std::optional<Color> fill) override;
    void GradientRect(const Rect& rect, Color from, Color to, bool horizontal) override;
    int32_t DrawText(const std::string& text, Rect& rect, uint32_t format, const Font& font,
                     Color color) override;
    TextSize MeasureText(const std::string& text, const Font& font) override;
    void PushClip(const Rect& rect) override;
    void PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) override;
    void PopClip() override;
    void DrawImage(const IImage& image, Point at) override;
    void BlendImage(const IImage& image, const Rect& to, uint8_t opacity) override;
    Color SystemColor(uint32_t index) override;

  private:
    Rect Clip() const;
    const RasterPicture* SourceOf(const IImage& image, std::optional<RasterPicture>& copy) const;
    Color Resolve(Color color);
    void Plot(int32_t x, int32_t y, Color color);
    void Put(int32_t x, int32_t y, Color color);
    void DrawGlyph(char32_t glyph, Point at, const Font& font, Color color);
    void DrawLine(const std::u32string& line, Point at, const Font& font, Color color);

    RasterPicture& picture_;
    // One level per pushed clip: its box already intersected with the level below it, and
    // for a rounded clip the shape that further limits the box.
    struct ClipLevel {
        Rect box;
        bool rounded = false;
        Rect shape;
        int32_t cornerWidth = 0;
        int32_t cornerHeight = 0;
    };
    std::vector<ClipLevel> clips_;
};

}  // namespace tarvelin::platform
