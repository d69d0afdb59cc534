// Arbitrary registry contents for the settings store and the serial-port map: whatever a
// person with a registry editor (or a broken installer) left there must read as a value or
// a default, never crash, and start-up must go on.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "core/AppSetting.h"
#include "core/modSystemRegistry.h"
#include "sim/SimPlatform.h"

namespace {

using tarvelin::platform::RegRoot;

class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return pos_ >= size_; }
    uint8_t Byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    std::vector<uint8_t> Bytes() {
        std::vector<uint8_t> out(Byte() % 64);
        for (auto& b : out) b = Byte();
        return out;
    }

  private:
    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

const char* const kNames[] = {"StatInByte",  "MainFormLeft", "MainFormTop",     "WidgetShow",
                              "WidgetTrans", "Tray",         "CheckDeviceConn", "Tarvelin"};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    sim::SimPlatform sim;
    Input in(data, size);
    while (!in.Empty()) {
        const uint8_t pick = in.Byte();
        const std::string name = kNames[pick % 8];
        const uint32_t type = in.Byte() % 12;  // REG_NONE .. REG_QWORD and beyond
        const std::string key = name == "Tarvelin" ? kRunKey : kSettingsKey;
        sim.registry.PutRaw(RegRoot::CurrentUser, key, name, type, in.Bytes());
        if (pick & 0x80) {
            sim.registry.PutRaw(RegRoot::LocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM",
                                std::string(in.Byte() % 300, 'n'), type, in.Bytes());
        }
    }
    for (int id = 0; id <= 11; ++id) SettingLoad(static_cast<AppSetting>(id));
    std::vector<std::string> names, values;
    RegValuesEnum(RegRoot::LocalMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", names, values);
    AppStart({});
    return 0;
}
