#include "core/PCXTimer.h"

#include "core/modXTimer.h"

namespace tarvelin {

PCXTimer::~PCXTimer() {
    // A running timer's record holds a strong reference, so an object only dies with a
    // non-zero id after a failing tick removed its record and stopped the system timer.
    // Its id may belong to another timer by now, so it is not stopped again here.
}

void PCXTimer::SetEnabled(bool enabled) {
    if (enabled == enabled_) return;
    auto self = shared_from_this();  // stopping frees the table's reference
    enabled_ = enabled;
    if (interval_ == 0) return;
    if (enabled_) {
        timerId_ = TimerStart(*this, interval_);
    } else if (timerId_ != 0) {
        TimerStop(*this);
        timerId_ = 0;
    }
}

void PCXTimer::SetInterval(uint32_t interval) {
    if (interval == interval_) return;
    auto self = shared_from_this();
    interval_ = interval;
    if (timerId_ != 0) {
        TimerStop(*this);
        timerId_ = 0;
    }
    if (interval_ != 0 && enabled_) timerId_ = TimerStart(*this, interval_);
}

}  // namespace tarvelin
