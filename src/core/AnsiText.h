#pragma once
// Conversion between the program's UTF-8 text and the single-byte ANSI code page the driver
// catalogue, the registry strings and the other system boundaries use (Windows-1251).
#include <string>
#include <string_view>

namespace tarvelin {

// Every byte has a character, so this never fails; the one byte the code page leaves
// unassigned (0x98) maps to U+0098 so that any byte string survives a round trip.
std::string AnsiToUtf8(std::string_view bytes);

// Characters the code page cannot show, and malformed UTF-8 sequences, become '?'.
std::string Utf8ToAnsi(std::string_view text);

}  // namespace tarvelin
