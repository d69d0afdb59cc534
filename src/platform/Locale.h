#pragma once
#include <string>

namespace tarvelin::platform {

// The user's regional settings the display texts follow.
class ILocale {
  public:
    virtual ~ILocale() = default;
    // The decimal separator of numbers (UTF-8; "," or "." on most systems).
    virtual std::string DecimalSeparator() = 0;
};

}  // namespace tarvelin::platform
