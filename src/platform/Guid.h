#pragma once
// A globally unique identifier with the system's field layout (device classes, Bluetooth
// service classes).
#include <array>
#include <cstdint>

namespace tarvelin::platform {

struct Guid {
    uint32_t data1 = 0;
    uint16_t data2 = 0;
    uint16_t data3 = 0;
    std::array<uint8_t, 8> data4{};

    friend bool operator==(const Guid&, const Guid&) = default;
};

}  // namespace tarvelin::platform
