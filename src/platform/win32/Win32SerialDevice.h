#pragma once
// Serial devices on Windows: the COM device opened in overlapped mode, one manual-reset event
// object per asynchronous slot, completion tested with a zero wait.
#include "platform/SerialDevice.h"

namespace tarvelin::platform {

class Win32SerialDeviceFactory : public ISerialDeviceFactory {
  public:
    SerialOpenResult Open(const std::string& name) override;
};

}  // namespace tarvelin::platform
