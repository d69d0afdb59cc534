// The RAS and Internet-option adapters against Wine 8. Its RAS library is mostly stubs that
// answer success: an empty phone book and no connections, every entry name valid, entry
// properties and dial parameters "read" and "written" without touching anything; only the
// device list is real (one virtual modem). Its dial dialog is an unimplemented export that
// aborts the process, so it is never called here. Its Internet library keeps one set of
// proxy options for every connection name, drops the direct flag once a proxy is set,
// answers no bypass list and refuses the refresh notification.
#include <gtest/gtest.h>
#include <windows.h>

#include <ras.h>
#include <wininet.h>

#include <cstring>

#include "platform/win32/Win32InternetOptions.h"
#include "platform/win32/Win32Ras.h"

namespace tarvelin {
namespace {

using namespace platform;
constexpr uint32_t kListSize = sizeof(INTERNET_PER_CONN_OPTION_LISTW);

// A record of size bytes whose size field says declared.
std::vector<uint8_t> Record(size_t size, uint32_t declared) {
    std::vector<uint8_t> record(size);
    std::memcpy(record.data(), &declared, sizeof declared);
    return record;
}

std::vector<PerConnOption> ProxyOptions(uint32_t flags, std::optional<std::string> server) {
    return {{kPerConnFlags, flags, {}},
            {kPerConnProxyServer, 0, server},
            {kPerConnProxyBypass, 0, "<local>"},
            {kPerConnAutoConfigUrl, 0, {}}};
}

class DialupInternetOptionsTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(net.QueryPerConnection(nullptr, saved, kListSize)); }
    void TearDown() override { EXPECT_TRUE(net.SetPerConnection(nullptr, saved, kListSize)); }
    Win32InternetOptions net;
    std::vector<PerConnOption> saved = ProxyOptions(0, {});
};

TEST_F(DialupInternetOptionsTest, ProxyRoundTripsForTheLocalNetworkAndANamedConnection) {
    const std::string named = "Tarvelin test";
    for (const std::string* connection : {static_cast<const std::string*>(nullptr), &named}) {
        const std::string server = connection ? "named.test:8080" : "lan.test:3128";
        ASSERT_TRUE(net.SetPerConnection(connection, ProxyOptions(3, server), kListSize));
        auto read = ProxyOptions(0, "stale");
        ASSERT_TRUE(net.QueryPerConnection(connection, read, kListSize));
        EXPECT_EQ(read[0].number & PROXY_TYPE_PROXY, PROXY_TYPE_PROXY);
        EXPECT_EQ(read[1].text, server);
        EXPECT_FALSE(read[3].text);
    }
    EXPECT_TRUE(net.Notify(kInternetOptionSettingsChanged));
    EXPECT_FALSE(net.Notify(kInternetOptionRefresh));  // Wine: not for the default session
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_INCORRECT_HANDLE_TYPE));
}

// The list size is the target's record size: a shorter one (the 32-bit size in a 64-bit
// program) is refused by the system, a longer one by the adapter before the system reads.
// Nothing is set here: tests run in parallel, and only one may change the settings.
TEST(DialupInternetOptions, ListSizeOtherThanTheRecordIsRefused) {
    Win32InternetOptions net;
    for (const auto& [size, error] : {std::pair{kListSize - 4, ERROR_INSUFFICIENT_BUFFER},
                                      std::pair{kListSize + 8, ERROR_INVALID_PARAMETER}}) {
        auto options = ProxyOptions(0, {});
        EXPECT_FALSE(net.QueryPerConnection(nullptr, options, size));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(error)) << size;
    }
}

TEST(DialupRasTest, WineAnswersOneVirtualModemAndAnEmptyPhoneBook) {
    Win32Ras ras;
    uint32_t bytes = 0, count = 0;
    ASSERT_EQ(ras.EnumDevices(nullptr, bytes, count), kRasErrorBufferTooSmall);
    ASSERT_EQ(count, 1u);
    auto devices = Record(bytes, bytes);
    ASSERT_EQ(ras.EnumDevices(&devices, bytes, count), 0u);
    EXPECT_STREQ(reinterpret_cast<char*>(devices.data() + 4), "modem");
    auto entries = Record(sizeof(RASENTRYNAMEA), sizeof(RASENTRYNAMEA));
    bytes = sizeof(RASENTRYNAMEA);
    EXPECT_EQ(ras.EnumEntries(entries, bytes, count), 0u);
    EXPECT_EQ(count, 0u);
    EXPECT_EQ(ras.EnumConnections(entries, bytes, count), 0u);
    EXPECT_EQ(count, 0u);
    // The size query of the default entry answers success and no size (Windows: 603).
    uint32_t size = 0;
    EXPECT_EQ(ras.GetEntryProperties("", nullptr, size), 0u);
    EXPECT_EQ(size, 0u);
    EXPECT_EQ(ras.ValidateEntryName("bad\\name"), 0u);
    EXPECT_EQ(ras.GetConnectionStatistics(0x1234, devices), 635u);  // ERROR_UNKNOWN
    // Its connection status never goes away: the hang-up's wait has to end on its own.
    EXPECT_EQ(ras.HangUp(0x1234), 0u);
}

// A record whose size field or byte count promises more than its buffer never reaches the
// system, which would write that many bytes.
TEST(DialupRasTest, RecordLargerThanItsBufferIsRefused) {
    Win32Ras ras;
    auto record = Record(8, 60);
    uint32_t bytes = 16, count = 0;
    bool stored = false;
    EXPECT_EQ(ras.GetEntryDialParams(record, stored), Win32Ras::kRasErrorInvalidParameter);
    EXPECT_EQ(ras.GetConnectionStatistics(1, record), Win32Ras::kRasErrorInvalidParameter);
    EXPECT_EQ(ras.EnumEntries(record, bytes, count), Win32Ras::kRasErrorInvalidParameter);
    EXPECT_EQ(ras.GetEntryProperties("", &record, bytes), Win32Ras::kRasErrorInvalidParameter);
}

}  // namespace
}  // namespace tarvelin
