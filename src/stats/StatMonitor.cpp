#include "stats/StatMonitor.h"

#include <algorithm>

#include "dialup/modAppRAS.h"

namespace tarvelin {

// Every object is marked as hung up, and an object listed again is taken over and unmarked;
// the ones still marked belong to connections that have ended. An object is taken over only
// for the same handle and entry: a handle the system hands out again to a new connection
// gets a fresh object, with zeroed counters. A connection listed twice is sampled once.
std::vector<PCStat> StatMonitor::Poll() {
    for (PCStat& stat : stats_) stat.HangUpFlag(true);
    std::vector<RasConnInfo> connections;
    GetRasConnections(connections);
    std::vector<PCStat> seen;
    seen.reserve(connections.size());
    for (const RasConnInfo& c : connections) {
        const auto same = [&](const PCStat& s) { return s.hRasConn() == c.hRasConn; };
        if (std::any_of(seen.begin(), seen.end(), same)) continue;
        const auto held = std::find_if(stats_.begin(), stats_.end(), [&](const PCStat& s) {
            return same(s) && s.HangUpFlag() && s.EntryName() == c.EntryName;
        });
        if (held != stats_.end()) {
            held->HangUpFlag(false);  // taken over: not among the ended ones below
            seen.push_back(std::move(*held));
        } else {
            seen.emplace_back().Init(c.hRasConn, c.EntryName, c.DeviceName);
        }
        seen.back().HangUpFlag(false);
        seen.back().StatCheck();
    }
    std::vector<PCStat> ended;
    for (PCStat& stat : stats_)
        if (stat.HangUpFlag()) ended.push_back(std::move(stat));
    stats_ = std::move(seen);
    return ended;
}

const PCStat* StatMonitor::Find(platform::RasHandle connection) const {
    const auto it = std::find_if(stats_.begin(), stats_.end(),
                                 [&](const PCStat& s) { return s.hRasConn() == connection; });
    return it == stats_.end() ? nullptr : &*it;
}

}  // namespace tarvelin
