// The statistics sampler over the simulated connection's raw counters.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sim/RecordingCanvas.h"
#include "sim/SimPlatform.h"
#include "stats/PCStat.h"

namespace tarvelin {
namespace {

using Rates = std::vector<int32_t>;

struct Counters {
    uint32_t rx, tx, ms;
};

class PCStatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.ras.Connect("MTS");
        Fresh();
    }
    void Fresh() {
        stat = PCStat();
        stat.Init(sim.ras.connections.front().handle, "MTS", "Modem");
    }
    void Read(Counters c) {
        sim.ras.connections.front().counters = sim::SimRasCounters{c.rx, c.tx, c.ms};
        stat.StatCheck();
    }
    Rates Rx(size_t n) const {  // the received rates of the window's first n positions
        Rates rx;
        for (size_t i = 0; i < n; ++i) rx.push_back(stat.Samples()[i].rx);
        return rx;
    }

    sim::SimPlatform sim;
    PCStat stat;
};

// One (0, 0) sample for the first reading, none for a second reading in the same second,
// five of the average rate for one five seconds late: the 75 of the 300-byte second sits
// exactly where those counts put it.
TEST_F(PCStatTest, OneSampleForEachSecondOfConnectionTime) {
    for (Counters c :
         {Counters{5000, 0, 10'400}, {5300, 0, 11'200}, {5400, 0, 11'900}, {10'300, 0, 16'500}}) {
        Read(c);
    }
    EXPECT_EQ(Rx(10), (Rates{1000, 1000, 995, 979, 915, 661, 344, 75, 0, 0}));
    EXPECT_EQ(stat.TotalRx(), 10'300u);
    EXPECT_EQ(stat.Seconds(), 16u);
}

// The recursive filter lets a one-second spike decay instead of vanishing.
TEST_F(PCStatTest, SpikeDecays) {
    Rates current;
    for (uint32_t s = 0; s <= 5; ++s) {
        Read({s ? 4000u : 0u, 4 * s, 1000 * s + 200});
        if (s) current.push_back(stat.CurrentRx());
    }
    EXPECT_EQ(current, (Rates{1000, 1250, 1312, 328, 82}));
    EXPECT_EQ(stat.pGetStatValue(svMaxReceive, true, true), "1,3 КБайт/сек");
    EXPECT_EQ(stat.pGetStatValue(svCurrentTransmit, false, false), "32 бит");
}

// A maximum held by several samples stays until the last of them leaves the window.
TEST_F(PCStatTest, TiedMaximumStaysUntilItsLastSampleLeaves) {
    stat.BufferSize(5);
    Rates maxima;
    for (uint32_t s = 0; s <= 19; ++s) {
        Read({400 * std::min(s, 15u), 0, 1000 * s});
        if (s > 15) maxima.push_back(stat.WindowMaxRx());
    }
    EXPECT_EQ(maxima, (Rates{400, 400, 300, 175}));
}

TEST_F(PCStatTest, BufferSizeKeepsTheNewestSamples) {
    for (uint32_t s = 0; s <= 3; ++s) Read({100 * s * (s + 1) / 2, 0, 1000 * s});
    stat.BufferSize(2);
    stat.BufferSize(3);
    EXPECT_EQ(Rx(3), (Rates{300, 200, 170}));
    Read({1000, 0, 4000});  // a window of three keeps position 3 raw
    EXPECT_EQ(Rx(3), (Rates{400, 300, 200}));
    EXPECT_EQ(stat.WindowMaxRx(), 200);
    stat.BufferSize(100'000);
    Read({1500, 0, 5000});
    stat.BufferSize(PCStat::kMaxBufferSize + 1);
    EXPECT_EQ(stat.BufferSize(), 100'000);
    stat.BufferSize(500);
    EXPECT_EQ(Rx(5), (Rates{500, 400, 350, 200, 0}));
    EXPECT_EQ(stat.WindowMaxRx(), 350);
}

// Readings after a first one of 5000 bytes at 10.5 s, and the newest sample, the received
// total and the connection time after them. A reading of 0 ms stands for a failing call.
TEST_F(PCStatTest, BadCountersKeepTotalsAndRatesSensible) {
    // clang-format off
    struct Case { std::vector<Counters> readings; int32_t rate; uint64_t total, seconds; };
    const std::vector<Case> cases = {
        {{{0x6000'0000, 0, 11'500}, {0xC000'0000, 0, 12'500}, {0x100, 0, 13'500}},  // wraps
         0x4000'0100, (1ull << 32) + 256, 13},
        {{{1000, 0, 11'500}}, 0, 5000, 11},                        // restarted lower
        {{{1000, 0, 11'500}, {1600, 0, 12'500}}, 600, 5600, 12},   // and followed on
        {{{5000 + 0x8000'0005, 0, 11'500}}, 0, 5000, 11},          // leaps past 2^31
        {{{5000, 0, 11'500}, {5000, 0, 12'500}}, 0, 5000, 12},
        {{{6000, 0, 10'600}, {7000, 0, 10'900}, {9000, 0, 12'500}}, 2000, 9000, 12},
        {{{6000, 0, 4000}, {6000, 0, 4100}}, 0, 6000, 10},         // duration goes back
        {{{6000, 0, 4000}, {8000, 0, 6000}}, 1500, 8000, 12},
        {{{0, 0, 0}, {0, 0, 0}, {9000, 0, 14'500}}, 1000, 9000, 14},
        {{{5000 + 0x7000'0000, 0, 10'500 + 0x7000'0000}}, 1000, 5000 + 0x7000'0000, 1'879'058},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "case " << &c - cases.data());
        Fresh();
        Read({5000, 0, 10'500});
        for (const Counters& r : c.readings) {
            sim.ras.FailCall(sim::SimRas::Call::GetConnectionStatistics, r.ms ? 0 : 6);
            Read(r);
        }
        EXPECT_EQ(stat.Samples()[0].rx, c.rate);
        EXPECT_EQ(stat.TotalRx(), c.total);
        EXPECT_EQ(stat.Seconds(), c.seconds);
    }
}

TEST_F(PCStatTest, ValueTexts) {
    // clang-format off
    struct Case { Counters first; int32_t kind; bool inBytes, perSecond; const char* text; };
    const std::vector<Case> cases = {
        {{100, 28, 3'725'400}, svDuration, false, true, "1:02:05"},
        {{0, 0, 100'000'999}, svDuration, true, false, "27:46:40"},
        {{100, 28, 0}, svTotalReceived, false, true, "800 бит/сек"},
        {{100, 28, 0}, svTotalTraffic, false, true, "1024 бит/сек"},
        {{129, 0, 0}, svTotalReceived, false, true, "1,0 КБит/сек"},
        {{0xFFFF'FFFF, 0, 0}, svTotalReceived, true, false, "4194304,0 КБайт"},
        {{100, 28, 0}, svTotalTransmitted, false, true, "224 бит/сек"},
        {{100, 28, 0}, 9, false, true, "0 бит/сек"},
        {{140, 0, 0}, 0, true, false, "0 байт"},
    };
    // clang-format on
    for (const Case& c : cases) {
        Fresh();
        Read(c.first);
        EXPECT_EQ(stat.pGetStatValue(c.kind, c.inBytes, c.perSecond), c.text);
    }
    sim.locale.decimalSeparator = ".";
    EXPECT_EQ(stat.pGetStatValue(svTotalReceived, false, false), "1.1 КБит");
}

struct Panel : platform::IImage {
    int32_t Width() const override { return 150; }
    int32_t Height() const override { return 140; }
};

// The graph carries the entry name; the panel is blended at 210 and holds the five blocks of
// figures, parted by four lines across it.
TEST_F(PCStatTest, GraphicWithTheFiguresPanel) {
    Read({1000, 500, 1000});
    Read({3000, 1500, 2000});
    sim::RecordingCanvas canvas({0, 0, 400, 160});
    const platform::Rect area{240, 5, 390, 145};
    stat.DrawGraphic(canvas, nullptr, area, {}, true, false, true);
    EXPECT_TRUE(canvas.Of(sim::CanvasCall::Image).empty());
    const Panel panel;
    stat.DrawGraphic(canvas, &panel, area, {}, true, false, true);
    const auto images = canvas.Of(sim::CanvasCall::Image);
    ASSERT_EQ(images.size(), 1u);
    EXPECT_EQ(images[0].rect, area);
    EXPECT_EQ(images[0].color, 210u);
    std::vector<std::string> texts;
    for (const auto& call : canvas.Of(sim::CanvasCall::Text, 0xFFFFFF)) texts.push_back(call.text);
    EXPECT_EQ(texts.front(), "Время соединения");
    EXPECT_EQ(texts[1], "0:00:02");
    EXPECT_EQ(texts[3], "4,4 КБайт");  // 4,500 bytes in all
    EXPECT_EQ(canvas.Of(sim::CanvasCall::Line, 0xFFFFFF).size(), 4u);
    EXPECT_EQ(canvas.Of(sim::CanvasCall::RoundRect).size(), 6u);
    EXPECT_TRUE(canvas.OutsideOf(canvas.Bounds()).empty());
}

}  // namespace
}  // namespace tarvelin
