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

TEST(DrawColour, LightenAndTranslate) {
    EXPECT_EQ(LightenColor(Rgb(10, 20, 30), 0), Rgb(10, 20, 30));
    EXPECT_EQ(LightenColor(Rgb(10, 20, 30), 255), kWhite);
    EXPECT_EQ(LightenColor(Rgb(255, 100, 0), 100), Rgb(255, 160, 100))
        << "100 * 155 / 255 truncates";
    RecordingCanvas canvas;
    const Color face = platform::kSystemColorFlag | 15;
    EXPECT_EQ(TranslateColor(canvas, 0x123456), 0x123456u);
    DrawLine(0, 0, 5, 0, canvas, face);
    FrameRectColor({0, 0, 5, 5}, face, canvas);  // handed on as it is
    EXPECT_EQ(canvas.calls[0].color, canvas.systemColors[15]);
    EXPECT_EQ(canvas.calls[1].color, face);
}

TEST(DrawGradient, LinesAreInterpolatedAndRoundedPerChannel) {
    for (const bool vertical : {true, false}) {
        RecordingCanvas canvas;
        GradientLines(canvas, Rgb(0, 0, 0), Rgb(255, 1, 10), {10, 20, 13, 23}, vertical);
        const Color expected[] = {Rgb(0, 0, 0), Rgb(128, 1, 5), Rgb(255, 1, 10)};
        ASSERT_EQ(canvas.calls.size(), 3u);
        for (int32_t i = 0; i < 3; ++i) {
            EXPECT_EQ(canvas.calls[i].color, expected[i]) << i;
            const Rect line =
                vertical ? Rect{10 + i, 20, 11 + i, 23} : Rect{10, 20 + i, 13, 21 + i};
            EXPECT_EQ(canvas.calls[i].rect, line);
        }
    }
}

TEST(DrawProgressStrip, PercentageFillsWholeSegmentsInsideTheStrip) {
    const std::pair<int32_t, int32_t> percentAndEnd[] = {{0, 0}, {-5, 0}, {50, 99}, {150, 195}};
    for (const auto& [percent, end] : percentAndEnd) {
        RecordingCanvas canvas({0, 0, 200, 20});
        DrawProgress(canvas, kRed, false, percent);
        const std::vector<CanvasCall> filled = canvas.Of(CanvasCall::Fill, kRed);
        const std::vector<CanvasCall> white = canvas.Of(CanvasCall::Fill, kWhite);
        EXPECT_EQ(canvas.calls.back().kind, CanvasCall::Frame);
        ASSERT_EQ(filled.size(), end == 0 ? 0u : 1u) << percent;
        if (end == 0) continue;
        EXPECT_EQ(filled[0].rect, (Rect{3, 3, end, 17}));
        EXPECT_EQ(white.size(), 1u + (end - 3) / 8) << "a gap after each 6-pixel segment";
        EXPECT_EQ(white.back().rect, (Rect{end - 2, 3, end, 17}));
    }
}

TEST(DrawProgressStrip, MovingBlocksSlideInFromTheLeftWithinTheStrip) {
    const std::pair<int32_t, int32_t> phaseAndLeft[] = {{100, 3}, {50, -19}, {0, -42}, {120, 3}};
    for (const auto& [phase, left] : phaseAndLeft) {
        RecordingCanvas canvas({0, 0, 200, 20});
        DrawProgress(canvas, kRed, true, phase);
        const std::vector<CanvasCall> lines = canvas.Of(CanvasCall::Line);
        ASSERT_EQ(lines.size(), 30u);
        for (int32_t block = 0; block < 3; ++block) {
            EXPECT_EQ(lines[10 * block].from.x, left + 12 * block) << phase;
            EXPECT_EQ(lines[10 * block].color, LightenColor(kRed, 220 - 40 * block));
            EXPECT_EQ(lines[10 * block + 9].color, LightenColor(kRed, 200 - 40 * block));
        }
        for (const CanvasCall& line : lines) EXPECT_EQ(line.clip, (Rect{3, 3, 197, 17}));
    }
}

}  // namespace
}  // namespace tarvelin
