#pragma once
// The UI thread's message loop with window-less system timers (SetTimer with no window).
#include "platform/Clock.h"
#include "platform/EventLoop.h"

namespace tarvelin::platform {

class Win32EventLoop : public IEventLoop, public IClock {
  public:
    Win32EventLoop();
    ~Win32EventLoop() override;
    TimerId StartTimer(uint32_t periodMs, TimerProc proc) override;
    bool StopTimer(TimerId id) override;
    TimerId StartOneShot(uint32_t delayMs, std::function<void()> proc) override;
    bool PumpOnce() override;
    int Run() override;
    void Quit(int code) override;
    uint32_t TickCount() override;
};

}  // namespace tarvelin::platform
