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

class PCCommPortTest : public ::testing::Test {
  protected:
    PCCommPortTest() {
        sim.platform.serial = &serial;
        errorConn = port->OnError.Connect(
            [this](int32_t n, const std::string&, const std::string&, bool& raise) {
                errors.push_back(n);
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
    std::vector<int32_t> errors;  // the numbers reported
    std::string input;
    bool raiseErrors = true;
    Connection errorConn, inputConn;
};

TEST_F(PCCommPortTest, OpenReadsTheConfigurationOrReportsTheSystemCode) {
    auto& line = serial.Line(kCom);
    line.state.SetBaudRate(250000);
    line.state.Set8(Dcb::kByteSize, 7);
    EXPECT_NE(port->CommOpen(kCom, 8192, 1024), 0u);
    EXPECT_EQ(port->PropBaudRate(), 0);  // not a rate of the table
    EXPECT_EQ(port->PropBaudRateValue(), 250000u);
    EXPECT_EQ(port->PropByteSizeValue(), 7);
    EXPECT_TRUE(line.pendingRead);  // the first read is under way

    port->CommClose();
    EXPECT_THROW(port->CommOpen("\\\\.\\COM9", 8192, 1024), AppError);
    raiseErrors = false;  // the handler declines: the caller just gets 0
    serial.Line(kCom4).openError = 5;
    EXPECT_EQ(port->CommOpen(kCom4, 8192, 1024), 0u);
    EXPECT_EQ(errors, (std::vector<int32_t>{2, 5}));
    EXPECT_FALSE(port->PortOpen());
}

// Input waiting at the open arrives with the first read, and its handler closes the port
// again: the owner still hears OnOpen, and before OnClose. Closing from the handler during a
// poll skips the event watch that would start next, without a "not open" report.
TEST_F(PCCommPortTest, AnInputHandlerMaySendAndCloseThePort) {
    auto& line = serial.Line(kCom);
    line.immediateReads = true;
    line.Feed("RING\r\n");
    std::string events;
    Connection o = port->OnOpen.Connect([&] { events += "open "; });
    Connection i = port->OnInput.Connect([&](const std::string&) {
        events += "input ";
        port->CommOutput("ATI\r\n");
        port->CommClose();
    });
    Connection c = port->OnClose.Connect([&] { events += "close "; });
    EXPECT_EQ(port->CommOpen(kCom, 8192, 1024), 0u);
    EXPECT_EQ(events, "open input close ");

    line.immediateReads = false;
    OpenQuietly();
    port->SetOnErrorCOM(true);
    line.Feed("hello");
    EXPECT_NO_THROW(port->Poll());
    EXPECT_EQ(line.commands, (std::vector<std::string>{"ATI", "ATI"}));
    EXPECT_FALSE(port->PortOpen());
    EXPECT_TRUE(errors.empty());
}

TEST_F(PCCommPortTest, CloseReportsOnlyForAnOpenDevice) {
    int closed = 0;
    uintptr_t handleInside = 0;
    Connection c = port->OnClose.Connect([&] {
        ++closed;
        // Raised before the handle is given up.
        handleInside = port->PortOpen() ? port->DevHandle() : 0;
    });
    EXPECT_FALSE(port->CommClose());
    EXPECT_TRUE(errors.empty());

    OpenQuietly();
    const uintptr_t handle = port->DevHandle();
    EXPECT_TRUE(port->CommClose());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(handleInside, handle);

    OpenQuietly().failClose = true;
    EXPECT_FALSE(port->CommClose());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(errors, (std::vector<int32_t>{31010}));
    EXPECT_FALSE(port->PortOpen());  // the handle is gone all the same
}

// Operations on a closed port report "not open"; out-of-range indices and values are
// reported and never reach the device record.
TEST_F(PCCommPortTest, InvalidRequestsReportAndLeaveTheRecordUnchanged) {
    port->SetOnErrorCOM(false);
    EXPECT_FALSE(port->CommOutput("AT\r\n") || port->TimeoutsGet() || port->Status(1));
    OpenQuietly();
    ASSERT_TRUE(port->PropStateSet());
    const Dcb before = serial.Line(kCom).state;
    port->SetPropFlag(0, true);
    port->SetPropChar(6, 1);
    port->SetPropLimit(3, 1);
    port->SetTimeouts(6, 1);
    port->SetPropStopBits(3);
    port->SetPropByteSize(6);
    port->SetPropFlowControl(2, 4);
    port->SetPropBaudRate(16);  // reported by the table lookup and by the property
    port->Status(5);
    EXPECT_EQ(errors.size(), 13u);  // three "not open", then one per invalid value
    ASSERT_TRUE(port->PropStateSet());
    EXPECT_EQ(serial.Line(kCom).state.Bytes(), before.Bytes());
    EXPECT_EQ(port->Timeouts(5), 1u);
    port->SetPropBaudRate(7);  // positions select their values from the tables
    port->SetPropByteSize(2);
    EXPECT_EQ(port->PropBaudRateValue(), 9600u);
    EXPECT_EQ(port->PropByteSizeValue(), 5);
}

// Long output goes out in chunks, each after the previous completed; a NUL ends its chunk.
TEST_F(PCCommPortTest, OutputGoesOutInChunksEachAfterThePreviousCompleted) {
    auto& line = OpenQuietly();
    line.writesPend = true;
    EXPECT_TRUE(port->CommOutput(std::string(2999, 'x') + std::string("\0B", 2)));
    port->PollWrite();
    EXPECT_EQ(line.writes.size(), 1u);  // nothing more until the device finishes the write
    for (int round = 0; round < 4; ++round, port->PollWrite()) line.CompleteWrite();
    std::vector<size_t> sizes;
    for (const auto& w : line.writes) sizes.push_back(w.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{1024, 1024, 952, 1}));
    EXPECT_EQ(line.writes[2].back(), '\0');
}

TEST_F(PCCommPortTest, FailedOperationsReportTheirNumbers) {
    auto& line = OpenQuietly();
    line.failModemStatus = true;
    EXPECT_FALSE(port->Status(2));
    line.failIo = 1167;
    EXPECT_FALSE(port->CommOutput("AT\r\n"));
    line.Feed("x");
    port->PollRead();  // the pending read completes, the next one fails to start
    port->Poll();
    EXPECT_EQ(errors, (std::vector<int32_t>{31012, 1167, 31013, 31014}));
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

// The owner drops its only reference from inside each of the port's events: the steps run
// until one of them raises the event whose handler drops the port.
TEST_F(PCCommPortTest, OwnerMayDropThePortFromInsideItsEvents) {
    const auto drop = [this](auto&&...) { port.reset(); };
    const std::function<Connection(PCCommPort&)> droppers[] = {
        [&](PCCommPort& p) { return p.OnError.Connect(drop); },
        [&](PCCommPort& p) { return p.OnInput.Connect(drop); },
        [&](PCCommPort& p) { return p.OnLineError.Connect(drop); },
        [&](PCCommPort& p) { return p.OnClose.Connect(drop); },
    };
    auto& line = serial.Line(kCom);
    const std::function<void()> steps[] = {
        [&] { port->CommOpen("\\\\.\\COM9", 8192, 1024); },
        [&] { port->CommOpen(kCom, 8192, 1024); },
        [&] { port->Poll(); },
        [&] {
            line.RaiseLineErrors(platform::kCeBreak | platform::kCeOverrun);
            port->Poll();
        },
        [&] { port->CommClose(); },
    };
    for (size_t i = 0; i < std::size(droppers); ++i) {
        port = PCCommPort::Create();
        port->SetOnErrorCOM(false);
        Connection c = droppers[i](*port);
        line.Feed("x");
        for (const auto& step : steps)
            if (port) step();
        EXPECT_EQ(port, nullptr) << i;
    }
}

}  // namespace
}  // namespace tarvelin
