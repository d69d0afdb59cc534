#pragma once
// A timer object with Enabled, Interval and a Tick event. A timer runs for the object
// exactly when Enabled is true and Interval is not 0; while it runs the timer table holds
// a strong reference, so the object keeps ticking even when its owner drops it.
#include <cstdint>
#include <memory>

#include "core/Event.h"
#include "platform/EventLoop.h"
#include "platform/PassKey.h"

namespace tarvelin {

class PCXTimer : public std::enable_shared_from_this<PCXTimer> {
  public:
    static std::shared_ptr<PCXTimer> Create() {
        return std::make_shared<PCXTimer>(PassKey<PCXTimer>{});
    }
    explicit PCXTimer(PassKey<PCXTimer>) {}
    ~PCXTimer();
    PCXTimer(const PCXTimer&) = delete;
    PCXTimer& operator=(const PCXTimer&) = delete;

    bool Enabled() const { return enabled_; }
    // Both setters may throw AppError "No timers available" when they start a timer.
    void SetEnabled(bool enabled);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t interval);

    Event<> Tick;
    void RaiseTick() { Tick.Raise(); }

    // Read by the timer table; the table forgets the id when it frees the timer's record
    // after a failing tick, because the system may hand the same id to another timer.
    platform::TimerId TimerID() const { return timerId_; }
    void TimerFreed() { timerId_ = 0; }

  private:
    uint32_t interval_ = 0;
    bool enabled_ = false;
    platform::TimerId timerId_ = 0;
};

}  // namespace tarvelin
