#pragma once
// The window behind one widget: a window of our own classes for forms and picture boxes, a
// system control for the other windowed kinds, and none for labels and images, which the
// window they stand on paints after its memory picture and whose mouse input it passes on.
//
// The peer owns its window and the fonts and brushes it hands to it. The window finds its
// peer through its user data, which the peer clears before it goes, and a message is only
// handled while its widget and form can still be locked: a form being destroyed, or a widget
// already gone, is never called.
#include <windows.h>

#include <memory>
#include <optional>

#include "platform/win32/Win32Canvas.h"
#include "ui/widgets/Controls.h"
#include "ui/widgets/Form.h"
#include "ui/win32/Win32BitmapCache.h"

namespace tarvelin::ui {

class Win32WidgetPeer final : public IWidgetPeer {
  public:
    // Creates the widget's window on its parent's, which must have its peer already.
    Win32WidgetPeer(Widget& widget, std::shared_ptr<Win32BitmapCache> bitmaps);
    ~Win32WidgetPeer() override;
    Win32WidgetPeer(const Win32WidgetPeer&) = delete;
    Win32WidgetPeer& operator=(const Win32WidgetPeer&) = delete;

    void Changed(Widget& widget, WidgetChange what) override;
    void Refresh(Widget& widget) override;
    Point ScreenOrigin(const Widget& widget) const override;

    // Brings the window in line with every property of the widget but a form's visibility,
    // which the binding shows last.
    void ApplyAll(Widget& widget);
    // Null for windowless widgets and once the window is destroyed.
    HWND Window() const { return window_; }

    static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  private:
    // What a form's or box's window looks like beyond its bounds, to tell a call of
    // BringToFront (which changes none of it) from the other window changes.
    struct Look {
        uint32_t exStyle = 0;
        std::optional<WindowRegion> region;
        WindowState state = WindowState::Normal;
        uint8_t opacity = 255;
        std::optional<Color> colorKey;
        bool border = false;
        bool flat = false;
        friend bool operator==(const Look&, const Look&) = default;
    };

    void CreateWindowFor(Widget& widget);
    HWND HostWindow(const Widget& widget) const;
    void ApplyBounds(const Widget& widget);
    void ApplyVisible(const Widget& widget);
    void ApplyCaption(const Widget& widget);
    void ApplyFont(const Widget& widget);
    void ApplyValue(Widget& widget);
    void ApplyToolTip(const Widget& widget);
    void ApplyWindow(Widget& widget);
    void ApplyFormLook(const Form& form, const Look& look);
    void Invalidate(const Widget& widget, bool now);
    Look LookOf(const Widget& widget) const;

    LRESULT Handle(Widget& widget, HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> HandleCommon(Widget& widget, HWND window, UINT message, WPARAM wParam,
                                        LPARAM lParam);
    std::optional<LRESULT> FromControl(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint(Widget& widget, HDC dc);
    void Mouse(Widget& widget, UINT message, WPARAM wParam, LPARAM lParam);
    void Command(Widget& widget, UINT code);
    void Scrolled(ScrollBar& bar, int code);
    HBRUSH ControlColors(const Widget& widget, HDC dc);
    bool SetPointer(Widget& widget);
    // Has the window under the mouse set its pointer again, as moving the mouse would.
    void AskForPointer() const;

    std::weak_ptr<Widget> widget_;
    std::shared_ptr<Win32BitmapCache> bitmaps_;
    HWND window_ = nullptr;
    platform::GdiObject<HFONT> font_;
    platform::GdiObject<HBRUSH> brush_;
    HWND tips_ = nullptr;  // a form's tool-tip window
    bool tipAdded_ = false;
    Rect painted_;  // where a windowless widget was last painted
    Look look_;
    bool applied_ = false;           // look_ is what the window shows
    std::weak_ptr<Widget> pressed_;  // the widget under the mouse press, captured
    bool afterDoubleClick_ = false;
    bool applying_ = false;  // the window is being set from the model: no echo back
};

}  // namespace tarvelin::ui
