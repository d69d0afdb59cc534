#pragma once
// An in-memory registry with the ANSI registry functions' contract: typed values (any type
// may be stored, as a person with an editor could), case-insensitive names, parents
// created with their keys, ERROR_MORE_DATA for short buffers and 259 after the last value,
// ERROR_KEY_DELETED on a handle whose key was deleted.
#include <map>
#include <string>
#include <vector>

#include "platform/Registry.h"

namespace tarvelin::sim {

class SimRegistry : public platform::IRegistry {
  public:
    struct Value {
        uint32_t type;
        std::vector<uint8_t> data;
    };
    using Values = std::vector<std::pair<std::string, Value>>;  // in creation order
    using Keys = std::map<std::string, Values>;                 // by canonical path

    std::unique_ptr<platform::IRegKey> Open(platform::RegRoot root, const std::string& path,
                                            bool write, long& error) override;
    std::unique_ptr<platform::IRegKey> Create(platform::RegRoot root, const std::string& path,
                                              long& error) override;
    long DeleteKey(platform::RegRoot root, const std::string& path) override {
        return keys_.erase(Canonical(root, path)) ? 0 : platform::kErrorFileNotFound;
    }

    // Test helpers: direct access, bypassing the registry layer and denyWrites.
    void PutRaw(platform::RegRoot root, const std::string& path, const std::string& name,
                uint32_t type, std::vector<uint8_t> data);
    void PutString(platform::RegRoot root, const std::string& path, const std::string& name,
                   const std::string& ansi) {
        PutRaw(root, path, name, platform::kRegSz, Sz(ansi));
    }
    const Value* Get(platform::RegRoot root, const std::string& path,
                     const std::string& name) const;
    // The bytes of a REG_SZ value: the ANSI text and its terminating NUL.
    static std::vector<uint8_t> Sz(const std::string& ansi);
    // Every write fails with access denied while set (a locked-down profile).
    bool denyWrites = false;

  private:
    static std::string Canonical(platform::RegRoot root, const std::string& path);
    Keys keys_;
};

}  // namespace tarvelin::sim
