#pragma once
#include <memory>

#include "platform/InternetOptions.h"

namespace tarvelin::platform {

// The per-connection Internet options through the Internet library's wide option calls on
// the default session. The library is loaded on first use and kept until release; without
// it (a system that never had the browser's Internet library) every call fails with
// ERROR_CALL_NOT_IMPLEMENTED as the thread's last error. A list size beyond the system's
// list record fails with ERROR_INVALID_PARAMETER. Not thread-safe.
class Win32InternetOptions : public IInternetOptions {
  public:
    Win32InternetOptions();
    ~Win32InternetOptions() override;
    Win32InternetOptions(const Win32InternetOptions&) = delete;
    Win32InternetOptions& operator=(const Win32InternetOptions&) = delete;

    bool SetPerConnection(const std::string* connection, const std::vector<PerConnOption>& options,
                          uint32_t listSize) override;
    bool QueryPerConnection(const std::string* connection, std::vector<PerConnOption>& options,
                            uint32_t listSize) override;
    bool Notify(uint32_t option) override;

    struct Api;

  private:
    const Api& Load();

    std::unique_ptr<Api> api_;
};

}  // namespace tarvelin::platform
