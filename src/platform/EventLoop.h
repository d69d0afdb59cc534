#pragma once
// The user-interface thread's event loop and its operating-system timers. Every callback
// runs on that one thread from inside the loop (Run or PumpOnce), never from another thread.
#include <cstdint>
#include <functional>

namespace tarvelin::platform {

using TimerId = uintptr_t;  // 0 means "no timer"

class IEventLoop {
  public:
    using TimerProc = std::function<void(TimerId)>;

    virtual ~IEventLoop() = default;

    // Starts a periodic timer with no window; the callback receives the timer's id on every
    // tick until StopTimer. Returns 0 when the system has no timer to give.
    virtual TimerId StartTimer(uint32_t periodMs, TimerProc proc) = 0;
    // Stops a timer; false when the id is unknown. Safe to call from the timer's own callback.
    virtual bool StopTimer(TimerId id) = 0;
    // Runs the callback once, about delayMs from now; returns 0 when no timer can be had.
    virtual TimerId StartOneShot(uint32_t delayMs, std::function<void()> proc) = 0;
    // Handles what is due now (messages, timers) without waiting; false when nothing was.
    virtual bool PumpOnce() = 0;
    // Runs until Quit is called; returns the code given to Quit.
    virtual int Run() = 0;
    virtual void Quit(int code) = 0;
};

}  // namespace tarvelin::platform
