#pragma once
// The simulated per-connection options of the system's Internet settings: the flags, proxy
// server, bypass list and configuration URL of each connection (none: the local network),
// and a record of every call in order.
#include <cstdint>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "platform/InternetOptions.h"

namespace tarvelin::sim {

class SimInternetOptions : public platform::IInternetOptions {
  public:
    enum class Call : uint8_t { Set, Query, Notify };
    using Connection = std::optional<std::string>;  // none: the local network
    struct Record {
        Call call;
        uint32_t option;  // 75 for Set and Query
        Connection connection;
        uint32_t listSize;
    };

    bool SetPerConnection(const std::string* connection,
                          const std::vector<platform::PerConnOption>& options,
                          uint32_t listSize) override;
    bool QueryPerConnection(const std::string* connection,
                            std::vector<platform::PerConnOption>& options,
                            uint32_t listSize) override;
    bool Notify(uint32_t option) override;

    // Calls of this kind with this option number fail and change nothing.
    void FailCall(Call call, uint32_t option) { failing_.insert({call, option}); }
    std::vector<Record> calls;
    // The options set for a connection, by option number.
    std::map<Connection, std::map<uint32_t, platform::PerConnOption>> settings;

  private:
    bool Begin(Call call, uint32_t option, const std::string* connection, uint32_t listSize);
    std::set<std::pair<Call, uint32_t>> failing_;
};

}  // namespace tarvelin::sim
