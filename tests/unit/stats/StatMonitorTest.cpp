// The monitor keeps one sampler per active connection, in the system's order.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/SimPlatform.h"
#include "stats/StatMonitor.h"

namespace tarvelin {
namespace {

using Seen = std::vector<std::string>;

// One poll a second later: the objects handed back as ended, then the entry, device and
// received total of each object held.
Seen Poll(sim::SimPlatform& sim, StatMonitor& monitor) {
    sim.loop.Advance(1000);
    Seen seen;
    for (const PCStat& s : monitor.Poll())
        seen.push_back("ended " + s.EntryName() + " " + std::to_string(s.TotalRx()));
    for (const PCStat& s : monitor.Stats()) {
        seen.push_back(s.EntryName() + "/" + s.DeviceName() + " " + std::to_string(s.TotalRx()));
    }
    return seen;
}

TEST(StatMonitorTest, ObjectsFollowTheConnections) {
    sim::SimPlatform sim;
    StatMonitor monitor;
    RasEntryInfo modem;
    modem.szDeviceName = "Modem";
    sim.ras.AddEntry("MTS", modem);
    sim.ras.receiveRate = 1000;
    const platform::RasHandle mts = sim.ras.Connect("MTS").handle;
    EXPECT_EQ(Poll(sim, monitor), (Seen{"MTS/Modem 1000"}));
    sim.ras.Connect("Beeline");
    EXPECT_EQ(Poll(sim, monitor), (Seen{"MTS/Modem 2000", "Beeline/ 1000"}));
    sim.ras.HangUp(mts);
    EXPECT_EQ(Poll(sim, monitor), (Seen{"ended MTS 2000", "Beeline/ 2000"}));
    EXPECT_EQ(monitor.Find(mts), nullptr);
    // The system hands the ended connection's handle to a new one: a fresh object.
    sim.ras.Connect("MTS").handle = mts;
    EXPECT_EQ(Poll(sim, monitor), (Seen{"Beeline/ 3000", "MTS/Modem 1000"}));
    EXPECT_EQ(monitor.Find(mts)->Seconds(), 1u);
}

}  // namespace
}  // namespace tarvelin
