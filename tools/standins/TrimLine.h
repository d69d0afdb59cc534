#pragma once
// A line of a Windows text file (an INF, a phone book) without the spaces, tabs and the CR of
// its CRLF end around it.
#include <string_view>

namespace tarvelin::standin {

inline std::string_view TrimLine(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

}  // namespace tarvelin::standin
