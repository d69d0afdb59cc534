#pragma once
// Serial devices on Linux: a terminal device in raw, non-blocking mode. The three slots are
// modelled on non-blocking calls tested with a zero-timeout poll; the line configuration
// maps onto termios where Linux has the field, line errors come from the driver's error
// counters where it keeps them. Errors are given in Windows numbering.
#include <string>

#include "platform/SerialDevice.h"

namespace tarvelin::platform {

// "\\.\COM5" → "/dev/COM5", "\\.\/dev/pts/3" → "/dev/pts/3", "ttyUSB0" → "/dev/ttyUSB0".
std::string PosixDevicePath(const std::string& name);
// The Windows error code for an errno value of a serial-device call.
uint32_t WindowsErrorFromErrno(int err);

class PosixSerialDeviceFactory : public ISerialDeviceFactory {
  public:
    SerialOpenResult Open(const std::string& name) override;
};

}  // namespace tarvelin::platform
