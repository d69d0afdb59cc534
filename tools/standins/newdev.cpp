// The stand-in newdev.dll: UpdateDriverForPlugAndPlayDevicesA does for the program's modem
// INFs what the system's device installer does, where Wine's only reports success. The INF's
// model for the hardware id gives the description; every device with that hardware id gets
// it as its friendly name (made unique among the modems with " #2", " #3" ...) and device
// description, and its driver key gets DriverDesc, InfPath, MatchingDeviceId and
// ProviderName. As the system does, the INF is kept in its INF folder as oemN.inf (the
// installer's file is often a temporary one) and InfPath names that copy. A test can make the call
// ask for a restart (TARVELIN_NEWDEV_RESTART=1) or be cancelled (TARVELIN_NEWDEV_CANCEL=1).
#include <windows.h>

#include <setupapi.h>

#include <fstream>
#include <memory>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "InfFile.h"
#include "core/modTypes.h"

namespace {

using tarvelin::EqualsNoCase;
using tarvelin::standin::InfFile;
using tarvelin::standin::InfModel;

struct DeviceListCloser {
    void operator()(HDEVINFO list) const { SetupDiDestroyDeviceInfoList(list); }
};
using DeviceListHandle = std::unique_ptr<void, DeviceListCloser>;

struct KeyCloser {
    void operator()(HKEY key) const { RegCloseKey(key); }
};
using KeyHandle = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

SP_DEVINFO_DATA DeviceData() {
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    return device;
}

bool Flag(const char* name) {
    char value[8] = {};
    return GetEnvironmentVariableA(name, value, sizeof value) > 0 && value[0] == '1';
}

std::string Property(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
    char buffer[2048] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(list, &device, property, &type,
                                           reinterpret_cast<BYTE*>(buffer), sizeof buffer - 2,
                                           nullptr))
        return {};
    return std::string(buffer, strnlen(buffer, sizeof buffer));  // a multi-string's first
}

bool HasHardwareId(HDEVINFO list, SP_DEVINFO_DATA& device, const std::string& wanted) {
    char buffer[4096] = {};
    DWORD type = 0;
    if (!SetupDiGetDeviceRegistryPropertyA(list, &device, SPDRP_HARDWAREID, &type,
                                           reinterpret_cast<BYTE*>(buffer), sizeof buffer - 2,
                                           nullptr))
        return false;
    for (const char* id = buffer; *id; id += strlen(id) + 1)
        if (EqualsNoCase(id, wanted)) return true;
    return false;
}

void SetText(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property, const std::string& text) {
    SetupDiSetDeviceRegistryPropertyA(list, &device, property,
                                      reinterpret_cast<const BYTE*>(text.c_str()),
                                      static_cast<DWORD>(text.size() + 1));
}

void SetValue(HKEY key, const char* name, const std::string& text) {
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>(text.size() + 1));
}

// The friendly names the installed devices already carry, but for the one being installed.
std::set<std::string> NamesInUse(HDEVINFO list, const SP_DEVINFO_DATA& self) {
    std::set<std::string> names;
    SP_DEVINFO_DATA device = DeviceData();
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list, i, &device); ++i)
        if (device.DevInst != self.DevInst)
            names.insert(tarvelin::TextUpper(Property(list, device, SPDRP_FRIENDLYNAME)));
    return names;
}

std::string UniqueName(const std::string& description, const std::set<std::string>& taken) {
    std::string name = description;
    for (int n = 2; taken.count(tarvelin::TextUpper(name)); ++n)
        name = description + " #" + std::to_string(n);
    return name;
}

void Install(HDEVINFO list, SP_DEVINFO_DATA& device, const InfModel& model,
             const std::string& infPath, const std::string& hardwareId) {
    SetText(list, device, SPDRP_FRIENDLYNAME,
            UniqueName(model.description, NamesInUse(list, device)));
    SetText(list, device, SPDRP_DEVICEDESC, model.description);
    SetText(list, device, SPDRP_MFG, model.maker);
    KeyHandle key(
        SetupDiCreateDevRegKeyA(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, nullptr, nullptr));
    if (key.get() == INVALID_HANDLE_VALUE) {
        key.release();
        return;
    }
    SetValue(key.get(), "DriverDesc", model.description);
    SetValue(key.get(), "InfPath", infPath);
    SetValue(key.get(), "MatchingDeviceId", hardwareId);
    SetValue(key.get(), "ProviderName", model.maker);
}

// The name of the INF folder's copy of TEXT: an identical oemN.inf, or the first free
// name, written; empty when it cannot be written.
std::string PublishInf(const std::string& text) {
    char windows[MAX_PATH] = {};
    if (!GetWindowsDirectoryA(windows, MAX_PATH)) return {};
    const std::string folder = std::string(windows) + "\\inf\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    for (int n = 0; n < 10000; ++n) {
        const std::string name = "oem" + std::to_string(n) + ".inf";
        if (std::ifstream old{folder + name, std::ios::binary}) {
            std::stringstream kept;
            kept << old.rdbuf();
            if (kept.str() == text) return name;
            continue;
        }
        std::ofstream out(folder + name, std::ios::binary);
        return out << text && out.flush() ? name : std::string();
    }
    return {};
}

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI
    UpdateDriverForPlugAndPlayDevicesA(HWND, LPCSTR hardwareId, LPCSTR infPath, DWORD,
                                       PBOOL restart) {
    if (restart) *restart = FALSE;
    if (!hardwareId || !infPath) return Fail(ERROR_INVALID_PARAMETER);
    std::ifstream in(infPath, std::ios::binary);
    if (!in) return Fail(ERROR_FILE_NOT_FOUND);
    std::stringstream text;
    text << in.rdbuf();
    const InfFile inf(text.str());
    if (!inf.WellFormed() || !inf.Signed()) return Fail(ERROR_WRONG_INF_STYLE);
    const std::optional<InfModel> model = inf.Model(hardwareId);
    if (!model) return Fail(ERROR_NO_COMPAT_DRIVERS);
    if (Flag("TARVELIN_NEWDEV_CANCEL")) return Fail(ERROR_CANCELLED);
    const std::string published = PublishInf(text.str());
    if (published.empty()) return Fail(ERROR_ACCESS_DENIED);
    DeviceListHandle list(SetupDiGetClassDevsA(nullptr, nullptr, nullptr, DIGCF_ALLCLASSES));
    if (list.get() == INVALID_HANDLE_VALUE) {
        list.release();
        return Fail(ERROR_NO_SUCH_DEVINST);
    }
    bool installed = false;
    SP_DEVINFO_DATA device = DeviceData();
    for (DWORD i = 0; SetupDiEnumDeviceInfo(list.get(), i, &device); ++i) {
        if (!HasHardwareId(list.get(), device, hardwareId)) continue;
        Install(list.get(), device, *model, published, hardwareId);
        installed = true;
    }
    if (!installed) return Fail(ERROR_NO_SUCH_DEVINST);
    if (restart) *restart = Flag("TARVELIN_NEWDEV_RESTART");
    return TRUE;
}
