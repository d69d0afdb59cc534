#pragma once
// GoogleTest's thread start signal for compilers of the Win32 thread model, which have no
// std::mutex or std::condition_variable: a flag polled with the system's Sleep. Only
// GoogleTest's own thread helper uses it; force-included into every GoogleTest build.
#include <atomic>

extern "C" __declspec(dllimport) void __stdcall Sleep(unsigned long milliseconds);

namespace testing::internal {

class Notification {
  public:
    Notification() = default;
    Notification(const Notification&) = delete;
    Notification& operator=(const Notification&) = delete;

    void Notify() { notified_.store(true); }
    void WaitForNotification() {
        while (!notified_.load()) Sleep(1);
    }

  private:
    std::atomic<bool> notified_{false};
};

}  // namespace testing::internal
