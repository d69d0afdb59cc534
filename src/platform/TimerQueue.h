#pragma once
// Window-less timers over a millisecond time source, with the dispatch rules of system
// timers: a due timer fires once however late it is (ticks are coalesced, never queued),
// its next tick is one period after it was dispatched, and a timer may be stopped or others
// started from inside any callback, including nested dispatch.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>

#include "platform/EventLoop.h"

namespace tarvelin::platform {

class TimerQueue {
  public:
    static constexpr uint32_t kMinimumPeriod = 10;  // shorter periods are raised to this

    TimerId Start(uint64_t now, uint32_t periodMs, IEventLoop::TimerProc proc);
    TimerId StartOneShot(uint64_t now, uint32_t delayMs, std::function<void()> proc);
    bool Stop(TimerId id);
    // Fires the due timer that is earliest (ties by id); false when none is due at now.
    bool FireOne(uint64_t now);
    // When the next timer is due, if any timer runs.
    std::optional<uint64_t> NextDue() const;
    size_t Count() const { return timers_.size(); }
    // Hands out the lowest free id, as the system does for window-less timers, instead of
    // ids that are never used twice.
    void ReuseIds(bool reuse) { reuseIds_ = reuse; }

  private:
    struct Timer {
        uint32_t period;
        uint64_t due;
        IEventLoop::TimerProc proc;
        bool oneShot;
    };
    std::map<TimerId, Timer> timers_;
    TimerId NewId();
    TimerId nextId_ = 1;
    bool reuseIds_ = false;
};

}  // namespace tarvelin::platform
