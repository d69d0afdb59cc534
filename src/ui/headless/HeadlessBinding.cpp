#include "ui/headless/HeadlessBinding.h"

#include <utility>

#include "platform/posix/PngWriter.h"
#include "ui/headless/FormPicture.h"
#include "ui/widgets/PictureBox.h"

namespace tarvelin::ui {
namespace {

// A memory picture: the raster picture and the canvas that draws into it.
class RasterSurface final : public ISurface {
  public:
    RasterSurface(int32_t width, int32_t height, platform::Color background)
        : picture_(width, height), canvas_(picture_) {
        // The canvas resolves system colours; the picture alone would take their index.
        canvas_.FillRect(canvas_.Bounds(), background);
    }
    platform::ICanvas& Canvas() override { return canvas_; }
    const platform::IImage& Image() const override { return picture_; }

  private:
    platform::RasterPicture picture_;
    platform::RasterCanvas canvas_;
};

void AttachTree(Widget& widget, ISurfaceFactory& surfaces) {
    if (!widget.Peer()) {
        widget.SetPeer(std::make_unique<HeadlessPeer>());
        if (auto* picture = dynamic_cast<PictureBox*>(&widget))
            picture->SetSurfaceFactory(&surfaces);
    }
    for (const auto& child : widget.Children()) AttachTree(*child, surfaces);
}

}  // namespace

void HeadlessPeer::Changed(Widget&, WidgetChange what) {
    ++changes_;
    lastChange_ = what;
}

void HeadlessPeer::Refresh(Widget&) {
    ++refreshes_;
}

Point ScreenOriginOf(const Widget& widget) {
    Point origin;
    for (const Widget* w = &widget; w; w = w->Parent()) {
        origin.x += w->Bounds().left;
        origin.y += w->Bounds().top;
    }
    return origin;
}

Point HeadlessPeer::ScreenOrigin(const Widget& widget) const {
    return ScreenOriginOf(widget);
}

void HeadlessBinding::Attach(Form& form) {
    AttachTree(form, *this);
}

const platform::IImage* HeadlessBinding::Bitmap(uint16_t id) {
    return bitmaps_ ? bitmaps_(id) : nullptr;
}

std::unique_ptr<ISurface> HeadlessBinding::CreateSurface(int32_t width, int32_t height,
                                                         platform::Color background) {
    return std::make_unique<RasterSurface>(width, height, background);
}

void HeadlessBinding::SetScreen(const Rect& screen, const Rect& workArea) {
    screen_ = screen;
    workArea_ = workArea;
}

platform::RasterPicture HeadlessBinding::Render(const Form& form) {
    return RenderForm(form, [this](uint16_t id) { return Bitmap(id); });
}

bool HeadlessBinding::SavePng(const Form& form, const std::string& path) {
    return platform::WritePng(path, Render(form));
}

const HeadlessPeer* HeadlessBinding::PeerOf(const Widget& widget) {
    return dynamic_cast<const HeadlessPeer*>(widget.Peer());
}

void HeadlessBinding::DragWindow(Form& form) {
    drag_ = Drag{form.weak_from_this(), cursor_, form.Bounds()};
}

bool HeadlessBinding::FollowDrag(Point cursor) {
    if (!drag_) return false;
    if (const auto form = drag_->form.lock()) {
        form->Move(drag_->bounds.left + cursor.x - drag_->start.x,
                   drag_->bounds.top + cursor.y - drag_->start.y);
    }
    return true;
}

bool HeadlessBinding::EndDrag() {
    return std::exchange(drag_, std::nullopt).has_value();
}

}  // namespace tarvelin::ui
