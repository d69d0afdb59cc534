#pragma once
// A picture box: a widget that draws itself into its memory picture (see Surface.h), the
// host of the skinned controls and lists, and the base of forms, which paint their
// background the same way.
#include <cstdint>
#include <memory>
#include <optional>

#include "ui/widgets/Surface.h"
#include "ui/widgets/Widget.h"

namespace tarvelin::ui {

// The outline of a window or a panel: a rounded rectangle in its client coordinates
// (platform::InsideRoundRect gives its pixels); nothing outside it is shown or clicked.
struct WindowRegion {
    Rect rect;
    int32_t cornerWidth = 0;
    int32_t cornerHeight = 0;
    friend bool operator==(const WindowRegion&, const WindowRegion&) = default;
};

class PictureBox : public Widget {
  public:
    explicit PictureBox(std::string name) : PictureBox(WidgetKind::PictureBox, std::move(name)) {}

    // Where the memory picture comes from; until it is set the box draws nothing.
    void SetSurfaceFactory(ISurfaceFactory* factory);
    // The memory picture's canvas, made at the box's size on first use and after a resize.
    platform::ICanvas& Canvas();
    // The memory picture as it stands, or null before anything was drawn.
    const platform::IImage* Image() const;
    // Clears the memory picture to the background colour with the box's picture at its
    // top-left corner (Cls).
    void Clear();
    // The bitmap resource the box shows under what is drawn (0: none).
    uint16_t PictureId() const { return pictureId_; }
    void SetPictureId(uint16_t id);
    const std::optional<WindowRegion>& Region() const { return region_; }
    void SetRegion(std::optional<WindowRegion> region);
    bool Border() const { return border_; }
    void SetBorder(bool border);

  protected:
    PictureBox(WidgetKind kind, std::string name) : Widget(kind, std::move(name)) {}

  private:
    void EnsureSurface();
    ISurfaceFactory* factory_ = nullptr;
    std::unique_ptr<ISurface> surface_;
    std::unique_ptr<platform::ICanvas> nullCanvas_;
    uint16_t pictureId_ = 0;
    std::optional<WindowRegion> region_;
    bool border_ = false;
};

// Whether a point of the widget's client area lies within its region (a widget without one:
// within its client area).
bool InsideRegion(const Widget& widget, Point client);

}  // namespace tarvelin::ui
