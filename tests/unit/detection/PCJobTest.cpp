#include "core/modTypes.h"
#include "detection/PCJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "sim/SimPlatform.h"
#include "sim/SimSerialDevice.h"

namespace tarvelin {
namespace {

constexpr char kImei[] = "490154203237518";

struct Info {
    int32_t code;
    std::string port;
    std::string info;
    uint64_t at;  // virtual milliseconds since the job started (code 1)
    bool operator==(const Info& o) const {
        return code == o.code && port == o.port && info == o.info;
    }
};

std::string Device(const std::string& port) {
    return platform::kDevicePrefix + port;
}

class PCJobTest : public ::testing::Test {
  protected:
    PCJobTest() {
        sim.platform.serial = &serial;
        Watch(job);
    }

    void Watch(const std::shared_ptr<PCJob>& j) {
        conn = j->TaskInfoFound.Connect(
            [this](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
                if (code == kJobStarted) start = sim.loop.Now();
                reports.push_back({code, port, info, sim.loop.Now() - start});
                if (onReport) onReport(code, cancel);
            });
    }

    sim::SimSerialLine& Phone(const std::string& port) {
        auto& line = serial.Line(Device(port));
        line.AnswerAsPhone(kImei);
        line.immediateReads = true;  // bytes that have arrived are handed over at once
        return line;
    }

    void Run(std::vector<std::string> ports, uint64_t ms = 60000) {
        job->TaskFound(std::move(ports));
        sim.loop.Advance(ms);
    }

    std::vector<int32_t> Codes() const {
        std::vector<int32_t> codes;
        for (const auto& r : reports) codes.push_back(r.code);
        return codes;
    }
    const Info* Find(int32_t code) const {
        for (const auto& r : reports)
            if (r.code == code) return &r;
        return nullptr;
    }

    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    std::shared_ptr<PCJob> job = PCJob::Create();
    std::vector<Info> reports;
    std::function<void(int32_t, bool&)> onReport;
    uint64_t start = 0;
    Connection conn;
};

TEST(ReplyTextTest, ReplacesLeftToRightInOnePass) {
    EXPECT_TRUE(ContainsAsciiNoCase("x\r\nok\r\n", "OK\r\n"));
    EXPECT_FALSE(ContainsAsciiNoCase("O K\r\n", "OK\r\n"));
    EXPECT_EQ(ReplaceEvery("\r\nOk\r\nOK\r\n", "\r\nOK\r\n", "", true), "OK\r\n");
    EXPECT_EQ(ReplaceEvery("\r\r\n\n", "\r\n", "", false), "\r\n");
    EXPECT_EQ(ReplaceEvery("a\r\nOK\r\n", "\r\nok\r\n", "", false), "a\r\nOK\r\n");
}

TEST_F(PCJobTest, PortsThatDoNotExistOrAreHeldAreReportedAndPassed) {
    serial.Line(Device("COM2")).openError = 5;
    serial.Line(Device("COM3")).openError = 32;
    Run({"COM1", "COM2", "COM3"});
    const std::vector<Info> expected = {{1, "", "", 0},     {4, "COM1", "", 0}, {5, "COM1", "", 0},
                                        {4, "COM2", "", 0}, {6, "COM2", "", 0}, {5, "COM2", "", 0},
                                        {4, "COM3", "", 0}, {6, "COM3", "", 0}, {5, "COM3", "", 0},
                                        {3, "", "", 0}};
    EXPECT_EQ(reports, expected);
    EXPECT_EQ(reports[1].at, 200u);  // the first port opens on the first tick
    EXPECT_EQ(reports[2].at, 400u);  // a failed open is left on the next
    EXPECT_EQ(sim.loop.TimerCount(), 0u);
}

TEST_F(PCJobTest, AnEmptyListStartsAndFinishes) {
    Run({});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 3}));
}

