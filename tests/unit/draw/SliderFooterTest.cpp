#include <gtest/gtest.h>

#include "draw/FooterPanel.h"
#include "draw/Slider.h"
#include "sim/RecordingCanvas.h"

namespace tarvelin {
namespace {

using platform::Rect;
using sim::CanvasCall;
using sim::RecordingCanvas;

TEST(Slider, ValueFromPoint) {
    struct Case {
        Rect client;
        bool horizontal;
        int32_t at, minimum, maximum, value;
    } cases[] = {
        {{0, 0, 200, 20}, true, 8, 0, 255, 0},
        {{0, 0, 200, 20}, true, 199, 0, 255, 255},  // 270 clamped
        {{0, 0, 200, 20}, true, -50, 0, 255, 0},
        {{0, 0, 200, 20}, true, 100, 0, 255, 130},   // 92 * 256 / 181 = 130.1
        {{100, 0, 300, 20}, true, 108, 10, 20, 10},  // from the client's own left
        {{0, 0, 29, 20}, true, 13, 0, 4, 2},         // 2.5: halves to even
        {{0, 0, 29, 20}, true, 15, 0, 4, 4},         // 3.5
        {{0, 0, 20, 200}, false, 191, 0, 255, 255},  // vertical divisor: 200 - 10 - 7
        {{0, 0, 20, 200}, false, 99, 0, 182, 91},    // a pixel per value
        {{0, 0, 19, 20}, true, 15, 3, 9, 3},         // no room: zero divisor
        {{0, 0, 5, 20}, true, 15, 3, 9, 3},          // negative divisor
        {{0, 0, 200, 20}, true, 150, 9, 3, 9},       // maximum below minimum
    };
    for (const Case& c : cases)
        EXPECT_EQ(
            SliderValueFromPoint(c.client, c.horizontal, c.at, c.at, 10, c.minimum, c.maximum),
            c.value)
            << c.at << " " << c.maximum;
}

TEST(Slider, ThumbIsCentredOnItsValuesPointWithTheStatesFrame) {
    struct Case {
        Rect client;
        bool horizontal;
        int32_t maximum, slack;  // how far a value may read back when pixels are fewer
    } cases[] = {{{0, 0, 200, 20}, true, 100, 0},
                 {{0, 0, 30, 300}, false, 200, 0},
                 {{0, 0, 200, 20}, true, 255, 1}};
    const platform::Color frames[] = {0x656466, 0xFF, 0x1E1E1E, 0xC0, 0xAFAFAD};
    for (const Case& c : cases) {
        for (const int32_t value : {0, 1, 37, 99, c.maximum, c.maximum + 40}) {
            for (int32_t state = 0; state <= 4; ++state) {
                RecordingCanvas canvas({-50, -50, 500, 500});
                Rect thumb;
                DrawSlider(canvas, c.client, 0xFFFFFF, c.horizontal, state % 3, state, 10, 0, value,
                           c.maximum, 10, thumb);
                const int32_t centre = c.horizontal ? thumb.left + 5 : thumb.top + 5;
                const int32_t read =
                    SliderValueFromPoint(c.client, c.horizontal, centre, centre, 10, 0, c.maximum);
                EXPECT_LE(std::abs(read - std::min(value, c.maximum)), c.slack) << value;
                EXPECT_EQ(c.horizontal ? thumb.Width() : thumb.Height(), 10);
                EXPECT_TRUE(canvas.OutsideOf(c.client).empty());
                const auto frame = canvas.Of(CanvasCall::Line, frames[state]);
                EXPECT_EQ(std::ranges::count_if(frame,
                                                [&](const CanvasCall& line) {
                                                    return line.rect.left >= thumb.left &&
                                                           line.rect.right <= thumb.right &&
                                                           line.rect.top >= thumb.top &&
                                                           line.rect.bottom <= thumb.bottom;
                                                }),
                          4)
                    << state;
            }
        }
    }
}

TEST(FooterPanel, RedBandDarkeningBelowAndGreyFadeAtTheBottom) {
    struct Case {
        int32_t titleTop, titleHeight;
        std::vector<Rect> gradients;
    } cases[] = {{10, 13, {{0, 21, 300, 43}, {0, 94, 300, 120}}},  // band 43, 2 * 77 / 3 below
                 {50, 13, {{0, 60, 300, 120}}},                    // band cut to the panel
                 {-5, 2, {{0, 80, 300, 120}}}};                    // no band
    for (const Case& c : cases) {
        RecordingCanvas canvas({0, 0, 300, 120});
        PaintFooterPanel(canvas, {0, 0, 300, 120}, c.titleTop, c.titleHeight);
        std::vector<Rect> gradients;
        for (const CanvasCall& g : canvas.Of(CanvasCall::Gradient)) gradients.push_back(g.rect);
        EXPECT_EQ(gradients, c.gradients) << c.titleTop;
        EXPECT_EQ(canvas.Of(CanvasCall::Fill, 0xFF).size(), c.titleTop > 0 ? 1u : 0u);
        EXPECT_EQ(canvas.calls[0].rect, (Rect{0, 0, 300, 120}));
    }
}

}  // namespace
}  // namespace tarvelin
