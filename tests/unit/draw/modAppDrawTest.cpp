#include <gtest/gtest.h>

#include "draw/modAppDraw.h"
#include "sim/RecordingCanvas.h"

namespace tarvelin {
namespace {

using platform::Point;
using platform::Rgb;
using sim::CanvasCall;
using sim::RecordingCanvas;

constexpr Color kRed = Rgb(255, 0, 0);
constexpr Color kWhite = Rgb(255, 255, 255);

TEST(DrawColour, LightenColorMovesEachChannelTowardsWhite) {
    struct Case {
        Color color;
        uint8_t amount;
        Color expected;
    } cases[] = {
        {Rgb(10, 20, 30), 0, Rgb(10, 20, 30)},
        {Rgb(10, 20, 30), 255, kWhite},
        {kRed, 150, Rgb(255, 150, 150)},
        {Rgb(100, 0, 254), 100, Rgb(160, 100, 254)},  // 100 + 100 * 155 / 255 truncates
    };
    for (const Case& c : cases) EXPECT_EQ(LightenColor(c.color, c.amount), c.expected);
}

TEST(DrawColour, SystemColoursAreTranslatedWhereTheRoutinesSaySo) {
    RecordingCanvas canvas;
    const Color button = platform::kSystemColorFlag | 15;
    EXPECT_EQ(TranslateColor(canvas, button), canvas.systemColors[15]);
    EXPECT_EQ(TranslateColor(canvas, 0x123456), 0x123456u);
    FillBox(canvas, button, 1, 2, 3, 4);
    DrawLine(0, 0, 5, 0, canvas, button);
    FrameRectColor({0, 0, 5, 5}, button, canvas);  // handed on as it is
    ASSERT_EQ(canvas.calls.size(), 3u);
    EXPECT_EQ(canvas.calls[0].rect, (Rect{1, 2, 3, 4}));
    EXPECT_EQ(canvas.calls[0].color, canvas.systemColors[15]);
    EXPECT_EQ(canvas.calls[1].color, canvas.systemColors[15]);
    EXPECT_EQ(canvas.calls[2].color, button);
}

TEST(DrawGradient, LinesAreInterpolatedAndRoundedPerChannel) {
    for (const bool vertical : {true, false}) {
        RecordingCanvas canvas;
        GradientLines(canvas, Rgb(0, 0, 0), Rgb(255, 1, 10), {10, 20, 13, 23}, vertical);
        const std::vector<CanvasCall> lines = canvas.Of(CanvasCall::Line);
        ASSERT_EQ(lines.size(), 3u);
        const Color expected[] = {Rgb(0, 0, 0), Rgb(128, 1, 5), Rgb(255, 1, 10)};
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(lines[i].color, expected[i]) << i;
            const Point to = vertical ? Point{10 + i, 23} : Point{13, 20 + i};
            EXPECT_EQ(lines[i].from, (vertical ? Point{10 + i, 20} : Point{10, 20 + i}));
            EXPECT_EQ(lines[i].to, to);
        }
    }
}

std::vector<CanvasCall> FillsOf(const RecordingCanvas& canvas, Color color) {
    std::vector<CanvasCall> found;
    for (const CanvasCall& call : canvas.Of(CanvasCall::Fill))
        if (call.color == color) found.push_back(call);
    return found;
}

TEST(DrawProgressStrip, PercentageFillsWholeSegmentsInsideTheStrip) {
    struct Case {
        int32_t percent;
        int32_t filledRight;  // 0: nothing filled
    } cases[] = {{0, 0}, {-5, 0}, {50, 99}, {150, 195}};
    for (const Case& c : cases) {
        RecordingCanvas canvas({0, 0, 200, 20});
        DrawProgress(canvas, kRed, false, c.percent);
        const std::vector<CanvasCall> filled = FillsOf(canvas, kRed);
        EXPECT_EQ(canvas.calls.front().rect, canvas.Bounds());
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Frame);
        if (c.filledRight == 0) {
            EXPECT_TRUE(filled.empty()) << c.percent;
            continue;
        }
        ASSERT_EQ(filled.size(), 1u) << c.percent;
        EXPECT_EQ(filled[0].rect, (Rect{3, 3, c.filledRight, 17}));
        const std::vector<CanvasCall> gaps = FillsOf(canvas, kWhite);
        EXPECT_EQ(static_cast<int32_t>(gaps.size()) - 1, (c.filledRight - 3) / 8);
        EXPECT_EQ(gaps.back().rect, (Rect{c.filledRight - 2, 3, c.filledRight, 17}));
        EXPECT_TRUE(canvas.OutsideOf(canvas.Bounds()).empty());
    }
}

TEST(DrawProgressStrip, MovingBlocksSlideInFromTheLeftWithinTheStrip) {
    struct Case {
        int32_t phase;
        int32_t firstLeft;
    } cases[] = {{100, 3}, {50, -19}, {0, -42}, {120, 3}};
    for (const Case& c : cases) {
        RecordingCanvas canvas({0, 0, 200, 20});
        DrawProgress(canvas, kRed, true, c.phase);
        const std::vector<CanvasCall> lines = canvas.Of(CanvasCall::Line);
        ASSERT_EQ(lines.size(), 30u);
        for (int32_t block = 0; block < 3; ++block) {
            const CanvasCall& first = lines[10 * block];
            EXPECT_EQ(first.from.x, c.firstLeft + 12 * block) << c.phase;
            EXPECT_EQ(first.color, LightenColor(kRed, static_cast<uint8_t>(220 - 40 * block)));
            EXPECT_EQ(lines[10 * block + 9].color,
                      LightenColor(kRed, static_cast<uint8_t>(200 - 40 * block)));
        }
        for (const CanvasCall& line : lines) EXPECT_EQ(line.clip, (Rect{3, 3, 197, 17}));
        EXPECT_EQ(canvas.ClipDepth(), 0u);
    }
}

}  // namespace
}  // namespace tarvelin
