#pragma once

#include <memory>

namespace tarvelin {

// An object whose work starts from the message loop, after the current message has been
// handled (see RunLater).
class Runnable {
  public:
    virtual ~Runnable() = default;
    virtual void Start() = 0;
};

// Starts a method of an object owned elsewhere, unless the object is gone by then.
template <typename T>
class WeakRunnable final : public Runnable {
  public:
    WeakRunnable(std::weak_ptr<T> target, void (T::*method)())
        : target_(std::move(target)), method_(method) {}
    void Start() override {
        if (const auto target = target_.lock()) ((*target).*method_)();
    }

  private:
    std::weak_ptr<T> target_;
    void (T::*method_)();
};

}  // namespace tarvelin