TEST_F(PCJobTest, APhoneIsTakenThroughTheWholeDialogue) {
    auto& line = Phone("COM5");
    Run({"COM5"});
    const std::vector<Info> expected = {{1, "", "", 0},
                                        {4, "COM5", "", 0},
                                        {7, "COM5", kImei, 0},
                                        {5, "COM5", "", 0},
                                        {3, "", "", 0}};
    EXPECT_EQ(reports, expected);
    const std::vector<std::string> commands = {"AT",          "ATE0",    "AT+GMI",
                                               "AT+CGMI",     "AT+GMM",  "AT+CGMM",
                                               "AT+CGDCONT?", "AT+CGSN", "AT+^SGAUTH=?"};
    EXPECT_EQ(line.commands, commands);
    for (const auto& w : line.writes) EXPECT_EQ(w.substr(w.size() - 2), "\r\n");
    EXPECT_EQ(line.opens, 1);
    EXPECT_FALSE(line.open);

    // The line is configured on top of what the driver had.
    ASSERT_FALSE(line.statesSet.empty());
    const platform::Dcb& dcb = line.statesSet.front();
    EXPECT_EQ(dcb.BaudRate(), 9600u);
    EXPECT_EQ(dcb.Get8(platform::Dcb::kByteSize), 8);
    EXPECT_EQ(dcb.Get8(platform::Dcb::kParity), 0);
    EXPECT_EQ(dcb.Get8(platform::Dcb::kStopBits), 0);
    EXPECT_EQ(dcb.Flag(10), 1u);  // replace parity errors
    EXPECT_EQ(dcb.Flag(11), 1u);  // discard NULs
    EXPECT_EQ(dcb.Get8(platform::Dcb::kErrorChar), '~');

    // Open on the first tick, first command on the next, each answer read on the tick after.
    EXPECT_EQ(reports[1].at, 200u);
    EXPECT_EQ(reports[2].at, 200u + 200u * 9);
}

TEST_F(PCJobTest, ASilentPortIsGivenUpOnTheFirstTickAfterTwoSeconds) {
    serial.Line(Device("COM1"));
    Run({"COM1"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 3}));
    EXPECT_EQ(serial.Line(Device("COM1")).commands, (std::vector<std::string>{"AT"}));
    EXPECT_EQ(Find(5)->at, 400u + 2200u);  // "AT" left at 400; 2000 ms have passed only at 2400
}

TEST_F(PCJobTest, APhoneThatFallsSilentAfterAtIsGivenUpTwoSecondsAfterAte0) {
    auto& line = serial.Line(Device("COM1"));
    line.replies = {{"AT", "\r\nOK\r\n"}};
    Run({"COM1"});
    EXPECT_EQ(line.commands, (std::vector<std::string>{"AT", "ATE0"}));
    EXPECT_EQ(Find(5)->at, 600u + 2200u);  // ATE0 left with the answer read at 600
}

TEST_F(PCJobTest, EchoLeavesTheCommandAndALoneCarriageReturnInTheInfo) {
    auto& line = Phone("COM1");
    line.echo = true;
    line.replies["ATE0"] = "\r\nERROR\r\n";
    Run({"COM1"});
    ASSERT_NE(Find(7), nullptr);
    EXPECT_EQ(Find(7)->info, std::string("AT+CGSN\r") + kImei);
    EXPECT_EQ(line.commands.size(), 9u);  // a rejected command is skipped, not repeated
}

TEST_F(PCJobTest, SerialNumberAnswersAreCleanedOfLineBreaksAndTheFinalOk) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"\r\nOK\r\n", ""},
        {"OK\r\n", "OK"},
        {"\r\n12345\r\n\r\nok\r\n", "12345"},
        {"\r\nA\rB\nC\r\n\r\nOK\r\n", "A\rB\nC"},
    };
    for (const auto& [answer, info] : cases) {
        reports.clear();
        auto& line = Phone("COM1");
        line.replies["AT+CGSN"] = answer;
        Run({"COM1"});
        ASSERT_NE(Find(7), nullptr) << answer;
        EXPECT_EQ(Find(7)->info, info);
        EXPECT_EQ(Codes().back(), 3);
    }
}

