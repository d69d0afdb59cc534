#include "core/modAppMain.h"

#include <cstdio>

#include "core/AppSetting.h"
#include "core/AppState.h"
#include "core/PCXTimer.h"
#include "core/modAppRoutine.h"
#include "core/modSystemWinVer.h"
#include "core/modTypes.h"
#include "platform/NamedLock.h"
#include "platform/Process.h"
#include "platform/SystemText.h"

namespace tarvelin {
namespace {

constexpr uint32_t kErrorAlreadyExists = 183;
// The version and build date come from the build, which states them once for the program.
constexpr char kVersion[] = TARVELIN_VERSION;
constexpr char kDbStructVersion[] = "1.2";
constexpr int kBuildYear = TARVELIN_BUILD_YEAR, kBuildMonth = TARVELIN_BUILD_MONTH,
              kBuildDay = TARVELIN_BUILD_DAY;
constexpr char kRefusalLine1[] =
    "Данное программное обеспечение не совместимо с установленной версией операционной "
    "системы Windows.";
constexpr char kRefusalLine2[] = "Запуск приложения невозможен.";

std::string BuildDate() {
    platform::ISystemText* text = AppState().platform ? AppState().platform->systemText : nullptr;
    if (text) return text->ShortDate(kBuildYear, kBuildMonth, kBuildDay);
    char date[16];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", kBuildDay, kBuildMonth, kBuildYear);
    return date;
}

}  // namespace

AppStateRecord& AppState() {
    static AppStateRecord state;
    return state;
}

bool Main(platform::Platform& platform, const AppShell& shell) {
    AppStateRecord& state = AppState();
    state.platform = &platform;
    if (!platform.locks) return false;
    platform::NamedLockResult lock = platform.locks->CreateOwned(kMutexName);
    if (!lock.lock) return false;
    // Another instance holds the name: end silently, closing the handle just obtained.
    if (lock.lastError == kErrorAlreadyExists) return false;
    state.mutex = std::move(lock.lock);

    if (!CheckOSCompatibility(true)) {
        AppCleanup();
        return false;
    }
    if (shell.initCommonControls) shell.initCommonControls();
    state.AutoStart = platform.process && HasAutoSwitch(platform.process->CommandLine());
    AppStart(shell.openMainWindow);
    return true;
}

bool CheckOSCompatibility(bool showMessage) {
    if (GetPlatformId() == 2 && IsWindowsVersion(6)) return true;
    if (showMessage) {
        AppMsgBox(0, std::string(kRefusalLine1) + "\r\n" + kRefusalLine2, kMbIconStop | kMbOk,
                  kAppTitle);
    }
    return false;
}

void AppStart(const MainWindowOpener& openMainWindow) {
    AppStateRecord& state = AppState();
    state.WidgetShow = SettingLoadBool(AppSetting::WidgetShow);
    state.WidgetTrans = static_cast<uint8_t>(SettingLoadLong(AppSetting::WidgetTrans));
    state.StatInByte = SettingLoadBool(AppSetting::StatInByte);
    state.Tray = SettingLoadBool(AppSetting::Tray);
    state.CheckDeviceConn = SettingLoadBool(AppSetting::CheckDeviceConn);
    if (openMainWindow) openMainWindow();
}

bool HasAutoSwitch(const std::string& commandLine) {
    return ContainsNoCase(commandLine, "/auto");
}

std::string AppVersionText(bool asDate) {
    return asDate ? BuildDate() : kVersion;
}

std::string DbStructVersionText(bool asDate) {
    return asDate ? BuildDate() : kDbStructVersion;
}

std::shared_ptr<PCXTimer> SharedTimerAcquire() {
    auto& state = AppState();
    if (!state.sharedTimer) {
        state.sharedTimer = PCXTimer::Create();
        state.sharedTimer->SetInterval(100);
        state.sharedTimer->SetEnabled(true);
    }
    ++state.sharedTimerUsers;
    return state.sharedTimer;
}

std::shared_ptr<PCXTimer> SharedTimerRelease() {
    auto& state = AppState();
    if (--state.sharedTimerUsers <= 0) {
        state.sharedTimerUsers = 0;
        // Nobody listens any more: stop its ticks too rather than leave it running.
        if (state.sharedTimer) state.sharedTimer->SetEnabled(false);
        state.sharedTimer.reset();
    }
    return nullptr;
}

void AppCleanup() {
    auto& state = AppState();
    if (state.sharedTimer) {
        state.sharedTimerUsers = 1;
        SharedTimerRelease();
    }
    state.deferredQueue.reset();
    if (state.mutex) {
        state.mutex->Release();
        state.mutex.reset();
    }
}

}  // namespace tarvelin
