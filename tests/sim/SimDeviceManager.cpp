#include "sim/SimDeviceManager.h"

#include <cstdio>
#include <optional>

#include "InfFile.h"
#include "platform/AnsiText.h"
#include "sim/HostFileSystem.h"

namespace tarvelin::sim {
namespace {

using platform::kSpdrpDeviceDesc;
using platform::kSpdrpFriendlyName;
using platform::kSpdrpHardwareId;
using standin::InfFile;

constexpr uint32_t kErrorWrongInfStyle = 0xE0000100;  // the file is not an INF file

platform::Guid ParseGuid(const std::string& text) {  // fields that do not parse stay 0
    platform::Guid g;
    unsigned b[8] = {};
    std::sscanf(text.c_str(), "{%8x-%4hx-%4hx-%2x%2x-%2x%2x%2x%2x%2x%2x}", &g.data1, &g.data2,
                &g.data3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]);
    std::ranges::transform(b, g.data4.begin(), [](unsigned byte) { return uint8_t(byte); });
    return g;
}

// 0 with the INF read; ERROR_FILE_NOT_FOUND for a missing file, ERROR_WRONG_INF_STYLE for
// a file the system does not take as an INF.
uint32_t ReadInf(const std::string& ansiPath, std::optional<InfFile>& inf) {
    std::string bytes;
    if (!HostFileSystem().ReadAll(AnsiToUtf8(ansiPath), bytes)) return 2;
    inf.emplace(bytes);
    return inf->WellFormed() && inf->Signed() ? 0 : kErrorWrongInfStyle;
}

}  // namespace

std::string SimDeviceManager::GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

bool SimDeviceManager::GetInfClass(const std::string& infPath, Guid& classGuid,
                                   std::vector<char>& className, uint32_t& requiredSize) {
    std::optional<InfFile> inf;
    if (Fails(Call::GetInfClass) || !Done(ReadInf(infPath, inf))) return false;
    const std::string name = inf->Class();
    classGuid = ParseGuid(inf->Value("Version", "ClassGUID"));
    requiredSize = static_cast<uint32_t>(name.size() + 1);
    if (className.size() < requiredSize) return Done(platform::kErrorInsufficientBuffer);
    std::copy_n(name.c_str(), requiredSize, className.begin());
    return Done(0);
}

// The documented answers: ERROR_FILE_NOT_FOUND for a missing INF, ERROR_NO_SUCH_DEVINST when
// no device has the hardware id; an INF without a driver for it gives ERROR_NO_MORE_ITEMS,
// the answer for "no driver to install". Each device gets the model's description, and as
// its friendly name the description made unique among the other devices with " #2", " #3"...
bool SimDeviceManager::UpdateDriver(platform::WindowHandle, const std::string& hardwareId,
                                    const std::string& infPath, uint32_t, bool& restart) {
    std::optional<InfFile> inf;
    if (Fails(Call::UpdateDriver) || !Done(ReadInf(infPath, inf))) return false;
    std::vector<SimDevice*> targets;
    for (auto& [devInst, device] : devices_)
        if (device.registered && EqualsNoCase(Text(device, kSpdrpHardwareId), hardwareId))
            targets.push_back(&device);
    const auto model = inf->Model(hardwareId);
    if (targets.empty()) return Done(platform::kErrorNoSuchDevinst);
    if (!model) return Done(259);  // ERROR_NO_MORE_ITEMS
    const auto taken = [&](const SimDevice* self, const std::string& name) {
        return std::ranges::any_of(devices_, [&](const auto& d) {
            return &d.second != self && EqualsNoCase(Text(d.second, kSpdrpFriendlyName), name);
        });
    };
    for (SimDevice* device : namesDevices ? targets : std::vector<SimDevice*>{}) {
        std::string name = model->description;
        for (int n = 2; taken(device, name); ++n)
            name = model->description + " #" + std::to_string(n);
        device->properties[kSpdrpFriendlyName] = Property(kSpdrpFriendlyName, name);
        device->properties[kSpdrpDeviceDesc] = Property(kSpdrpDeviceDesc, model->description);
    }
    restart = restartNeeded;
    if (onUpdate) onUpdate();
    return Done(0);
}

}  // namespace tarvelin::sim
