#pragma once
// The per-connection options of the system's Internet settings (InternetSetOptionW /
// InternetQueryOptionW on the default session). Texts are UTF-8 here and wide at the system;
// the adapter releases the copies the system hands out.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin::platform {

inline constexpr uint32_t kInternetOptionPerConnectionOption = 75;
inline constexpr uint32_t kInternetOptionSettingsChanged = 39;
inline constexpr uint32_t kInternetOptionRefresh = 37;
inline constexpr uint32_t kPerConnFlags = 1;
inline constexpr uint32_t kPerConnProxyServer = 2;
inline constexpr uint32_t kPerConnProxyBypass = 3;
inline constexpr uint32_t kPerConnAutoConfigUrl = 4;

// One INTERNET_PER_CONN_OPTION: a number for the flags, a text (null: none) for the others.
struct PerConnOption {
    uint32_t option = 0;
    uint32_t number = 0;
    std::optional<std::string> text;
};

class IInternetOptions {
  public:
    virtual ~IInternetOptions() = default;
    // Option 75 with an INTERNET_PER_CONN_OPTION_LIST for the connection (null: the local
    // network's settings); listSize is the list's size field.
    virtual bool SetPerConnection(const std::string* connection,
                                  const std::vector<PerConnOption>& options, uint32_t listSize) = 0;
    // Queries the options named in options (their option fields) and fills their values.
    virtual bool QueryPerConnection(const std::string* connection,
                                    std::vector<PerConnOption>& options, uint32_t listSize) = 0;
    // An option without a buffer (settings changed, refresh).
    virtual bool Notify(uint32_t option) = 0;
};

}  // namespace tarvelin::platform
