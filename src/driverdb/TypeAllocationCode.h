#pragma once
// The type allocation code: the first eight digits of a phone's IMEI, which name its maker
// and model in the driver catalogue.
#include <cstddef>
#include <string>
#include <string_view>

namespace tarvelin {

inline constexpr size_t kTacLength = 8;

// The code within the phone's answer to the serial-number command, taken as the phone sent
// it: the first eight digits of the first run of 14 to 16 digits (an IMEI with or without
// its check digit, or an IMEISV). An echoed command or other text around the number does
// not matter. Empty when the answer holds no such run (a bare "OK" is no serial number).
std::string TypeAllocationCode(std::string_view reply);

}  // namespace tarvelin
