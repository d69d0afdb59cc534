#include "detection/PCCommPort.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/AppError.h"
#include "sim/SimPlatform.h"
#include "sim/SimSerialDevice.h"

namespace tarvelin {
namespace {

using platform::Dcb;

constexpr char kCom[] = "\\\\.\\COM3";
constexpr char kCom4[] = "\\\\.\\COM4";

struct Report {
    int32_t number;
    std::string source;
    std::string description;
    bool operator==(const Report&) const = default;
};

class PCCommPortTest : public ::testing::Test {
  protected:
    PCCommPortTest() {
        sim.platform.serial = &serial;
        errorConn = port->OnError.Connect(
            [this](int32_t n, const std::string& s, const std::string& d, bool& raise) {
                errors.push_back({n, s, d});
                raise = raiseErrors;
            });
        inputConn = port->OnInput.Connect([this](const std::string& text) { input += text; });
    }

    // Opens `name` with errors reported to the handler only; returns its simulated line.
    sim::SimSerialLine& OpenQuietly(const std::string& name = kCom) {
        port->SetOnErrorCOM(false);
        auto& line = serial.Line(name);
        EXPECT_NE(port->CommOpen(name, 8192, 1024), 0u);
        return line;
    }

    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    std::shared_ptr<PCCommPort> port = PCCommPort::Create();
    std::vector<Report> errors;
    std::string input;
    bool raiseErrors = true;
    Connection errorConn, inputConn;
};

TEST_F(PCCommPortTest, OpenPreparesTheDeviceAndReadsItsConfiguration) {
    auto& line = serial.Line(kCom);
    line.state.SetBaudRate(250000);
    line.state.Set8(Dcb::kByteSize, 7);
    int opened = 0;
    Connection c = port->OnOpen.Connect([&] { ++opened; });

    EXPECT_NE(port->CommOpen(kCom, 8192, 1024), 0u);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(port->PropBaudRate(), 0);  // not a rate of the table
    EXPECT_EQ(port->PropBaudRateValue(), 250000u);
    EXPECT_EQ(port->PropByteSizeValue(), 7);
    EXPECT_EQ(line.timeouts.ReadTotalTimeoutConstant, 10u);
    EXPECT_TRUE(line.pendingRead);  // the first read is under way
    EXPECT_TRUE(errors.empty());
}

// Input waiting at the open arrives with the first read, and its handler closes the port
// again: the owner still hears OnOpen, and before OnClose.
TEST_F(PCCommPortTest, AnInputHandlerClosingThePortAtOnceFollowsOnOpen) {
    auto& line = serial.Line(kCom);
    line.immediateReads = true;
    line.Feed("RING\r\n");
    std::string events;
    Connection o = port->OnOpen.Connect([&] { events += "open "; });
    Connection i = port->OnInput.Connect([&](const std::string&) {
        events += "input ";
        port->CommClose();
    });
    Connection c = port->OnClose.Connect([&] { events += "close "; });
    EXPECT_EQ(port->CommOpen(kCom, 8192, 1024), 0u);
    EXPECT_EQ(events, "open input close ");
    EXPECT_FALSE(port->PortOpen());
}

TEST_F(PCCommPortTest, OpenFailuresReportTheSystemCodeAndRaiseUnlessTheHandlerDeclines) {
    try {
        port->CommOpen("\\\\.\\COM9", 8192, 1024);
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 2);
        EXPECT_EQ(e.Source(), "CCommPort::CommOpen");
        EXPECT_EQ(e.Description(), "Unable to open communications device");
    }
    raiseErrors = false;
    serial.Line(kCom4).openError = 5;
    EXPECT_EQ(port->CommOpen(kCom4, 8192, 1024), 0u);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_EQ(errors[1],
              (Report{5, "CCommPort::CommOpen", "Unable to open communications device"}));
    EXPECT_FALSE(port->PortOpen());
    EXPECT_EQ(port->DevName(), "");
}

TEST_F(PCCommPortTest, CloseReportsOnlyForAnOpenDevice) {
    int closed = 0;
    uintptr_t handleInside = 0;
    std::string nameInside;
    Connection c = port->OnClose.Connect([&] {
        ++closed;
        // Raised before the handle and name are given up.
        handleInside = port->PortOpen() ? port->DevHandle() : 0;
        nameInside = port->DevName();
    });
    EXPECT_FALSE(port->CommClose());
    EXPECT_TRUE(errors.empty());

    OpenQuietly();
    const uintptr_t handle = port->DevHandle();
    EXPECT_TRUE(port->CommClose());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(handleInside, handle);
    EXPECT_EQ(nameInside, kCom);
    EXPECT_FALSE(port->PortOpen());
    EXPECT_EQ(port->DevHandle(), 0u);
    EXPECT_EQ(port->DevName(), "");

    OpenQuietly().failClose = true;
    EXPECT_FALSE(port->CommClose());
    EXPECT_EQ(closed, 1);
    const std::vector<Report> expected = {
        {31010, "CCommPort::CommClose", "Unable to close communications device"}};
    EXPECT_EQ(errors, expected);
    EXPECT_FALSE(port->PortOpen());  // the handle is gone all the same
}

TEST_F(PCCommPortTest, OperationsOnAClosedPortReportNotOpen) {
    port->SetOnErrorCOM(false);
    EXPECT_FALSE(port->CommOutput("AT\r\n") || port->TimeoutsGet() || port->TimeoutsSet() ||
                 port->PropStateGet() || port->PropStateSet() || port->Status(1));
    std::vector<std::string> sources;
    for (const auto& e : errors) {
        EXPECT_EQ(e.number, 31011);
        EXPECT_EQ(e.description, "Communication Device is not open");
        sources.push_back(e.source.substr(11));  // after "CCommPort::"
    }
    EXPECT_EQ(sources, (std::vector<std::string>{"CommOutput", "TimeoutsGet", "TimeoutsSet",
                                                 "PropStateGet", "PropStateSet", "Get_Status"}));
}

// Out-of-range indices and values are reported by the property that got them and never
// reach the device record.
TEST_F(PCCommPortTest, InvalidSettingsReportAndLeaveTheRecordUnchanged) {
    const std::vector<std::pair<std::function<void(PCCommPort&)>, std::string>> cases = {
        {[](PCCommPort& p) { p.SetPropFlag(0, true); }, "Let_PropFlag"},
        {[](PCCommPort& p) { p.PropFlag(11); }, "Get_PropFlag"},
        {[](PCCommPort& p) { p.SetPropChar(6, 1); }, "Let_PropChar"},
        {[](PCCommPort& p) { p.PropChar(0); }, "Get_PropChar"},
        {[](PCCommPort& p) { p.SetPropLimit(3, 1); }, "Let_PropLimit"},
        {[](PCCommPort& p) { p.PropLimit(0); }, "Get_PropLimit"},
        {[](PCCommPort& p) { p.SetTimeouts(6, 1); }, "Let_Timeouts"},
        {[](PCCommPort& p) { p.Timeouts(0); }, "Get_Timeouts"},
        {[](PCCommPort& p) { p.SetPropStopBits(3); }, "Let_PropStopBits"},
        {[](PCCommPort& p) { p.SetPropParity(5); }, "Let_PropParity"},
        {[](PCCommPort& p) { p.SetPropByteSize(6); }, "Let_PropByteSize"},
        {[](PCCommPort& p) { p.PropFlowControl(3); }, "Get_PropFlowControl"},
        {[](PCCommPort& p) { p.SetPropFlowControl(2, 4); }, "Let_PropFlowControl"},
        {[](PCCommPort& p) { p.PropBaudRateEnumValue(16); }, "PropBaudRateEnumValue"},
        {[](PCCommPort& p) { p.Status(5); }, "Get_Status"},
    };
    OpenQuietly();
    ASSERT_TRUE(port->PropStateSet());
    const Dcb before = serial.Line(kCom).state;
    for (size_t i = 0; i < cases.size(); ++i) {
        errors.clear();
        cases[i].first(*port);
        ASSERT_EQ(errors.size(), 1u) << i;
        EXPECT_EQ(errors[0].number, 31000) << i;
        EXPECT_EQ(errors[0].source, "CCommPort::" + cases[i].second) << i;
    }
    ASSERT_TRUE(port->PropStateSet());
    EXPECT_EQ(serial.Line(kCom).state.Bytes(), before.Bytes());
    EXPECT_EQ(port->Timeouts(5), 1u);
}

// Baud rate and byte size are set by their position in a table; a bad position reports
// (from the lookup and from the property) and changes nothing.
TEST_F(PCCommPortTest, PositionsSelectTheirValues) {
    port->SetOnErrorCOM(false);
    port->SetPropBaudRate(7);
    port->SetPropBaudRate(16);
    EXPECT_EQ(errors.size(), 2u);
    EXPECT_EQ(port->PropBaudRateValue(), 9600u);
    port->SetPropByteSize(2);
    EXPECT_EQ(port->PropByteSizeValue(), 5);
}

TEST_F(PCCommPortTest, StatusAsksTheDeviceForEachModemLine) {
    auto& line = OpenQuietly();
    line.modemStatus = platform::kMsDsrOn | platform::kMsRlsdOn;
    std::vector<bool> lines;
    for (int32_t i = 1; i <= 4; ++i) lines.push_back(port->Status(i));
    EXPECT_EQ(lines, (std::vector<bool>{false, true, false, true}));
    line.failModemStatus = true;
    EXPECT_FALSE(port->Status(2));
    const std::vector<Report> expected = {
        {31012, "CCommPort::Get_Status", "GetCommModemStatus Failed"}};
    EXPECT_EQ(errors, expected);
}

TEST_F(PCCommPortTest, LongOutputGoesOutInChunksEachAfterThePreviousCompleted) {
    auto& line = OpenQuietly();
    line.writesPend = true;
    EXPECT_TRUE(port->CommOutput(std::string(3000, 'x')));
    std::vector<size_t> sizes;
    for (int round = 0; round < 5; ++round) {
        port->PollWrite();  // nothing happens until the device finishes the write
        sizes.clear();
        for (const auto& w : line.writes) sizes.push_back(w.size());
        line.CompleteWrite();
        port->PollWrite();
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{1024, 1024, 952}));
}

