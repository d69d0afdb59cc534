#include <gtest/gtest.h>

#include "core/AnsiText.h"

namespace tarvelin {
namespace {

TEST(AnsiTextTest, CyrillicAndPunctuationBothWays) {
    const std::string ansi = "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8 \xB9 \x96 \x88";
    const std::string utf8 = "Привет Ёё № – €";
    EXPECT_EQ(AnsiToUtf8(ansi), utf8);
    EXPECT_EQ(Utf8ToAnsi(utf8), ansi);
}

TEST(AnsiTextTest, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToAnsi(AnsiToUtf8(all)), all);
}

TEST(AnsiTextTest, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                         "b"),
              "a?b");                                // CJK
    EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "?");  // emoji
    EXPECT_EQ(Utf8ToAnsi("x\xC0\xAFy"), "x??y");     // overlong '/'
    EXPECT_EQ(Utf8ToAnsi("\xD0"), "?");              // cut short
    EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80"), "???");    // surrogate
}

}  // namespace
}  // namespace tarvelin
