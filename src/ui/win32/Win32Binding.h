#pragma once
// The widget model on real windows: forms become top-level windows of our own class,
// picture boxes child windows that show their memory pictures, the other controls the
// system's (buttons, combo boxes, edits, scroll bars, address boxes), and labels and images
// are painted by the window they stand on. User input becomes the widgets' events.
//
// Forms must be held by std::shared_ptr (BuildForm makes them so): a window only raises
// events while its form can be locked.
#include <windows.h>

#include <memory>

#include "ui/widgets/Binding.h"
#include "ui/win32/Win32BitmapCache.h"

namespace tarvelin::ui {

class Win32Binding final : public IBinding {
  public:
    // Bitmaps and cursors come from the module's resources; null: the program's.
    explicit Win32Binding(HINSTANCE resources = nullptr);

    // Widgets added after an earlier Attach get their windows on the next one.
    void Attach(Form& form) override;
    Point CursorPosition() const override;
    Rect ScreenRect() const override;
    Rect WorkArea() const override;
    int32_t TwipsPerPixel() const override;
    const platform::IImage* Bitmap(uint16_t id) override;
    // The system's move loop, started as a press on a caption starts it.
    void DragWindow(Form& form) override;
    platform::WindowHandle NativeWindow(const Widget& widget) const override {
        return reinterpret_cast<platform::WindowHandle>(WindowOf(widget));
    }
    std::unique_ptr<ISurface> CreateSurface(int32_t width, int32_t height,
                                            platform::Color background) override;

    // The window of an attached widget; null for labels, images and widgets not attached.
    static HWND WindowOf(const Widget& widget);

  private:
    void AttachTree(Widget& widget);
    std::shared_ptr<Win32BitmapCache> bitmaps_;
};

}  // namespace tarvelin::ui
