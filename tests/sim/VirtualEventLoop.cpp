#include "sim/VirtualEventLoop.h"

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

void VirtualEventLoop::Advance(uint64_t ms) {
    const uint64_t target = now_ + ms;
    for (;;) {
        auto due = queue_.NextDue();
        if (!due || *due > target) break;
        if (*due > now_) now_ = *due;
        queue_.FireOne(now_);
    }
    if (target > now_) now_ = target;
}

int VirtualEventLoop::Run() {
    quit_ = false;
    while (!quit_) {
        auto due = queue_.NextDue();
        if (!due) break;
        if (*due > now_) now_ = *due;
        queue_.FireOne(now_);
    }
    return quitCode_;
}

void VirtualEventLoop::Quit(int code) {
    quit_ = true;
    quitCode_ = code;
}

}  // namespace tarvelin::sim
