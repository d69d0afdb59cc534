#include "platform/win32/Win32Canvas.h"

#include <algorithm>

#include "platform/win32/SystemLibrary.h"
#include "platform/win32/WideText.h"

namespace tarvelin::platform {

namespace {

// The gradient and blending functions of the image library, loaded once for the process;
// null where the system lacks the library.
struct ImageLibrary {
    SystemLibrary library{"msimg32.dll"};
    decltype(&::GradientFill) gradientFill = nullptr;
    decltype(&::AlphaBlend) alphaBlend = nullptr;

    ImageLibrary() {
        library.Bind("GradientFill", gradientFill);
        library.Bind("AlphaBlend", alphaBlend);
    }
    static const ImageLibrary& Get() {
        static const ImageLibrary instance;
        return instance;
    }
};

// Selects an object into a device context for one call and selects the previous one back.
class Selection {
  public:
    Selection(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~Selection() {
        if (previous_) SelectObject(dc_, previous_);
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

RECT ToRect(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

// A colour naming a system colour becomes that colour's current value; the other top bits
// are dropped, since the system would read them as a palette index.
COLORREF Resolve(Color color) {
    if (color & kSystemColorFlag) return GetSysColor(static_cast<int>(color & 0xFF));
    return color & 0xFFFFFF;
}

GdiObject<HBRUSH> Brush(Color color) {
    return GdiObject<HBRUSH>(CreateSolidBrush(Resolve(color)));
}

GdiObject<HPEN> Pen(Color color) {
    return GdiObject<HPEN>(CreatePen(PS_SOLID, 1, Resolve(color)));
}

uint8_t Mix(uint8_t from, uint8_t to, int32_t step, int32_t steps) {
    return static_cast<uint8_t>(from + (to - from) * step / steps);
}

COLORREF MixColor(COLORREF from, COLORREF to, int32_t step, int32_t steps) {
    return RGB(Mix(GetRValue(from), GetRValue(to), step, steps),
               Mix(GetGValue(from), GetGValue(to), step, steps),
               Mix(GetBValue(from), GetBValue(to), step, steps));
}

TRIVERTEX Vertex(int32_t x, int32_t y, COLORREF color) {
    // The library's channels are 16-bit intensities.
    return {x,
            y,
            static_cast<COLOR16>(GetRValue(color) << 8),
            static_cast<COLOR16>(GetGValue(color) << 8),
            static_cast<COLOR16>(GetBValue(color) << 8),
            0};
}

// DrawText may write an ellipsis into the text it is given; the wide copy has no room for it.
constexpr uint32_t kNeverPassed = DT_MODIFYSTRING;

}  // namespace

Win32Canvas::Win32Canvas(HDC dc, Rect bounds, bool systemBlending)
    : dc_(dc), bounds_(bounds), systemBlending_(systemBlending) {}

Win32Canvas::~Win32Canvas() {
    const auto first = std::find_if(savedStates_.begin(), savedStates_.end(),
                                    [](int saved) { return saved != 0; });
    if (first != savedStates_.end()) RestoreDC(dc_, *first);
}

void Win32Canvas::FillRect(const Rect& rect, Color color) {
    const RECT r = ToRect(rect);
    ::FillRect(dc_, &r, Brush(color).get());
}

void Win32Canvas::FrameRect(const Rect& rect, Color color) {
    const RECT r = ToRect(rect);
    ::FrameRect(dc_, &r, Brush(color).get());
}

void Win32Canvas::Line(Point from, Point to, Color color) {
    const auto pen = Pen(color);
    const Selection selected(dc_, pen.get());
    POINT previous{};
    MoveToEx(dc_, from.x, from.y, &previous);
    LineTo(dc_, to.x, to.y);
    MoveToEx(dc_, previous.x, previous.y, nullptr);
}

void Win32Canvas::SetPixel(Point at, Color color) {
    SetPixelV(dc_, at.x, at.y, Resolve(color));
}

void Win32Canvas::RoundRect(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight, Color pen,
                            std::optional<Color> fill) {
    const auto framePen = Pen(pen);
    const auto brush = fill ? Brush(*fill) : GdiObject<HBRUSH>();
    const Selection penSelected(dc_, framePen.get());
    const Selection brushSelected(dc_, brush ? brush.get() : GetStockObject(NULL_BRUSH));
    ::RoundRect(dc_, rect.left, rect.top, rect.right, rect.bottom, cornerWidth, cornerHeight);
}

void Win32Canvas::GradientRect(const Rect& rect, Color from, Color to, bool horizontal) {
    if (rect.Empty()) return;
    const auto gradientFill = systemBlending_ ? ImageLibrary::Get().gradientFill : nullptr;
    if (!gradientFill) return BandedGradient(rect, from, to, horizontal);
    TRIVERTEX vertices[] = {Vertex(rect.left, rect.top, Resolve(from)),
                            Vertex(rect.right, rect.bottom, Resolve(to))};
    GRADIENT_RECT mesh{0, 1};
    gradientFill(dc_, vertices, 2, &mesh, 1,
                 horizontal ? GRADIENT_FILL_RECT_H : GRADIENT_FILL_RECT_V);
}

// One band a pixel wide (or high) per step, neighbouring steps of one colour painted together;
// the first band has the from colour and the last the to colour.
void Win32Canvas::BandedGradient(const Rect& rect, Color from, Color to, bool horizontal) {
    const COLORREF first = Resolve(from), last = Resolve(to);
    const int32_t length = horizontal ? rect.Width() : rect.Height();
    const int32_t steps = std::max(length - 1, 1);
    for (int32_t start = 0; start < length;) {
        const COLORREF color = MixColor(first, last, start, steps);
        int32_t end = start + 1;
        while (end < length && MixColor(first, last, end, steps) == color) ++end;
        Rect band = rect;
        int32_t& bandStart = horizontal ? band.left : band.top;
        int32_t& bandEnd = horizontal ? band.right : band.bottom;
        bandEnd = bandStart + end;
        bandStart += start;
        FillRect(band, color);
        start = end;
    }
}

int32_t Win32Canvas::DrawText(const std::string& text, Rect& rect, uint32_t format,
                              const Font& font, Color color) {
    std::wstring wide = Widen(text);
    const Selection selected(dc_, FontFor(font));
    const COLORREF previousColor = SetTextColor(dc_, Resolve(color));
    const int previousMode = SetBkMode(dc_, TRANSPARENT);
    RECT r = ToRect(rect);
    const int height =
        ::DrawTextW(dc_, wide.data(), static_cast<int>(wide.size()), &r, format & ~kNeverPassed);
    SetBkMode(dc_, previousMode);
    SetTextColor(dc_, previousColor);
    if (format & kTextCalcRect) rect = {r.left, r.top, r.right, r.bottom};
    return height;
}

TextSize Win32Canvas::MeasureText(const std::string& text, const Font& font) {
    const std::wstring wide = Widen(text);
    const Selection selected(dc_, FontFor(font));
    SIZE size{};
    if (!GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size)) return {};
    return {size.cx, size.cy};
}

// A clip whose state could not be saved is not applied, but still takes its place in the
// stack so that the PopClip matching it ends nothing else.
void Win32Canvas::PushClip(const Rect& rect) {
    const int saved = SaveDC(dc_);
    savedStates_.push_back(saved);
    if (saved) IntersectClipRect(dc_, rect.left, rect.top, rect.right, rect.bottom);
}

// The system's rounded region leaves out one more column and row than its rectangle names,
// so it is made one larger to cover the pixels the rectangle holds. Regions select in device
// units: the corners are converted, and the region is combined with the clip already in force.
void Win32Canvas::PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) {
    const int saved = SaveDC(dc_);
    savedStates_.push_back(saved);
    if (!saved) return;
    POINT corners[2] = {{rect.left, rect.top}, {rect.right + 1, rect.bottom + 1}};
    LPtoDP(dc_, corners, 2);
    const GdiObject<HRGN> shape(CreateRoundRectRgn(corners[0].x, corners[0].y, corners[1].x,
                                                   corners[1].y, cornerWidth, cornerHeight));
    const GdiObject<HRGN> current(CreateRectRgn(0, 0, 0, 0));
    if (!shape || !current) return;
    if (GetClipRgn(dc_, current.get()) == 1)
        CombineRgn(shape.get(), shape.get(), current.get(), RGN_AND);
    SelectClipRgn(dc_, shape.get());
}

void Win32Canvas::PopClip() {
    if (savedStates_.empty()) return;
    if (savedStates_.back()) RestoreDC(dc_, savedStates_.back());
    savedStates_.pop_back();
}

void Win32Canvas::DrawImage(const IImage& image, Point at) {
    const auto* bitmap = dynamic_cast<const Win32Bitmap*>(&image);
    if (!bitmap || !*bitmap) return;
    BitBlt(dc_, at.x, at.y, bitmap->Width(), bitmap->Height(), bitmap->Dc(), 0, 0, SRCCOPY);
}

void Win32Canvas::BlendImage(const IImage& image, const Rect& to, uint8_t opacity) {
    const auto* bitmap = dynamic_cast<const Win32Bitmap*>(&image);
    if (!bitmap || !*bitmap || to.Empty() || opacity == 0) return;
    const auto alphaBlend = systemBlending_ ? ImageLibrary::Get().alphaBlend : nullptr;
    if (alphaBlend && opacity < 255) {
        const BLENDFUNCTION blend{AC_SRC_OVER, 0, opacity, 0};
        alphaBlend(dc_, to.left, to.top, to.Width(), to.Height(), bitmap->Dc(), 0, 0,
                   bitmap->Width(), bitmap->Height(), blend);
    } else if (opacity >= 128) {
        StretchBlt(dc_, to.left, to.top, to.Width(), to.Height(), bitmap->Dc(), 0, 0,
                   bitmap->Width(), bitmap->Height(), SRCCOPY);
    }
}

Color Win32Canvas::SystemColor(uint32_t index) {
    return GetSysColor(static_cast<int>(index));
}

// The font is created on first use and kept while the same one is asked for.
HFONT Win32Canvas::FontFor(const Font& font) {
    if (font_ && font == fontKey_) return font_.get();
    const std::wstring face = Widen(font.face).substr(0, LF_FACESIZE - 1);
    font_.reset(CreateFontW(-font.pixelHeight, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                            font.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                            CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                            face.c_str()));
    fontKey_ = font;
    return font_.get();
}

Win32Bitmap::Win32Bitmap(int32_t width, int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), dc_(CreateCompatibleDC(nullptr)) {
    if (!dc_ || width_ == 0 || height_ == 0) return;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width_;
    info.bmiHeader.biHeight = -height_;  // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap_.reset(CreateDIBSection(dc_.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bitmap_) return;
    previous_ = SelectObject(dc_.get(), bitmap_.get());
    bits_ = static_cast<uint32_t*>(bits);
}

Win32Bitmap::~Win32Bitmap() {
    if (previous_) SelectObject(dc_.get(), previous_);
}

std::span<const uint32_t> Win32Bitmap::Pixels() const {
    if (!bits_) return {};
    GdiFlush();
    return {bits_, static_cast<size_t>(width_) * static_cast<size_t>(height_)};
}

Color Win32Bitmap::PixelAt(Point at) const {
    const auto pixels = Pixels();
    if (pixels.empty() || at.x < 0 || at.y < 0 || at.x >= width_ || at.y >= height_) return 0;
    const uint32_t p = pixels[static_cast<size_t>(at.y) * width_ + at.x];
    return Rgb(static_cast<uint8_t>(p >> 16), static_cast<uint8_t>(p >> 8),
               static_cast<uint8_t>(p));
}

Win32Canvas Win32Bitmap::Canvas(bool systemBlending) const {
    return Win32Canvas(dc_.get(), Rect{0, 0, width_, height_}, systemBlending);
}

}  // namespace tarvelin::platform
