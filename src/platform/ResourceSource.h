#pragma once
// Read-only access to the program's own resources (the driver database is resource "DB" 101).
#include <cstdint>
#include <string>
#include <vector>

namespace tarvelin::platform {

class IResourceSource {
  public:
    virtual ~IResourceSource() = default;
    // Copies the bytes of the resource of `type` and numeric `id`; false when there is none
    // or it cannot be read.
    virtual bool Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) = 0;
};

}  // namespace tarvelin::platform
