#pragma once
// The system registry, ANSI flavour. Names and string data are bytes in the system's ANSI
// code page; results are Windows error codes (0 success). Keys close when released.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tarvelin::platform {

enum class RegRoot : uint8_t { CurrentUser, LocalMachine };

inline constexpr uint32_t kRegSz = 1;
inline constexpr uint32_t kRegExpandSz = 2;
inline constexpr uint32_t kRegBinary = 3;
inline constexpr uint32_t kRegDword = 4;
inline constexpr uint32_t kRegMultiSz = 7;
inline constexpr long kErrorSuccess = 0;
inline constexpr long kErrorFileNotFound = 2;
inline constexpr long kErrorMoreData = 234;
inline constexpr long kErrorNoMoreItems = 259;

class IRegKey {
  public:
    virtual ~IRegKey() = default;
    // Type and size in bytes of a value, without its data.
    virtual long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) = 0;
    // Reads up to data.size() bytes; size receives the bytes the value holds.
    virtual long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
                       uint32_t& size) = 0;
    virtual long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) = 0;
    virtual long Delete(const std::string& name) = 0;
    // The value at index: nameLen/dataLen hold the buffer sizes on entry (characters incl.
    // the NUL for the name, bytes for the data) and the lengths written on return.
    virtual long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
                      std::vector<uint8_t>& data, uint32_t& dataLen) = 0;
};

class IRegistry {
  public:
    virtual ~IRegistry() = default;
    virtual std::unique_ptr<IRegKey> Open(RegRoot root, const std::string& path, bool write,
                                          long& error) = 0;
    // Creates the key and any missing parents, or opens the existing key for writing.
    virtual std::unique_ptr<IRegKey> Create(RegRoot root, const std::string& path, long& error) = 0;
    // Deletes a key that has no subkeys.
    virtual long DeleteKey(RegRoot root, const std::string& path) = 0;
};

}  // namespace tarvelin::platform
