#pragma once
// A whole simulated system for one test: binds itself as the process's platform on
// construction and leaves the process-wide records clean on destruction.
#include "core/AppState.h"
#include "core/modAppMain.h"
#include "core/modSystemWinVer.h"
#include "detection/modXTimer.h"
#include "platform/Platform.h"
#include "sim/VirtualEventLoop.h"

namespace tarvelin::sim {

class SimPlatform {
public:
    SimPlatform() {
        platform.loop = &loop;
        platform.clock = &loop;
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
    platform::Platform platform;

private:
    static void Unbind() {
        TimerTable().clear();
        AppState() = AppStateRecord{};
        ResetWindowsVersionFlags();
    }
};

}  // namespace tarvelin::sim
