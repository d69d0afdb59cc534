#pragma once
// The canvas over a Windows device context, and an off-screen 32-bit surface to draw on.
// Each call creates the pen, brush or font it needs, selects it for that call only and
// deletes it afterwards, so the device context keeps its own objects between calls. The last
// font used is kept (unselected) until the next different one or the canvas's end.
//
// Gradients and blending come from the system's image library, loaded at run time: where it
// is missing a gradient is painted as one-pixel bands, one colour a band, and a blended image
// is copied when its opacity is at least half and left out below.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <span>
#include <type_traits>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin::platform {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <class Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDeleter>;

class Win32Canvas final : public ICanvas {
  public:
    // Draws on dc (not owned) within bounds; systemBlending false paints gradients and blends
    // as where the system's image library is missing.
    Win32Canvas(HDC dc, Rect bounds, bool systemBlending = true);
    // Ends any clip still pushed.
    ~Win32Canvas() override;
    Win32Canvas(const Win32Canvas&) = delete;
    Win32Canvas& operator=(const Win32Canvas&) = delete;

    Rect Bounds() const override { return bounds_; }
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
    HFONT FontFor(const Font& font);
    void BandedGradient(const Rect& rect, Color from, Color to, bool horizontal);

    HDC dc_;
    Rect bounds_;
    bool systemBlending_;
    std::vector<int> savedStates_;  // one SaveDC level per pushed clip
    Font fontKey_;
    GdiObject<HFONT> font_;
};

// A top-down 32-bit device-independent bitmap selected into a memory device context of its
// own. Pixels are 0x00RRGGBB words, row after row.
class Win32Bitmap final : public IImage {
  public:
    Win32Bitmap(int32_t width, int32_t height);
    ~Win32Bitmap() override;
    Win32Bitmap(const Win32Bitmap&) = delete;
    Win32Bitmap& operator=(const Win32Bitmap&) = delete;

    explicit operator bool() const { return bits_ != nullptr; }
    int32_t Width() const override { return width_; }
    int32_t Height() const override { return height_; }
    HDC Dc() const { return dc_.get(); }
    // The pixels once the system has finished drawing; empty when creation failed.
    std::span<const uint32_t> Pixels() const;
    // The pixel as a colour; black outside the bitmap.
    Color PixelAt(Point at) const;
    Win32Canvas Canvas(bool systemBlending = true) const;

  private:
    struct DcDeleter {
        void operator()(HDC dc) const { DeleteDC(dc); }
    };
    int32_t width_;
    int32_t height_;
    std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter> dc_;
    GdiObject<HBITMAP> bitmap_;
    HGDIOBJ previous_ = nullptr;
    uint32_t* bits_ = nullptr;
};

}  // namespace tarvelin::platform
