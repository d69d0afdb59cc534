#include "platform/TimerQueue.h"

#include <algorithm>

namespace tarvelin::platform {

TimerId TimerQueue::Start(uint64_t now, uint32_t periodMs, IEventLoop::TimerProc proc) {
    const uint32_t period = std::max(periodMs, kMinimumPeriod);
    const TimerId id = NewId();
    timers_.emplace(id, Timer{period, now + period, std::move(proc), false});
    return id;
}

TimerId TimerQueue::NewId() {
    if (!reuseIds_) return nextId_++;
    TimerId id = 1;
    for (const auto& [used, timer] : timers_) {  // ascending: the first gap is the lowest free id
        if (used != id) break;
        ++id;
    }
    return id;
}

TimerId TimerQueue::StartOneShot(uint64_t now, uint32_t delayMs, std::function<void()> proc) {
    const TimerId id = Start(now, delayMs, [proc = std::move(proc)](TimerId) { proc(); });
    timers_.at(id).oneShot = true;
    return id;
}

bool TimerQueue::Stop(TimerId id) {
    return timers_.erase(id) > 0;
}

std::optional<uint64_t> TimerQueue::NextDue() const {
    std::optional<uint64_t> next;
    for (const auto& [id, timer] : timers_) {
        if (!next || timer.due < *next) next = timer.due;
    }
    return next;
}

bool TimerQueue::FireOne(uint64_t now) {
    auto due = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (it->second.due <= now && (due == timers_.end() || it->second.due < due->second.due))
            due = it;
    }
    if (due == timers_.end()) return false;

    const TimerId id = due->first;
    // Copy the callback: it may stop its own timer, which destroys the stored one.
    IEventLoop::TimerProc proc = due->second.proc;
    if (due->second.oneShot) {
        timers_.erase(due);
    } else {
        due->second.due = now + due->second.period;
    }
    proc(id);
    return true;
}

}  // namespace tarvelin::platform
