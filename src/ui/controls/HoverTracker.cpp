#include "ui/controls/HoverTracker.h"

#include "core/AppError.h"
#include "core/modAppMain.h"

namespace tarvelin::ui {

bool HoverTracker::Start(std::function<void()> onTick) {
    if (timer_) return true;
    try {
        timer_ = SharedTimerAcquire();
    } catch (const AppError&) {
        SharedTimerRelease();  // the user counted by the failed acquire
        return false;
    }
    tick_ = timer_->Tick.Connect(std::move(onTick));
    return true;
}

void HoverTracker::Stop() {
    if (!timer_) return;
    tick_.Disconnect();
    timer_ = SharedTimerRelease();
}

}  // namespace tarvelin::ui
