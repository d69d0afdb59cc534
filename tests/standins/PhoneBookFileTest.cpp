// The stand-in's phone book file: what the program stores comes back unchanged, and the file
// reads as the system's own.
#include "PhoneBookFile.h"

#include <gtest/gtest.h>

namespace tarvelin::standin {
namespace {

sim::SimRasEntry Entry(const std::string& name) {
    sim::SimRasEntry entry{name, {}, {}, false, {}};
    RasEntryInfo& info = entry.info;
    info.dwfOptions = 0x80000000u;
    info.dwType = 1;
    info.szDeviceType = "modem";
    info.szDeviceName = "Nokia 6230i Cabel";
    info.szLocalPhoneNumber = "*99#";
    info.ipaddrDns = {10, 0, 0, 1};
    info.ipaddrWinsAlt = {255, 255, 255, 254};
    info.szScript = "line one\nline \\two\r";
    info.AlternateNumbers = std::string("1\0002\0\0", 6);
    info.guidId[0] = 0xAB;
    info.guidId[15] = 0x01;
    entry.dial = {name, "", "", "Пользователь", "секрет", "домен"};
    return entry;
}

TEST(PhoneBookFile, EntriesComeBackAsStored) {
    std::vector<sim::SimRasEntry> entries = {Entry("QVT (Nokia 6230i Cabel, COM5)"),
                                             Entry("Подключение [2] = тест")};
    entries[0].passwordStored = true;
    entries[0].info.dwfOptions |= 0x6;  // its own IP address and name servers
    const std::string text = WritePhoneBook(entries);
    EXPECT_NE(text.find("[QVT (Nokia 6230i Cabel, COM5)]\r\nEncoding=1\r\n"), std::string::npos);
    EXPECT_NE(text.find("PhoneNumber=*99#\r\n"), std::string::npos);
    EXPECT_NE(text.find("UserName=Пользователь\r\n"), std::string::npos);
    EXPECT_NE(text.find("IpDnsAddress=10.0.0.1\r\n"), std::string::npos);
    EXPECT_NE(text.find("IpAssign=2\r\nIpNameAssign=2\r\n"), std::string::npos);
    EXPECT_NE(text.find("IpAssign=1\r\nIpNameAssign=1\r\n"), std::string::npos);
    const std::vector<sim::SimRasEntry> read = ReadPhoneBook(text);
    ASSERT_EQ(read.size(), 2u);
    for (size_t i = 0; i < read.size(); ++i) {
        EXPECT_EQ(read[i].name, entries[i].name);
        EXPECT_EQ(read[i].info, entries[i].info);
        EXPECT_EQ(read[i].passwordStored, entries[i].passwordStored);
        EXPECT_EQ(read[i].dial.UserName, entries[i].dial.UserName);
        EXPECT_EQ(read[i].dial.Domain, entries[i].dial.Domain);
    }
    // A password is only kept when the entry stores it.
    EXPECT_EQ(read[0].dial.Password, "секрет");
    EXPECT_EQ(read[1].dial.Password, "");
}

TEST(PhoneBookFile, ReadsHandWrittenAndDamagedFiles) {
    const std::string text =
        "garbage before any section\n"
        "[First]\n"
        "PhoneNumber=123\n"
        "[first]\n"  // the same name again replaces the first section
        "  PHONENUMBER = 456 \n"
        "IpAddress=1.2.3\n"  // not addresses: left as they were
        "IpDnsAddress=1.2.3.999\n"
        "IpWinsAddress=1.2.3.4.5\n"
        "Type=abc\n"
        "Options=6\n"
        "IpAssign=1\n"      // assigned by the server: clears the option bit
        "IpNameAssign=7\n"  // no assignment the system knows: left as it was
        "no equals sign\n"
        "Unknown=whatever\n"
        "[Second]";
    const std::vector<sim::SimRasEntry> read = ReadPhoneBook(text);
    ASSERT_EQ(read.size(), 2u);
    EXPECT_EQ(read[0].name, "first");
    RasEntryInfo expected;
    expected.szLocalPhoneNumber = "456";
    expected.dwfOptions = 4;
    EXPECT_EQ(read[0].info, expected);
    EXPECT_EQ(read[1].name, "Second");
    EXPECT_TRUE(ReadPhoneBook("").empty());
}

}  // namespace
}  // namespace tarvelin::standin
