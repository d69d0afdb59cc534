#pragma once
// Text tests on modem replies. Letter case is folded for ASCII only: replies are bytes, one
// character per byte, and result codes are plain ASCII.
#include <string>
#include <string_view>

namespace tarvelin {

bool ContainsAsciiNoCase(std::string_view text, std::string_view what);
// Replaces every occurrence of `what`, scanning once from the left without re-examining
// replaced text.
std::string ReplaceEvery(std::string_view text, std::string_view what, std::string_view with,
                         bool ignoreCase);

}  // namespace tarvelin
