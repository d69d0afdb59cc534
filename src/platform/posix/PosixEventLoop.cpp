#include "platform/posix/PosixEventLoop.h"

#include <chrono>
#include <thread>

namespace tarvelin::platform {

uint64_t PosixEventLoop::NowMs() {
    using namespace std::chrono;
    return static_cast<uint64_t>(
        duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

TimerId PosixEventLoop::StartTimer(uint32_t periodMs, TimerProc proc) {
    return queue_.Start(NowMs(), periodMs, std::move(proc));
}

TimerId PosixEventLoop::StartOneShot(uint32_t delayMs, std::function<void()> proc) {
    return queue_.StartOneShot(NowMs(), delayMs, std::move(proc));
}

bool PosixEventLoop::PumpOnce() {
    bool any = false;
    while (queue_.FireOne(NowMs())) any = true;
    return any;
}

int PosixEventLoop::Run() {
    quit_ = false;
    while (!quit_) {
        auto due = queue_.NextDue();
        if (!due) break;  // nothing can ever happen again
        const uint64_t now = NowMs();
        if (*due > now) std::this_thread::sleep_for(std::chrono::milliseconds(*due - now));
        queue_.FireOne(NowMs());
    }
    return quitCode_;
}

void PosixEventLoop::Quit(int code) {
    quit_ = true;
    quitCode_ = code;
}

}  // namespace tarvelin::platform
