#pragma once
// A system library loaded at run time and freed on release, for the interfaces that some
// supported systems lack: a missing library or function is a null pointer, never a failed
// start of the program.
#include <windows.h>

#include <utility>

namespace tarvelin::platform {

class SystemLibrary {
  public:
    SystemLibrary() = default;
    explicit SystemLibrary(const char* name) : module_(LoadLibraryA(name)) {}
    ~SystemLibrary() {
        if (module_) FreeLibrary(module_);
    }
    SystemLibrary(SystemLibrary&& other) noexcept : module_(std::exchange(other.module_, {})) {}
    SystemLibrary& operator=(SystemLibrary&& other) noexcept {
        std::swap(module_, other.module_);
        return *this;
    }

    explicit operator bool() const { return module_ != nullptr; }

    // Looks the function up; false (and a null function) when it or the library is missing.
    template <class Function>
    bool Bind(const char* name, Function& function) const {
        function =
            module_
                ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)))
                : nullptr;
        return function != nullptr;
    }

  private:
    HMODULE module_ = nullptr;
};

}  // namespace tarvelin::platform
