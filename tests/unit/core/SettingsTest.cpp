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
    const sim::SimRegistry::Value* Stored(const char* name) {
        return sim.registry.Get(RegRoot::CurrentUser, kSettingsKey, name);
    }
    uint32_t StoredDword(const char* name) {
        const auto* v = Stored(name);
        EXPECT_NE(v, nullptr);
        EXPECT_EQ(v->type, platform::kRegDword);
        return v && v->data.size() == 4 ? LoadLe32(v->data.data()) : 0;
    }
};

TEST_F(SettingsTest, MissingKeyGivesDefaults) {
    EXPECT_TRUE(SettingLoadBool(AppSetting::StatInByte));
    EXPECT_TRUE(SettingLoadBool(AppSetting::WidgetShow));
    EXPECT_TRUE(SettingLoadBool(AppSetting::Tray));
    EXPECT_TRUE(SettingLoadBool(AppSetting::CheckDeviceConn));
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), -1);
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), -1);
    EXPECT_EQ(std::get<uint8_t>(SettingLoad(AppSetting::WidgetTrans)), 64);
    EXPECT_FALSE(SettingLoadBool(AppSetting::AutoRun));
}

TEST_F(SettingsTest, StoredValuesConvertToTheMembersType) {
    const std::string key = kSettingsKey;
    sim.registry.PutString(RegRoot::CurrentUser, key, "WidgetTrans", "12");
    sim.registry.PutDword(RegRoot::CurrentUser, key, "Tray", 7);  // any non-zero is True
    sim.registry.PutDword(RegRoot::CurrentUser, key, "StatInByte", 0);
    sim.registry.PutString(RegRoot::CurrentUser, key, "WidgetShow", "False");
    sim.registry.PutDword(RegRoot::CurrentUser, key, "MainFormLeft", 0xFFFFFFF6u);  // -10
    sim.registry.PutString(RegRoot::CurrentUser, key, "MainFormTop", " 250 ");
    EXPECT_EQ(std::get<uint8_t>(SettingLoad(AppSetting::WidgetTrans)), 12);
    EXPECT_TRUE(SettingLoadBool(AppSetting::Tray));
    EXPECT_FALSE(SettingLoadBool(AppSetting::StatInByte));
    EXPECT_FALSE(SettingLoadBool(AppSetting::WidgetShow));
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), -10);
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), 250);
}

TEST_F(SettingsTest, CorruptOrMistypedValuesReadAsDefaults) {
    const std::string key = kSettingsKey;
    sim.registry.PutString(RegRoot::CurrentUser, key, "WidgetTrans", "abc");
    sim.registry.PutDword(RegRoot::CurrentUser, key, "Tray", 0);
    EXPECT_EQ(std::get<uint8_t>(SettingLoad(AppSetting::WidgetTrans)), 64);
    sim.registry.PutDword(RegRoot::CurrentUser, key, "WidgetTrans", 300);
    EXPECT_EQ(std::get<uint8_t>(SettingLoad(AppSetting::WidgetTrans)), 64);
    sim.registry.PutDword(RegRoot::CurrentUser, key, "WidgetTrans", 0xFFFFFFFFu);
    EXPECT_EQ(std::get<uint8_t>(SettingLoad(AppSetting::WidgetTrans)), 64);

    // Types the store does not write, truncated numbers and unterminated strings.
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "StatInByte", 3, {0, 0, 0, 0});  // binary
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "MainFormLeft", 4, {1, 2});      // short DWORD
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "MainFormTop", 1, {'4', '2'});   // no NUL
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "CheckDeviceConn", 1, {});
    sim.registry.PutString(RegRoot::CurrentUser, key, "WidgetShow", "1e400");
    EXPECT_TRUE(SettingLoadBool(AppSetting::StatInByte));
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), -1);
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), 42);
    EXPECT_TRUE(SettingLoadBool(AppSetting::CheckDeviceConn));
    EXPECT_TRUE(SettingLoadBool(AppSetting::WidgetShow));
    sim.registry.PutString(RegRoot::CurrentUser, key, "MainFormLeft", "99999999999");
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), -1);
}

