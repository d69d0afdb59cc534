// The dial number chosen by the maker named in a phone's title.
#include <gtest/gtest.h>

#include "dialup/modAppNew.h"

namespace tarvelin {
namespace {

TEST(DefaultPhoneNumberTest, FirstMakerOfTheTableNamedAnywhereDecides) {
    const std::pair<const char*, const char*> cases[] = {
        {"Sony Ericsson K750i", "*99#"},
        {"Sony Z1010", "*99#"},
        {"Motorola V3", "*99#"},
        {"Pantech G800", "*99#"},
        {"Nokia 6230i", "*99#"},
        {"VOLGA 1 (mobile)", "*99#"},  // "LG" inside
        {"Fly SL300", "*99#"},
        {"NEC e616", "*99#"},
        {"Philips 960", "*99#"},
        {"Qtek 8310", "*99#"},
        {"Sagem myX-8", "*99#"},
        {"Voxtel RX11", "*99#"},
        {"Sharp GX30", "*99#"},
        {"Alcatel OT-756", "*99***1#"},
        {"siemens C65", "*99***1#"},
        {"Panasonic X70", "*99***1#"},
        {"SAMSUNG SGH-E900", "*99**1*1#"},
        {"Nokia or Samsung", "*99#"},
        {"Unknown maker", "*99#"},
        {"", "*99#"},
    };
    for (const auto& [title, number] : cases)
        EXPECT_EQ(GetDefaultPhoneNumber(title), number) << title;
}

}  // namespace
}  // namespace tarvelin
