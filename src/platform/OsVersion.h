#pragma once
#include <cstdint>
#include <string>

namespace tarvelin::platform {

struct OsVersionInfo {
    uint32_t major = 0, minor = 0, build = 0, platformId = 0;
    std::string servicePack;  // raw, may hold a NUL
};

class IOsVersion {
  public:
    virtual ~IOsVersion() = default;
    // Asks the system with a version structure of the given size (156 extended, 148 basic).
    virtual bool Query(uint32_t structSize, OsVersionInfo& info) = 0;
    // True when visual themes are active; false on systems that have none.
    virtual bool ThemesActive() = 0;
};

}  // namespace tarvelin::platform
