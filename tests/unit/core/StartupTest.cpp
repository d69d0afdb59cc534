#include <gtest/gtest.h>

#include "core/AppSetting.h"
#include "core/modAppMain.h"
#include "core/modSystemWinVer.h"
#include "sim/SimPlatform.h"

namespace tarvelin {
namespace {

class StartupTest : public ::testing::Test {
  protected:
    sim::SimPlatform sim;
    int windowsOpened = 0;
    AppShell shell{[] {}, [this] { ++windowsOpened; }};

    void RunOn(uint32_t platformId, uint32_t major, uint32_t minor, uint32_t build = 0) {
        sim.osVersion.info = {major, minor, build, platformId, ""};
        ResetWindowsVersionFlags();
    }
};

TEST_F(StartupTest, FirstInstanceTakesTheLockLoadsSettingsAndOpensTheWindow) {
    sim.registry.PutString(platform::RegRoot::CurrentUser, kSettingsKey, "WidgetTrans", "10");
    sim.process.commandLine = "\"C:\\T\\Tarvelin.exe\" /auto";
    EXPECT_TRUE(Main(sim.platform, shell));
    EXPECT_EQ(windowsOpened, 1);
    EXPECT_TRUE(sim.machineLocks.count(kMutexName));
    EXPECT_EQ(AppState().WidgetTrans, 10);
    EXPECT_TRUE(AppState().AutoStart);
    EXPECT_FALSE(HasAutoSwitch("\"C:\\T\\Tarvelin.exe\" auto -auto \\auto"));

    AppCleanup();
    EXPECT_FALSE(sim.machineLocks.count(kMutexName));

    // A second instance ends silently, whether the first holds the lock or it cannot be made.
    sim.machineLocks.insert(kMutexName);
    EXPECT_FALSE(Main(sim.platform, shell));
    EXPECT_TRUE(sim.machineLocks.count(kMutexName)) << "the first instance keeps its lock";
    sim.locks.failCreate = true;
    EXPECT_FALSE(Main(sim.platform, shell));
    EXPECT_EQ(windowsOpened, 1);
    EXPECT_TRUE(sim.messageBox.shown.empty());
}

TEST_F(StartupTest, UnsupportedSystemIsRefusedWithTwoLinesThenCleansUp) {
    for (auto [id, major] : {std::pair{2u, 4u}, {1u, 4u}, {3u, 10u}}) {
        RunOn(id, major, 0);
        sim.messageBox.shown.clear();
        EXPECT_FALSE(Main(sim.platform, shell));
        EXPECT_EQ(windowsOpened, 0);
        ASSERT_EQ(sim.messageBox.shown.size(), 1u);
        EXPECT_EQ(sim.messageBox.shown[0],
                  "Данное программное обеспечение не совместимо с установленной версией "
                  "операционной системы Windows.\r\nЗапуск приложения невозможен.");
        EXPECT_TRUE(sim.machineLocks.empty()) << "the lock is given back";
    }
}

TEST_F(StartupTest, VersionClassesFollowThePlatform) {
    struct Case {
        uint32_t id, major, minor, build;
        std::vector<int16_t> trueClasses;
        bool themed;  // XP or later: buttons keep their themed look when themes are active
    };
    const Case cases[] = {
        {1, 4, 0, 950, {1, 4}, false},          // 95
        {1, 4, 10, 1998, {1, 2, 4}, false},     // 98
        {1, 4, 90, 3000, {1, 2, 3, 4}, false},  // Me
        {1, 4, 0, 0x1BB8, {1, 3, 4}, false},    // low 16 bits of the build decide Me
        {1, 4, 0, 0xFFFF8000, {1, 4}, false},   // negative as a signed 16-bit number
        {2, 5, 0, 2195, {5, 6}, false},         // 2000
        {2, 5, 1, 2600, {5, 6, 7}, true},       // XP
        {2, 6, 0, 6000, {5, 6}, true},          // 6.0: not "XP" by the minor-version test
        {2, 6, 1, 7600, {5, 6, 7}, true},
        {2, 10, 0, 19045, {5, 6}, true},  // what a manifest declaring Windows 10 is told
        {3, 10, 0, 0, {}, false},
    };
    for (const auto& c : cases) {
        RunOn(c.id, c.major, c.minor, c.build);
        for (int16_t cls = 0; cls <= 9; ++cls) {
            const bool expected =
                std::find(c.trueClasses.begin(), c.trueClasses.end(), cls) != c.trueClasses.end();
            EXPECT_EQ(IsWindowsVersion(cls), expected)
                << "platform " << c.id << " " << c.major << "." << c.minor << " class " << cls;
        }
        sim.osVersion.themes = true;
        EXPECT_EQ(IsClassicLook(), !c.themed) << c.major << "." << c.minor;
        sim.osVersion.themes = false;
        EXPECT_TRUE(IsClassicLook()) << c.major << "." << c.minor;
        EXPECT_EQ(GetPlatformId(), static_cast<int32_t>(c.id));
    }
}

// A system that does not know the extended record is asked again with the basic one.
TEST_F(StartupTest, VersionRecordFallsBackToTheBasicStructure) {
    sim.osVersion.extendedWorks = false;
    sim.osVersion.info.servicePack = std::string("Service Pack 2\0junk", 19);
    EXPECT_EQ(WindowsVersionFlags().servicePack, "Service Pack 2");
    EXPECT_EQ(sim.osVersion.sizesAsked, (std::vector<uint32_t>{156, 148}));

    sim.osVersion.answers = false;
    ResetWindowsVersionFlags();
    EXPECT_FALSE(CheckOSCompatibility(false));
    EXPECT_TRUE(sim.messageBox.shown.empty());
}

}  // namespace
}  // namespace tarvelin
