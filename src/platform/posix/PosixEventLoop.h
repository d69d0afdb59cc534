#pragma once
// The Linux event loop of the native tools: window-less timers on the monotonic clock.
#include <cstdint>

#include "platform/Clock.h"
#include "platform/EventLoop.h"
#include "platform/TimerQueue.h"

namespace tarvelin::platform {

class PosixEventLoop : public IEventLoop, public IClock {
  public:
    TimerId StartTimer(uint32_t periodMs, TimerProc proc) override;
    bool StopTimer(TimerId id) override { return queue_.Stop(id); }
    TimerId StartOneShot(uint32_t delayMs, std::function<void()> proc) override;
    bool PumpOnce() override;
    int Run() override;
    void Quit(int code) override;
    uint32_t TickCount() override { return static_cast<uint32_t>(NowMs()); }

  private:
    static uint64_t NowMs();
    TimerQueue queue_;
    bool quit_ = false;
    int quitCode_ = 0;
};

}  // namespace tarvelin::platform
