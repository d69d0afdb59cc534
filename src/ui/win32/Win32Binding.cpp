#include "ui/win32/Win32Binding.h"

#include <algorithm>

#include "ui/win32/Win32WidgetPeer.h"

namespace tarvelin::ui {
namespace {

// A memory picture: an off-screen bitmap and the canvas drawing on it.
class Win32Surface final : public ISurface {
  public:
    Win32Surface(int32_t width, int32_t height, platform::Color background)
        : bitmap_(std::max(width, 0), std::max(height, 0)),
          canvas_(bitmap_.Dc(), {0, 0, bitmap_.Width(), bitmap_.Height()}) {
        canvas_.FillRect(canvas_.Bounds(), background);
    }
    platform::ICanvas& Canvas() override { return canvas_; }
    const platform::IImage& Image() const override { return bitmap_; }

  private:
    platform::Win32Bitmap bitmap_;
    platform::Win32Canvas canvas_;
};

}  // namespace

Win32Binding::Win32Binding(HINSTANCE resources)
    : bitmaps_(
          std::make_shared<Win32BitmapCache>(resources ? resources : GetModuleHandleW(nullptr))) {}

// Parents first, so that each child finds its parent's window; the form is shown last, with
// all its controls in place.
void Win32Binding::Attach(Form& form) {
    AttachTree(form);
    if (form.Visible() && form.Peer()) form.Peer()->Changed(form, WidgetChange::Visible);
}

void Win32Binding::AttachTree(Widget& widget) {
    if (!widget.Peer()) {
        auto peer = std::make_unique<Win32WidgetPeer>(widget, bitmaps_);
        Win32WidgetPeer* created = peer.get();
        widget.SetPeer(std::move(peer));
        created->ApplyAll(widget);
    }
    for (const auto& child : widget.Children()) AttachTree(*child);
}

HWND Win32Binding::WindowOf(const Widget& widget) {
    const auto* peer = dynamic_cast<const Win32WidgetPeer*>(widget.Peer());
    return peer ? peer->Window() : nullptr;
}

Point Win32Binding::CursorPosition() const {
    POINT at{};
    GetCursorPos(&at);
    return {at.x, at.y};
}

Rect Win32Binding::ScreenRect() const {
    return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

Rect Win32Binding::WorkArea() const {
    RECT area{};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) return ScreenRect();
    return {area.left, area.top, area.right, area.bottom};
}

int32_t Win32Binding::TwipsPerPixel() const {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? 1440 / dpi : 15;
}

const platform::IImage* Win32Binding::Bitmap(uint16_t id) {
    return bitmaps_->Get(id);
}

std::unique_ptr<ISurface> Win32Binding::CreateSurface(int32_t width, int32_t height,
                                                      platform::Color background) {
    return std::make_unique<Win32Surface>(width, height, background);
}

void Win32Binding::DragWindow(Form& form) {
    const HWND window = WindowOf(form);
    if (!window) return;
    ReleaseCapture();
    SendMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

}  // namespace tarvelin::ui
