// Arbitrary registry contents for the settings store and the serial-port map: whatever a
// person with a registry editor (or a broken installer) left there must read as a value or
// a default, never crash, and start-up must go on.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "core/AppSetting.h"
#include "core/modSystemRegistry.h"
#include "sim/SimPlatform.h"

namespace {

const char* const kNames[] = {"StatInByte",  "MainFormLeft", "MainFormTop",     "WidgetShow",
                              "WidgetTrans", "Tray",         "CheckDeviceConn", "Tarvelin"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    using platform::RegRoot;
    sim::SimPlatform sim;
    FuzzedDataProvider in(data, size);
    auto bytes = [&in] { return in.ConsumeBytes<uint8_t>(in.ConsumeIntegral<uint8_t>() % 64); };
    while (in.remaining_bytes() > 0) {
        const uint8_t pick = in.ConsumeIntegral<uint8_t>();
        const std::string name = kNames[pick % 8];
        const uint32_t type =
            in.ConsumeIntegral<uint8_t>() % 12;  // REG_NONE .. REG_QWORD and beyond
        const std::string key = name == "Tarvelin" ? kRunKey : kSettingsKey;
        sim.registry.PutRaw(RegRoot::CurrentUser, key, name, type, bytes());
        if (pick & 0x80) {
            sim.registry.PutRaw(RegRoot::LocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM",
                                std::string(in.ConsumeIntegral<uint8_t>() % 300, 'n'), type,
                                bytes());
        }
    }
    for (int id = 0; id <= 11; ++id) SettingLoad(static_cast<AppSetting>(id));
    std::vector<std::string> names, values;
    RegValuesEnum(RegRoot::LocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", names, values);
    AppStart({});
    return 0;
}
