#pragma once
#include <cstdint>

namespace tarvelin::platform {

// Milliseconds since some start, wrapping at 2^32 like the system tick count.
class IClock {
  public:
    virtual ~IClock() = default;
    virtual uint32_t TickCount() = 0;
};

}  // namespace tarvelin::platform
