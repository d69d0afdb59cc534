#pragma once
// A deterministic event loop for tests: time moves only when the test advances it, and
// every timer due on the way fires at its exact due time, in due order.
#include <cstdint>

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/TimerQueue.h"

namespace tarvelin::sim {

class VirtualEventLoop : public platform::IEventLoop, public platform::IClock {
  public:
    platform::TimerId StartTimer(uint32_t periodMs, TimerProc proc) override;
    bool StopTimer(platform::TimerId id) override { return queue_.Stop(id); }
    platform::TimerId StartOneShot(uint32_t delayMs, std::function<void()> proc) override;
    bool PumpOnce() override;
    // Moves time from one due timer to the next until Quit, or until no timer runs.
    int Run() override {
        for (quit_ = false; !quit_ && FireNext(UINT64_MAX);) continue;
        return quitCode_;
    }
    void Quit(int code) override {
        quit_ = true;
        quitCode_ = code;
    }
    uint32_t TickCount() override { return static_cast<uint32_t>(now_); }

    // Moves time forward by ms, firing every timer that falls due on the way. May be
    // called from inside a callback (a handler that "takes long" or pumps messages).
    void Advance(uint64_t ms);
    uint64_t Now() const { return now_; }
    size_t TimerCount() const { return queue_.Count(); }
    // The next n StartTimer/StartOneShot calls fail as when the system has no timers.
    void FailNextStarts(int n) { failStarts_ = n; }
    // Gives a new timer the lowest free id, as Windows does, so a stale id names another timer.
    void ReuseIds() { queue_.ReuseIds(true); }

  private:
    bool Refuse();
    // Fires the next timer due no later than limit, moving time to when it is due.
    bool FireNext(uint64_t limit);
    platform::TimerQueue queue_;
    uint64_t now_ = 0;
    int failStarts_ = 0;
    bool quit_ = false;
    int quitCode_ = 0;
};

}  // namespace tarvelin::sim
