#pragma once
#include "platform/DeviceSetup.h"

namespace tarvelin::platform {

// Device installation through the setup interface's ANSI functions and the driver
// installer. The device lists it hands out report their errors here, so they must not
// outlive it.
class Win32DeviceSetup : public IDeviceSetup {
  public:
    std::unique_ptr<IDeviceList> GetClassDevs(const Guid* classGuid, uint32_t flags) override;
    std::unique_ptr<IDeviceList> CreateList(const Guid& classGuid) override;
    bool GetInfClass(const std::string& infPath, Guid& classGuid, std::vector<char>& className,
                     uint32_t& requiredSize) override;
    bool UpdateDriver(WindowHandle parent, const std::string& hardwareId,
                      const std::string& infPath, uint32_t flags, bool& restart) override;
    uint32_t LastError() override { return lastError_; }

  private:
    uint32_t lastError_ = 0;
};

}  // namespace tarvelin::platform
