// The phone-book layer and connection creation on a simulated RAS service, run once with the
// 32-bit record layouts and once with the 64-bit ones.
#include <gtest/gtest.h>

#include "dialup/modAppRAS.h"
#include "dialup/modAppWinInet.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using Call = sim::SimRas::Call;

class PhoneBookTest : public ::testing::TestWithParam<const RasLayout*> {
  protected:
    void SetUp() override { SetCurrentRasLayout(*GetParam()); }
    void TearDown() override { SetCurrentRasLayout(kRasLayoutX86); }
    size_t Calls(const std::string& name) const {
        return std::count(ras.calls.begin(), ras.calls.end(), name);
    }

    sim::SimPlatform sim;
    sim::SimRas& ras = sim.ras;
};

TEST_P(PhoneBookTest, DevicesOfTypeModemInAnyCase) {
    std::vector<RasDeviceInfo> devices;
    EXPECT_EQ(GetRasDevices(devices), 0u);
    EXPECT_FALSE(HasModemDevice());
    ras.devices = {{"ISDN adapter", "isdn"}, {"VPN", "vpn"}};
    EXPECT_FALSE(HasModemDevice());
    ras.devices.push_back({"Nokia 6230 (кабель)", "MoDeM"});
    ASSERT_EQ(GetRasDevices(devices), 3u);
    EXPECT_EQ(devices[2].DeviceName, "Nokia 6230 (кабель)");
    EXPECT_TRUE(HasModemDevice());

    // Odd answers: no devices with bytes, a byte count that is no multiple of the count.
    ras.devicesReply = std::pair<uint32_t, uint32_t>{600, 0};
    EXPECT_EQ(GetRasDevices(devices), 0u);
    ras.devicesReply = std::pair<uint32_t, uint32_t>{301, 3};
    EXPECT_LE(GetRasDevices(devices), 3u);
}

TEST_P(PhoneBookTest, LargePhoneBookIsCountedAndListedInOrder) {
    for (int i = 0; i < 3000; ++i) ras.AddEntry("Подключение " + std::to_string(i));
    EXPECT_EQ(CountRasEntries(), 3000u);
    std::vector<std::string> entries;
    ASSERT_EQ(GetRasEntries(entries), 3000u);
    EXPECT_EQ(entries.front(), "Подключение 0");
    EXPECT_EQ(entries.back(), "Подключение 2999");
}

TEST_P(PhoneBookTest, ConnectionsListAtMost256AndBlockDeletingTheirEntry) {
    ras.AddEntry("QVT (Nokia)");
    for (int i = 0; i < 300; ++i) ras.Connect("QVT (Nokia)");
    std::vector<RasConnInfo> connections;
    EXPECT_EQ(GetRasConnections(connections), 256u);
    EXPECT_EQ(connections[255].hRasConn, ras.connections[255].handle);
    ras.connectionsCount = 300;  // a system that reports more than it wrote
    EXPECT_EQ(GetRasConnections(connections), 256u);
    ras.connectionsCount.reset();

    // Connected only past the listed ones: still connected.
    ras.AddEntry("Last");
    ras.Connect("Last");
    EXPECT_TRUE(IsEntryConnected("last"));
    EXPECT_FALSE(DeleteEntry({}, "Last"));
    EXPECT_TRUE(IsEntryConnected("qvt (NOKIA)"));
    EXPECT_FALSE(DeleteEntry({}, "QVT (nokia)"));
    EXPECT_EQ(Calls("RasDeleteEntry"), 0u);
    EXPECT_TRUE(ras.Find("QVT (Nokia)"));
    ras.connections.clear();
    EXPECT_TRUE(DeleteEntry({}, "QVT (nokia)"));
    EXPECT_FALSE(ras.Find("QVT (Nokia)"));
}

// Which groups of an entry survive depends on the size of the system's record.
TEST_P(PhoneBookTest, EntryPropertiesAtEachRecordSize) {
    RasEntryInfo written;
    written.szDeviceName = std::string(200, 'D');  // longer than either device-name field
    written.szLocalPhoneNumber = "*99#";
    written.dwIdleDisconnectSeconds = 600;
    written.dwType = 1;
    written.szDnsSuffix = "qvt.ru";
    const struct {
        uint32_t size;
        size_t nameLength;
        bool dialMode, type, suffix;
    } cases[] = {{1672, 32, false, false, false},
                 {1768, 128, false, false, false},
                 {1796, 128, true, false, false},
                 {2088, 128, true, true, false},
                 {sim::kSimRasEntryFullSize, 128, true, true, true}};
    for (const auto& c : cases) {
        ras.entrySize = c.size;
        ASSERT_TRUE(WriteEntryProperties({}, "Entry", written)) << c.size;
        RasEntryInfo read;
        ASSERT_TRUE(ReadEntryProperties({}, "Entry", read)) << c.size;
        EXPECT_EQ(read.szDeviceName, std::string(c.nameLength, 'D')) << c.size;
        EXPECT_EQ(read.szLocalPhoneNumber, "*99#");
        EXPECT_EQ(read.dwIdleDisconnectSeconds, c.dialMode ? 600u : 0u) << c.size;
        EXPECT_EQ(read.szDnsSuffix, c.suffix ? "qvt.ru" : "") << c.size;
        ras.DeleteEntry("Entry");
    }
    // Sizes no record has are refused without a second call.
    RasEntryInfo read;
    for (uint32_t size : {0u, 0x7FFFFFFFu}) {
        ras.entrySizeReply = size;
        EXPECT_FALSE(ReadEntryProperties({}, "Entry", read));
    }
}

