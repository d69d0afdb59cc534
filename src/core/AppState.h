#pragma once
// The process-wide record of the application core. Touched only on the UI thread.
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>

#include "core/Runnable.h"
#include "platform/NamedLock.h"
#include "platform/Platform.h"

namespace tarvelin {

class PCXTimer;

struct AppStateRecord {
    platform::Platform* platform = nullptr;  // the services of this process

    bool AutoStart = false;
    bool WidgetShow = true;
    uint8_t WidgetTrans = 64;
    bool StatInByte = true;
    bool Tray = true;
    bool CheckDeviceConn = true;

    std::unique_ptr<platform::INamedLock> mutex;  // the single-instance lock, null when not held

    std::shared_ptr<PCXTimer> sharedTimer;  // the shared 100 ms tick
    int32_t sharedTimerUsers = 0;
    // The deferred-start queue exists only while it holds objects; holding the shared
    // pointer is what keeps a queued object alive until its Start has run.
    std::optional<std::deque<std::shared_ptr<Runnable>>> deferredQueue;
};

AppStateRecord& AppState();

}  // namespace tarvelin
