#pragma once
// The table of running PCXTimer objects and the one callback that routes every
// operating-system tick to its object.
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/EventLoop.h"

namespace tarvelin {

class PCXTimer;

inline constexpr int32_t kNoTimersAvailable = static_cast<int32_t>(0x80047925u);

struct TimerRecord {
    std::shared_ptr<PCXTimer> timer;
    platform::TimerId id = 0;  // 0 marks a free record
    bool inTick = false;
};

// Records numbered from 1 in the design; index 0 here. Grows five records at a time.
std::vector<TimerRecord>& TimerTable();

// Starts a system timer for the object and records it; throws AppError
// kNoTimersAvailable "No timers available" when the system refuses.
platform::TimerId TimerStart(PCXTimer& timer, uint32_t interval);
// Stops the timer recorded under the object's TimerID and frees its record.
void TimerStop(const PCXTimer& timer);
// The callback of every timer started by TimerStart.
void XTimerProc(platform::TimerId id);

}  // namespace tarvelin
