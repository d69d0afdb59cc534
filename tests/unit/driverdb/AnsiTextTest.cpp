#include <gtest/gtest.h>

#include "platform/AnsiText.h"

namespace tarvelin {
namespace {

TEST(AnsiTextTest, CyrillicPunctuationAndEveryByteBothWays) {
    const std::string ansi = "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8 \xB9 \x96 \x88";
    const std::string utf8 = "Привет Ёё № – €";
    EXPECT_EQ(Cp1251ToUtf8(ansi), utf8);
    EXPECT_EQ(Utf8ToCp1251(utf8), ansi);
    std::string all;
    for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
    EXPECT_EQ(Utf8ToCp1251(Cp1251ToUtf8(all)), all);
}

TEST(AnsiTextTest, UnmappableAndMalformedBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToCp1251("a\xE4\xB8\xAD"
                           "b"),
              "a?b");                                  // CJK
    EXPECT_EQ(Utf8ToCp1251("\xF0\x9F\x98\x80"), "?");  // emoji
    EXPECT_EQ(Utf8ToCp1251("x\xC0\xAFy"), "x??y");     // overlong '/'
    EXPECT_EQ(Utf8ToCp1251("\xD0"), "?");              // cut short
    EXPECT_EQ(Utf8ToCp1251("\xED\xA0\x80"), "???");    // surrogate
}

// Natively the system code page is Windows-1251; the Windows tests run on a Russian system
// (Wine in the ru_RU locale), whose active code page is the same.
TEST(AnsiTextTest, TheSystemCodePageCarriesRussianText) {
    const std::string utf8 = "Модем QVT (МТС) №1";
    EXPECT_EQ(Utf8ToAnsi(utf8), Utf8ToCp1251(utf8));
    EXPECT_EQ(AnsiToUtf8(Utf8ToAnsi(utf8)), utf8);
    EXPECT_EQ(Utf8ToAnsi("a\xE4\xB8\xAD"
                         "b"),
              "a?b")
        << "no look-alike for a missing character";
    EXPECT_EQ(AnsiToUtf8(""), "");
}

}  // namespace
}  // namespace tarvelin
