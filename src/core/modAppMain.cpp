#include "core/modAppMain.h"

#include "core/AppState.h"
#include "detection/PCXTimer.h"

namespace tarvelin {

AppStateRecord& AppState() {
    static AppStateRecord state;
    return state;
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
