#pragma once
// The owner-drawn list: a rounded frame around items of a bold title band (with an optional
// picture) over a word-wrapped second text, painted from the first visible item down, with
// the vertical scroll bar's range kept to the items that remain below it.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "platform/Canvas.h"

namespace tarvelin {

struct ListItem {
    std::string text1, text2, text3;
    int32_t number1 = 0;  // the window's own data
    int32_t number2 = 0;  // image number, 0 for none
    platform::Rect rect;  // where the item was last painted, empty when it was not
    bool fullyVisible = false;
};

// The list's vertical scroll bar as the painter leaves it; the caller applies it to its
// scroll bar control.
struct ListScrollBar {
    bool visible = false;
    platform::Rect rect;
    int32_t min = 1, max = 1, smallChange = 1, largeChange = 1, value = 1;
};

// client: the picture box's client area; font: its font (bold made by the painter);
// images[i - 1] is image number i (nullptr entries allowed: drawn as nothing, height 0).
// firstVisible (1-based) is brought into the scroll bar's range; every item gets its painted
// rectangle and fully-visible flag, items not painted an empty rectangle.
void PaintList(platform::ICanvas& canvas, const platform::Rect& client, const platform::Font& font,
               ListScrollBar& scroll, int32_t& firstVisible, int32_t selected, int32_t hover,
               std::vector<ListItem>& items, std::span<const platform::IImage* const> images);

}  // namespace tarvelin
