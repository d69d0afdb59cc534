#pragma once

namespace tarvelin {

// An object whose work starts from the message loop, after the current message has been
// handled (see RunLater).
class Runnable {
  public:
    virtual ~Runnable() = default;
    virtual void Start() = 0;
};

}  // namespace tarvelin
