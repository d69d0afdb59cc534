// What the update server may answer, sensible or hostile, and the installer names the
// program accepts from it.
#include <gtest/gtest.h>

#include "core/UpdateInfo.h"

namespace tarvelin {
namespace {

struct InfoCase {
    std::string text;
    UpdateOffer offer;
    const char* fileName;
    const char* address;
};

TEST(UpdateInfo, OnlyWellFormedInformationOffersAnInstaller) {
    using enum UpdateOffer;
    const InfoCase cases[] = {
        {"", Malformed, "", ""},
        {std::string("\0\xff\x13\r\n", 5), Malformed, "", ""},
        {std::string(10 << 20, '7'), Malformed, "", ""},
        {"abc\r\nhttp://srv/setup.exe", Malformed, "", ""},
        {"1.5\r\nhttp://srv/setup.exe", Malformed, "", ""},
        {"1\r\nhttp://srv/setup.exe", Current, "", ""},
        {" -5 ", Current, "", ""},
        {"999999999999\r\nhttp://srv/a/setup.exe\r\n5 MB", Newer, "setup.exe",
         "http://srv/a/setup.exe"},
        {"2\r\n\r\n3 MB", NoAddress, "", ""},
        {"2", NoAddress, "", ""},
        {"2\r\nhttp://srv/dir/\r\n1", Malformed, "", ""},
        {"2\r\nhttp://srv\r\n1", Malformed, "", ""},
        {"2\r\nHTTPS://srv/Setup-1_2.EXE?x=1#top", Newer, "Setup-1_2.EXE",
         "HTTPS://srv/Setup-1_2.EXE?x=1"},
        {"2\r\nftp://srv/setup.exe", Malformed, "", ""},
        {"2\r\nsetup.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/..\\..\\Windows\\x.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/a\\..\\x.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/CON.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/lpt1.setup.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/" + std::string(5000, 'a') + ".exe", Malformed, "", ""},
        {"2\r\nhttp://srv/" + std::string(96, 'a') + ".exe", Newer, nullptr, ""},
        {"2\r\nhttp://srv/setup.msi", Malformed, "", ""},
        {"2\r\nhttp://srv/.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/set%2e.exe", Malformed, "", ""},
        {"2\r\nhttp://srv/x..exe", Malformed, "", ""},
    };
    for (const InfoCase& c : cases) {
        const UpdateInfo info = ParseUpdateInfo(c.text);
        const std::string shown = c.text.substr(0, 60);
        EXPECT_EQ(info.offer, c.offer) << shown;
        if (c.fileName) {
            EXPECT_EQ(info.fileName, c.fileName) << shown;
            EXPECT_EQ(info.address, c.address) << shown;
        }
    }
}

TEST(UpdateInfo, ThirdPartKeepsItsLineBreaksAndBecomesUtf8) {
    const UpdateInfo info = ParseUpdateInfo("3\r\nhttp://srv/s.exe\r\n2,5 \xCC\xC1\r\n(zip)");
    EXPECT_EQ(info.sizeText, "2,5 МБ\r\n(zip)");
}

TEST(UpdateInfo, NoCacheValueJoinsAnExistingQuery) {
    EXPECT_EQ(NoCacheAddress("http://srv/live/downloadtxt.aspx", 42),
              "http://srv/live/downloadtxt.aspx?nocache=42");
    EXPECT_EQ(NoCacheAddress("http://srv/setup.exe?x=1", 7), "http://srv/setup.exe?x=1&nocache=7");
    EXPECT_EQ(NoCacheAddress("http://srv/setup.exe#a", 0), "http://srv/setup.exe?nocache=0");
}

}  // namespace
}  // namespace tarvelin
