#include "dialup/modAppNew.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/modTypes.h"

namespace tarvelin {
namespace {

struct MakerNumber {
    std::string_view maker;
    std::string_view number;
};

// Searched in this order: "Sony Ericsson" is an Ericsson, and a title naming two makers
// takes the earlier row.
constexpr std::array<MakerNumber, 17> kMakerNumbers{{
    {"Ericsson", "*99#"},
    {"Sony", "*99#"},
    {"Motorola", "*99#"},
    {"Pantech", "*99#"},
    {"Nokia", "*99#"},
    {"LG", "*99#"},
    {"Fly", "*99#"},
    {"NEC", "*99#"},
    {"Philips", "*99#"},
    {"Qtek", "*99#"},
    {"Sagem", "*99#"},
    {"Voxtel", "*99#"},
    {"Sharp", "*99#"},
    {"Alcatel", "*99***1#"},
    {"Siemens", "*99***1#"},
    {"Panasonic", "*99***1#"},
    {"Samsung", "*99**1*1#"},
}};
constexpr std::string_view kDefaultNumber = "*99#";

}  // namespace

std::string GetDefaultPhoneNumber(const std::string& text) {
    const auto row =
        std::find_if(kMakerNumbers.begin(), kMakerNumbers.end(),
                     [&](const MakerNumber& m) { return ContainsNoCase(text, m.maker); });
    return std::string(row == kMakerNumbers.end() ? kDefaultNumber : row->number);
}

}  // namespace tarvelin
