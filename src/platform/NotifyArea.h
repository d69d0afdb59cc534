#pragma once
// Icons in the notification area of the task bar.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/MessageBox.h"

namespace tarvelin::platform {

// The tool tip field holds this many UTF-16 units including the terminating zero.
inline constexpr size_t kNotifyTipUnits = 64;

// The longest start of text (UTF-8) that fits the tool tip field: at most 63 UTF-16 units,
// cut between characters, so that a character outside the basic plane (two units) is kept
// whole or dropped whole.
std::string FitNotifyTip(std::string_view text);

class INotifyArea {
  public:
    virtual ~INotifyArea() = default;
    // Mouse events on the icon arrive at window as callbackMessage; the icon is the
    // program's icon resource iconResource. A longer tip is cut with FitNotifyTip.
    virtual bool Add(WindowHandle window, uint32_t iconId, uint32_t callbackMessage,
                     uint32_t iconResource, const std::string& tip) = 0;
    virtual bool ModifyTip(WindowHandle window, uint32_t iconId, const std::string& tip) = 0;
    virtual bool Remove(WindowHandle window, uint32_t iconId) = 0;
};

}  // namespace tarvelin::platform
