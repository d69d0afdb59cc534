#pragma once
// Serves one resource from a file, so native programs read the container the build made.
#include <string>

#include "platform/ResourceSource.h"

namespace tarvelin::platform {

class FileResourceSource : public IResourceSource {
  public:
    FileResourceSource(std::string type, uint16_t id, std::string path)
        : type_(std::move(type)), id_(id), path_(std::move(path)) {}

    // Reads the file afresh on every call; false when it cannot be read.
    bool Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) override;

  private:
    std::string type_;
    uint16_t id_;
    std::string path_;
};

}  // namespace tarvelin::platform