TEST_P(PhoneBookTest, AlternateNumbersAreReadWithTheRecordSizeKept) {
    RasEntryInfo written;
    written.AlternateNumbers = std::string(
        "111\0"
        "222\0\0",
        9);
    ASSERT_TRUE(WriteEntryProperties({}, "Entry", written));
    RasEntryInfo read;
    ASSERT_TRUE(ReadEntryProperties({}, "Entry", read));
    EXPECT_EQ(read.AlternateNumbers.substr(0, 8), std::string("111\0"
                                                              "222\0",
                                                              8));
    ras.Find("Entry")->alternateOffset = 0x7FFFFFF0;  // past the end: not read
    read.AlternateNumbers = "kept";
    ASSERT_TRUE(ReadEntryProperties({}, "Entry", read));
    EXPECT_EQ(read.AlternateNumbers, "kept");
}

// The old record's entry-name field holds 20 characters: a longer name never goes through it,
// where it would be cut into another entry's name.
TEST_P(PhoneBookTest, DialParamsFallBackToTheSizesTheSystemTakes) {
    const auto& sizes = GetParam()->dialParamsSizes;
    ras.AddEntry("Short");
    ras.AddEntry("QVT (Nokia 6230i, COM5)");
    ras.AddEntry("QVT (Nokia 6230i, CO");
    ras.dialParamsSizes = {sizes[2]};
    EXPECT_TRUE(WriteDialParams({}, {"Short", "*99#", {}, "qvt", "dfk", {}}));
    EXPECT_FALSE(WriteDialParams({}, {"QVT (Nokia 6230i, COM5)", "*99#", {}, "qvt", "x", {}}));
    EXPECT_FALSE(ras.Find("QVT (Nokia 6230i, CO")->passwordStored);
    ras.dialParamsSizes = {sizes[1]};
    EXPECT_TRUE(WriteDialParams({}, {"QVT (Nokia 6230i, COM5)", "*99#", {}, "qvt", "dfk", {}}));
    RasDialInfo read;
    ASSERT_TRUE(ReadDialParams({}, "QVT (Nokia 6230i, COM5)", read));
    EXPECT_EQ(read.UserName + "/" + read.Password, "qvt/dfk");
    ras.dialParamsSizes = {sizes[0]};
    EXPECT_TRUE(ReadDialParams({}, "Short", read));
    EXPECT_EQ(read.UserName, "qvt");
    EXPECT_FALSE(ReadDialParams({}, "Missing", read));
}

TEST_P(PhoneBookTest, DialHangUpAndStatisticsOfAConnection) {
    ras.AddEntry("QVT (Nokia)");
    ras.dialConnects = false;
    EXPECT_FALSE(DialEntry("QVT (Nokia)", 0x1234));
    ras.dialConnects = true;
    ras.receiveRate = 1000;
    ASSERT_TRUE(DialEntry("QVT (Nokia)", 0x1234));
    std::vector<RasConnInfo> connections;
    ASSERT_EQ(GetRasConnections(connections), 1u);
    sim.loop.Advance(5000);
    std::vector<uint8_t> stats(GetParam()->statsSize);
    stats[0] = static_cast<uint8_t>(GetParam()->statsSize);
    ASSERT_TRUE(GetConnectionStats(connections[0].hRasConn, stats));
    EXPECT_EQ(ReadRasNumber(stats, {8, 4}), 5000u);  // bytes received
    EXPECT_TRUE(HangUpConnection(connections[0].hRasConn));
    EXPECT_FALSE(HangUpConnection(connections[0].hRasConn));
    EXPECT_FALSE(GetConnectionStats(connections[0].hRasConn, stats));
}

INSTANTIATE_TEST_SUITE_P(BothLayouts, PhoneBookTest,
                         ::testing::Values(&kRasLayoutX86, &kRasLayoutX64),
                         [](const auto& info) { return info.index ? "x64" : "x86"; });

}  // namespace
}  // namespace tarvelin
