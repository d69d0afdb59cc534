#include "platform/win32/Win32ResourceSource.h"

#include <windows.h>

namespace tarvelin::platform {

Win32ResourceSource::Win32ResourceSource() : module_(GetModuleHandleA(nullptr)), owned_(false) {}

std::unique_ptr<Win32ResourceSource> Win32ResourceSource::OpenFile(const std::string& path) {
    HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module) return nullptr;
    return std::make_unique<Win32ResourceSource>(PassKey<Win32ResourceSource>{}, module);
}

Win32ResourceSource::~Win32ResourceSource() {
    if (owned_) FreeLibrary(static_cast<HMODULE>(module_));
}

bool Win32ResourceSource::Load(const std::string& type, uint16_t id, std::vector<uint8_t>& bytes) {
    auto module = static_cast<HMODULE>(module_);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), type.c_str());
    if (!info) return false;
    const DWORD size = SizeofResource(module, info);
    HGLOBAL handle = LoadResource(module, info);
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) return false;
    const auto* first = static_cast<const uint8_t*>(data);
    bytes.assign(first, first + size);
    return true;
}

}  // namespace tarvelin::platform
