// A new entry with the operator's settings, and the proxy settings of an entry.
#include <gtest/gtest.h>

#include "dialup/modAppRAS.h"
#include "dialup/modAppWinInet.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

constexpr char kModem[] = "Nokia 6230 (кабель)";

class ConnectionCreationTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // The installed modem whose init string the creation stores.
        sim.devices.AddDevice("Modem", platform::kGuidDevClassModem,
                              {{platform::kSpdrpFriendlyName,
                                {platform::kRegSz, sim::SimRegistry::Sz(Utf8ToAnsi(kModem))}}});
        DeviceList list;
        platform::DeviceRecord modem;
        ASSERT_TRUE(FindDeviceByProperty(DeviceClass::Modem, platform::kSpdrpFriendlyName, kModem,
                                         list, modem));
        ASSERT_TRUE(list->CreateKey(modem, platform::DeviceKeyKind::Driver));  // installed
        ras.devices = {{kModem, "modem"}};
    }
    bool Create(const std::string& title, const std::string& detail = {},
                const std::string& number = {}) {
        return CreateModemConnection(kModem, title, detail, number, message, allSet);
    }
    std::string UserInit() {
        std::string init;
        GetModemUserInit(kModem, init);
        return init;
    }

    sim::SimPlatform sim;
    sim::SimRas& ras = sim.ras;
    std::string message;
    bool allSet = false;
};

TEST_F(ConnectionCreationTest, EntryWithTheOperatorsSettings) {
    ASSERT_TRUE(Create("Siemens C65", "  "));
    EXPECT_TRUE(allSet);
    EXPECT_EQ(message, std::string("Подключение для устройства '") + kModem +
                           "' успешно создано.\r\nНазвание подключения: QVT (Siemens C65)");
    RasEntryInfo entry;
    ASSERT_TRUE(ReadEntryProperties({}, "QVT (Siemens C65)", entry));
    EXPECT_EQ(entry.szLocalPhoneNumber, "*99***1#");
    EXPECT_EQ(entry.szDeviceName, kModem);
    EXPECT_EQ(entry.szDeviceType, "modem");  // completed by the system
    EXPECT_EQ(entry.dwfOptions & 0x04000110u, 0x04000110u);
    EXPECT_EQ(entry.dwfOptions & 0x392D0208u, 0u);
    RasDialInfo dial;
    ASSERT_TRUE(ReadDialParams({}, "QVT (Siemens C65)", dial));
    EXPECT_EQ(dial.UserName + "/" + dial.Password, "qvt/dfk");
    EXPECT_EQ(UserInit(), "AT+CGDCONT=1,\"IP\",\"internet.qvt\"");
}

TEST_F(ConnectionCreationTest, TakenNamesGetANumberAndNothingIsOverwritten) {
    ASSERT_TRUE(Create("Nokia 6230i", "COM5", "*99***2#"));
    ASSERT_TRUE(Create("Nokia 6230i", "COM5"));
    ASSERT_TRUE(Create("Nokia 6230i", "COM5"));
    EXPECT_NE(message.find("Название подключения: QVT (Nokia 6230i, COM5) #2"), std::string::npos);
    RasEntryInfo first;
    ASSERT_TRUE(ReadEntryProperties({}, "QVT (Nokia 6230i, COM5)", first));
    EXPECT_EQ(first.szLocalPhoneNumber, "*99***2#");

    for (int i = 3; i <= 1000; ++i) ras.AddEntry("QVT (Nokia 6230i, COM5) #" + std::to_string(i));
    const size_t entries = ras.entries.size();
    EXPECT_FALSE(Create("Nokia 6230i", "COM5"));
    EXPECT_EQ(message, "Подключение не было создано.");
    EXPECT_FALSE(allSet);
    EXPECT_EQ(ras.entries.size(), entries);
}

TEST_F(ConnectionCreationTest, ReportNamesWhatWasNotStored) {
    EXPECT_FALSE(CreateModemConnection(" ", "Nokia", {}, {}, message, allSet));
    EXPECT_EQ(message,
              "Не удалось создать подключение, так как не было задано имя устройства для "
              "создаваемого подключения.");
    ras.FailCall(sim::SimRas::Call::SetEntryProperties, 5);
    EXPECT_FALSE(Create("Nokia"));
    EXPECT_EQ(message, "Подключение не было создано.");

    const std::string head = std::string("Подключение для устройства '") + kModem +
                             "' создано, но некоторые параметры были не заданы.\r\n"
                             "Название подключения: ";
    ras.FailCall(sim::SimRas::Call::SetEntryProperties, 0);  // writes work again
    ras.FailCall(sim::SimRas::Call::SetEntryDialParams, 5);
    EXPECT_TRUE(Create("Nokia"));
    EXPECT_FALSE(allSet);
    EXPECT_EQ(message, head + "QVT (Nokia)\r\n\r\nНе заданы параметры дозвона.");

    sim::SimPlatform other;  // a fresh system: no modem to keep an init string
    EXPECT_TRUE(CreateModemConnection(kModem, "Nokia", {}, {}, message, allSet));
    EXPECT_FALSE(allSet);
    EXPECT_EQ(message, head + "QVT (Nokia)\r\n\r\nНе заданы параметры инициализации модема.");
}

TEST_F(ConnectionCreationTest, ProxySettingsAreStoredThenAnnounced) {
    EXPECT_TRUE(SetConnectionProxy("QVT (Nokia)", true, false, false, false, "", "<local>", ""));
    EXPECT_TRUE(SetConnectionProxy("", true, true, false, false, "10.0.0.1:8080", "", ""));
    std::vector<uint32_t> order;
    for (const auto& call : sim.internet.calls) order.push_back(call.option);
    EXPECT_EQ(order, (std::vector<uint32_t>{75, 39, 37, 75, 39, 37}));
    EXPECT_FALSE(sim.internet.calls[3].connection.has_value());  // the local network
    EXPECT_EQ(sim.internet.settings[std::string("QVT (Nokia)")][1].number, 0x1u);
    EXPECT_EQ(sim.internet.settings[std::nullopt][1].number, 0x3u);

    bool direct, proxy, url, detect;
    std::string server, bypass, config;
    ASSERT_TRUE(
        GetConnectionProxy("QVT (Nokia)", direct, proxy, url, detect, server, bypass, config));
    EXPECT_TRUE(direct && !proxy && !url && !detect);
    EXPECT_EQ(server + "|" + bypass, "|<local>");
    ASSERT_TRUE(GetConnectionProxy("", direct, proxy, url, detect, server, bypass, config));
    EXPECT_TRUE(direct && proxy);
    EXPECT_EQ(server, "10.0.0.1:8080");

    sim.internet.FailCall(sim::SimInternetOptions::Call::Notify, 39);
    EXPECT_FALSE(SetConnectionProxy("QVT (Nokia)", true, false, false, false, "", "", ""));
    EXPECT_EQ(sim.internet.calls.back().option, 37u);  // the refresh still went out
}

}  // namespace
}  // namespace tarvelin
