#include "ui/headless/FormPicture.h"

#include "ui/headless/ClassicLook.h"
#include "ui/widgets/Controls.h"

namespace tarvelin::ui {
namespace {

using platform::ICanvas;

void DrawBitmap(ICanvas& canvas, const BitmapLookup& bitmaps, uint16_t id, Point at) {
    const platform::IImage* bitmap = id && bitmaps ? bitmaps(id) : nullptr;
    if (bitmap) canvas.DrawImage(*bitmap, at);
}

// The background colour with the bitmap resource at the corner, under what was drawn.
void DrawPictureBox(ICanvas& canvas, const PictureBox& box, const Rect& r,
                    const BitmapLookup& bitmaps) {
    canvas.FillRect(r, box.BackColor());
    DrawBitmap(canvas, bitmaps, box.PictureId(), {r.left, r.top});
    if (const platform::IImage* drawn = box.Image()) canvas.DrawImage(*drawn, {r.left, r.top});
    if (box.Border()) DrawSunkenEdge(canvas, r);
}

// A label's text on a transparent background, grey when the label is disabled.
void DrawLabel(ICanvas& canvas, const Label& label, Rect r) {
    const Color color = label.Usable() ? label.ForeColor() : platform::kSystemColorFlag | 17;
    canvas.DrawText(label.Caption(), r, label.Alignment() | platform::kTextNoPrefix,
                    label.GetFont(), color);
}

void DrawOwn(ICanvas& canvas, const Widget& widget, const Rect& r, const BitmapLookup& bitmaps) {
    switch (widget.Kind()) {
        case WidgetKind::Form:
        case WidgetKind::PictureBox:
            return DrawPictureBox(canvas, static_cast<const PictureBox&>(widget), r, bitmaps);
        case WidgetKind::Label:
            return DrawLabel(canvas, static_cast<const Label&>(widget), r);
        case WidgetKind::Image:
            return DrawBitmap(canvas, bitmaps, static_cast<const ImageBox&>(widget).PictureId(),
                              {r.left, r.top});
        default:
            return DrawStandardControl(canvas, widget, r);
    }
}

// The widget at its place on the canvas, then its visible children, all within its rectangle
// and so within every parent's.
void DrawTree(ICanvas& canvas, const Widget& widget, Point origin, const BitmapLookup& bitmaps) {
    const Rect r{origin.x, origin.y, origin.x + widget.Width(), origin.y + widget.Height()};
    canvas.PushClip(r);
    const auto* box = dynamic_cast<const PictureBox*>(&widget);
    const auto region = box ? box->Region() : std::nullopt;
    if (region) {
        canvas.PushRoundClip({origin.x + region->rect.left, origin.y + region->rect.top,
                              origin.x + region->rect.right, origin.y + region->rect.bottom},
                             region->cornerWidth, region->cornerHeight);
    }
    DrawOwn(canvas, widget, r, bitmaps);
    for (const auto& child : widget.Children()) {
        if (!child->Visible()) continue;
        DrawTree(canvas, *child, {origin.x + child->Bounds().left, origin.y + child->Bounds().top},
                 bitmaps);
    }
    if (region) canvas.PopClip();
    canvas.PopClip();
}

}  // namespace

platform::RasterPicture RenderForm(const Form& form, const BitmapLookup& bitmaps) {
    platform::RasterPicture picture(form.Width(), form.Height(), kDesktopColor);
    platform::RasterCanvas canvas(picture);
    DrawTree(canvas, form, {0, 0}, bitmaps);
    return picture;
}

}  // namespace tarvelin::ui
