#pragma once
#include "platform/FileSystem.h"

namespace tarvelin::platform {

// Files through the wide functions, so that any path the user has works.
class Win32FileSystem : public IFileSystem {
  public:
    bool TempFolder(std::string& folder) override;
    bool TempName(const std::string& folder, const std::string& prefix, uint32_t unique,
                  std::string& name) override;
    std::optional<uint32_t> Attributes(const std::string& path) override;
    bool SetAttributes(const std::string& path, uint32_t attributes) override;
    bool List(const std::string& folder, std::vector<DirEntry>& entries) override;
    bool RemoveFile(const std::string& path) override;
    bool CreateFolder(const std::string& path) override;
    bool RemoveFolder(const std::string& path) override;
    bool ReadAll(const std::string& path, std::string& bytes) override;
    bool WriteAll(const std::string& path, const std::string& bytes) override;
    bool Rename(const std::string& from, const std::string& to) override;
};

}  // namespace tarvelin::platform
