#pragma once
// Small conversions between text, numbers, bytes and raw memory, shared by every module.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin {

// Leading and trailing blanks (spaces) removed; a view into the text given.
std::string_view Trim(std::string_view text);
// True when the text, trimmed of blanks if asked, is not empty.
bool IsStringFilled(std::string_view text, bool trimFirst = true);
// The text up to its first NUL; written back into the argument when asked.
std::string TrimNull(std::string& text, bool updateInPlace = false);

// The byte helpers sit at the ANSI boundary of system records: bytes are text in the
// system's ANSI code page (one byte a character), the program's texts are UTF-8.

// Characters from position offset up to and including offset + count (to the end when count
// is below 1), stopping before the first 0 byte: count + 1 positions, one character a byte.
std::string BytesToString(const std::vector<uint8_t>& bytes, int32_t offset, int32_t count);
// Copies the text's ANSI bytes into the array from offset, at most maximum (0: the text's
// length) and never past the array's end. Returns the number of bytes copied.
int32_t StringToBytes(std::string_view text, std::vector<uint8_t>& bytes, int32_t offset,
                      int32_t maximum);
// length bytes of ANSI text from memory, cut at the first NUL.
void PtrToString(std::string& text, const uint8_t* address, size_t length);
// The text's ANSI bytes, at most maxLength, to memory.
void StringToPtr(uint8_t* address, std::string_view text, size_t maxLength);

// A text that reads as a number: optional blanks, sign, digits with an optional decimal
// fraction or exponent. Nothing else (no letters, no thousands separators).
std::optional<double> ParseNumber(std::string_view text);
// The 32-bit integer form of a number, rounding halves to even; empty when out of range.
std::optional<int32_t> ToLong(double value);

// Upper case for comparisons without regard to case: ASCII and Cyrillic letters of UTF-8
// (the byte length never changes, so positions found in the result hold in the text).
std::string TextUpper(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
bool ContainsNoCase(std::string_view text, std::string_view part);

// For device replies, which are bytes rather than UTF-8: only a-z are folded.
bool ContainsAsciiNoCase(std::string_view text, std::string_view what);
// Replaces every occurrence of `what`, scanning once from the left without re-examining
// replaced text; with ignoreCase only a-z are folded.
std::string ReplaceEvery(std::string_view text, std::string_view what, std::string_view with,
                         bool ignoreCase);

}  // namespace tarvelin
