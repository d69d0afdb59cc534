#include "detection/PCJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
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
};

std::string Device(const std::string& port) {
    return platform::kDevicePrefix + port;
}

class PCJobTest : public ::testing::Test {
  protected:
    PCJobTest() {
        sim.platform.serial = &serial;
        conn = job->TaskInfoFound.Connect(
            [this](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
                if (code == kJobStarted) start = sim.loop.Now();
                reports.push_back({code, port, info, sim.loop.Now() - start});
                codes.push_back(code);
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
        reports.clear();
        codes.clear();
        job->TaskFound(std::move(ports));
        sim.loop.Advance(ms);
    }

    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    std::shared_ptr<PCJob> job = PCJob::Create();
    std::vector<Info> reports;
    std::vector<int32_t> codes;
    std::function<void(int32_t, bool&)> onReport;
    uint64_t start = 0;
    Connection conn;
};

// Each case ends its port by the time limit: a silent port, a phone falling silent after
// "AT", an answer of 2048 characters (more than that counts as answered, so ATE0 leaves),
// and a limit running across the wrap of the 32-bit tick count.
TEST_F(PCJobTest, APortThatStopsAnsweringIsGivenUpTwoSecondsAfterItsLastCommand) {
    struct Case {
        std::map<std::string, std::string> replies;
        std::vector<std::string> commands;
        uint64_t endAt;  // the last command left at endAt - 2200, 2000 ms pass at endAt - 200
    };
    const Case cases[] = {
        {{}, {"AT"}, 400 + 2200},
        {{{"AT", "\r\nOK\r\n"}}, {"AT", "ATE0"}, 600 + 2200},
        {{{"AT", std::string(2049, 'x')}, {"ATE0", std::string(2048, 'x')}},
         {"AT", "ATE0"},
         1400 + 2200},
        {{}, {"AT"}, 400 + 2200},
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        if (i == 3) sim.loop.Advance(0xFFFFFFFFull - 1000 - sim.loop.Now());
        const std::string port = "COM" + std::to_string(i + 1);
        auto& line = serial.Line(Device(port));
        line.replies = cases[i].replies;
        Run({port});
        ASSERT_EQ(codes, (std::vector<int32_t>{1, 4, 5, 3})) << i;
        EXPECT_EQ(line.commands, cases[i].commands) << i;
        EXPECT_EQ(reports[2].at, cases[i].endAt) << i;
    }
}

// A phone is taken through the whole dialogue at 9600 baud, 8 bits: each command once, on
// the tick after the previous answer. Answers in any shape lead to the serial number.
TEST_F(PCJobTest, AnswersInAnyShapeLeadToTheSerialNumber) {
    constexpr size_t kWhole = 1 << 20;
    struct Case {
        const char* name;
        std::string serialAnswer;  // empty: the phone's own
        std::string info;
        bool echo = false;  // echoes, and refuses ATE0 so that the echo stays
        size_t chunk = kWhole;
        bool lower = false;
    };
    const std::vector<std::string> commands = {"AT",          "ATE0",    "AT+GMI",
                                               "AT+CGMI",     "AT+GMM",  "AT+CGMM",
                                               "AT+CGDCONT?", "AT+CGSN", "AT+^SGAUTH=?"};
    const Case cases[] = {
        {"plain", "", kImei},
        // The echo leaves the command and a lone carriage return.
        {"echo", "", std::string("AT+CGSN\r") + kImei, true},
        {"lower case", "", kImei, false, kWhole, true},
        // "OK\r" and "\n" of the serial number's answer arrive apart.
        {"split", "", kImei, false, 6},
        {"no number", "\r\nOK\r\n", ""},
        {"no breaks", "OK\r\n", "OK"},
        {"inner breaks", "\r\nA\rB\nC\r\n\r\nOK\r\n", "A\rB\nC"},
    };
    for (const auto& c : cases) {
        auto& line = Phone(c.name);
        if (!c.serialAnswer.empty()) line.replies["AT+CGSN"] = c.serialAnswer;
        if (c.echo) line.replies["ATE0"] = "\r\nERROR\r\n";
        for (auto& [command, reply] : line.replies)
            if (c.lower) std::transform(reply.begin(), reply.end(), reply.begin(), ::tolower);
        line.echo = c.echo;
        line.readChunk = c.chunk;
        Run({c.name});
        ASSERT_EQ(codes, (std::vector<int32_t>{1, 4, 7, 5, 3})) << c.name;
        EXPECT_EQ(reports[2].info, c.info) << c.name;
        EXPECT_EQ(line.commands, commands) << c.name;
        EXPECT_EQ(line.state.BaudRate(), 9600u);
        EXPECT_EQ(line.state.Get8(platform::Dcb::kByteSize), 8);
        // Every answer is complete on the tick after its command, unless split.
        EXPECT_TRUE(c.chunk != kWhole || reports[3].at == 200u + 200u * 10) << c.name;
    }
}

// A port that refuses its open is reported (6) and passed, a missing one just passed.
TEST_F(PCJobTest, CancelIsHonouredOnlyAtAPortsEnd) {
    Phone("COM1");
    serial.Line(Device("COM2")).openError = 5;
    for (bool atPortEnd : {false, true}) {
        onReport = [&](int32_t code, bool& cancel) { cancel = (code == 5) == atPortEnd; };
        Run({"COM1", "COM2", "COM3"});
        const std::vector<int32_t> expected =
            atPortEnd ? std::vector<int32_t>{1, 4, 7, 5, 2}
                      : std::vector<int32_t>{1, 4, 7, 5, 4, 6, 5, 4, 5, 3};
        EXPECT_EQ(codes, expected);
        EXPECT_EQ(sim.loop.TimerCount(), 0u);
    }
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
    EXPECT_EQ(codes, (std::vector<int32_t>{1, 4, 5, 4, 7, 5, 3}));
    EXPECT_LE(reports[2].at, 200u + 2600u);
}

TEST_F(PCJobTest, NoPortsOrNoTimerMeansTheJobEndsAtOnce) {
    const std::vector<int32_t> startAndEnd = {1, 3};
    Run({});
    EXPECT_EQ(codes, startAndEnd);
    sim.loop.FailNextStarts(2);  // no deferred pass either: the job starts and ends at once
    Run({"COM1"}, 0);
    EXPECT_EQ(codes, startAndEnd);
    codes.clear();
    job->TaskFound({"COM1"});
    sim.loop.FailNextStarts(1);  // the deferred start has its timer; the job's tick has none
    sim.loop.Advance(1000);
    EXPECT_EQ(codes, startAndEnd);
}

// A handler drops the owner's only reference to the job, or restarts the job with a new port
// list, from inside each kind of report. After a restart the handlers after it still see the
// texts of the report being raised, and the restarted job runs to its end.
TEST_F(PCJobTest, AHandlerMayDropOrRestartTheJobFromInsideAnyReport) {
    serial.Line(Device("COM1")).openError = 32;
    serial.Line(Device("COM2")).AnswerAsPhone(kImei);
    for (bool restart : {false, true}) {
        for (int32_t at : {1, 4, 6, 7, 5, 2, 3}) {
            auto owned = PCJob::Create();
            bool acted = false;
            int32_t last = 0;
            std::vector<std::string> first, second;
            Connection c, watch;
            c = owned->TaskInfoFound.Connect(
                [&](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
                    first.push_back(port + "|" + info);
                    last = code;
                    cancel = at == 2 && code == 5 && !acted;
                    if (code != at || acted) return;
                    acted = true;
                    if (restart) {
                        owned->TaskFound({std::string(40, 'X'), std::string(40, 'Y')});
                        return;
                    }
                    c.Disconnect();
                    owned.reset();
                });
            watch = owned->TaskInfoFound.Connect(
                [&](int32_t, const std::string& port, const std::string& info, bool&) {
                    second.push_back(port + "|" + info);
                });
            owned->TaskFound({"COM1", "COM2"});
            sim.loop.Advance(60000);
            EXPECT_EQ(last, restart ? kJobFinished : at) << at;
            EXPECT_EQ(sim.loop.TimerCount(), 0u) << at;
            EXPECT_FALSE(serial.Line(Device("COM2")).open) << at;
            EXPECT_TRUE(!restart || first == second) << at;
        }
    }
}

}  // namespace
}  // namespace tarvelin
