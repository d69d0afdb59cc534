#pragma once
// The notification area through the shell, with the structure size of its first version so
// that every supported system accepts it.
#include <cstdint>

#include "platform/NotifyArea.h"

namespace tarvelin::platform {

class Win32NotifyArea : public INotifyArea {
  public:
    bool Add(WindowHandle window, uint32_t iconId, uint32_t callbackMessage, uint32_t iconResource,
             const std::string& tip) override;
    bool ModifyTip(WindowHandle window, uint32_t iconId, const std::string& tip) override;
    bool Remove(WindowHandle window, uint32_t iconId) override;
};

// The message the shell broadcasts to top-level windows when it has re-created the task
// bar (its icons are gone then and must be added again).
uint32_t TaskbarCreatedMessage();

}  // namespace tarvelin::platform
