// The serial port and the detection job on the Linux event loop against phone-sim over real
// pseudo-terminals. Wall-clock bounds here are generous hang guards, not timing claims.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "PhoneSimProcess.h"
#include "detection/PCCommPort.h"
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
                if (onReport) onReport(reports.back());
                if (code == kJobFinished || code == kJobCancelled) loop.Quit(0);
            });
        loop.StartOneShot(kHangGuardMs, [this] { loop.Quit(1); });
        job->TaskFound(std::move(ports));
        ASSERT_EQ(loop.Run(), 0) << "the job did not end";
    }

    std::vector<int32_t> Codes() const {
        std::vector<int32_t> codes;
        for (const auto& r : reports) codes.push_back(r.code);
        return codes;
    }

    platform::PosixEventLoop loop;
    platform::PosixSerialDeviceFactory serial;
    std::vector<Report> reports;
    sim::SimPlatform sim;  // declared last: it cleans up while the loop still exists
};

// Found with its exact serial number, and again after the terminal was closed and reopened.
TEST_F(PtyDetectionTest, APhoneIsFoundWithItsExactSerialNumberAgainAndAgain) {
    PhoneSimProcess phone({"--imei", "356938035643809"});
    ASSERT_FALSE(phone.Path().empty());
    RunJob({phone.Path()});
    RunJob({phone.Path()});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 7, 5, 3, 1, 4, 7, 5, 3}));
    for (size_t i : {2u, 7u}) {
        EXPECT_EQ(reports[i].info, "356938035643809");
        EXPECT_EQ(reports[i].port, phone.Path());
    }
}

TEST_F(PtyDetectionTest, AnEndlessStreamOfJunkCountsAsAnswersAndEnds) {
    PhoneSimProcess phone({"--junk"});
    RunJob({phone.Path()});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 3}));
}

// A silent port is given up, never before its two seconds have passed (how long after them
// depends on the machine's load, and is not a test's business).
TEST_F(PtyDetectionTest, ASilentPortIsGivenUpNoSoonerThanItsLimit) {
    PhoneSimProcess phone({"--silent-after", "0"});
    RunJob({phone.Path()});
    ASSERT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 3}));
    EXPECT_GE(reports[2].at - reports[1].at, std::chrono::milliseconds(PCJob::kReplyLimit));
}

TEST_F(PtyDetectionTest, ADeviceThatVanishesMidDialogueIsGivenUpAndTheJobMovesOn) {
    PhoneSimProcess vanishing({"--silent-after", "2"});
    PhoneSimProcess phone({});
    RunJob({vanishing.Path(), phone.Path()}, [&](const Report& r) {
        if (r.code == kPortBegins && r.port == vanishing.Path()) {
            loop.StartOneShot(700, [&] { vanishing.Kill(); });
        }
    });
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 4, 7, 5, 3}));
}

// The adapter's failures reach the port's owner with the numbers Windows gives: 32 for a
// device another program holds, 2 for a missing one, and a failed read once it went away.
TEST_F(PtyDetectionTest, PortFailuresUseTheWindowsNumbers) {
    PhoneSimProcess phone({});
    auto holder = PCCommPort::Create();
    auto port = PCCommPort::Create();
    port->SetOnErrorCOM(false);
    std::vector<std::string> errors;
    Connection c =
        port->OnError.Connect([&](int32_t n, const std::string& source, const std::string&, bool&) {
            errors.push_back(std::to_string(n) + " " + source);
        });
    ASSERT_NE(holder->CommOpen(phone.Path(), 8192, 1024), 0u);
    EXPECT_EQ(port->CommOpen(phone.Path(), 8192, 1024), 0u);
    EXPECT_EQ(port->CommOpen("\\\\.\\tarvelin-no-such-tty", 8192, 1024), 0u);
    holder->CommClose();
    ASSERT_NE(port->CommOpen("\\\\.\\" + phone.Path(), 8192, 1024), 0u);  // free once closed
    port->Poll();
    phone.Kill();
    for (int i = 0; i < 3; ++i) port->Poll();
    ASSERT_GE(errors.size(), 3u);
    EXPECT_EQ(errors[0], "32 CCommPort::CommOpen");
    EXPECT_EQ(errors[1], "2 CCommPort::CommOpen");
    EXPECT_EQ(errors[2], std::to_string(kCommErrRead) + " CCommPort::pStartInput");
    EXPECT_TRUE(port->CommClose());
}

}  // namespace
}  // namespace tarvelin
