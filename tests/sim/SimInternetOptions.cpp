#include "sim/SimInternetOptions.h"

namespace tarvelin::sim {

using platform::kInternetOptionPerConnectionOption;
using platform::kPerConnFlags;
using platform::PerConnOption;

bool SimInternetOptions::Begin(Call call, uint32_t option, const std::string* connection,
                               uint32_t listSize) {
    calls.push_back({call, option, connection ? Connection(*connection) : std::nullopt, listSize});
    return !failing_.count({call, option});
}

bool SimInternetOptions::SetPerConnection(const std::string* connection,
                                          const std::vector<PerConnOption>& options,
                                          uint32_t listSize) {
    if (!Begin(Call::Set, kInternetOptionPerConnectionOption, connection, listSize)) return false;
    auto& stored = settings[calls.back().connection];
    for (const PerConnOption& option : options) stored[option.option] = option;
    return true;
}

// A connection whose options were never set has direct access and no texts.
bool SimInternetOptions::QueryPerConnection(const std::string* connection,
                                            std::vector<PerConnOption>& options,
                                            uint32_t listSize) {
    if (!Begin(Call::Query, kInternetOptionPerConnectionOption, connection, listSize)) {
        return false;
    }
    const auto found = settings.find(calls.back().connection);
    for (PerConnOption& option : options) {
        const uint32_t number = option.option;
        option = {number, number == kPerConnFlags ? 1u : 0u, std::nullopt};
        if (found == settings.end()) continue;
        const auto value = found->second.find(number);
        if (value != found->second.end()) option = value->second;
    }
    return true;
}

bool SimInternetOptions::Notify(uint32_t option) {
    return Begin(Call::Notify, option, nullptr, 0);
}

}  // namespace tarvelin::sim
