#pragma once
// Two-dimensional drawing onto a surface: a window's or a bitmap's device context on
// Windows, a recording of the calls in tests, an RGBA picture natively. Coordinates are
// pixels with the origin at the surface's top-left corner; rectangles exclude their right
// and bottom edges, as the system's do. Every call draws with what it is given and leaves
// nothing selected behind it.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace tarvelin::platform {

// A colour as the system keeps it: red in the low byte, then green, then blue. The top bit
// set names a system colour by its index in the low bits (see ICanvas::SystemColor).
using Color = uint32_t;
constexpr Color Rgb(uint8_t red, uint8_t green, uint8_t blue) {
    return red | (uint32_t{green} << 8) | (uint32_t{blue} << 16);
}
constexpr uint8_t RedOf(Color c) {
    return c & 0xFF;
}
constexpr uint8_t GreenOf(Color c) {
    return (c >> 8) & 0xFF;
}
constexpr uint8_t BlueOf(Color c) {
    return (c >> 16) & 0xFF;
}
inline constexpr Color kSystemColorFlag = 0x80000000;

struct Point {
    int32_t x = 0;
    int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

struct Rect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    bool Empty() const { return right <= left || bottom <= top; }
    bool Contains(Point p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct TextSize {
    int32_t width = 0;
    int32_t height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

// A font by face name and character height in pixels (the system's negative font height).
struct Font {
    std::string face = "Tahoma";
    int32_t pixelHeight = 11;
    bool bold = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

// Whether the pixel at (x, y) belongs to the rounded rectangle: its centre lies within the
// rectangle with its corners cut by ellipses of the given width and height. The shape of
// rounded clips and window regions wherever the system does not draw them itself.
inline bool InsideRoundRect(const Rect& r, int32_t cornerWidth, int32_t cornerHeight, int32_t x,
                            int32_t y) {
    if (x < r.left || x >= r.right || y < r.top || y >= r.bottom) return false;
    const double rx = cornerWidth < r.Width() ? cornerWidth / 2.0 : r.Width() / 2.0;
    const double ry = cornerHeight < r.Height() ? cornerHeight / 2.0 : r.Height() / 2.0;
    if (rx <= 0 || ry <= 0) return true;
    const double px = x + 0.5, py = y + 0.5;
    const double dx = std::max({r.left + rx - px, px - (r.right - rx), 0.0});
    const double dy = std::max({r.top + ry - py, py - (r.bottom - ry), 0.0});
    return (dx * dx) / (rx * rx) + (dy * dy) / (ry * ry) <= 1.0;
}

// Text layout: the values of the system's DrawText flags, so that adapters pass them on.
inline constexpr uint32_t kTextLeft = 0x0;
inline constexpr uint32_t kTextCenter = 0x1;
inline constexpr uint32_t kTextRight = 0x2;
inline constexpr uint32_t kTextTop = 0x0;
inline constexpr uint32_t kTextVCenter = 0x4;  // single lines only
inline constexpr uint32_t kTextBottom = 0x8;   // single lines only
inline constexpr uint32_t kTextWordBreak = 0x10;
inline constexpr uint32_t kTextSingleLine = 0x20;
inline constexpr uint32_t kTextCalcRect = 0x400;  // measure into the rectangle, draw nothing
inline constexpr uint32_t kTextNoPrefix = 0x800;
inline constexpr uint32_t kTextEndEllipsis = 0x8000;
inline constexpr uint32_t kTextWordEllipsis = 0x40000;

// A picture a canvas can draw: a bitmap of the program's resources or an off-screen surface.
class IImage {
  public:
    virtual ~IImage() = default;
    virtual int32_t Width() const = 0;
    virtual int32_t Height() const = 0;
};

class ICanvas {
  public:
    virtual ~ICanvas() = default;
    // The drawable area.
    virtual Rect Bounds() const = 0;
    virtual void FillRect(const Rect& rect, Color color) = 0;
    // A frame one pixel wide just inside the rectangle.
    virtual void FrameRect(const Rect& rect, Color color) = 0;
    // A solid line one pixel wide; its end point is not painted, as with the system's pens.
    virtual void Line(Point from, Point to, Color color) = 0;
    virtual void SetPixel(Point at, Color color) = 0;
    // A rounded rectangle framed in the pen colour and, when fill is given, filled inside;
    // the corners are ellipses of the given width and height.
    virtual void RoundRect(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight, Color pen,
                           std::optional<Color> fill) = 0;
    // A two-colour gradient: from at the left (horizontal) or top edge, to at the opposite.
    virtual void GradientRect(const Rect& rect, Color from, Color to, bool horizontal) = 0;
    // UTF-8 text in the font and colour over a transparent background, laid out in the
    // rectangle by the flags. Returns the height of the text; with kTextCalcRect nothing is
    // drawn and the rectangle receives the text's extent.
    virtual int32_t DrawText(const std::string& text, Rect& rect, uint32_t format, const Font& font,
                             Color color) = 0;
    // Width and height of one line of text in the font.
    virtual TextSize MeasureText(const std::string& text, const Font& font) = 0;
    // Limits drawing to the rectangle (within any clip already pushed) until PopClip.
    virtual void PushClip(const Rect& rect) = 0;
    // Limits drawing to a rounded rectangle, the system's rounded region with corner
    // ellipses of the given size, within any clip already pushed, until PopClip.
    virtual void PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) = 0;
    virtual void PopClip() = 0;
    // The image at its own size with its top-left corner at the point.
    virtual void DrawImage(const IImage& image, Point at) = 0;
    // The image stretched over the rectangle at a constant opacity (0 to 255), source over.
    virtual void BlendImage(const IImage& image, const Rect& to, uint8_t opacity) = 0;
    // The system's colour of that index (COLOR_WINDOW, COLOR_BTNFACE, ...).
    virtual Color SystemColor(uint32_t index) = 0;
};

}  // namespace tarvelin::platform
