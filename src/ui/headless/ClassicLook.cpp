#include "ui/headless/ClassicLook.h"

#include <algorithm>

#include "ui/widgets/Controls.h"

namespace tarvelin::ui {
namespace {

using platform::ICanvas;

// The system colour indices the classic look is drawn in.
enum SystemColorIndex : uint32_t {
    kWindow = 5,
    kWindowText = 8,
    kButtonFace = 15,
    kButtonShadow = 16,
    kGrayText = 17,
    kHighlight = 20,
    kDarkShadow = 21,
    kLight = 22,
};

constexpr Color Sys(uint32_t index) {
    return platform::kSystemColorFlag | index;
}

Rect Inset(const Rect& r, int32_t by) {
    return {r.left + by, r.top + by, r.right - by, r.bottom - by};
}

// One pixel of edge: top and left in one colour, bottom and right in the other.
void Bevel(ICanvas& canvas, const Rect& r, Color topLeft, Color bottomRight) {
    if (r.Empty()) return;
    canvas.Line({r.left, r.top}, {r.right - 1, r.top}, topLeft);
    canvas.Line({r.left, r.top}, {r.left, r.bottom - 1}, topLeft);
    canvas.Line({r.left, r.bottom - 1}, {r.right, r.bottom - 1}, bottomRight);
    canvas.Line({r.right - 1, r.top}, {r.right - 1, r.bottom - 1}, bottomRight);
}

void RaisedEdge(ICanvas& canvas, const Rect& r) {
    Bevel(canvas, r, Sys(kHighlight), Sys(kDarkShadow));
    Bevel(canvas, Inset(r, 1), Sys(kLight), Sys(kButtonShadow));
}

// A raised face with an arrow pointing up or down at its centre.
void ArrowButton(ICanvas& canvas, const Rect& r, bool down, bool usable) {
    canvas.FillRect(r, Sys(kButtonFace));
    RaisedEdge(canvas, r);
    const Point c{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    for (int32_t row = 0; row < 4; ++row) {
        const int32_t y = down ? c.y - 1 + row : c.y + 2 - row;
        canvas.Line({c.x - 3 + row, y}, {c.x + 4 - row, y},
                    usable ? Sys(kWindowText) : Sys(kGrayText));
    }
}

// Text greyed and embossed when the control is disabled, as the system draws it.
void ControlText(ICanvas& canvas, const Widget& widget, const std::string& text, Rect r,
                 uint32_t format) {
    format |= platform::kTextSingleLine | platform::kTextVCenter | platform::kTextNoPrefix;
    if (widget.Usable()) {
        canvas.DrawText(text, r, format, widget.GetFont(), widget.ForeColor());
        return;
    }
    Rect shadow{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    canvas.DrawText(text, shadow, format, widget.GetFont(), Sys(kHighlight));
    canvas.DrawText(text, r, format, widget.GetFont(), Sys(kGrayText));
}

// The dotted rectangle of the focused control.
void FocusRect(ICanvas& canvas, const Rect& r) {
    for (int32_t x = r.left; x < r.right; x += 2) {
        canvas.SetPixel({x, r.top}, Sys(kWindowText));
        canvas.SetPixel({x, r.bottom - 1}, Sys(kWindowText));
    }
    for (int32_t y = r.top; y < r.bottom; y += 2) {
        canvas.SetPixel({r.left, y}, Sys(kWindowText));
        canvas.SetPixel({r.right - 1, y}, Sys(kWindowText));
    }
}

// A sunken field on the window colour (the button face when disabled); returns its inside.
Rect Field(ICanvas& canvas, const Widget& widget, const Rect& r) {
    canvas.FillRect(r, widget.Usable() ? widget.BackColor() : Sys(kButtonFace));
    DrawSunkenEdge(canvas, r);
    return Inset(r, 3);
}

void DrawCommandButton(ICanvas& canvas, const CommandButton& button, const Rect& r) {
    canvas.FillRect(r, button.BackColor());
    Rect face = r;
    if (button.HasFocus() || button.Flat()) {
        canvas.FrameRect(r, Sys(kDarkShadow));
        face = Inset(r, 1);
    }
    if (!button.Flat()) RaisedEdge(canvas, face);
    ControlText(canvas, button, button.Caption(), Inset(face, 2), platform::kTextCenter);
    if (button.HasFocus()) FocusRect(canvas, Inset(face, 3));
}

// A 13-pixel box or circle at the left, vertically centred, and the caption beside it.
void DrawCheckBox(ICanvas& canvas, const CheckBox& check, const Rect& r) {
    canvas.FillRect(r, check.BackColor());
    const int32_t top = r.top + (r.Height() - 13) / 2;
    const Rect box{r.left, top, r.left + 13, top + 13};
    const Color inside = check.Usable() ? Sys(kWindow) : Sys(kButtonFace);
    const Color mark = check.Usable() ? Sys(kWindowText) : Sys(kGrayText);
    if (check.Kind() == WidgetKind::OptionButton) {
        canvas.RoundRect(box, 12, 12, Sys(kButtonShadow), inside);
        if (check.Value()) canvas.RoundRect(Inset(box, 4), 4, 4, mark, mark);
    } else {
        canvas.FillRect(box, inside);
        DrawSunkenEdge(canvas, box);
        for (int32_t i = 0; check.Value() && i < 3; ++i) {  // a tick three pixels thick
            canvas.Line({box.left + 3, box.top + 5 + i}, {box.left + 5, box.top + 7 + i}, mark);
            canvas.Line({box.left + 5, box.top + 7 + i}, {box.left + 10, box.top + 2 + i}, mark);
        }
    }
    const Rect text{box.right + 4, r.top, r.right, r.bottom};
    ControlText(canvas, check, check.Caption(), text, platform::kTextLeft);
    if (check.HasFocus()) {
        const platform::TextSize size = canvas.MeasureText(check.Caption(), check.GetFont());
        const int32_t textTop = r.top + (r.Height() - size.height) / 2;
        FocusRect(canvas,
                  {text.left - 1, textTop - 1, std::min(r.right, text.left + size.width + 1),
                   textTop + size.height + 1});
    }
}

void DrawComboBox(ICanvas& canvas, const ComboBox& combo, const Rect& r) {
    const Rect inside = Field(canvas, combo, r);
    const int32_t side = std::max(0, r.Height() - 4);
    ArrowButton(canvas, {r.right - 2 - side, r.top + 2, r.right - 2, r.bottom - 2}, true,
                combo.Usable());
    ControlText(canvas, combo, combo.Text(),
                {inside.left, inside.top, r.right - 3 - side, inside.bottom}, platform::kTextLeft);
}

// A password box shows one "*" for each character (not for each byte of its UTF-8 text).
std::string Shown(const TextBox& text) {
    if (!text.PasswordChar()) return text.Caption();
    const auto characters = std::count_if(text.Caption().begin(), text.Caption().end(),
                                          [](char c) { return (c & 0xC0) != 0x80; });
    return std::string(static_cast<size_t>(characters), '*');
}

void DrawTextBox(ICanvas& canvas, const TextBox& text, const Rect& r) {
    ControlText(canvas, text, Shown(text), Field(canvas, text, r), platform::kTextLeft);
}

void DrawAddressBox(ICanvas& canvas, const IpAddressBox& box, const Rect& r) {
    const Rect inside = Field(canvas, box, r);
    const int32_t width = inside.Width() / 4;
    for (int32_t i = 0; i < 4; ++i) {
        const int32_t left = inside.left + i * width;
        const int32_t field = box.Address()[static_cast<size_t>(i)];
        ControlText(canvas, box, field < 0 ? std::string() : std::to_string(field),
                    {left, inside.top, left + width, inside.bottom}, platform::kTextCenter);
        if (i > 0)
            ControlText(canvas, box, ".", {left - 2, inside.top, left + 2, inside.bottom},
                        platform::kTextCenter);
    }
}

// Arrows at both ends, a dithered track and the thumb where the value stands in the range.
void DrawScrollBar(ICanvas& canvas, const ScrollBar& bar, const Rect& r) {
    const int32_t side = std::min(r.Width(), r.Height() / 2);
    for (int32_t y = r.top; y < r.bottom; ++y) {
        for (int32_t x = r.left; x < r.right; ++x)
            canvas.SetPixel({x, y}, (x + y) % 2 ? Sys(kHighlight) : Sys(kButtonFace));
    }
    ArrowButton(canvas, {r.left, r.top, r.right, r.top + side}, false, bar.Usable());
    ArrowButton(canvas, {r.left, r.bottom - side, r.right, r.bottom}, true, bar.Usable());
    const int32_t track = r.Height() - 2 * side, thumb = std::min(track, std::max(8, side));
    if (bar.Max() <= bar.Min() || track <= 0 || !bar.Usable()) return;
    const int64_t offset =
        int64_t{track - thumb} * (bar.Value() - bar.Min()) / (int64_t{bar.Max()} - bar.Min());
    const int32_t top = r.top + side + static_cast<int32_t>(offset);
    const Rect box{r.left, top, r.right, top + thumb};
    canvas.FillRect(box, Sys(kButtonFace));
    RaisedEdge(canvas, box);
}

}  // namespace

void DrawSunkenEdge(ICanvas& canvas, const Rect& rect) {
    Bevel(canvas, rect, Sys(kButtonShadow), Sys(kHighlight));
    Bevel(canvas, Inset(rect, 1), Sys(kDarkShadow), Sys(kLight));
}

void DrawStandardControl(ICanvas& canvas, const Widget& widget, const Rect& rect) {
    switch (widget.Kind()) {
        case WidgetKind::CommandButton:
            return DrawCommandButton(canvas, static_cast<const CommandButton&>(widget), rect);
        case WidgetKind::CheckBox:
        case WidgetKind::OptionButton:
            return DrawCheckBox(canvas, static_cast<const CheckBox&>(widget), rect);
        case WidgetKind::ComboBox:
            return DrawComboBox(canvas, static_cast<const ComboBox&>(widget), rect);
        case WidgetKind::TextBox:
            return DrawTextBox(canvas, static_cast<const TextBox&>(widget), rect);
        case WidgetKind::ScrollBar:
            return DrawScrollBar(canvas, static_cast<const ScrollBar&>(widget), rect);
        case WidgetKind::IpAddress:
            return DrawAddressBox(canvas, static_cast<const IpAddressBox&>(widget), rect);
        default:
            return;
    }
}

}  // namespace tarvelin::ui
