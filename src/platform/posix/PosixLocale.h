#pragma once
// The regional settings of the process's C locale.
#include "platform/Locale.h"

namespace tarvelin::platform {

class PosixLocale : public ILocale {
  public:
    std::string DecimalSeparator() override;
};

}  // namespace tarvelin::platform
