// The stand-in driver installer's INF reading: the model and maker a hardware id leads to.
#include "InfFile.h"

#include <gtest/gtest.h>

namespace tarvelin::standin {
namespace {

constexpr char kInf[] =
    "; a comment\r\n"
    "[Version]\r\n"
    "Class = Modem ; trailing comment\r\n"
    "[Manufacturer]\r\n"
    "%Mfg% = Phones, NTx86, NTamd64\r\n"
    "[Phones]\r\n"
    "%Plain% = Modem.Usb, USB\\VID_0001&PID_0001\r\n"
    "[phones.NTamd64]\r\n"
    "\"Literal; with semicolon\" = Modem.Usb, USB\\VID_0001&PID_0002, USB\\COMPAT\r\n"
    "[Other]\r\n"
    "%Plain% = Modem.Usb, USB\\VID_0001&PID_0003\r\n"
    "[Strings]\r\n"
    "Mfg = \"Maker 100%%\"\r\n"
    "PLAIN = \"Phone (USB)\"\r\n";

TEST(InfFile, HardwareIdsLeadToTheirModelAndMaker) {
    const InfFile inf(kInf);
    EXPECT_EQ(inf.Class(), "Modem");
    struct Case {
        const char* id;
        const char* description;  // null: no model
    };
    for (const Case& c : {Case{"usb\\vid_0001&pid_0001", "Phone (USB)"},
                          Case{"USB\\COMPAT", "Literal; with semicolon"},
                          Case{"USB\\VID_0001&PID_0003", nullptr}, Case{"Modem.Usb", nullptr}}) {
        const auto model = inf.Model(c.id);
        ASSERT_EQ(model.has_value(), c.description != nullptr) << c.id;
        if (!model) continue;
        EXPECT_EQ(model->description, c.description);
        EXPECT_EQ(model->maker, "Maker 100%");
    }
}

TEST(InfFile, Utf16WithItsMarkAndDamagedTexts) {
    const std::u16string text = u"\uFEFF[Version]\r\nClass=Модем\r\n";
    const std::string bytes(reinterpret_cast<const char*>(text.data()), text.size() * 2);
    EXPECT_EQ(InfFile(bytes).Class(), "Модем");
    EXPECT_FALSE(InfFile("").Model("x"));
    EXPECT_FALSE(InfFile("[Manufacturer]\n=\n[Strings]\n%").Model("x"));
    EXPECT_EQ(InfFile("[Version]\nClass=%unterminated").Class(), "%unterminated");
    // What the system refuses as no INF: text before any section, an unclosed section name,
    // no known signature.
    EXPECT_TRUE(InfFile(kInf).WellFormed());
    EXPECT_FALSE(InfFile("Class=Modem\n[Version]").WellFormed());
    EXPECT_FALSE(InfFile("[Version\nClass=Modem").WellFormed());
    EXPECT_TRUE(InfFile("[Version]\nSignature=\"$CHICAGO$\"").Signed());
    EXPECT_FALSE(InfFile(kInf).Signed());
}

}  // namespace
}  // namespace tarvelin::standin
