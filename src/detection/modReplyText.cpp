#include "detection/modReplyText.h"

#include <algorithm>

namespace tarvelin {
namespace {

char Fold(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

size_t Find(std::string_view text, std::string_view what, size_t from, bool ignoreCase) {
    if (!ignoreCase) return text.find(what, from);
    auto same = [](char a, char b) { return Fold(a) == Fold(b); };
    auto it = std::search(text.begin() + static_cast<std::ptrdiff_t>(from), text.end(),
                          what.begin(), what.end(), same);
    return it == text.end() ? std::string_view::npos : static_cast<size_t>(it - text.begin());
}

}  // namespace

bool ContainsAsciiNoCase(std::string_view text, std::string_view what) {
    return Find(text, what, 0, true) != std::string_view::npos;
}

std::string ReplaceEvery(std::string_view text, std::string_view what, std::string_view with,
                         bool ignoreCase) {
    if (what.empty()) return std::string(text);
    std::string out;
    out.reserve(text.size());
    size_t from = 0;
    for (size_t at; (at = Find(text, what, from, ignoreCase)) != std::string_view::npos;) {
        out.append(text.substr(from, at - from)).append(with);
        from = at + what.size();
    }
    out.append(text.substr(from));
    return out;
}

}  // namespace tarvelin
