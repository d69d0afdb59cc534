#include <gtest/gtest.h>

#include "core/AppSetting.h"
#include "sim/SimPlatform.h"
#include "ui/frmMain.h"

namespace tarvelin {
namespace {

TEST(frmMainPlacement, SavedPlaceIsKeptInsideTheScreen) {
    EXPECT_EQ(PlaceOnAxis(-1, 500, 1280), 390) << "nothing stored: centred";
    EXPECT_EQ(PlaceOnAxis(2000, 500, 1280), 780);
    EXPECT_EQ(PlaceOnAxis(780, 500, 1280), 780) << "touching the far edge counts as passing it";
    EXPECT_EQ(PlaceOnAxis(2147483647, 300, 768), 468) << "no overflow near the top of the range";
}

TEST(frmMainPlacement, PositionIsStoredOnCloseUnlessMinimised) {
    sim::SimPlatform sim;
    EXPECT_EQ(MainFormInitialPosition(1024, 768).left, 262);
    MainFormSavePosition({100, 50}, false);
    MainFormSavePosition({-32000, -32000}, true);  // a minimised window's parking place
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormLeft), 100);
    EXPECT_EQ(SettingLoadLong(AppSetting::MainFormTop), 50);
    const FormPosition at = MainFormInitialPosition(1024, 768);
    EXPECT_EQ(at.left, 100);
    EXPECT_EQ(at.top, 50);
}

}  // namespace
}  // namespace tarvelin
