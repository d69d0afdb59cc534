#pragma once
// Follows the mouse after it came over a control: while tracking, the control holds one user
// of the shared tick timer and is asked on every tick whether the cursor is still there.
#include <functional>
#include <memory>

#include "core/Event.h"
#include "core/PCXTimer.h"

namespace tarvelin::ui {

class HoverTracker {
  public:
    HoverTracker() = default;
    ~HoverTracker() { Stop(); }
    HoverTracker(const HoverTracker&) = delete;
    HoverTracker& operator=(const HoverTracker&) = delete;

    bool Tracking() const { return timer_ != nullptr; }
    // Subscribes to the shared tick; onTick runs on every tick until Stop. False when the
    // system has no timer to give: the control then simply does not track.
    bool Start(std::function<void()> onTick);
    // Unsubscribes; safe from inside onTick.
    void Stop();

  private:
    std::shared_ptr<PCXTimer> timer_;
    Connection tick_;
};

}  // namespace tarvelin::ui
