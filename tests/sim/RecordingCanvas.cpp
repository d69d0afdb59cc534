#include "sim/RecordingCanvas.h"

#include <algorithm>

namespace tarvelin::sim {

namespace {

int32_t Width(const std::string& text) {
    return 6 * static_cast<int32_t>(std::count_if(text.begin(), text.end(),
                                                  [](char c) { return (c & 0xC0) != 0x80; }));
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

std::string WithEllipsis(std::string text, int32_t width, bool atWord) {
    if (Width(text) <= width) return text;
    while (!text.empty() && Width(text + "...") > width) {
        const size_t space = atWord ? text.find_last_of(' ') : std::string::npos;
        if (space != std::string::npos) {
            text.resize(space);
            continue;
        }
        while (text.size() > 1 && (text.back() & 0xC0) == 0x80) text.pop_back();
        text.pop_back();  // a whole code point
    }
    return text + "...";
}

}  // namespace

CanvasCall& RecordingCanvas::Add(CanvasCall::Kind kind, const Rect& rect, Color color) {
    CanvasCall& call = calls.emplace_back();
    call.kind = kind;
    call.rect = rect;
    call.color = color;
    call.clip = clips.empty() ? bounds_ : clips.back();
    return call;
}

// The rectangle holds the pixels painted: a straight line leaves out its end point.
void RecordingCanvas::Line(Point from, Point to, Color color) {
    const int32_t dx = (to.x > from.x) - (to.x < from.x), dy = (to.y > from.y) - (to.y < from.y);
    const Point last = dx != 0 && dy != 0 ? to : Point{to.x - dx, to.y - dy};
    const Rect painted{std::min(from.x, last.x), std::min(from.y, last.y),
                       std::max(from.x, last.x) + 1, std::max(from.y, last.y) + 1};
    CanvasCall& call = Add(CanvasCall::Line, from == to ? Rect{} : painted, color);
    call.from = from;
    call.to = to;
}

void RecordingCanvas::GradientRect(const Rect& rect, Color from, Color to, bool horizontal) {
    CanvasCall& call = Add(CanvasCall::Gradient, rect, from);
    call.color2 = to;
    call.flags = horizontal;
}

int32_t RecordingCanvas::DrawText(const std::string& text, Rect& rect, uint32_t format,
                                  const platform::Font& font, Color color) {
    std::string shown = text;
    int32_t lines = 1;
    if ((format & (platform::kTextEndEllipsis | platform::kTextWordEllipsis)) != 0)
        shown = WithEllipsis(text, rect.Width(), (format & platform::kTextWordEllipsis) != 0);
    else if ((format & platform::kTextWordBreak) != 0 && rect.Width() > 0)
        lines = std::max(1, (Width(text) + rect.Width() - 1) / rect.Width());
    const int32_t height = lines * (font.pixelHeight + 2);
    if ((format & platform::kTextCalcRect) != 0) {
        rect.right = rect.left + (lines > 1 ? rect.Width() : Width(shown));
        rect.bottom = rect.top + height;
    }
    CanvasCall& call = Add(CanvasCall::Text, rect, color);
    call.flags = format;
    call.text = shown;
    call.font = font;
    return height;
}

platform::TextSize RecordingCanvas::MeasureText(const std::string& text,
                                                const platform::Font& font) {
    return {Width(text), font.pixelHeight + 2};
}

void RecordingCanvas::PushClip(const Rect& rect) {
    Add(CanvasCall::PushClip, rect, 0);
    clips.push_back(Intersect(clips.empty() ? bounds_ : clips.back(), rect));
}

void RecordingCanvas::PushRoundClip(const Rect& rect, int32_t cornerWidth, int32_t cornerHeight) {
    Add(CanvasCall::RoundClip, rect, 0).from = {cornerWidth, cornerHeight};
    clips.push_back(Intersect(clips.empty() ? bounds_ : clips.back(), rect));
}

void RecordingCanvas::PopClip() {
    Add(CanvasCall::PopClip, {}, 0);
    if (clips.empty())
        ++unmatchedPops;
    else
        clips.pop_back();
}

std::vector<CanvasCall> RecordingCanvas::Of(CanvasCall::Kind kind,
                                            std::optional<Color> color) const {
    std::vector<CanvasCall> found;
    for (const CanvasCall& call : calls)
        if (call.kind == kind && (!color || call.color == *color)) found.push_back(call);
    return found;
}

std::vector<CanvasCall> RecordingCanvas::OutsideOf(const Rect& area) const {
    std::vector<CanvasCall> found;
    for (const CanvasCall& call : calls) {
        const bool measured =
            call.kind == CanvasCall::Text && (call.flags & platform::kTextCalcRect);
        if (call.kind == CanvasCall::PushClip || call.kind == CanvasCall::RoundClip || measured)
            continue;
        const Rect painted = Intersect(call.rect, call.clip);
        if (!painted.Empty() && Intersect(painted, area) != painted) found.push_back(call);
    }
    return found;
}

}  // namespace tarvelin::sim
