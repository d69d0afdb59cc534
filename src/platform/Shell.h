#pragma once
#include <cstdint>
#include <string>

#include "platform/MessageBox.h"

namespace tarvelin::platform {

class IShell {
  public:
    virtual ~IShell() = default;
    // Runs the verb on a file or address; returns the shell's answer (above 32 on success).
    virtual intptr_t Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int showCommand) = 0;
};

}  // namespace tarvelin::platform
