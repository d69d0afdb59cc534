#pragma once
// The statistics of every active dial-up connection, polled once a second by the main page:
// each poll lists the connections, gives one it has not seen a fresh PCStat, samples them
// all and hands back the objects of connections that have ended.
#include <vector>

#include "stats/PCStat.h"

namespace tarvelin {

class StatMonitor {
  public:
    // Returns the objects of the connections that have ended since the last poll, in the
    // order they were held, so that their final figures can still be shown.
    std::vector<PCStat> Poll();
    // The objects in the order the system lists the connections.
    const std::vector<PCStat>& Stats() const { return stats_; }
    // The object of a connection, null when it is not active.
    const PCStat* Find(platform::RasHandle connection) const;

  private:
    std::vector<PCStat> stats_;
};

}  // namespace tarvelin
