// The statistics sampler over the simulated connection's raw counters.
#include <gtest/gtest.h>

#include <vector>

#include "sim/SimPlatform.h"
#include "stats/PCStat.h"

namespace tarvelin {
namespace {

struct Counters {
    uint32_t rx, tx, ms;
};

class PCStatTest : public ::testing::Test {
  protected:
    void SetUp() override {
        sim.locale.decimalSeparator = ",";
        stat.Init(ras.Connect("MTS").handle, "MTS", "Modem");
    }
    void Fresh() {
        stat = PCStat();
        stat.Init(ras.connections.front().handle, "MTS", "Modem");
    }
    void Read(Counters c) {
        ras.connections.front().counters = sim::SimRasCounters{c.rx, c.tx, c.ms};
        stat.StatCheck();
    }
    // The received rates of the window's first n positions.
    std::vector<int32_t> Rx(size_t n) const {
        std::vector<int32_t> rx;
        for (size_t i = 0; i < n; ++i) rx.push_back(stat.Samples()[i].rx);
        return rx;
    }

    sim::SimPlatform sim;
    sim::SimRas& ras = sim.ras;
    PCStat stat;
};

// The first reading adds one (0, 0) sample, a second reading in the same second nothing,
// and one five seconds late five samples of the average rate; the 75 of the 300-byte
// second sits exactly where those counts put it.
TEST_F(PCStatTest, OneSampleForEachSecondOfConnectionTime) {
    Read({5000, 700, 10'400});
    Read({5300, 700, 11'200});
    Read({5400, 700, 11'900});
    Read({10'300, 700, 16'500});
    EXPECT_EQ(Rx(10), (std::vector<int32_t>{1000, 1000, 995, 979, 915, 661, 344, 75, 0, 0}));
    EXPECT_EQ(stat.CurrentRx(), 995);
    EXPECT_EQ(stat.MaxRx(), 995);
    EXPECT_EQ(stat.WindowMaxRx(), 995);
    EXPECT_EQ(stat.TotalRx(), 10'300u);
    EXPECT_EQ(stat.Seconds(), 16u);
    EXPECT_EQ(stat.Samples()[0].tx, 0);
}

// The recursive filter lets a one-second spike decay instead of vanishing.
TEST_F(PCStatTest, SpikeDecays) {
    Read({0, 0, 200});
    std::vector<int32_t> current;
    uint32_t rx = 0;
    for (uint32_t s = 1; s <= 5; ++s) {
        rx += s == 1 ? 4000 : 0;
        Read({rx, 4 * s, 1000 * s + 200});
        current.push_back(stat.CurrentRx());
    }
    EXPECT_EQ(current, (std::vector<int32_t>{1000, 1250, 1312, 328, 82}));
    EXPECT_EQ(stat.MaxRx(), 1312);
    EXPECT_EQ(stat.pGetStatValue(svMaxReceive, true, true), "1,3 КБайт/сек");
    EXPECT_EQ(stat.pGetStatValue(svCurrentReceive, false, false), "656 бит");
    EXPECT_EQ(stat.pGetStatValue(svCurrentTransmit, true, false), "4 байт");
}

// A maximum held by several samples stays until the last of them leaves the window.
TEST_F(PCStatTest, TiedMaximumStaysUntilItsLastSampleLeaves) {
    stat.BufferSize(5);
    uint32_t s = 0;
    for (; s <= 15; ++s) Read({400 * s, 0, 1000 * s});
    ASSERT_EQ(Rx(5), (std::vector<int32_t>{400, 400, 400, 400, 400}));
    std::vector<int32_t> maxima;
    for (uint32_t i = 0; i < 4; ++i, ++s) {
        Read({400 * 15, 0, 1000 * s});
        maxima.push_back(stat.WindowMaxRx());
    }
    EXPECT_EQ(maxima, (std::vector<int32_t>{400, 400, 300, 175}));
    EXPECT_EQ(stat.MaxRx(), 400);
}

TEST_F(PCStatTest, BufferSizeKeepsTheNewestSamples) {
    for (uint32_t s = 0; s <= 3; ++s) Read({100 * s * (s + 1) / 2, 0, 1000 * s});
    const std::vector<int32_t> before = Rx(4);  // 300, 200, smoothed, smoothed
    stat.BufferSize(2);
    EXPECT_EQ(stat.BufferSize(), 500);
    stat.BufferSize(3);
    ASSERT_EQ(stat.BufferSize(), 3);
    EXPECT_EQ(Rx(3), std::vector<int32_t>(before.begin(), before.begin() + 3));
    EXPECT_EQ(stat.WindowMaxRx(), before[2]);
    Read({1000, 0, 4000});  // a window of three keeps position 3 raw
    EXPECT_EQ(Rx(3), (std::vector<int32_t>{400, 300, 200}));
    EXPECT_EQ(stat.CurrentRx(), 200);
    EXPECT_EQ(stat.WindowMaxRx(), 200);
    stat.BufferSize(100'000);
    ASSERT_EQ(stat.BufferSize(), 100'000);
    EXPECT_EQ(stat.Samples().back(), StatSample{});
    Read({1500, 0, 5000});
    EXPECT_EQ(Rx(4), (std::vector<int32_t>{500, 400, 350, 200}));
    stat.BufferSize(500);
    EXPECT_EQ(Rx(5), (std::vector<int32_t>{500, 400, 350, 200, 0}));
    EXPECT_EQ(stat.WindowMaxRx(), 350);
    stat.BufferSize(PCStat::kMaxBufferSize + 1);
    EXPECT_EQ(stat.BufferSize(), 500);
}

// Each case: readings after a first one of 5000 bytes at 10.5 s; the newest sample, the
// received total and the connection time after them. A reading of 0 ms is a failing call.
TEST_F(PCStatTest, BadCountersKeepTotalsAndRatesSensible) {
    struct Case {
        const char* what;
        std::vector<Counters> readings;
        int32_t rate;
        uint64_t total, seconds;
    };
    const uint64_t k4G = uint64_t{1} << 32;
    const std::vector<Case> cases = {
        {"wraps past 2^32",
         {{0x6000'0000, 0, 11'500}, {0xC000'0000, 0, 12'500}, {0x100, 0, 13'500}},
         0x4000'0100,
         k4G + 256,
         13},
        {"restarts lower", {{1000, 0, 11'500}}, 0, 5000, 11},
        {"restarted, then grows", {{1000, 0, 11'500}, {1600, 0, 12'500}}, 600, 5600, 12},
        {"jumps past 2^31", {{5000 + 0x8000'0005, 0, 11'500}}, 0, 5000, 11},
        {"stands still", {{5000, 0, 11'500}, {5000, 0, 12'500}}, 0, 5000, 12},
        {"duration stands still",
         {{6000, 0, 10'600}, {7000, 0, 10'700}, {8000, 0, 10'900}, {9000, 0, 12'500}},
         2000,
         9000,
         12},
        {"duration goes back", {{6000, 0, 4000}, {6000, 0, 4100}}, 0, 6000, 10},
        {"duration back, then on", {{6000, 0, 4000}, {8000, 0, 6000}}, 1500, 8000, 12},
        {"fails a while", {{0, 0, 0}, {0, 0, 0}, {9000, 0, 14'500}}, 1000, 9000, 14},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Fresh();
        Read({5000, 0, 10'500});
        for (const Counters& r : c.readings) {
            ras.FailCall(sim::SimRas::Call::GetConnectionStatistics, r.ms ? 0 : 6);
            Read(r);
        }
        EXPECT_EQ(stat.Samples()[0].rx, c.rate);
        EXPECT_EQ(stat.TotalRx(), c.total);
        EXPECT_EQ(stat.Seconds(), c.seconds);
    }
}

// A duration far ahead adds at most a window's worth of samples.
TEST_F(PCStatTest, LongGapFillsTheWindowOnce) {
    stat.BufferSize(4);
    Read({0, 0, 0});
    Read({0x7000'0000, 0, 0x7000'0000});
    EXPECT_EQ(Rx(4), (std::vector<int32_t>{1000, 1000, 972, 890}));
    EXPECT_EQ(stat.pGetStatValue(svDuration, false, false), "521:57:28");
}

TEST_F(PCStatTest, ValueTexts) {
    struct Case {
        Counters first;
        int32_t kind;
        bool inBytes, perSecond;
        const char* text;
    };
    const std::vector<Case> cases = {
        {{100, 28, 3'725'400}, svDuration, false, true, "1:02:05"},
        {{0, 0, 100'000'999}, svDuration, true, false, "27:46:40"},
        {{100, 28, 0}, svTotalReceived, false, true, "800 бит/сек"},
        {{100, 28, 0}, svTotalTraffic, false, true, "1024 бит/сек"},
        {{129, 0, 0}, svTotalReceived, false, true, "1,0 КБит/сек"},
        {{100, 28, 0}, svTotalTransmitted, true, false, "28 байт"},
        {{3000, 0, 0}, svTotalReceived, true, false, "2,9 КБайт"},
        {{0xFFFF'FFFF, 0, 0}, svTotalReceived, true, false, "4194304,0 КБайт"},
        {{100, 28, 0}, 9, false, true, "0 бит/сек"},
        {{140, 0, 0}, 0, true, false, "0 байт"},
    };
    for (const Case& c : cases) {
        Fresh();
        Read(c.first);
        EXPECT_EQ(stat.pGetStatValue(c.kind, c.inBytes, c.perSecond), c.text);
    }
    sim.locale.decimalSeparator = ".";
    EXPECT_EQ(stat.pGetStatValue(svTotalReceived, false, false), "1.1 КБит");
}

}  // namespace
}  // namespace tarvelin
