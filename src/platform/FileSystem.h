#pragma once
// Files, folders, attributes and temporary names. Paths are UTF-8.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvelin::platform {

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Windows file attribute bits; the Linux adapter maps read-only onto permissions and
// reports names starting with "." as hidden.
inline constexpr uint32_t kAttrReadOnly = 0x1;
inline constexpr uint32_t kAttrHidden = 0x2;
inline constexpr uint32_t kAttrSystem = 0x4;
inline constexpr uint32_t kAttrDirectory = 0x10;
inline constexpr uint32_t kAttrArchive = 0x20;
inline constexpr uint32_t kAttrNormal = 0x80;
// A link to elsewhere (a junction or symbolic link): removed itself, never followed.
inline constexpr uint32_t kAttrReparsePoint = 0x400;

struct DirEntry {
    std::string name;  // without the folder; "." and ".." are listed like any other name
    uint32_t attributes = 0;
};

class IFileSystem {
  public:
    virtual ~IFileSystem() = default;
    // The system's temporary folder; false when it cannot be told.
    virtual bool TempFolder(std::string& folder) = 0;
    // The name the system builds from folder, the first three letters of prefix and unique
    // in hexadecimal, without creating the file; false when the system refuses.
    virtual bool TempName(const std::string& folder, const std::string& prefix, uint32_t unique,
                          std::string& name) = 0;
    virtual std::optional<uint32_t> Attributes(const std::string& path) = 0;
    virtual bool SetAttributes(const std::string& path, uint32_t attributes) = 0;
    virtual bool List(const std::string& folder, std::vector<DirEntry>& entries) = 0;
    virtual bool RemoveFile(const std::string& path) = 0;
    virtual bool CreateFolder(const std::string& path) = 0;
    virtual bool RemoveFolder(const std::string& path) = 0;  // an empty folder
    virtual bool ReadAll(const std::string& path, std::string& bytes) = 0;
    virtual bool WriteAll(const std::string& path, const std::string& bytes) = 0;  // replaces
    // Gives a file another name in the same volume, replacing a file of the new name.
    virtual bool Rename(const std::string& from, const std::string& to) = 0;
};

}  // namespace tarvelin::platform
