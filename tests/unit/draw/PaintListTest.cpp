#include <gtest/gtest.h>

#include "draw/PaintList.h"
#include "sim/RecordingCanvas.h"

namespace tarvelin {
namespace {

using platform::Rect;
using sim::CanvasCall;
using sim::RecordingCanvas;

constexpr platform::Color kRed = 0xFF, kBand = 0xAFAFC4, kGrey = 0xAFAFAD;

ListItem Item(std::string text1, std::string text2, int32_t image = 0) {
    ListItem item;
    item.text1 = std::move(text1);
    item.text2 = std::move(text2);
    item.number2 = image;
    return item;
}

struct Picture : platform::IImage {
    int32_t Width() const override { return 20; }
    int32_t Height() const override { return 20; }
};

// A 200 x 100 list: items 6..194 wide (176 with the scroll bar) from y 6 to 94; a title line
// is 13 pixels high, so an item without second text is 17 high and the next starts 22 lower.
struct List {
    RecordingCanvas canvas{{0, 0, 400, 400}};
    std::vector<ListItem> items;
    ListScrollBar scroll;
    int32_t first = 1;
    Picture picture;

    explicit List(size_t count, std::string text2 = "") : items(count, Item("t", text2)) {}
    void Paint(int32_t selected = 0, int32_t hover = 0, Rect client = {0, 0, 200, 100}) {
        const platform::IImage* images[] = {&picture, nullptr};
        PaintList(canvas, client, {}, scroll, first, selected, hover, items, images);
        EXPECT_TRUE(canvas.OutsideOf(client).empty());
        EXPECT_TRUE(canvas.clips.empty());
    }
};

TEST(PaintList, ItemsFollowOneAnotherAndTheScrollBarAppearsOnlyWhenTheyDoNotFit) {
    struct Case {
        size_t count;
        int32_t firstIn, firstOut, scrollMax, fullFrom, fullTo;  // fully visible positions
    } cases[] = {{3, 3, 1, 1, 1, 3}, {10, 9, 7, 7, 7, 10}, {10, 1, 1, 7, 1, 4}, {0, 5, 1, 1, 0, 0}};
    for (const Case& c : cases) {
        List list(c.count);
        list.first = c.firstIn;
        list.Paint();
        EXPECT_EQ(list.first, c.firstOut);
        EXPECT_EQ(list.scroll.visible, c.scrollMax > 1);
        EXPECT_EQ(list.scroll.max, c.scrollMax);
        EXPECT_EQ(list.scroll.value, c.firstOut);
        const int32_t right = c.scrollMax > 1 ? 176 : 194;
        if (c.scrollMax > 1) {
            EXPECT_EQ(list.scroll.rect, (Rect{178, 6, 194, 94}));
        }
        for (int32_t pos = 1; pos <= static_cast<int32_t>(c.count); ++pos) {
            const ListItem& item = list.items[pos - 1];
            const bool full = pos >= c.fullFrom && pos <= c.fullTo;
            EXPECT_EQ(item.fullyVisible, full) << c.count << " " << pos;
            const int32_t top = 6 + 22 * (pos - c.firstOut);
            if (full) {
                EXPECT_EQ(item.rect, (Rect{6, top, right, top + 17}));
            } else if (pos < c.firstOut || pos > c.fullTo + 1) {  // not painted
                EXPECT_TRUE(item.rect.Empty()) << pos;
            }
        }
    }
}

TEST(PaintList, MarkedItemsTitlesImagesAndSecondTexts) {
    List list(3);
    list.items[0] = Item(std::string(40, 'W'), "abc", 1);  // with the 20-pixel picture
    list.items[2].number2 = 2;                             // a missing picture: none
    list.Paint(2, 3, {0, 0, 200, 120});                    // all fit: no scroll bar
    EXPECT_EQ(list.items[0].rect, (Rect{6, 6, 194, 46}));  // band 20 + 3, text 13 + 2 + 2
    auto drawn = list.canvas.Of(CanvasCall::Text);
    std::erase_if(drawn, [](const CanvasCall& t) { return t.flags & platform::kTextCalcRect; });
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].rect, (Rect{31, 8, 192, 28})) << "after the picture";
    EXPECT_TRUE(drawn[0].text.ends_with("...") && drawn[0].font.bold);
    EXPECT_EQ(drawn[1].text, "abc");
    EXPECT_EQ(drawn[1].rect, (Rect{10, 31, 191, 44}));
    EXPECT_EQ(drawn[2].color, 0xFFFFFFu) << "selected title in white";
    EXPECT_EQ(drawn[3].rect.left, 10) << "no picture for a missing one";
    const auto bands = list.canvas.Of(CanvasCall::Gradient);
    ASSERT_EQ(bands.size(), 3u);
    EXPECT_EQ((std::vector{bands[0].color, bands[1].color, bands[2].color}),
              (std::vector{kBand, kRed, kBand}));
    const auto edges = list.canvas.Of(CanvasCall::Line);
    for (const auto& [top, colour] : {std::pair{6, kGrey}, {51, kRed}, {73, kRed}}) {
        EXPECT_TRUE(std::ranges::any_of(edges, [&](const CanvasCall& l) {
            return l.from == platform::Point{6, top} && l.to.y == top && l.color == colour;
        })) << top;
    }
    EXPECT_EQ(list.canvas.Of(CanvasCall::Image).size(), 1u);
}

TEST(PaintList, MeasuresOnlyTheLastPageOfALongListAndSurvivesTinyAreas) {
    List list(10000, "second");
    list.first = 20000;
    list.Paint();
    EXPECT_EQ(list.scroll.max, 9999);
    EXPECT_EQ(list.first, 9999);
    EXPECT_LT(list.canvas.Of(CanvasCall::Text).size(), 20u);
    for (const Rect client :
         {Rect{}, Rect{0, 0, 10, 10}, Rect{0, 0, 30, 300}, Rect{5, 5, 200, 20}}) {
        List tiny(5, "x");
        tiny.Paint(1, 2, client);
        EXPECT_TRUE(tiny.first >= 1 && tiny.first <= 5);
    }
}

}  // namespace
}  // namespace tarvelin
