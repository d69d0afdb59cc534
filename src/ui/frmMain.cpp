#include "ui/frmMain.h"

#include "core/AppSetting.h"

namespace tarvelin {

int32_t PlaceOnAxis(int32_t stored, int32_t windowSize, int32_t screenSize) {
    if (stored < 0) return (screenSize - windowSize) / 2;
    if (static_cast<int64_t>(stored) + windowSize >= screenSize) return screenSize - windowSize;
    return stored;
}

FormPosition MainFormInitialPosition(int32_t screenWidth, int32_t screenHeight) {
    return {PlaceOnAxis(SettingLoadLong(AppSetting::MainFormLeft), kMainFormWidth, screenWidth),
            PlaceOnAxis(SettingLoadLong(AppSetting::MainFormTop), kMainFormHeight, screenHeight)};
}

void MainFormSavePosition(FormPosition position, bool minimised) {
    if (minimised) return;
    SettingSave(AppSetting::MainFormLeft, position.left);
    SettingSave(AppSetting::MainFormTop, position.top);
}

}  // namespace tarvelin
