#pragma once
// A whole simulated system for one test: binds itself as the process's platform on
// construction and leaves the process-wide records clean on destruction.
#include <set>
#include <string>

#include "core/AppState.h"
#include "core/modAppMain.h"
#include "core/modSystemWinVer.h"
#include "core/modXTimer.h"
#include "platform/Platform.h"
#include "sim/SimBluetooth.h"
#include "sim/SimDeviceManager.h"
#include "sim/SimDownloader.h"
#include "sim/SimInternetOptions.h"
#include "sim/SimMenus.h"
#include "sim/SimNotifyArea.h"
#include "sim/SimRas.h"
#include "sim/SimRegistry.h"
#include "sim/SimSystem.h"
#include "sim/VirtualEventLoop.h"

namespace tarvelin::sim {

class SimPlatform {
  public:
    SimPlatform() {
        platform.loop = &loop;
        platform.clock = &loop;
        platform.registry = &registry;
        platform.locks = &locks;
        platform.osVersion = &osVersion;
        platform.process = &process;
        platform.messageBox = &messageBox;
        platform.shell = &shell;
        platform.systemText = &systemText;
        platform.devices = &devices;
        platform.bluetooth = &bluetooth;
        platform.ras = &ras;
        platform.internet = &internet;
        platform.locale = &locale;
        platform.menus = &menus;
        platform.notifyArea = &notifyArea;
        platform.downloader = &downloader;
        Unbind();
        AppState().platform = &platform;
    }
    ~SimPlatform() {
        AppCleanup();
        Unbind();
    }
    SimPlatform(const SimPlatform&) = delete;
    SimPlatform& operator=(const SimPlatform&) = delete;

    VirtualEventLoop loop;
    SimRegistry registry;
    std::set<std::string> machineLocks;  // names held machine-wide
    SimNamedLocks locks{machineLocks};
    SimOsVersion osVersion;
    SimProcess process;
    RecordingMessageBox messageBox;
    SimShell shell;
    SimSystemText systemText;
    SimDeviceManager devices{registry};
    SimBluetooth bluetooth;
    SimRas ras{loop};
    SimInternetOptions internet;
    SimLocale locale;
    SimMenus menus;
    SimNotifyArea notifyArea;
    platform::Platform platform;
    SimDownloader downloader{loop, platform};  // writes through platform.files

  private:
    static void Unbind() {
        TimerTable().clear();
        AppState() = AppStateRecord{};
        ResetWindowsVersionFlags();
    }
};

}  // namespace tarvelin::sim
