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

    void OpenQuietly(const std::string& name = kCom) {
        port->SetOnErrorCOM(false);
        serial.Line(name);
        ASSERT_NE(port->CommOpen(name, 8192, 1024), 0u);
    }

    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    std::shared_ptr<PCCommPort> port = PCCommPort::Create();
    std::vector<Report> errors;
    std::string input;
    bool raiseErrors = true;
    Connection errorConn, inputConn;
};

TEST(DcbTest, FieldsSitAtTheirWindowsOffsetsLittleEndian) {
    Dcb dcb;
    EXPECT_EQ(dcb.Bytes()[0], 28);  // length field
    dcb.SetBaudRate(0x01C200);      // 115200
    EXPECT_EQ(dcb.Bytes()[4], 0x00);
    EXPECT_EQ(dcb.Bytes()[5], 0xC2);
    EXPECT_EQ(dcb.Bytes()[6], 0x01);
    dcb.SetFlag(Dcb::kRtsControl, 3, 2);
    dcb.SetFlag(14, 1);
    EXPECT_EQ(dcb.Bytes()[9], 0x70);  // bits 12, 13, 14 of the flag word
    dcb.SetFlag(Dcb::kRtsControl, 1, 2);
    EXPECT_EQ(dcb.Flag(Dcb::kRtsControl, 2), 1u);
    EXPECT_EQ(dcb.Bytes()[9], 0x50);
    dcb.Set16(Dcb::kXoffLim, 1948);
    EXPECT_EQ(dcb.Bytes()[16], 1948 & 0xFF);
    EXPECT_EQ(dcb.Bytes()[17], 1948 >> 8);
}

TEST_F(PCCommPortTest, NewPortHoldsTheCreationDefaults) {
    EXPECT_FALSE(port->PropFlag(1));
    for (int32_t i = 2; i <= 10; ++i) EXPECT_TRUE(port->PropFlag(i)) << i;
    const std::vector<uint8_t> chars = {17, 19, '~', 26, 255};
    for (int32_t i = 1; i <= 5; ++i) EXPECT_EQ(port->PropChar(i), chars[i - 1]);
    EXPECT_EQ(port->PropLimit(1), 100);
    EXPECT_EQ(port->PropLimit(2), 1948);
    EXPECT_EQ(port->PropFlowControl(1), 0);
    EXPECT_EQ(port->PropFlowControl(2), 1);
    EXPECT_EQ(port->PropStopBits(), 0);
    EXPECT_EQ(port->PropParity(), 0);
    EXPECT_EQ(port->PropByteSizeValue(), 8);
    EXPECT_EQ(port->PropByteSize(), 5);
    EXPECT_TRUE(port->OnErrorCOM());
    EXPECT_FALSE(port->PortOpen());
    EXPECT_EQ(port->DevHandle(), 0u);
}

TEST_F(PCCommPortTest, FlagIndicesAddressTheirBitsInTheDeviceRecord) {
    const std::vector<int> bits = {1, 2, 3, 6, 7, 8, 9, 10, 11, 14};
    for (int32_t index = 1; index <= 10; ++index) {
        serial.Line(kCom).state = Dcb();
        serial.Line(kCom).state.SetFlag(bits[index - 1], 1);
        OpenQuietly();
        for (int32_t other = 1; other <= 10; ++other) {
            EXPECT_EQ(port->PropFlag(other), other == index) << index << " " << other;
        }
        port->SetPropFlag(index, false);
        port->SetPropFlowControl(1, 2);
        port->SetPropFlowControl(2, 3);
        ASSERT_TRUE(port->PropStateSet());
        EXPECT_EQ(serial.Line(kCom).state.Get32(Dcb::kFlags), (2u << 4) | (3u << 12)) << index;
    }
}

