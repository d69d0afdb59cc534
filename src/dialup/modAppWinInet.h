#pragma once
// The proxy settings the system's Internet options keep for one dial-up connection; an
// empty connection name means the local network's settings.
#include <string>

namespace tarvelin {

// True when the options were stored and the system was told of the change.
bool SetConnectionProxy(const std::string& connection, bool direct, bool useProxy,
                        bool useAutoConfigUrl, bool autoDetect, const std::string& proxyServer,
                        const std::string& bypassList, const std::string& autoConfigUrl);
bool GetConnectionProxy(const std::string& connection, bool& direct, bool& useProxy,
                        bool& useAutoConfigUrl, bool& autoDetect, std::string& proxyServer,
                        std::string& bypassList, std::string& autoConfigUrl);

}  // namespace tarvelin