TEST_F(SettingsTest, SavingWritesDwordsAndCachesFirst) {
    EXPECT_TRUE(SettingSave(AppSetting::WidgetShow, false));
    EXPECT_EQ(StoredDword("WidgetShow"), 0u);
    EXPECT_FALSE(AppState().WidgetShow);
    EXPECT_TRUE(SettingSave(AppSetting::Tray, int32_t{-1}));  // True written as 1
    EXPECT_EQ(StoredDword("Tray"), 1u);
    EXPECT_TRUE(SettingSave(AppSetting::WidgetTrans, int32_t{200}));
    EXPECT_EQ(AppState().WidgetTrans, 200);
    EXPECT_EQ(StoredDword("WidgetTrans"), 200u);
    EXPECT_TRUE(SettingSave(AppSetting::MainFormLeft, int32_t{-32000}));
    EXPECT_EQ(StoredDword("MainFormLeft"), static_cast<uint32_t>(-32000));
    EXPECT_TRUE(sim.registry.KeyExists(RegRoot::CurrentUser, "Software\\QVT"));

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
    EXPECT_EQ(std::string(v->data.begin(), v->data.end()),
              std::string("\"C:\\Program Files\\Tarvelin\\Tarvelin.exe\" /auto") + '\0');
    EXPECT_TRUE(SettingLoadBool(AppSetting::AutoRun));

    // Other arguments after the right quoted path and a different letter case still count.
    sim.registry.PutString(RegRoot::CurrentUser, kRunKey, "Tarvelin",
                           "\"c:\\program files\\tarvelin\\TARVELIN.EXE\" /x /y");
    EXPECT_TRUE(SettingLoadBool(AppSetting::AutoRun));

    sim.process.executablePath = "D:\\Moved\\Tarvelin.exe";
    EXPECT_FALSE(SettingLoadBool(AppSetting::AutoRun));
    EXPECT_TRUE(SettingSave(AppSetting::AutoRun, true));
    EXPECT_TRUE(SettingLoadBool(AppSetting::AutoRun));
    EXPECT_EQ(AutoRunCommand(), "\"D:\\Moved\\Tarvelin.exe\" /auto");

    EXPECT_TRUE(SettingSave(AppSetting::AutoRun, false));
    EXPECT_EQ(sim.registry.Get(RegRoot::CurrentUser, kRunKey, "Tarvelin"), nullptr);
    EXPECT_FALSE(SettingLoadBool(AppSetting::AutoRun));
}

TEST_F(SettingsTest, RegistryLayerTypesValuesByContent) {
    const std::string key = "Software\\QVT\\Scratch";
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Number", std::string("0012")));
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Text", std::string("  qvt  ")));
    EXPECT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Negative", int32_t{-5}));
    EXPECT_FALSE(RegValueSet(RegRoot::CurrentUser, key, "Huge", std::string("4294967296")));

    RegData value;
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Number", value));
    EXPECT_EQ(std::get<int32_t>(value), 12);
    EXPECT_EQ(sim.registry.Get(RegRoot::CurrentUser, key, "Number")->type, platform::kRegDword);
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Text", value));
    EXPECT_EQ(std::get<std::string>(value), "qvt");
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Negative", value));
    EXPECT_EQ(std::get<int32_t>(value), -5);

    // A string with an embedded NUL is cut there; a missing value leaves the output alone.
    sim.registry.PutRaw(RegRoot::CurrentUser, key, "Cut", 1, {'a', 'b', 0, 'c', 0});
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Cut", value));
    EXPECT_EQ(std::get<std::string>(value), "ab");
    EXPECT_FALSE(RegValueQuery(RegRoot::CurrentUser, key, "Absent", value));
    EXPECT_EQ(std::get<std::string>(value), "ab");

    EXPECT_TRUE(RegValueDelete(RegRoot::CurrentUser, key, "Cut"));
    EXPECT_FALSE(RegValueDelete(RegRoot::CurrentUser, key, "Cut"));
    EXPECT_FALSE(RegValueDelete(RegRoot::CurrentUser, "Software\\Nowhere", "x"));
}

TEST_F(SettingsTest, RegistryStringsCrossTheAnsiBoundary) {
    const std::string key = "Software\\QVT\\Scratch";
    ASSERT_TRUE(RegValueSet(RegRoot::CurrentUser, key, "Name", std::string("Модем")));
    const auto* raw = sim.registry.Get(RegRoot::CurrentUser, key, "Name");
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(raw->data, (std::vector<uint8_t>{0xCC, 0xEE, 0xE4, 0xE5, 0xEC, 0}));
    RegData value;
    ASSERT_TRUE(RegValueQuery(RegRoot::CurrentUser, key, "Name", value));
    EXPECT_EQ(std::get<std::string>(value), "Модем");
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
