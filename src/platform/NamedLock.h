#pragma once
// A machine-wide named lock (a named mutex on Windows).
#include <cstdint>
#include <memory>
#include <string>

namespace tarvelin::platform {

class INamedLock {
  public:
    virtual ~INamedLock() = default;  // closes the handle
    virtual bool Release() = 0;       // gives up ownership
};

struct NamedLockResult {
    std::unique_ptr<INamedLock> lock;  // null when creation failed
    uint32_t lastError = 0;            // 183 when the name already existed
};

class INamedLocks {
  public:
    virtual ~INamedLocks() = default;
    // Creates the named lock owned by the caller, or opens the existing one.
    virtual NamedLockResult CreateOwned(const std::string& name) = 0;
};

}  // namespace tarvelin::platform
