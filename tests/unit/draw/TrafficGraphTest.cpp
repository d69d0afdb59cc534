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
constexpr Color kGrey = Rgb(173, 175, 175);
constexpr Color kOutline = Rgb(102, 100, 101);
constexpr Rect kWidget{0, 0, 400, 90};  // with the default font a text line is 13 pixels high

struct Graph {
    RecordingCanvas canvas{{0, 0, 1000, 1000}};
    std::vector<CanvasCall> Lines(Color color) const {
        std::vector<CanvasCall> found;
        for (const CanvasCall& call : canvas.Of(CanvasCall::Line))
            if (call.color == color && call.from != call.to) found.push_back(call);
        return found;
    }
    std::vector<std::string> Texts() const {
        std::vector<std::string> found;
        for (const CanvasCall& call : canvas.Of(CanvasCall::Text)) found.push_back(call.text);
        return found;
    }
};

Graph Draw(bool inByte, bool gridHor, Rect rect, int32_t maximum,
           const std::vector<TrafficSample>& samples = std::vector<TrafficSample>(500),
           const std::string& caption = "") {
    Graph graph;
    DrawTrafficGraph(graph.canvas, inByte, true, gridHor, caption, rect, maximum, 0, samples, {});
    return graph;
}

TEST(TrafficGraph, AxisUnitTemplateAndPlotFollowTheScale) {
    sim::SimPlatform sim;  // decimal comma
    struct Case {
        bool inByte;
        int32_t maximum;
        std::string unit;
        int32_t plotLeft;  // 3 + template width + 4
        std::vector<std::string> labels;
    } cases[] = {
        // all zero: 10 raised for headroom to round(82 * 10 / 56) = 15 bytes per second
        {true, 0, "Байт/сек", 31, {"0,0", "5,0", "10,0"}},
        {false, 0, "Бит/сек", 37, {"0,0", "25,0", "50,0", "75,0"}},
        // 200 bytes: 308 * 8 bits exceed 1024, the axis reads in thousands
        {false, 200, "KБит/сек", 25, {"0,0", "0,5", "0,9", "1,4", "1,8"}},
    };
    for (const Case& c : cases) {
        const Graph graph = Draw(c.inByte, true, kWidget, c.maximum);
        const std::vector<CanvasCall> axes = graph.Lines(kGrey);
        ASSERT_GE(axes.size(), 2u);
        EXPECT_EQ(axes[0].from, (Point{c.plotLeft, 3}));
        EXPECT_EQ(axes[0].to, (Point{c.plotLeft, 86}));
        EXPECT_EQ(axes[1].to, (Point{400, 86}));
        std::vector<std::string> texts = graph.Texts();
        ASSERT_FALSE(texts.empty());
        EXPECT_EQ(texts.front(), c.unit);
        EXPECT_EQ(graph.canvas.Of(CanvasCall::Text).front().rect,
                  (Rect{c.plotLeft + 2, 7, 400, 29}));
        EXPECT_EQ(std::vector<std::string>(texts.begin() + 1, texts.end()), c.labels) << c.unit;
    }
}

TEST(TrafficGraph, GridLinesOrTicksAndLabelsOnTheBaseline) {
    const Graph ticks = Draw(true, false, kWidget, 0);
    const Graph grid = Draw(true, true, kWidget, 0);
    const int32_t rows[] = {86, 59,
                            31};  // every 5 bytes per second, none within 1.5 lines of the top
    const std::vector<CanvasCall> tickLines = ticks.Lines(kGrey);
    const std::vector<CanvasCall> gridLines = grid.Lines(kGrey);
    ASSERT_EQ(tickLines.size(), 5u);
    ASSERT_EQ(gridLines.size(), 5u);
    for (size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(tickLines[2 + k].from, (Point{28, rows[k]}));
        EXPECT_EQ(tickLines[2 + k].to, (Point{31, rows[k]}));
        EXPECT_EQ(gridLines[2 + k].to, (Point{400, rows[k]}));
        const CanvasCall label = grid.canvas.Of(CanvasCall::Text)[1 + k];
        EXPECT_EQ(label.rect, (Rect{0, rows[k] - 13, 29, rows[k]}));
        EXPECT_EQ(label.flags & (platform::kTextRight | platform::kTextBottom),
                  platform::kTextRight | platform::kTextBottom);
    }
    EXPECT_EQ(grid.Texts()[1], "0.0") << "a point without a locale";
}