TEST_F(PCJobTest, LowerCaseResultsAreAccepted) {
    auto& line = Phone("COM1");
    for (auto& [command, reply] : line.replies) {
        for (auto& c : reply) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    Run({"COM1"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 7, 5, 3}));
    EXPECT_EQ(line.commands.size(), 9u);
    EXPECT_EQ(Find(5)->at, 200u + 200u * 10);  // no command waited for the time limit
}

TEST_F(PCJobTest, AnswersSplitAcrossReadsAreJoined) {
    auto& line = Phone("COM1");
    line.readChunk = 6;  // "OK\r" and "\n" of the serial number's answer arrive apart
    Run({"COM1"});
    ASSERT_NE(Find(7), nullptr);
    EXPECT_EQ(Find(7)->info, kImei);
    EXPECT_EQ(line.commands.size(), 9u);
}

TEST_F(PCJobTest, AnAnswerLongerThan2048CharactersCountsAsAnswered) {
    auto& line = serial.Line(Device("COM1"));
    line.replies = {{"AT", std::string(2049, 'x')}, {"ATE0", std::string(2048, 'x')}};
    Run({"COM1"});
    // Reads of 1024 characters: the 2049th arrives at 1400 and ATE0 leaves; 2048 characters
    // are not yet an answer, so ATE0 runs into the time limit.
    EXPECT_EQ(line.commands, (std::vector<std::string>{"AT", "ATE0"}));
    EXPECT_EQ(Find(5)->at, 1400u + 2200u);
}

TEST_F(PCJobTest, CancelAtTheFirstPortEndStopsTheJob) {
    onReport = [](int32_t code, bool& cancel) { cancel = code == 5; };
    serial.Line(Device("COM2"));
    Run({"COM1", "COM2"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 2}));
    EXPECT_EQ(serial.Line(Device("COM2")).opens, 0);
    EXPECT_EQ(sim.loop.TimerCount(), 0u);
}

TEST_F(PCJobTest, CancelIsHonouredOnlyAtCodeFive) {
    onReport = [](int32_t code, bool& cancel) { cancel = code != 5; };
    Phone("COM1");
    serial.Line(Device("COM2")).openError = 5;
    Run({"COM1", "COM2"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 7, 5, 4, 6, 5, 3}));
}

TEST_F(PCJobTest, AVanishedDeviceIsGivenUpAndTheJobMovesOn) {
    auto& gone = serial.Line(Device("COM1"));
    gone.replies = {{"AT", "\r\nOK\r\n"}};
    Phone("COM2");
    onReport = [&](int32_t code, bool&) {
        if (code == 4 && reports.back().port == "COM1")
            sim.loop.StartOneShot(500, [&] { gone.Vanish(); });
    };
    Run({"COM1", "COM2"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 4, 7, 5, 3}));
    EXPECT_LE(reports[2].at, 200u + 2600u);
}

TEST_F(PCJobTest, TheTwoSecondLimitHoldsAcrossTheTickCountWrap) {
    sim.loop.Advance(0xFFFFFFFFull - 1000);  // the 32-bit tick count wraps during the dialogue
    serial.Line(Device("COM1"));
    Run({"COM1"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 4, 5, 3}));
    EXPECT_EQ(Find(5)->at, 2600u);
}

TEST_F(PCJobTest, NoTimerMeansTheJobEndsAtOnce) {
    job->TaskFound({"COM1"});
    sim.loop.FailNextStarts(1);  // the deferred start has its timer; the job's tick has none
    sim.loop.Advance(1000);
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 3}));

    reports.clear();
    sim.loop.FailNextStarts(2);  // no deferred pass either: the job starts and ends at once
    job->TaskFound({"COM1"});
    EXPECT_EQ(Codes(), (std::vector<int32_t>{1, 3}));
}

