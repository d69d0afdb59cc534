#include "draw/PaintList.h"

#include <algorithm>
#include <optional>

namespace tarvelin {

using platform::Color;
using platform::ICanvas;
using platform::IImage;
using platform::Point;
using platform::Rect;

namespace {

constexpr Color kFrameColor = 0x656466;
constexpr Color kRed = 0x0000FF;
constexpr Color kWhite = 0xFFFFFF;
constexpr Color kBlack = 0x000000;
constexpr Color kEdgeGrey = 0xAFAFAD;   // left and top edges of an unmarked item
constexpr Color kEdgeDark = 0x1E1E1E;   // right edge and separators of an unmarked item
constexpr Color kBandColor = 0xAFAFC4;  // title band of an unselected item, fading to white

constexpr int32_t kFrameInset = 2;    // the frame runs one pixel left of a line 3 pixels in
constexpr int32_t kFrameCorner = 10;  // corner ellipse of radius 5
constexpr int32_t kItemInset = 4;     // from the frame to the items
constexpr int32_t kScrollGap = 2;     // between the items and the scroll bar
constexpr int32_t kScrollWidth = 16;
constexpr int32_t kItemGap = 6;
constexpr char kTitleSample[] = "WQdqgЁЖЙу";  // tallest letters of both alphabets

constexpr uint32_t kTitleFormat = platform::kTextSingleLine | platform::kTextVCenter |
                                  platform::kTextEndEllipsis | platform::kTextNoPrefix;
constexpr uint32_t kWrapFormat = platform::kTextWordBreak | platform::kTextNoPrefix;

// What one painting needs besides the items: the canvas, the item area, both fonts, the
// height of a title line and the images.
struct ListPainter {
    ICanvas& canvas;
    Rect area;
    const platform::Font& font;
    platform::Font bold;
    int32_t titleHeight = 0;
    std::span<const IImage* const> images;

