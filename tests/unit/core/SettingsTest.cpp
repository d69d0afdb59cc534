#include <gtest/gtest.h>

#include "core/AppSetting.h"
#include "core/modSystemRegistry.h"
#include "platform/LittleEndian.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

using platform::RegRoot;

class SettingsTest : public ::testing::Test {
  protected:
    sim::SimPlatform sim;
};

std::vector<uint8_t> Dword(uint32_t value) {
    std::vector<uint8_t> bytes(4);
    StoreLe32(bytes.data(), value);
    return bytes;
}

// Whatever a person with a registry editor left there reads as the member's type or, when
// it does not convert, as the default.
TEST_F(SettingsTest, StoredValuesConvertToTheMembersTypeOrReadAsDefaults) {
    EXPECT_TRUE(SettingLoadBool(AppSetting::Tray));  // no key at all
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), -1);
    struct Case {
        const char* name;
        AppSetting id;
        uint32_t type;
        std::vector<uint8_t> data;
        int32_t expected;
    };
    using S = AppSetting;
    const uint32_t sz = platform::kRegSz, dword = platform::kRegDword;
    const auto Sz = sim::SimRegistry::Sz;
    const Case cases[] = {
        {"WidgetTrans", S::WidgetTrans, sz, Sz("12"), 12},
        {"WidgetTrans", S::WidgetTrans, sz, Sz("abc"), 64},
        {"WidgetTrans", S::WidgetTrans, dword, Dword(300), 64},
        {"Tray", S::Tray, dword, Dword(7), 1},              // any non-zero is True
        {"StatInByte", S::StatInByte, 3, {0, 0, 0, 0}, 1},  // binary: the store never writes it
        {"WidgetShow", S::WidgetShow, sz, Sz("False"), 0},
        {"WidgetShow", S::WidgetShow, sz, Sz("1e400"), 1},
        {"CheckDeviceConn", S::CheckDeviceConn, sz, {}, 1},
        {"MainFormLeft", S::MainFormLeft, dword, Dword(0xFFFFFFF6u), -10},
        {"MainFormLeft", S::MainFormLeft, dword, {1, 2}, -1},  // a short DWORD
        {"MainFormTop", S::MainFormTop, sz, Sz(" 250 "), 250},
        {"MainFormTop", S::MainFormTop, sz, {'4', '2'}, 42},  // no terminating NUL
    };
    for (const auto& c : cases) {
        sim.registry.PutRaw(RegRoot::CurrentUser, kSettingsKey, c.name, c.type, c.data);
        EXPECT_EQ(SettingLoadLong(c.id), c.expected)
            << c.name << " " << std::string(c.data.begin(), c.data.end());
    }
    EXPECT_TRUE(std::holds_alternative<uint8_t>(SettingLoad(S::WidgetTrans)));
}

TEST_F(SettingsTest, SavingWritesDwordsAndCachesFirst) {
    EXPECT_TRUE(SettingSave(AppSetting::Tray, int32_t{-1}));  // True written as 1
    const auto* tray = sim.registry.Get(RegRoot::CurrentUser, kSettingsKey, "Tray");
    ASSERT_NE(tray, nullptr);
    EXPECT_EQ(tray->type, platform::kRegDword);
    EXPECT_EQ(tray->data, Dword(1));
    EXPECT_TRUE(SettingSave(AppSetting::WidgetTrans, int32_t{200}));

    sim.registry.denyWrites = true;
    EXPECT_FALSE(SettingSave(AppSetting::StatInByte, false));
    EXPECT_FALSE(AppState().StatInByte) << "the cache holds the value even when the write fails";

    EXPECT_FALSE(SettingSave(AppSetting::WidgetTrans, int32_t{256}));
    EXPECT_EQ(AppState().WidgetTrans, 200) << "an unconvertible value changes nothing";
    EXPECT_FALSE(SettingSave(static_cast<AppSetting>(5), true));
}

TEST_F(SettingsTest, AutoRunFollowsTheProgramsFolder) {
    EXPECT_TRUE(SettingSave(AppSetting::AutoRun, true));
    const auto* v = sim.registry.Get(RegRoot::CurrentUser, kRunKey, "Tarvelin");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->data, sim::SimRegistry::Sz("\"C:\\Program Files\\Tarvelin\\Tarvelin.exe\" /auto"));

    // Other arguments after the right quoted path and a different letter case still count.
    sim.registry.PutString(RegRoot::CurrentUser, kRunKey, "Tarvelin",
                           "\"c:\\program files\\tarvelin\\TARVELIN.EXE\" /x /y");
    EXPECT_TRUE(SettingLoadBool(AppSetting::AutoRun));
    sim.process.executablePath = "D:\\Moved\\Tarvelin.exe";
    EXPECT_FALSE(SettingLoadBool(AppSetting::AutoRun));

    EXPECT_TRUE(SettingSave(AppSetting::AutoRun, false));
    EXPECT_EQ(sim.registry.Get(RegRoot::CurrentUser, kRunKey, "Tarvelin"), nullptr);
}

TEST_F(SettingsTest, RegistryLayerTypesValuesByContent) {
    const std::string key = "Software\\QVT\\Scratch";
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Number", std::string("0012")));
    EXPECT_FALSE(RegValueSet(RegRoot::CurrentUser, key, "Huge", std::string("4294967296")));
    RegData value;
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Number", value));
    EXPECT_EQ(std::get<int32_t>(value), 12);
    EXPECT_EQ(sim.registry.Get(RegRoot::CurrentUser, key, "Number")->type, platform::kRegDword);
    // Russian text is stored as ANSI bytes and read back as the same UTF-8 text.
    ASSERT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Name", std::string("Модем")));
    EXPECT_EQ(sim.registry.Get(RegRoot::CurrentUser, key, "Name")->data,
              (std::vector<uint8_t>{0xCC, 0xEE, 0xE4, 0xE5, 0xEC, 0}));
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Name", value));
    EXPECT_EQ(std::get<std::string>(value), "Модем");

    // A string with an embedded NUL is cut there; a missing value leaves the output alone.
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "Cut", 1, {'a', 'b', 0, 'c', 0});
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Cut", value));
    EXPECT_EQ(std::get<std::string>(value), "ab");
    EXPECT_FALSE(RegValueQuery(RegRoot::CurrentUser, key, "Absent", value));
    EXPECT_EQ(std::get<std::string>(value), "ab");
}

TEST_F(SettingsTest, ValuesEnumListsNamesAndDataInOrder) {
    const std::string key = "HARDWARE\\DEVICEMAP\\SERIALCOMM\\";
    std::vector<std::string> names{"stale"}, data{"stale"};
    EXPECT_FALSE(RegValuesEnum(RegRoot::LocalMachine, key, names, data));
    EXPECT_TRUE(names.empty() && data.empty()) << "the lists never keep what the caller had";
    names = data = {"stale"};
    sim.registry.PutString(RegRoot::LocalMachine, key, "\\Device\\Serial0", "COM1");
    sim.registry.PutString(RegRoot::LocalMachine, key, std::string(300, 'x'), "COM9");  // too long
    sim.registry.PutString(RegRoot::LocalMachine, key, "\\Device\\BtModem0", "COM5");
    ASSERT_TRUE(RegValuesEnum(RegRoot::LocalMachine, key, names, data));
    EXPECT_EQ(names, (std::vector<std::string>{"\\Device\\Serial0", "\\Device\\BtModem0"}));
    EXPECT_EQ(data, (std::vector<std::string>{"COM1", "COM5"}));
}

}  // namespace
}  // namespace tarvelin
