#include "platform/NotifyArea.h"

#include <algorithm>

namespace tarvelin::platform {
namespace {

// The bytes of the UTF-8 sequence starting with lead, and the UTF-16 units it becomes. A
// stray or malformed byte counts as one byte and one unit (the replacement character).
struct Sequence {
    size_t bytes;
    size_t units;
};

Sequence SequenceAt(unsigned char lead) {
    if (lead >= 0xF0 && lead < 0xF8) return {4, 2};
    if (lead >= 0xE0 && lead < 0xF0) return {3, 1};
    if (lead >= 0xC0 && lead < 0xE0) return {2, 1};
    return {1, 1};
}

}  // namespace

std::string FitNotifyTip(std::string_view text) {
    size_t end = 0, units = 0;
    while (end < text.size()) {
        const Sequence next = SequenceAt(static_cast<unsigned char>(text[end]));
        if (units + next.units > kNotifyTipUnits - 1) break;
        units += next.units;
        end = std::min(end + next.bytes, text.size());
    }
    return std::string(text.substr(0, end));
}

}  // namespace tarvelin::platform