TEST_F(PCCommPortTest, ANulEndsItsChunkAndIsSent) {
    auto& line = OpenQuietly();
    line.writesPend = true;
    port->CommOutput(std::string("A\0B", 3));
    line.CompleteWrite();
    port->PollWrite();
    EXPECT_EQ(line.writes, (std::vector<std::string>{std::string("A\0", 2), "B"}));
}

TEST_F(PCCommPortTest, FailedOperationsReportTheirNumbers) {
    auto& line = OpenQuietly();
    line.failWriteError = 1167;
    EXPECT_FALSE(port->CommOutput("AT\r\n"));
    line.Feed("x");
    port->PollRead();
    line.failReadError = 31;
    line.failEventWatch = true;
    port->Poll();
    const std::vector<Report> expected = {
        {1167, "CCommPort::CommOutput", "Error output data"},
        {31013, "CCommPort::pStartInput", "Failure on Comm device read operation"},
        {31014, "CCommPort::pStartEventWatch", "Failure on Comm device event test operation"}};
    EXPECT_EQ(errors, expected);
}

TEST_F(PCCommPortTest, ReadsAreCollectedByPollAndRestartedOnTheNext) {
    auto& line = OpenQuietly();
    port->PollRead();
    EXPECT_EQ(input, "");
    line.Feed(std::string(1500, 'a') + std::string("\xff\0", 2));
    port->PollRead();  // collects what the pending read got
    EXPECT_EQ(input.size(), 1024u);
    EXPECT_FALSE(line.pendingRead);
    port->PollRead();  // starts the next read
    EXPECT_EQ(input.size(), 1024u);
    port->PollRead();
    EXPECT_EQ(input.size(), 1502u);
    EXPECT_EQ(input.substr(1500), std::string("\xff\0", 2));  // one character per byte
}

