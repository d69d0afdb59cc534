#pragma once
#include <cstdint>
#include <string>

namespace tarvelin::platform {

using WindowHandle = uintptr_t;  // an HWND; 0 for none

// A blocking message box; returns the button pressed (IDOK = 1, ...).
class IMessageBox {
  public:
    virtual ~IMessageBox() = default;
    virtual int Show(WindowHandle owner, const std::string& text, uint32_t style,
                     const std::string& title) = 0;
};

}  // namespace tarvelin::platform
