// The phone's answer to the serial-number command, as any bytes: the code taken from it is
// empty or eight digits found in the answer.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "driverdb/TypeAllocationCode.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const std::string code = tarvelin::TypeAllocationCode(reply);
    if (code.empty()) return 0;
    if (code.size() != tarvelin::kTacLength || reply.find(code) == std::string_view::npos ||
        code.find_first_not_of("0123456789") != std::string::npos) {
        std::abort();
    }
    return 0;
}