TEST_F(PCCommPortTest, OpenPreparesTheDeviceAndReadsItsConfiguration) {
    auto& line = serial.Line(kCom);
    line.state.SetBaudRate(250000);
    line.state.Set8(Dcb::kByteSize, 7);
    int opened = 0;
    Connection c = port->OnOpen.Connect([&] { ++opened; });

    const uintptr_t handle = port->CommOpen(kCom, 8192, 1024);
    EXPECT_NE(handle, 0u);
    EXPECT_EQ(port->DevHandle(), handle);
    EXPECT_EQ(port->DevName(), kCom);
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(port->PropBaudRate(), 0);  // not a rate of the table
    EXPECT_EQ(port->PropBaudRateValue(), 250000u);
    EXPECT_EQ(port->PropByteSizeValue(), 7);
    const std::vector<uint32_t> timeouts = {1, 0, 10, 1, 1};
    for (int32_t i = 1; i <= 5; ++i) EXPECT_EQ(port->Timeouts(i), timeouts[i - 1]);
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

TEST_F(PCCommPortTest, OpenFailuresReportTheSystemCode) {
    port->SetOnErrorCOM(false);
    serial.Line("\\\\.\\COM4").openError = 5;
    EXPECT_EQ(port->CommOpen("\\\\.\\COM9", 8192, 1024), 0u);
    EXPECT_EQ(port->CommOpen("\\\\.\\COM4", 8192, 1024), 0u);
    const std::vector<Report> expected = {
        {2, "CCommPort::CommOpen", "Unable to open communications device"},
        {5, "CCommPort::CommOpen", "Unable to open communications device"}};
    EXPECT_EQ(errors, expected);
    EXPECT_FALSE(port->PortOpen());
    EXPECT_EQ(port->DevName(), "");
}

TEST_F(PCCommPortTest, OnErrorComRaisesToTheCallerUnlessTheHandlerDeclines) {
    try {
        port->CommOpen("\\\\.\\COM9", 8192, 1024);
        FAIL() << "no error raised";
    } catch (const AppError& e) {
        EXPECT_EQ(e.Number(), 2);
        EXPECT_EQ(e.Source(), "CCommPort::CommOpen");
        EXPECT_EQ(e.Description(), "Unable to open communications device");
    }
    EXPECT_THROW(port->SetPropParity(9), AppError);
    raiseErrors = false;
    EXPECT_NO_THROW(port->SetPropParity(9));
    EXPECT_EQ(errors.size(), 3u);
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

    OpenQuietly();
    serial.Line(kCom).failClose = true;
    EXPECT_FALSE(port->CommClose());
    EXPECT_EQ(closed, 1);
    const std::vector<Report> expected = {
        {31010, "CCommPort::CommClose", "Unable to close communications device"}};
    EXPECT_EQ(errors, expected);
    EXPECT_FALSE(port->PortOpen());  // the handle is gone all the same
}

TEST_F(PCCommPortTest, OperationsOnAClosedPortReportNotOpen) {
    port->SetOnErrorCOM(false);
    EXPECT_FALSE(port->CommOutput("AT\r\n"));
    EXPECT_FALSE(port->TimeoutsGet());
    EXPECT_FALSE(port->TimeoutsSet());
    EXPECT_FALSE(port->PropStateGet());
    EXPECT_FALSE(port->PropStateSet());
    EXPECT_FALSE(port->Status(1));
    const std::string notOpen = "Communication Device is not open";
    const std::vector<Report> expected = {
        {31011, "CCommPort::CommOutput", notOpen},   {31011, "CCommPort::TimeoutsGet", notOpen},
        {31011, "CCommPort::TimeoutsSet", notOpen},  {31011, "CCommPort::PropStateGet", notOpen},
        {31011, "CCommPort::PropStateSet", notOpen}, {31011, "CCommPort::Get_Status", notOpen}};
    EXPECT_EQ(errors, expected);
}

struct SetterCase {
    const char* name;
    std::function<void(PCCommPort&)> call;
    const char* source;
    const char* description;
};

TEST_F(PCCommPortTest, InvalidSettingsReportAndLeaveTheRecordUnchanged) {
    const std::vector<SetterCase> cases = {
        {"flag 0", [](PCCommPort& p) { p.SetPropFlag(0, true); }, "Let_PropFlag",
         "Invalid type flag"},
        {"flag 11", [](PCCommPort& p) { p.PropFlag(11); }, "Get_PropFlag", "Invalid type flag"},
        {"char 6", [](PCCommPort& p) { p.SetPropChar(6, 1); }, "Let_PropChar", "Invalid type char"},
        {"char 0", [](PCCommPort& p) { p.PropChar(0); }, "Get_PropChar", "Invalid type char"},
        {"limit 3", [](PCCommPort& p) { p.SetPropLimit(3, 1); }, "Let_PropLimit",
         "Invalid type comm lim"},
        {"limit 0", [](PCCommPort& p) { p.PropLimit(0); }, "Get_PropLimit",
         "Invalid type comm lim"},
        {"timeout 6", [](PCCommPort& p) { p.SetTimeouts(6, 1); }, "Let_Timeouts",
         "Invalid type timeout"},
        {"timeout 0", [](PCCommPort& p) { p.Timeouts(0); }, "Get_Timeouts", "Invalid type timeout"},
        {"stop bits 3", [](PCCommPort& p) { p.SetPropStopBits(3); }, "Let_PropStopBits",
         "Invalid Stop bits"},
        {"parity 5", [](PCCommPort& p) { p.SetPropParity(5); }, "Let_PropParity",
         "Invalid Parity setting"},
        {"byte size 0", [](PCCommPort& p) { p.SetPropByteSize(0); }, "Let_PropByteSize",
         "Invalid Byte size setting"},
        {"byte size 6", [](PCCommPort& p) { p.SetPropByteSize(6); }, "Let_PropByteSize",
         "Invalid Byte size setting"},
        {"flow get 3", [](PCCommPort& p) { p.PropFlowControl(3); }, "Get_PropFlowControl",
         "Invalid flow control type"},
        {"dtr 3", [](PCCommPort& p) { p.SetPropFlowControl(1, 3); }, "Let_PropFlowControl",
         "Invalid fDtrControl setting"},
        {"rts 4", [](PCCommPort& p) { p.SetPropFlowControl(2, 4); }, "Let_PropFlowControl",
         "Invalid fRtsControl setting"},
        {"flow let 0", [](PCCommPort& p) { p.SetPropFlowControl(0, 0); }, "Let_PropFlowControl",
         "Invalid flow control type"},
        {"enum 16", [](PCCommPort& p) { p.PropBaudRateEnumValue(16); }, "PropBaudRateEnumValue",
         "Invalid baud rate"},
        {"status 5", [](PCCommPort& p) { p.Status(5); }, "Get_Status", "Invalid type comm status"},
    };
    port->SetOnErrorCOM(false);
    OpenQuietly();
    ASSERT_TRUE(port->PropStateSet());
    const Dcb before = serial.Line(kCom).state;
    for (const auto& c : cases) {
        errors.clear();
        c.call(*port);
        const std::vector<Report> expected = {
            {31000, std::string("CCommPort::") + c.source, c.description}};
        EXPECT_EQ(errors, expected) << c.name;
    }
    ASSERT_TRUE(port->PropStateSet());
    EXPECT_EQ(serial.Line(kCom).state.Bytes(), before.Bytes());
    EXPECT_EQ(port->Timeouts(5), 1u);
}

TEST_F(PCCommPortTest, AnInvalidBaudRatePositionReportsTwice) {
    port->SetOnErrorCOM(false);
    port->SetPropBaudRate(7);
    port->SetPropBaudRate(16);
    const std::vector<Report> expected = {
        {31000, "CCommPort::PropBaudRateEnumValue", "Invalid baud rate"},
        {31000, "CCommPort::Let_PropBaudRate", "Invalid baud rate"}};
    EXPECT_EQ(errors, expected);
    EXPECT_EQ(port->PropBaudRate(), 7);
    EXPECT_EQ(port->PropBaudRateValue(), 9600u);
    EXPECT_EQ(PCCommPort::PropBaudRateEnumCount(), 15);
    EXPECT_EQ(port->PropBaudRateEnumValue(15), 256000u);
}

TEST_F(PCCommPortTest, ByteSizeIsStoredPlusThree) {
    port->SetPropByteSize(5);
    EXPECT_EQ(port->PropByteSize(), 5);
    EXPECT_EQ(port->PropByteSizeValue(), 8);
    port->SetPropByteSize(2);
    EXPECT_EQ(port->PropByteSizeValue(), 5);
}

TEST_F(PCCommPortTest, StatusAsksTheDeviceForEachModemLine) {
    OpenQuietly();
    auto& line = serial.Line(kCom);
    line.modemStatus = platform::kMsDsrOn | platform::kMsRlsdOn;
    EXPECT_FALSE(port->Status(1));
    EXPECT_TRUE(port->Status(2));
    EXPECT_FALSE(port->Status(3));
    EXPECT_TRUE(port->Status(4));
    line.failModemStatus = true;
    EXPECT_FALSE(port->Status(2));
    const std::vector<Report> expected = {
        {31012, "CCommPort::Get_Status", "GetCommModemStatus Failed"}};
    EXPECT_EQ(errors, expected);
}

TEST_F(PCCommPortTest, LongOutputGoesOutInChunksEachAfterThePreviousCompleted) {
    OpenQuietly();
    auto& line = serial.Line(kCom);
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
    OpenQuietly();
    auto& line = serial.Line(kCom);
    line.writesPend = true;
    port->CommOutput(std::string("A\0B", 3));
    ASSERT_EQ(line.writes.size(), 1u);
    EXPECT_EQ(line.writes[0], std::string("A\0", 2));
    line.CompleteWrite();
    port->PollWrite();
    ASSERT_EQ(line.writes.size(), 2u);
    EXPECT_EQ(line.writes[1], "B");
}

TEST_F(PCCommPortTest, AFailedWriteReportsTheSystemCode) {
    OpenQuietly();
    serial.Line(kCom).failWriteError = 1167;
    EXPECT_FALSE(port->CommOutput("AT\r\n"));
    const std::vector<Report> expected = {{1167, "CCommPort::CommOutput", "Error output data"}};
    EXPECT_EQ(errors, expected);
}

TEST_F(PCCommPortTest, ReadsAreCollectedByPollAndRestartedOnTheNext) {
    OpenQuietly();
    auto& line = serial.Line(kCom);
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

TEST_F(PCCommPortTest, AReadThatFinishesAtOnceIsDeliveredAtOnce) {
    auto& line = serial.Line(kCom);
    line.immediateReads = true;
    line.Feed("early");
    OpenQuietly();
    EXPECT_EQ(input, "early");  // from the open's first read
    line.Feed("more");
    port->PollRead();
    EXPECT_EQ(input, "earlymore");
}

TEST_F(PCCommPortTest, ReadAndWatchFailuresReportTheirNumbers) {
    OpenQuietly();
    auto& line = serial.Line(kCom);
    line.Feed("x");
    port->PollRead();
    line.failReadError = 31;
    line.failEventWatch = true;
    port->Poll();
    const std::vector<Report> expected = {
        {31013, "CCommPort::pStartInput", "Failure on Comm device read operation"},
        {31014, "CCommPort::pStartEventWatch", "Failure on Comm device event test operation"}};
    EXPECT_EQ(errors, expected);
}

TEST_F(PCCommPortTest, LineErrorsAreRaisedOncePerBitInKindOrder) {
    OpenQuietly();
    std::vector<int32_t> kinds;
    Connection c = port->OnLineError.Connect([&](int32_t kind) { kinds.push_back(kind); });
    port->Poll();  // starts the watch
    EXPECT_TRUE(kinds.empty());
    serial.Line(kCom).RaiseLineErrors(platform::kCeTxFull | platform::kCeFrame |
                                      platform::kCeRxOver);
    port->Poll();
    EXPECT_EQ(kinds, (std::vector<int32_t>{1, 4, 6}));
    port->Poll();
    port->Poll();
    EXPECT_EQ(kinds.size(), 3u);
}

TEST_F(PCCommPortTest, AnOperationLeftPendingByAClosedDeviceIsCollectedEmpty) {
    OpenQuietly();  // its read stays pending
    port->CommClose();
    auto& next = serial.Line("\\\\.\\COM4");
    next.Feed("waiting");
    ASSERT_NE(port->CommOpen("\\\\.\\COM4", 8192, 1024), 0u);
    EXPECT_FALSE(next.pendingRead);  // no read starts while the old one counts as pending
    port->PollRead();
    EXPECT_EQ(input, "");
    port->PollRead();
    port->PollRead();
    EXPECT_EQ(input, "waiting");
}

TEST_F(PCCommPortTest, OutputNotYetWrittenIsNotSentToTheNextDevice) {
    OpenQuietly();
    serial.Line(kCom).writesPend = true;
    port->CommOutput(std::string(2000, 'x'));
    port->CommClose();
    auto& next = serial.Line("\\\\.\\COM4");
    ASSERT_NE(port->CommOpen("\\\\.\\COM4", 8192, 1024), 0u);
    EXPECT_TRUE(port->CommOutput("AT\r\n"));  // queued behind the old write's slot
    port->Poll();
    EXPECT_EQ(next.writes, (std::vector<std::string>{"AT\r\n"}));
}

TEST_F(PCCommPortTest, AnInputHandlerMaySendAndCloseWithoutPollReportingNotOpen) {
    OpenQuietly();
    port->SetOnErrorCOM(true);
    auto& line = serial.Line(kCom);
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
        OpenQuietly();
        Connection c = dropOn(port->OnInput);
        serial.Line(kCom).Feed("x");
        port->Poll();
        EXPECT_EQ(port, nullptr);
    }
    {
        port = PCCommPort::Create();
        OpenQuietly();
        Connection c = dropOn(port->OnClose);
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
        OpenQuietly();
        Connection c = dropOn(port->OnLineError);
        port->Poll();
        serial.Line(kCom).RaiseLineErrors(platform::kCeBreak | platform::kCeOverrun);
        port->Poll();
        EXPECT_EQ(port, nullptr);
    }
}

}  // namespace
}  // namespace tarvelin