TEST_F(PCCommPortTest, LineErrorsAreRaisedOncePerBitInKindOrder) {
    auto& line = OpenQuietly();
    std::vector<int32_t> kinds;
    Connection c = port->OnLineError.Connect([&](int32_t kind) { kinds.push_back(kind); });
    port->Poll();  // starts the watch
    EXPECT_TRUE(kinds.empty());
    line.RaiseLineErrors(platform::kCeTxFull | platform::kCeFrame | platform::kCeRxOver);
    port->Poll();
    EXPECT_EQ(kinds, (std::vector<int32_t>{1, 4, 6}));
    port->Poll();
    port->Poll();
    EXPECT_EQ(kinds.size(), 3u);
}

// A read and a write still under way when the device closed complete empty: their bytes
// never reach the next device opened, nor its input.
TEST_F(PCCommPortTest, OperationsLeftPendingByAClosedDeviceCompleteEmpty) {
    OpenQuietly().writesPend = true;  // its read stays pending
    port->CommOutput(std::string(2000, 'x'));
    port->CommClose();
    serial.Line(kCom4).Feed("waiting");
    auto& next = OpenQuietly(kCom4);
    EXPECT_FALSE(next.pendingRead);           // no read starts while the old one counts as pending
    EXPECT_TRUE(port->CommOutput("AT\r\n"));  // queued behind the old write's slot
    port->Poll();
    EXPECT_EQ(input, "");
    EXPECT_EQ(next.writes, (std::vector<std::string>{"AT\r\n"}));
    port->PollRead();
    port->PollRead();
    EXPECT_EQ(input, "waiting");
}

