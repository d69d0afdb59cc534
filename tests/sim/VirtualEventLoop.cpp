#include "sim/VirtualEventLoop.h"

#include <algorithm>

namespace tarvelin::sim {

bool VirtualEventLoop::Refuse() {
    if (failStarts_ <= 0) return false;
    --failStarts_;
    return true;
}

platform::TimerId VirtualEventLoop::StartTimer(uint32_t periodMs, TimerProc proc) {
    return Refuse() ? 0 : queue_.Start(now_, periodMs, std::move(proc));
}

platform::TimerId VirtualEventLoop::StartOneShot(uint32_t delayMs, std::function<void()> proc) {
    return Refuse() ? 0 : queue_.StartOneShot(now_, delayMs, std::move(proc));
}

bool VirtualEventLoop::PumpOnce() {
    bool any = false;
    while (queue_.FireOne(now_)) any = true;
    return any;
}

bool VirtualEventLoop::FireNext(uint64_t limit) {
    const auto due = queue_.NextDue();
    if (!due || *due > limit) return false;
    now_ = std::max(now_, *due);
    queue_.FireOne(now_);
    return true;
}

void VirtualEventLoop::Advance(uint64_t ms) {
    const uint64_t target = now_ + ms;
    while (FireNext(target)) continue;
    now_ = std::max(now_, target);
}

}  // namespace tarvelin::sim
