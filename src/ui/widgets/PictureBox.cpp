#include "ui/widgets/PictureBox.h"

namespace tarvelin::ui {
namespace {

// What a picture box draws on before it has a memory picture: nothing, anywhere.
class NullCanvas final : public platform::ICanvas {
  public:
    Rect Bounds() const override { return {}; }
    void FillRect(const Rect&, Color) override {}
    void FrameRect(const Rect&, Color) override {}
    void Line(Point, Point, Color) override {}
    void SetPixel(Point, Color) override {}
    void RoundRect(const Rect&, int32_t, int32_t, Color, std::optional<Color>) override {}
    void GradientRect(const Rect&, Color, Color, bool) override {}
    int32_t DrawText(const std::string&, Rect&, uint32_t, const Font&, Color) override { return 0; }
    platform::TextSize MeasureText(const std::string&, const Font&) override { return {}; }
    void PushClip(const Rect&) override {}
    void PushRoundClip(const Rect&, int32_t, int32_t) override {}
    void PopClip() override {}
    void DrawImage(const platform::IImage&, Point) override {}
    void BlendImage(const platform::IImage&, const Rect&, uint8_t) override {}
    Color SystemColor(uint32_t) override { return 0; }
};

}  // namespace

void PictureBox::SetSurfaceFactory(ISurfaceFactory* factory) {
    factory_ = factory;
    surface_.reset();
}

// A resize starts a new memory picture: what was drawn is gone, as the system's memory
// picture is redrawn by its owner after a resize.
void PictureBox::EnsureSurface() {
    if (!factory_) return;
    if (surface_) {
        const platform::IImage& image = surface_->Image();
        if (image.Width() == Width() && image.Height() == Height()) return;
    }
    surface_ = factory_->CreateSurface(Width(), Height(), BackColor());
}

platform::ICanvas& PictureBox::Canvas() {
    EnsureSurface();
    if (surface_) return surface_->Canvas();
    if (!nullCanvas_) nullCanvas_ = std::make_unique<NullCanvas>();
    return *nullCanvas_;
}

const platform::IImage* PictureBox::Image() const {
    return surface_ ? &surface_->Image() : nullptr;
}

void PictureBox::Clear() {
    platform::ICanvas& canvas = Canvas();
    canvas.FillRect(ClientRect(), BackColor());
    const platform::IImage* picture =
        pictureId_ && factory_ ? factory_->Bitmap(pictureId_) : nullptr;
    if (picture) canvas.DrawImage(*picture, {0, 0});
}

void PictureBox::SetRegion(std::optional<WindowRegion> region) {
    if (region == region_) return;
    region_ = region;
    Notify(WidgetChange::Window);
}

void PictureBox::SetPictureId(uint16_t id) {
    if (id == pictureId_) return;
    pictureId_ = id;
    Notify(WidgetChange::Picture);
}

void PictureBox::SetBorder(bool border) {
    if (border == border_) return;
    border_ = border;
    Notify(WidgetChange::Window);
}

bool InsideRegion(const Widget& widget, Point client) {
    const auto* box = dynamic_cast<const PictureBox*>(&widget);
    const auto& region = box ? box->Region() : std::optional<WindowRegion>{};
    if (!region) return widget.ClientRect().Contains(client);
    return platform::InsideRoundRect(region->rect, region->cornerWidth, region->cornerHeight,
                                     client.x, client.y);
}

}  // namespace tarvelin::ui
