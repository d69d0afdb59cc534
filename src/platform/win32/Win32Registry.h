#pragma once
#include "platform/Registry.h"

struct HKEY__;  // the system's HKEY

namespace tarvelin::platform {

// An open key that another system service handed out (a device key), closed on release.
std::unique_ptr<IRegKey> AdoptRegKey(HKEY__* key);

// The registry through its ANSI functions.
class Win32Registry : public IRegistry {
  public:
    std::unique_ptr<IRegKey> Open(RegRoot root, const std::string& path, bool write,
                                  long& error) override;
    std::unique_ptr<IRegKey> Create(RegRoot root, const std::string& path, long& error) override;
    long DeleteKey(RegRoot root, const std::string& path) override;
};

}  // namespace tarvelin::platform
