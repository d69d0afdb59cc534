// The monitor keeps one sampler per active connection, in the system's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimPlatform.h"
#include "stats/StatMonitor.h"

namespace tarvelin {
namespace {

class StatMonitorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        RasEntryInfo info;
        info.szDeviceName = "Modem";
        sim.ras.AddEntry("MTS", info);
        sim.ras.AddEntry("Beeline", info);
        sim.ras.receiveRate = 1000;
    }
    // One poll a second later; the entries and totals of the monitor's objects.
    std::vector<std::string> Poll() {
        sim.loop.Advance(1000);
        monitor.Poll();
        std::vector<std::string> seen;
        for (const PCStat& s : monitor.Stats()) {
            seen.push_back(s.EntryName() + " " + std::to_string(s.TotalRx()));
        }
        return seen;
    }

    sim::SimPlatform sim;
    StatMonitor monitor;
};

TEST_F(StatMonitorTest, ObjectsFollowTheConnections) {
    EXPECT_EQ(Poll(), std::vector<std::string>{});
    const platform::RasHandle mts = sim.ras.Connect("MTS").handle;
    EXPECT_EQ(Poll(), (std::vector<std::string>{"MTS 1000"}));
    ASSERT_NE(monitor.Find(mts), nullptr);
    EXPECT_EQ(monitor.Find(mts)->DeviceName(), "Modem");
    sim.ras.Connect("Beeline");
    EXPECT_EQ(Poll(), (std::vector<std::string>{"MTS 2000", "Beeline 1000"}));
    EXPECT_EQ(monitor.Find(mts)->Samples()[0].rx, 1000);

    sim.ras.HangUp(mts);
    EXPECT_EQ(Poll(), (std::vector<std::string>{"Beeline 2000"}));
    EXPECT_EQ(monitor.Find(mts), nullptr);

    // The system hands the ended connection's handle to a new one: a fresh object.
    sim.ras.Connect("MTS").handle = mts;
    EXPECT_EQ(Poll(), (std::vector<std::string>{"Beeline 3000", "MTS 1000"}));
    EXPECT_EQ(monitor.Find(mts)->Seconds(), 1u);
}

}  // namespace
}  // namespace tarvelin
