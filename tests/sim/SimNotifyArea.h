#pragma once
// A simulated notification area: the icons present with their tips (cut as the system's
// field cuts them), a knob to refuse new icons, and the loss of every icon that happens
// when the shell re-creates the task bar.
#include <map>
#include <string>
#include <utility>

#include "platform/NotifyArea.h"

namespace tarvelin::sim {

struct SimNotifyIcon {
    uint32_t callbackMessage = 0;
    uint32_t iconResource = 0;
    std::string tip;
};

class SimNotifyArea : public platform::INotifyArea {
  public:
    using Key = std::pair<platform::WindowHandle, uint32_t>;

    bool Add(platform::WindowHandle window, uint32_t iconId, uint32_t callbackMessage,
             uint32_t iconResource, const std::string& tip) override {
        if (failAdd || icons.count({window, iconId})) return false;
        icons[{window, iconId}] = {callbackMessage, iconResource, platform::FitNotifyTip(tip)};
        return true;
    }
    bool ModifyTip(platform::WindowHandle window, uint32_t iconId,
                   const std::string& tip) override {
        const auto found = icons.find({window, iconId});
        if (found == icons.end()) return false;
        found->second.tip = platform::FitNotifyTip(tip);
        return true;
    }
    bool Remove(platform::WindowHandle window, uint32_t iconId) override {
        return icons.erase({window, iconId}) > 0;
    }
    // The task bar was re-created: no icon survives.
    void LoseIcons() { icons.clear(); }

    bool failAdd = false;
    std::map<Key, SimNotifyIcon> icons;
};

}  // namespace tarvelin::sim
