#pragma once
// One resource held in memory: tests and tools hand container bytes to the logic with it.
#include <utility>

#include "platform/ResourceSource.h"

namespace tarvelin::platform {

class MemoryResourceSource : public IResourceSource {
  public:
    MemoryResourceSource(std::string type, uint16_t id, std::vector<uint8_t> bytes)
        : type_(std::move(type)), id_(id), bytes_(std::move(bytes)) {}

    bool Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) override {
        ++loads;
        if (type != type_ || id != id_) return false;
        bytes = bytes_;
        return true;
    }

    int loads = 0;  // how often the logic asked

  private:
    std::string type_;
    uint16_t id_;
    std::vector<uint8_t> bytes_;
};

}  // namespace tarvelin::platform
