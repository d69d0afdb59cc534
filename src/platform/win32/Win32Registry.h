#pragma once
#include "platform/Registry.h"

namespace tarvelin::platform {

// The registry through its ANSI functions.
class Win32Registry : public IRegistry {
  public:
    std::unique_ptr<IRegKey> Open(RegRoot root, const std::string& path, bool write,
                                  long& error) override;
    std::unique_ptr<IRegKey> Create(RegRoot root, const std::string& path, long& error) override;
    long DeleteKey(RegRoot root, const std::string& path) override;
};

}  // namespace tarvelin::platform
