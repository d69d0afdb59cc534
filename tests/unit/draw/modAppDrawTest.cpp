#include <gtest/gtest.h>

#include "draw/modAppDraw.h"
#include "sim/RecordingCanvas.h"
#include "sim/SimPlatform.h"

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

constexpr Color kGrey = Rgb(173, 175, 175);
constexpr Color kOutline = Rgb(102, 100, 101);
constexpr Rect kWidget{0, 0, 400, 90};  // 82 rows of plot; a text line is 13 pixels high

struct Graph {
    RecordingCanvas canvas{{-1000, -1000, 1000, 1000}};
    std::vector<CanvasCall> Lines(Color color) const {  // those that paint
        std::vector<CanvasCall> found = canvas.Of(CanvasCall::Line, color);
        std::erase_if(found, [](const CanvasCall& line) { return line.rect.Empty(); });
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> found;
        for (const CanvasCall& call : canvas.Of(CanvasCall::Text)) found.push_back(call.text);
        return found;
    }
};

Graph Draw(bool inByte, bool gridHor, Rect rect, int32_t maximum,
           const std::vector<TrafficSample>& samples = {}, const std::string& caption = "") {
    Graph graph;
    DrawTrafficGraph(graph.canvas, inByte, false, gridHor, caption, rect, maximum, 0, samples, {});
    return graph;
}

TEST(TrafficGraph, AxisUnitLabelsAndPlotFollowTheScale) {
    sim::SimPlatform sim;  // decimal comma
    struct Case {
        bool inByte;
        int32_t maximum;
        std::vector<std::string> texts;  // unit, caption, labels from the bottom
        int32_t plotLeft;                // 3 + width of the label template + 4
    } cases[] = {
        // all zero: 10 raised for headroom to round(82 * 10 / 56) = 15 bytes per second
        {true, 0, {"Байт/сек", "Дом...", "0,0", "5,0", "10,0"}, 31},
        {false, 0, {"Бит/сек", "Дом...", "0,0", "25,0", "50,0", "75,0"}, 37},
        // 200 bytes: 307.5 rounds to 308, times 8 bits is above 1024
        {false, 200, {"KБит/сек", "Дом у...", "0,0", "0,5", "0,9", "1,4", "1,8"}, 25},
    };
    for (const Case& c : cases) {
        const Graph graph = Draw(c.inByte, true, {0, 0, 130, 90}, c.maximum, {}, "Дом у реки");
        EXPECT_EQ(graph.Texts(), c.texts);
        const std::vector<CanvasCall> axes = graph.Lines(kGrey);
        ASSERT_GE(axes.size(), 2u);
        EXPECT_EQ(axes[0].from, (Point{c.plotLeft, 3}));
        EXPECT_EQ(axes[1].to, (Point{130, 86}));
        EXPECT_EQ(graph.canvas.Of(CanvasCall::Text)[0].rect, (Rect{c.plotLeft + 2, 7, 130, 29}));
    }
}

TEST(TrafficGraph, GridLinesOrTicksWithLabelsOnTheirBaseline) {
    for (const bool gridHor : {true, false}) {
        const Graph graph = Draw(true, gridHor, kWidget, 0);
        const std::vector<CanvasCall> lines = graph.Lines(kGrey);
        const std::vector<CanvasCall> labels = graph.canvas.Of(CanvasCall::Text);
        ASSERT_EQ(lines.size(), 5u);
        const int32_t rows[] = {86, 59, 31};  // every 5 bytes; none within 1.5 lines of the top
        for (size_t k = 0; k < 3; ++k) {
            EXPECT_EQ(lines[2 + k].from, (Point{28, rows[k]}));
            EXPECT_EQ(lines[2 + k].to, (Point{gridHor ? 400 : 31, rows[k]}));
            EXPECT_EQ(labels[1 + k].rect, (Rect{0, rows[k] - 13, 29, rows[k]}));
        }
        EXPECT_EQ(labels[1].text, "0.0") << "a point without a locale";
    }
}

TEST(TrafficGraph, BarsFromTheThirdSampleOutlinedToTheNewerOne) {
    // maximum 10: 20 raised to 29 bytes per second over 82 rows
    const Graph graph = Draw(true, true, kWidget, 10, {{99, 0}, {99, 0}, {10, 0}, {5, 0}, {0, 9}});
    const std::vector<CanvasCall> red = graph.Lines(kRed);
    const std::vector<CanvasCall> outline = graph.Lines(kOutline);
    ASSERT_EQ(red.size(), 2u);
    EXPECT_EQ(red[0].from, (Point{32, 85}));
    EXPECT_EQ(red[0].to, (Point{32, 57}));
    EXPECT_EQ(red[1].to, (Point{33, 71}));
    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(outline[0].to, (Point{32, 57}));
    EXPECT_EQ(graph.Lines(kGrey).back().to, (Point{34, 60})) << "sent over received";
    // 546 rows, 520 under the headroom: 10 * 546 / 520 = 10.5 rounds to 10 bytes per second
    EXPECT_EQ(Draw(true, true, {0, 0, 400, 554}, 5, {{}, {}, {5, 0}}).Lines(kRed)[0].to,
              (Point{32, 276}));
}

TEST(TrafficGraph, OnlyTheNewestSamplesThatFitAreDrawn) {
    struct Case {
        int32_t width;
        size_t samples;
        size_t bars;
        int32_t lastColumn;
    } cases[] = {{60, 500, 27, 58}, {400, 12, 10, 41}};  // the plot starts at 31
    for (const Case& c : cases) {
        const std::vector<TrafficSample> samples(c.samples, {1, 0});
        const std::vector<CanvasCall> bars =
            Draw(true, true, {0, 0, c.width, 90}, 10, samples).Lines(kRed);
        ASSERT_EQ(bars.size(), c.bars);
        EXPECT_EQ(bars.front().from.x, 32);
        EXPECT_EQ(bars.back().from.x, c.lastColumn);
    }
}

TEST(TrafficGraph, SmallRectanglesDrawOnlyInsideAndBalanceTheClip) {
    const std::vector<TrafficSample> samples(500, {7, 3});
    for (const Rect& rect : {Rect{0, 0, 0, 0}, Rect{0, 0, 10, 10}, Rect{0, 0, 400, 20},
                             Rect{0, 0, 400, 8}, Rect{0, 0, 35, 90}, Rect{300, 50, 200, 40}}) {
        const Graph graph = Draw(false, true, rect, 1000000, samples);
        EXPECT_TRUE(graph.canvas.OutsideOf(rect).empty()) << rect.right << "x" << rect.bottom;
        EXPECT_TRUE(graph.canvas.clips.empty());
        EXPECT_EQ(graph.canvas.unmatchedPops, 0);
    }
    for (const Rect& bounds : {Rect{0, 0, 0, 0}, Rect{0, 0, 5, 5}, Rect{0, 0, 7, 9}}) {
        RecordingCanvas canvas(bounds);
        DrawProgress(canvas, kRed, false, 100);
        DrawProgress(canvas, kRed, true, 30);
        EXPECT_TRUE(canvas.OutsideOf(bounds).empty());
        EXPECT_TRUE(canvas.clips.empty());
    }
}

}  // namespace
}  // namespace tarvelin
