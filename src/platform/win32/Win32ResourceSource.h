#pragma once
// Resources of a loaded module through FindResourceA / LoadResource / LockResource.
#include <memory>
#include <string>

#include "platform/PassKey.h"
#include "platform/ResourceSource.h"

namespace tarvelin::platform {

class Win32ResourceSource : public IResourceSource {
  public:
    // The running program's own module.
    Win32ResourceSource();
    // Maps another executable as a data file (LoadLibraryExA, LOAD_LIBRARY_AS_DATAFILE);
    // null when it cannot be mapped. The module is released with the object.
    static std::unique_ptr<Win32ResourceSource> OpenFile(const std::string& path);
    Win32ResourceSource(PassKey<Win32ResourceSource>, void* module)
        : module_(module), owned_(true) {}
    ~Win32ResourceSource() override;
    Win32ResourceSource(const Win32ResourceSource&) = delete;
    Win32ResourceSource& operator=(const Win32ResourceSource&) = delete;

    bool Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) override;

  private:
    void* module_;  // HMODULE
    bool owned_;
};

}  // namespace tarvelin::platform
