#pragma once
// An in-memory registry with the ANSI registry functions' contract: typed values (any type
// may be stored, as a person with an editor could), case-insensitive names, parents
// created with their keys, ERROR_MORE_DATA for short buffers and 259 after the last value.
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
    struct Key {
        std::vector<std::pair<std::string, Value>> values;  // in creation order
    };

    std::unique_ptr<platform::IRegKey> Open(platform::RegRoot root, const std::string& path,
                                            bool write, long& error) override;
    std::unique_ptr<platform::IRegKey> Create(platform::RegRoot root, const std::string& path,
                                              long& error) override;
    long DeleteKey(platform::RegRoot root, const std::string& path) override;

    // Test helpers: direct access, bypassing the registry layer.
    bool KeyExists(platform::RegRoot root, const std::string& path) const;
    void PutString(platform::RegRoot root, const std::string& path, const std::string& name,
                   const std::string& ansi);
    void PutRaw(platform::RegRoot root, const std::string& path, const std::string& name,
                uint32_t type, std::vector<uint8_t> data);
    const Value* Get(platform::RegRoot root, const std::string& path,
                     const std::string& name) const;
    // The bytes of a REG_SZ value: the ANSI text and its terminating NUL.
    static std::vector<uint8_t> Sz(const std::string& ansi);
    // Every write fails with access denied while set (a locked-down profile).
    bool denyWrites = false;

  private:
    static std::string Canonical(platform::RegRoot root, const std::string& path);
    Key& Ensure(platform::RegRoot root, const std::string& path);
    std::map<std::string, Key> keys_;
};

}  // namespace tarvelin::sim
