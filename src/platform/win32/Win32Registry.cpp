#include "platform/win32/Win32Registry.h"

#include <windows.h>

namespace tarvelin::platform {
namespace {

HKEY RootKey(RegRoot root) {
    return root == RegRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

class Win32RegKey : public IRegKey {
  public:
    explicit Win32RegKey(HKEY key) : key_(key) {}
    ~Win32RegKey() override { RegCloseKey(key_); }
    Win32RegKey(const Win32RegKey&) = delete;
    Win32RegKey& operator=(const Win32RegKey&) = delete;

    long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
        DWORD t = 0, s = 0;
        const LONG r = RegQueryValueExA(key_, name.c_str(), nullptr, &t, nullptr, &s);
        type = t;
        size = s;
        return r;
    }

    long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
               uint32_t& size) override {
        DWORD t = 0, s = static_cast<DWORD>(data.size());
        const LONG r = RegQueryValueExA(key_, name.c_str(), nullptr, &t,
                                        data.empty() ? nullptr : data.data(), &s);
        type = t;
        size = s;
        return r;
    }

    long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        return RegSetValueExA(key_, name.c_str(), 0, type, data.data(),
                              static_cast<DWORD>(data.size()));
    }

    long Delete(const std::string& name) override { return RegDeleteValueA(key_, name.c_str()); }

    long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
              std::vector<uint8_t>& data, uint32_t& dataLen) override {
        DWORD n = nameLen, d = dataLen, type = 0;
        const LONG r = RegEnumValueA(key_, index, name.data(), &n, nullptr, &type, data.data(), &d);
        nameLen = n;
        dataLen = d;
        return r;
    }

  private:
    HKEY key_;
};

}  // namespace

std::unique_ptr<IRegKey> AdoptRegKey(HKEY key) {
    return std::make_unique<Win32RegKey>(key);
}

std::unique_ptr<IRegKey> Win32Registry::Open(RegRoot root, const std::string& path, bool write,
                                             long& error) {
    HKEY key = nullptr;
    const REGSAM access = write ? KEY_READ | KEY_WRITE : KEY_READ;
    error = RegOpenKeyExA(RootKey(root), path.c_str(), 0, access, &key);
    return error == ERROR_SUCCESS ? std::make_unique<Win32RegKey>(key) : nullptr;
}

std::unique_ptr<IRegKey> Win32Registry::Create(RegRoot root, const std::string& path, long& error) {
    HKEY key = nullptr;
    error = RegCreateKeyExA(RootKey(root), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                            KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
    return error == ERROR_SUCCESS ? std::make_unique<Win32RegKey>(key) : nullptr;
}

long Win32Registry::DeleteKey(RegRoot root, const std::string& path) {
    return RegDeleteKeyA(RootKey(root), path.c_str());
}

}  // namespace tarvelin::platform
