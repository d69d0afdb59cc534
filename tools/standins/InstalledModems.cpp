#include "InstalledModems.h"

#include <variant>

#include "hardware/modAppHardware.h"

namespace tarvelin::standin {

std::vector<std::string> InstalledModemNames() {
    std::vector<std::string> names;
    DeviceList list;
    if (!OpenDeviceList(DeviceClass::Modem, 0, list)) return names;
    platform::DeviceRecord device;
    for (uint32_t index = 0; EnumDevice(*list, index, device); ++index) {
        DeviceValue value;
        uint32_t type = 0;
        if (GetDeviceProperty(*list, device, platform::kSpdrpFriendlyName, value, type))
            if (const auto* name = std::get_if<std::string>(&value)) names.push_back(*name);
    }
    return names;
}

}  // namespace tarvelin::standin
