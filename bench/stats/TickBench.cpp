// The main page's once-a-second work with 32 active connections: one poll of the statistics
// (list the connections, sample each) and a redraw of every connection's graph with its
// figures panel at 400 x 90 on the raster canvas. Prints
//   ratio tick_share_32_connections <x>
// the processor time of one such tick as a share of the one-second tick (lower is better),
// the median of 31 ticks of a session that has been running for ten minutes.
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "core/AppState.h"
#include "dialup/modAppRAS.h"
#include "platform/Platform.h"
#include "platform/posix/PosixLocale.h"
#include "platform/posix/RasterCanvas.h"
#include "stats/StatMonitor.h"

namespace tarvelin {
namespace {

constexpr uint32_t kConnections = 32;

// The system's dial-up service with 32 connections whose counters grow every second.
class BusySystem : public platform::RasApiUnavailable {
  public:
    uint32_t seconds = 0;

    uint32_t EnumConnections(std::vector<uint8_t>& buffer, uint32_t& bytes,
                             uint32_t& count) override {
        const RasLayout& layout = CurrentRasLayout();
        count = kConnections;
        for (uint32_t i = 0; i < kConnections; ++i) {
            const uint32_t base = i * layout.connSize;
            WriteRasNumber(buffer, {base, 4}, layout.connSize);
            WriteRasNumber(buffer, {base + layout.connHandle.offset, layout.connHandle.size},
                           i + 1);
            WriteRasText(buffer, {base + layout.connEntryName.offset, layout.connEntryName.size},
                         "QVT (Phone " + std::to_string(i) + ")");
        }
        bytes = kConnections * layout.connSize;
        return 0;
    }
    uint32_t GetConnectionStatistics(platform::RasHandle connection,
                                     std::vector<uint8_t>& stats) override {
        const auto c = static_cast<uint32_t>(connection);
        WriteRasNumber(stats, {4, 4}, seconds * (1000 + 37 * c) % 700000);
        WriteRasNumber(stats, {8, 4}, seconds * (9000 + 131 * c + (seconds % 7) * 500));
        WriteRasNumber(stats, {56, 4}, seconds * 1000);
        return 0;
    }
};

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

void Tick(BusySystem& system, StatMonitor& monitor, const platform::RasterPicture& panel) {
    ++system.seconds;
    monitor.Poll();
    for (const PCStat& stat : monitor.Stats()) {
        platform::RasterPicture picture(400, 90);
        platform::RasterCanvas canvas(picture);
        stat.DrawGraphic(canvas, &panel, {230, 0, 400, 90}, platform::Font{"Tahoma", 11}, false,
                         false, true);
    }
}

double TickShare() {
    BusySystem system;
    platform::PosixLocale locale;
    platform::Platform services;
    services.ras = &system;
    services.locale = &locale;
    AppState().platform = &services;
    StatMonitor monitor;
    const platform::RasterPicture panel(170, 90, platform::Rgb(40, 40, 48));
    for (int second = 0; second < 600; ++second) Tick(system, monitor, panel);
    std::vector<double> shares;
    for (int i = 0; i < 31; ++i) {
        const double start = ThreadSeconds();
        Tick(system, monitor, panel);
        shares.push_back(ThreadSeconds() - start);  // of a one-second tick
    }
    AppState().platform = nullptr;
    std::nth_element(shares.begin(), shares.begin() + 15, shares.end());
    return shares[15];
}

}  // namespace
}  // namespace tarvelin

int main() {
    std::printf("ratio tick_share_32_connections %.5f\n", tarvelin::TickShare());
    return 0;
}