    const IImage* ImageOf(const ListItem& item) const {
        if (item.number2 < 1 || static_cast<size_t>(item.number2) > images.size()) return nullptr;
        return images[item.number2 - 1];
    }
    // The title band's inner height: the picture's or a title line's, whichever is taller.
    int32_t HeadHeight(const IImage* image) const {
        return std::max(image ? image->Height() : 0, titleHeight);
    }
    // The bottom of the second text word-wrapped between the item's text margins from top.
    int32_t WrappedBottom(const std::string& text, int32_t top) const {
        Rect extent{area.left + 4, top, area.right - 3, top};
        canvas.DrawText(text, extent, kWrapFormat | platform::kTextCalcRect, font, kBlack);
        return extent.bottom;
    }
    int32_t MeasuredHeight(const ListItem& item) const {
        const int32_t head = HeadHeight(ImageOf(item)) + 4;
        return item.text2.empty() ? head : head + WrappedBottom(item.text2, 0) + 4;
    }
};

// The first position from which all remaining items fit the area's height: the scroll bar's
// maximum. Only the items that fit are measured, from the last upwards; when even the last
// alone does not fit, its own position.
int32_t FirstOfLastPage(const ListPainter& p, const std::vector<ListItem>& items) {
    int64_t used = -kItemGap;
    for (size_t i = items.size(); i-- > 0;) {
        used += kItemGap + p.MeasuredHeight(items[i]);
        if (used > p.area.Height()) return static_cast<int32_t>(std::min(i + 2, items.size()));
    }
    return 1;
}

// Paints one item from y0 down and returns the y of its bottom line; marked items (selected
// or under the mouse) get red edges, the selected one a red title band and white title.
int32_t PaintItem(const ListPainter& p, const ListItem& item, int32_t y0, bool selected,
                  bool marked) {
    ICanvas& canvas = p.canvas;
    const int32_t left = p.area.left, right = p.area.right;
    const Color edgeA = marked ? kRed : kEdgeGrey, edgeB = marked ? kRed : kEdgeDark;
    const IImage* image = p.ImageOf(item);
    const int32_t head = p.HeadHeight(image);
    canvas.Line({left, y0}, {right, y0}, edgeA);
    canvas.GradientRect({left + 1, y0 + 1, right - 1, y0 + head + 3}, selected ? kRed : kBandColor,
                        kWhite, false);
    int32_t x = left + 2;
    if (image) {
        canvas.DrawImage(*image, {x, y0 + 2});
        x += image->Width() + 1;
    }
    Rect title{x + 2, y0 + 2, right - 2, y0 + head + 2};
    canvas.DrawText(item.text1, title, kTitleFormat, p.bold, selected ? kWhite : kBlack);
    int32_t y = y0 + head + 3;
    canvas.Line({left, y}, {right, y}, edgeB);
    if (!item.text2.empty()) {
        Rect text{left + 4, y + 2, right - 3, p.WrappedBottom(item.text2, y + 2)};
        canvas.DrawText(item.text2, text, kWrapFormat, p.font, kBlack);
        y = text.bottom + 1;
        canvas.Line({left, y}, {right, y}, edgeB);
    }
    canvas.Line({left, y0}, {left, y}, edgeA);
    canvas.Line({right - 1, y0}, {right - 1, y}, edgeB);
    return y;
}

// Sizes the item area and the scroll bar to the items and brings firstVisible into range.
void FitScrollBar(ListPainter& p, const std::vector<ListItem>& items, ListScrollBar& scroll,
                  int32_t& firstVisible) {
    scroll = ListScrollBar{};
    const bool roomForBar = p.area.Width() > kScrollGap + kScrollWidth;
    if (p.area.Empty() || !roomForBar || FirstOfLastPage(p, items) == 1) {
        firstVisible = 1;
        return;
    }
    p.area.right -= kScrollGap + kScrollWidth;  // the wrapped texts get narrower: measure again
    scroll.visible = true;
    scroll.rect = {p.area.right + kScrollGap, p.area.top, p.area.right + kScrollGap + kScrollWidth,
                   p.area.bottom};
    scroll.max = FirstOfLastPage(p, items);
    firstVisible = std::clamp(firstVisible, 1, scroll.max);
    scroll.value = firstVisible;
}

}  // namespace

void PaintList(ICanvas& canvas, const Rect& client, const platform::Font& font,
               ListScrollBar& scroll, int32_t& firstVisible, int32_t selected, int32_t hover,
               std::vector<ListItem>& items, std::span<const IImage* const> images) {
    const Rect frame{client.left + kFrameInset, client.top + kFrameInset,
                     client.right - kFrameInset, client.bottom - kFrameInset};
    ListPainter p{canvas,
                  {frame.left + kItemInset, frame.top + kItemInset, frame.right - kItemInset,
                   frame.bottom - kItemInset},
                  font,
                  font,
                  0,
                  images};
    p.bold.bold = true;
    p.titleHeight = canvas.MeasureText(kTitleSample, p.bold).height;
    if (!frame.Empty()) canvas.RoundRect(frame, kFrameCorner, kFrameCorner, kFrameColor, {});
    FitScrollBar(p, items, scroll, firstVisible);
    if (!p.area.Empty()) canvas.PushClip(p.area);
    int32_t y0 = p.area.top;
    bool stopped = p.area.Empty();
    for (size_t i = 0; i < items.size(); ++i) {
        ListItem& item = items[i];
        const auto position = static_cast<int32_t>(i + 1);
        if (stopped || position < firstVisible) {
            item.rect = {};
            item.fullyVisible = false;
            continue;
        }
        const int32_t y =
            PaintItem(p, item, y0, position == selected, position == selected || position == hover);
        item.rect = {p.area.left, y0, p.area.right, y + 1};
        item.fullyVisible = y < p.area.bottom;
        stopped = !item.fullyVisible;
        y0 = y + kItemGap;
    }
    if (!p.area.Empty()) canvas.PopClip();
}

}  // namespace tarvelin