std::vector<TrafficSample> Ramp(size_t count) {
    std::vector<TrafficSample> samples(count);
    for (size_t i = 0; i < count; ++i) samples[i] = {static_cast<int32_t>(1 + i % 9), 0};
    return samples;
}

TEST(TrafficGraph, BarsStartAtTheThirdSampleAndOutlineTheNewerOne) {
    // maximum 10: 20 raised to 29 bytes per second over 82 rows
    const Graph graph = Draw(true, true, kWidget, 10, {{99, 0}, {99, 0}, {10, 0}, {5, 0}, {0, 9}});
    const std::vector<CanvasCall> red = graph.Lines(kRed);
    ASSERT_EQ(red.size(), 2u);
    EXPECT_EQ(red[0].from, (Point{32, 85}));
    EXPECT_EQ(red[0].to, (Point{32, 57}));
    EXPECT_EQ(red[1].to, (Point{33, 71}));
    const std::vector<CanvasCall> outline = graph.Lines(kOutline);
    ASSERT_EQ(outline.size(), 4u);
    EXPECT_EQ(outline[0].from, (Point{33, 71}));
    EXPECT_EQ(outline[0].to, (Point{32, 57}));
    const CanvasCall sent = graph.Lines(kGrey).back();
    EXPECT_EQ(sent.from, (Point{34, 85}));
    EXPECT_EQ(sent.to, (Point{34, 60}));
}

TEST(TrafficGraph, OnlyTheSamplesThatFitThePlotAreDrawn) {
    struct Case {
        int32_t right;
        size_t samples;
        size_t bars;
        int32_t rightmost;
    } cases[] = {{60, 500, 27, 58}, {400, 12, 10, 41}};  // the plot starts at 31
    for (const Case& c : cases) {
        const Graph graph = Draw(true, true, {0, 0, c.right, 90}, 10, Ramp(c.samples));
        std::vector<int32_t> columns;
        for (const CanvasCall& line : graph.Lines(kRed))
            if (line.from.y == 85) columns.push_back(line.from.x);
        ASSERT_EQ(columns.size(), c.bars) << c.right;
        EXPECT_EQ(columns.front(), 32);
        EXPECT_EQ(columns.back(), c.rightmost);
    }
}

TEST(TrafficGraph, HeadroomRoundsHalvesToEven) {
    // 546 rows, 520 below the headroom: 10 * 546 / 520 = 10.5 becomes 10
    const Graph graph = Draw(true, true, {0, 0, 400, 554}, 5, {{0, 0}, {0, 0}, {5, 0}});
    ASSERT_EQ(graph.Lines(kRed).size(), 1u);
    EXPECT_EQ(graph.Lines(kRed)[0].to, (Point{32, 276}));
}

TEST(TrafficGraph, CaptionIsCutAtAWordAfterTheUnit) {
    const Graph graph = Draw(true, true, {0, 0, 150, 90}, 0, {}, "Домашний интернет ночью");
    const CanvasCall caption = graph.canvas.Of(CanvasCall::Text)[1];
    EXPECT_EQ(caption.rect, (Rect{31 + 48 + 5, 7, 150, 29}));
    EXPECT_EQ(caption.text, "Домашний...");
    EXPECT_EQ(caption.color, kRed);
}

TEST(TrafficGraph, SmallRectanglesDrawOnlyInsideAndBalanceTheClip) {
    const Rect rects[] = {{0, 0, 0, 0},   {0, 0, 10, 10}, {0, 0, 400, 20},   {0, 0, 400, 8},
                          {0, 0, 35, 90}, {5, 5, 6, 200}, {300, 50, 200, 40}};
    for (const Rect& rect : rects) {
        const Graph graph = Draw(false, true, rect, 1000000, Ramp(500));
        EXPECT_TRUE(graph.canvas.OutsideOf(rect).empty()) << rect.right << "x" << rect.bottom;
        EXPECT_EQ(graph.canvas.ClipDepth(), 0u);
        EXPECT_EQ(graph.canvas.unmatchedPops, 0);
    }
    for (const Rect& bounds : {Rect{0, 0, 0, 0}, Rect{0, 0, 5, 5}, Rect{0, 0, 7, 9}}) {
        RecordingCanvas canvas(bounds);
        DrawProgress(canvas, kRed, false, 100);
        DrawProgress(canvas, kRed, true, 30);
        EXPECT_TRUE(canvas.OutsideOf(bounds).empty());
        EXPECT_EQ(canvas.ClipDepth(), 0u);
    }
}

}  // namespace
}  // namespace tarvelin
