#include "dialup/modAppWinInet.h"

#include <vector>

#include "core/AppState.h"
#include "platform/InternetOptions.h"

namespace tarvelin {
namespace {

using platform::PerConnOption;

constexpr uint32_t kDirect = 0x1;
constexpr uint32_t kUseProxy = 0x2;
constexpr uint32_t kUseAutoConfigUrl = 0x4;
constexpr uint32_t kAutoDetect = 0x8;
// INTERNET_PER_CONN_OPTION_LIST's size field: 20 bytes with 32-bit pointers, 32 with 64-bit
// ones (the system refuses a list of the other size).
constexpr uint32_t kOptionListSize = sizeof(void*) == 8 ? 32 : 20;

platform::IInternetOptions* Internet() {
    auto* platform = AppState().platform;
    return platform ? platform->internet : nullptr;
}

// The connection the options belong to: none selects the local network's settings.
const std::string* ConnectionOf(const std::string& name) {
    return name.empty() ? nullptr : &name;
}

}  // namespace

bool SetConnectionProxy(const std::string& connection, bool direct, bool useProxy,
                        bool useAutoConfigUrl, bool autoDetect, const std::string& proxyServer,
                        const std::string& bypassList, const std::string& autoConfigUrl) {
    platform::IInternetOptions* internet = Internet();
    if (!internet) return false;
    const uint32_t flags = (direct ? kDirect : 0) | (useProxy ? kUseProxy : 0) |
                           (useAutoConfigUrl ? kUseAutoConfigUrl : 0) |
                           (autoDetect ? kAutoDetect : 0);
    const std::vector<PerConnOption> options{
        {platform::kPerConnFlags, flags, std::nullopt},
        {platform::kPerConnProxyServer, 0, proxyServer},
        {platform::kPerConnProxyBypass, 0, bypassList},
        {platform::kPerConnAutoConfigUrl, 0, autoConfigUrl},
    };
    // The store, then the two notices, each made whatever the one before answered: running
    // programs reload what was stored even when a notice fails.
    const bool stored =
        internet->SetPerConnection(ConnectionOf(connection), options, kOptionListSize);
    const bool changed = internet->Notify(platform::kInternetOptionSettingsChanged);
    const bool refreshed = internet->Notify(platform::kInternetOptionRefresh);
    return stored && changed && refreshed;
}

bool GetConnectionProxy(const std::string& connection, bool& direct, bool& useProxy,
                        bool& useAutoConfigUrl, bool& autoDetect, std::string& proxyServer,
                        std::string& bypassList, std::string& autoConfigUrl) {
    direct = useProxy = useAutoConfigUrl = autoDetect = false;
    proxyServer.clear();
    bypassList.clear();
    autoConfigUrl.clear();
    platform::IInternetOptions* internet = Internet();
    std::vector<PerConnOption> options{{platform::kPerConnFlags, 0, std::nullopt},
                                       {platform::kPerConnProxyServer, 0, std::nullopt},
                                       {platform::kPerConnProxyBypass, 0, std::nullopt},
                                       {platform::kPerConnAutoConfigUrl, 0, std::nullopt}};
    if (!internet ||
        !internet->QueryPerConnection(ConnectionOf(connection), options, kOptionListSize))
        return false;
    const uint32_t flags = options[0].number;
    direct = flags & kDirect;
    useProxy = flags & kUseProxy;
    useAutoConfigUrl = flags & kUseAutoConfigUrl;
    autoDetect = flags & kAutoDetect;
    proxyServer = options[1].text.value_or("");
    bypassList = options[2].text.value_or("");
    autoConfigUrl = options[3].text.value_or("");
    return true;
}

}  // namespace tarvelin
