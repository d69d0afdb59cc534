#include "driverdb/TypeAllocationCode.h"

namespace tarvelin {
namespace {

constexpr size_t kShortestSerial = 14;
constexpr size_t kLongestSerial = 16;

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

}  // namespace

std::string TypeAllocationCode(std::string_view reply) {
    size_t i = 0;
    while (i < reply.size()) {
        if (!IsDigit(reply[i])) {
            ++i;
            continue;
        }
        const size_t start = i;
        while (i < reply.size() && IsDigit(reply[i])) ++i;
        const size_t length = i - start;
        if (length >= kShortestSerial && length <= kLongestSerial) {
            return std::string(reply.substr(start, kTacLength));
        }
    }
    return {};
}

}  // namespace tarvelin