// 63 ports that cost time (alternately silent and missing) and a phone at the end: the job
// finishes, and takes what the constants say: 2.4 s for a silent port, 0.2 s for a missing
// one, no more.
TEST_F(PCJobTest, SixtyFourPortsTakeTheirConstantTimes) {
    std::vector<std::string> ports;
    int silent = 0, missing = 0;
    for (int i = 1; i <= 63; ++i) {
        ports.push_back("COM" + std::to_string(i));
        if (i % 2) {
            serial.Line(Device(ports.back()));
            ++silent;
        } else {
            ++missing;
        }
    }
    ports.push_back("COM64");
    Phone("COM64");
    Run(ports, 400000);
    const std::vector<int32_t> codes = Codes();
    ASSERT_EQ(codes.back(), 3);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), 4), 64);
    EXPECT_EQ(Find(7)->port, "COM64");
    const uint64_t budget = 200 + silent * 2400u + missing * 200u + 200 * 10;
    EXPECT_EQ(reports.back().at, budget);
}

// The owner drops its only reference to the job from inside each kind of report.
TEST_F(PCJobTest, OwnerMayDropTheJobFromInsideAnyReport) {
    for (int32_t dropAt : {1, 4, 5, 6, 7, 3}) {
        sim::SimPlatform fresh;
        sim::SimSerialFactory devices;
        fresh.platform.serial = &devices;
        devices.Line(Device("COM1")).openError = 32;
        devices.Line(Device("COM2")).AnswerAsPhone(kImei);
        auto owned = PCJob::Create();
        std::vector<int32_t> seen;
        Connection c;
        c = owned->TaskInfoFound.Connect(
            [&](int32_t code, const std::string&, const std::string&, bool&) {
                seen.push_back(code);
                if (code != dropAt) return;
                c.Disconnect();
                owned.reset();
            });
        owned->TaskFound({"COM1", "COM2"});
        fresh.loop.Advance(60000);
        EXPECT_EQ(seen.back(), dropAt);
        EXPECT_EQ(fresh.loop.TimerCount(), 0u) << dropAt;
        EXPECT_FALSE(devices.Line(Device("COM2")).open) << dropAt;
    }
}

// A handler restarts the job with a new port list from inside each kind of report; the
// handlers after it still see the texts of the report being raised, and the restarted job
// runs to its end.
TEST_F(PCJobTest, AHandlerMayRestartTheJobFromInsideAnyReport) {
    for (int32_t restartAt : {1, 4, 6, 7, 5, 2, 3}) {
        sim::SimPlatform fresh;
        sim::SimSerialFactory devices;
        fresh.platform.serial = &devices;
        devices.Line(Device("COM1")).openError = 32;
        devices.Line(Device("COM2")).AnswerAsPhone(kImei);
        auto owned = PCJob::Create();
        bool restarted = false;
        std::vector<std::string> first, second;
        auto restart = owned->TaskInfoFound.Connect(
            [&](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
                first.push_back(port + "|" + info);
                cancel = restartAt == 2 && code == 5 && !restarted;
                if (code != restartAt || restarted) return;
                restarted = true;
                owned->TaskFound({std::string(40, 'X'), std::string(40, 'Y')});
            });
        auto watch = owned->TaskInfoFound.Connect(
            [&](int32_t, const std::string& port, const std::string& info, bool&) {
                second.push_back(port + "|" + info);
            });
        owned->TaskFound({"COM1", "COM2"});
        fresh.loop.Advance(60000);
        EXPECT_TRUE(restarted) << restartAt;
        EXPECT_EQ(first, second) << restartAt;
        EXPECT_EQ(second.back(), "|") << restartAt;  // the last report is the job's end
        EXPECT_EQ(fresh.loop.TimerCount(), 0u) << restartAt;
    }
}

}  // namespace
}  // namespace tarvelin
