// The serial port and the detection job on the Linux event loop against phone-sim over real
// pseudo-terminals. Wall-clock bounds here are generous hang guards, not timing claims.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "PhoneSimProcess.h"
#include "detection/PCJob.h"
#include "platform/posix/PosixEventLoop.h"
#include "platform/posix/PosixSerialDevice.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using test::PhoneSimProcess;
using WallClock = std::chrono::steady_clock;

constexpr uint32_t kHangGuardMs = 30000;

struct Report {
    int32_t code;
    std::string port;
    std::string info;
    WallClock::time_point at;
};

class PtyDetectionTest : public ::testing::Test {
  protected:
    PtyDetectionTest() {
        sim.platform.loop = &loop;
        sim.platform.clock = &loop;
        sim.platform.serial = &serial;
    }

    // Runs a job over the ports until it ends; `onReport` may act on each report.
    void RunJob(std::vector<std::string> ports,
                std::function<void(const Report&)> onReport = nullptr) {
        auto job = PCJob::Create();
        Connection c = job->TaskInfoFound.Connect(
            [&](int32_t code, const std::string& port, const std::string& info, bool&) {
                reports.push_back({code, port, info, WallClock::now()});
                codes.push_back(code);
                if (onReport) onReport(reports.back());
                if (code == kJobFinished || code == kJobCancelled) loop.Quit(0);
            });
        loop.StartOneShot(kHangGuardMs, [this] { loop.Quit(1); });
        job->TaskFound(std::move(ports));
        ASSERT_EQ(loop.Run(), 0) << "the job did not end";
    }

    platform::PosixEventLoop loop;
    platform::PosixSerialDeviceFactory serial;
    std::vector<Report> reports;
    std::vector<int32_t> codes;
    sim::SimPlatform sim;  // declared last: it cleans up while the loop still exists
};

// A device that vanishes mid-dialogue is given up and the job moves on to the phone, found
// with its exact serial number, and again after its terminal was closed and reopened.
TEST_F(PtyDetectionTest, APhoneIsFoundAfterAVanishedDeviceAndAgainAfterReopening) {
    PhoneSimProcess vanishing({"--silent-after", "2"});
    PhoneSimProcess phone({"--imei", "356938035643809"});
    RunJob({vanishing.Path(), phone.Path()}, [&](const Report& r) {
        if (r.code == kPortBegins && r.port == vanishing.Path()) {
            loop.StartOneShot(700, [&] { vanishing.Kill(); });
        }
    });
    RunJob({phone.Path()});
    EXPECT_EQ(codes, (std::vector<int32_t>{1, 4, 5, 4, 7, 5, 3, 1, 4, 7, 5, 3}));
    for (size_t i : {4u, 9u}) {
        EXPECT_EQ(reports[i].info, "356938035643809");
        EXPECT_EQ(reports[i].port, phone.Path());
    }
}

// An endless stream of junk counts as answers and ends; a silent port is given up, never
// before its two seconds have passed (how long after them depends on the machine's load, and
// is not a test's business).
TEST_F(PtyDetectionTest, JunkAndSilencePortsEndNoSoonerThanTheirLimit) {
    PhoneSimProcess junk({"--junk"});
    PhoneSimProcess silent({"--silent-after", "0"});
    RunJob({junk.Path(), silent.Path()});
    ASSERT_EQ(codes, (std::vector<int32_t>{1, 4, 5, 4, 5, 3}));
    EXPECT_GE(reports[4].at - reports[3].at, std::chrono::milliseconds(PCJob::kReplyLimit));
}

}  // namespace
}  // namespace tarvelin
