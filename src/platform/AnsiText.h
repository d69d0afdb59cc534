#pragma once
// Conversion between the program's UTF-8 text and single-byte text: the system's ANSI code
// page at the system boundaries (registry strings, catalogue texts), and Windows-1251 itself
// where a format fixes it (the containers the writer builds for Russian systems).
#include <string>
#include <string_view>

namespace tarvelin {

// Windows-1251. Every byte has a character, so this never fails; the one byte the code page
// leaves unassigned (0x98) maps to U+0098 so that any byte string survives a round trip.
std::string Cp1251ToUtf8(std::string_view bytes);
// Characters the code page cannot show, and malformed UTF-8 sequences, become '?'.
std::string Utf8ToCp1251(std::string_view text);

// The system's ANSI code page: the active one on Windows, Windows-1251 elsewhere (the code
// page of the Russian systems the program is made for). Unmappable characters become '?'.
std::string AnsiToUtf8(std::string_view bytes);
std::string Utf8ToAnsi(std::string_view text);

}  // namespace tarvelin