TEST_F(PCCommPortTest, AnInputHandlerMaySendAndCloseWithoutPollReportingNotOpen) {
    auto& line = OpenQuietly();
    port->SetOnErrorCOM(true);
    Connection c = port->OnInput.Connect([&](const std::string&) {
        port->CommOutput("ATI\r\n");
        port->CommClose();
    });
    line.Feed("hello");
    EXPECT_NO_THROW(port->Poll());  // the event watch that would start next is skipped
    EXPECT_EQ(line.commands, (std::vector<std::string>{"ATI"}));
    EXPECT_FALSE(port->PortOpen());
    EXPECT_TRUE(errors.empty());
}

// The owner drops its only reference from inside each of the port's events.
TEST_F(PCCommPortTest, OwnerMayDropThePortFromInsideItsEvents) {
    auto dropOn = [this](auto& event) {
        return event.Connect([this](auto&&...) { port.reset(); });
    };
    {
        Connection c = dropOn(port->OnInput);
        OpenQuietly().Feed("x");
        port->Poll();
        EXPECT_EQ(port, nullptr);
    }
    {
        port = PCCommPort::Create();
        Connection c = dropOn(port->OnClose);
        OpenQuietly();
        port->CommClose();
        EXPECT_EQ(port, nullptr);
    }
    {
        port = PCCommPort::Create();
        port->SetOnErrorCOM(false);
        Connection c = dropOn(port->OnError);
        port->CommOpen("\\\\.\\COM9", 8192, 1024);
        EXPECT_EQ(port, nullptr);
    }
    {
        port = PCCommPort::Create();
        Connection c = dropOn(port->OnLineError);
        auto& line = OpenQuietly();
        port->Poll();
        line.RaiseLineErrors(platform::kCeBreak | platform::kCeOverrun);
        port->Poll();
        EXPECT_EQ(port, nullptr);
    }
}

}  // namespace
}  // namespace tarvelin
