#include "sim/RecordingCanvas.h"

#include <algorithm>

namespace tarvelin::sim {

using platform::Font;
using platform::TextSize;

namespace {

size_t CodePoints(const std::string& text) {
    return std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; });
}

int32_t Width(const std::string& text) {
    return static_cast<int32_t>(CodePoints(text)) * RecordingCanvas::kCharWidth;
}

Rect Intersect(const Rect& a, const Rect& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

// The pixels a call may paint; a straight line leaves out its end point.
Rect Extent(const CanvasCall& call) {
    if (call.kind != CanvasCall::Line && call.kind != CanvasCall::Pixel) return call.rect;
    Rect box{std::min(call.from.x, call.to.x), std::min(call.from.y, call.to.y),
             std::max(call.from.x, call.to.x) + 1, std::max(call.from.y, call.to.y) + 1};
    if (call.kind == CanvasCall::Pixel || (call.from.x != call.to.x && call.from.y != call.to.y))
        return box;
    if (call.to.x > call.from.x) {
        box.right -= 1;
    } else if (call.to.x < call.from.x) {
        box.left += 1;
    } else if (call.to.y > call.from.y) {
        box.bottom -= 1;
    } else if (call.to.y < call.from.y) {
        box.top += 1;
    } else {
        return {};  // a line of no length paints nothing
    }
    return box;
}

// Cuts code points from the end (back to a space for a word ellipsis) until text + "..."
// fits the width.
std::string WithEllipsis(std::string text, int32_t width, bool atWord) {
    if (Width(text) <= width) return text;
    while (!text.empty() && Width(text + "...") > width) {
        const size_t cut = atWord ? text.find_last_of(' ') : std::string::npos;
        if (cut != std::string::npos) {
            text.resize(cut);
            continue;
        }
        do text.pop_back();
        while (!text.empty() && (text.back() & 0xC0) == 0x80);
        if (!text.empty()) text.pop_back();
    }
    return text + "...";
}

// Lines broken at newlines and, with word breaking, at the last space that fits the width.
std::vector<std::string> Wrap(const std::string& text, int32_t width, bool wordBreak) {
    std::vector<std::string> lines{""};
    for (char c : text) {
        if (c == '\n') {
            lines.emplace_back();
            continue;
        }
        lines.back() += c;
        const size_t space = lines.back().find_last_of(' ');
        if (wordBreak && Width(lines.back()) > width && space != std::string::npos) {
            std::string rest = lines.back().substr(space + 1);
            lines.back().resize(space);
            lines.push_back(rest);
        }
    }
    return lines;
}

}  // namespace

CanvasCall& RecordingCanvas::Add(CanvasCall::Kind kind, const Rect& rect, Color color) {
    CanvasCall& call = calls.emplace_back();
    call.kind = kind;
    call.rect = rect;
    call.color = color;
    call.clip = clips_.empty() ? bounds_ : clips_.back();
    return call;
}

void RecordingCanvas::RoundRect(const Rect& rect, int32_t, int32_t, Color pen,
                                std::optional<Color> fill) {
    CanvasCall& call = Add(CanvasCall::RoundRect, rect, pen);
    call.color2 = fill.value_or(0);
    call.flags = fill.has_value();
}

void RecordingCanvas::GradientRect(const Rect& rect, Color from, Color to, bool horizontal) {
    CanvasCall& call = Add(CanvasCall::Gradient, rect, from);
    call.color2 = to;
    call.flags = horizontal;
}

int32_t RecordingCanvas::DrawText(const std::string& text, Rect& rect, uint32_t format,
                                  const Font& font, Color color) {
    const bool single = (format & platform::kTextSingleLine) != 0;
    std::vector<std::string> lines{text};
    if (!single) lines = Wrap(text, rect.Width(), (format & platform::kTextWordBreak) != 0);
    if (single && (format & (platform::kTextEndEllipsis | platform::kTextWordEllipsis)) != 0)
        lines[0] = WithEllipsis(text, rect.Width(), (format & platform::kTextWordEllipsis) != 0);
    const int32_t height = static_cast<int32_t>(lines.size()) * (font.pixelHeight + 2);
    if ((format & platform::kTextCalcRect) != 0) {
        int32_t widest = 0;
        for (const std::string& line : lines) widest = std::max(widest, Width(line));
        rect.right = rect.left + widest;
        rect.bottom = rect.top + height;
    }
    std::string shown;
    for (const std::string& line : lines) shown += (shown.empty() ? "" : "\n") + line;
    CanvasCall& call = Add(CanvasCall::Text, rect, color);
    call.flags = format;
    call.text = shown;
    call.font = font;
    return height;
}

TextSize RecordingCanvas::MeasureText(const std::string& text, const Font& font) {
    return {Width(text), font.pixelHeight + 2};
}

void RecordingCanvas::PushClip(const Rect& rect) {
    const Rect clip = Intersect(clips_.empty() ? bounds_ : clips_.back(), rect);
    Add(CanvasCall::PushClip, rect);
    clips_.push_back(clip);
}

void RecordingCanvas::PopClip() {
    Add(CanvasCall::PopClip);
    if (clips_.empty())
        ++unmatchedPops;
    else
        clips_.pop_back();
}

void RecordingCanvas::DrawImage(const platform::IImage& image, Point at) {
    Add(CanvasCall::Image, {at.x, at.y, at.x + image.Width(), at.y + image.Height()}, 255);
}

void RecordingCanvas::BlendImage(const platform::IImage&, const Rect& to, uint8_t opacity) {
    Add(CanvasCall::Image, to, opacity);
}

std::vector<CanvasCall> RecordingCanvas::Of(CanvasCall::Kind kind) const {
    std::vector<CanvasCall> found;
    std::copy_if(calls.begin(), calls.end(), std::back_inserter(found),
                 [kind](const CanvasCall& call) { return call.kind == kind; });
    return found;
}

std::vector<CanvasCall> RecordingCanvas::OutsideOf(const Rect& area) const {
    std::vector<CanvasCall> found;
    for (const CanvasCall& call : calls) {
        if (call.kind == CanvasCall::PushClip || call.kind == CanvasCall::PopClip ||
            (call.kind == CanvasCall::Text && (call.flags & platform::kTextCalcRect) != 0))
            continue;
        const Rect painted = Intersect(Extent(call), call.clip);
        if (!painted.Empty() && Intersect(painted, area) != painted) found.push_back(call);
    }
    return found;
}

}  // namespace tarvelin::sim
