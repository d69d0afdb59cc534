#pragma once
// The widget model bound to nothing but memory: each widget's peer keeps what the window
// system would tell about it, memory pictures are raster pictures, and the screen, the mouse
// cursor and the program's bitmaps are what the test sets. Native tests drive forms through
// it with scripted input (HeadlessInput) and look at them as pictures (Render, SavePng).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "platform/posix/RasterCanvas.h"
#include "ui/widgets/Binding.h"

namespace tarvelin::ui {

// The widget's client origin on the screen: a form's bounds are on the screen, every other
// widget's are in its parent's client area.
Point ScreenOriginOf(const Widget& widget);

// What the headless binding keeps of one widget: how often it was refreshed and what
// changed on it last.
class HeadlessPeer final : public IWidgetPeer {
  public:
    void Changed(Widget& widget, WidgetChange what) override;
    void Refresh(Widget& widget) override;
    Point ScreenOrigin(const Widget& widget) const override;

    int32_t Refreshes() const { return refreshes_; }
    int32_t Changes() const { return changes_; }
    std::optional<WidgetChange> LastChange() const { return lastChange_; }

  private:
    int32_t refreshes_ = 0;
    int32_t changes_ = 0;
    std::optional<WidgetChange> lastChange_;
};

class HeadlessBinding final : public IBinding {
  public:
    using BitmapProvider = std::function<const platform::IImage*(uint16_t)>;

    // Gives every widget of the form still without one a peer and, to its picture boxes, this
    // binding's memory pictures; called again after controls were added, it binds those.
    void Attach(Form& form) override;
    Point CursorPosition() const override { return cursor_; }
    Rect ScreenRect() const override { return screen_; }
    Rect WorkArea() const override { return workArea_; }
    int32_t TwipsPerPixel() const override { return twipsPerPixel_; }
    const platform::IImage* Bitmap(uint16_t id) override;
    std::unique_ptr<ISurface> CreateSurface(int32_t width, int32_t height,
                                            platform::Color background) override;
    // The system's move loop: until the button is released the form follows the mouse, and
    // the widget pressed sees neither the moves nor the release.
    void DragWindow(Form& form) override;
    // A number of its own for each widget, as a window handle would be.
    platform::WindowHandle NativeWindow(const Widget& widget) const override {
        return reinterpret_cast<platform::WindowHandle>(&widget);
    }
    // Moves the form being dragged with the cursor; false when no drag is going on.
    bool FollowDrag(Point cursor);
    // Ends the drag; false when none was going on.
    bool EndDrag();

    void SetCursorPosition(Point at) { cursor_ = at; }
    void SetScreen(const Rect& screen, const Rect& workArea);
    void SetTwipsPerPixel(int32_t twips) { twipsPerPixel_ = twips; }
    void SetBitmapProvider(BitmapProvider provider) { bitmaps_ = std::move(provider); }

    // The form as the screen would show it: see FormPicture.h.
    platform::RasterPicture Render(const Form& form);
    // Writes Render(form) as a PNG file; false when it cannot be written.
    bool SavePng(const Form& form, const std::string& path);

    // The widget's headless peer, or null before Attach.
    static const HeadlessPeer* PeerOf(const Widget& widget);

  private:
    Point cursor_;
    Rect screen_{0, 0, 1280, 1024};
    Rect workArea_{0, 0, 1280, 994};
    int32_t twipsPerPixel_ = 15;
    BitmapProvider bitmaps_;
    struct Drag {
        std::weak_ptr<Widget> form;
        Point start;
        Rect bounds;
    };
    std::optional<Drag> drag_;
};

}  // namespace tarvelin::ui
