#include "core/modTypes.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/AnsiText.h"

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

std::string_view Trim(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

bool IsStringFilled(std::string_view text, bool trimFirst) {
    return trimFirst ? !Trim(text).empty() : !text.empty();
}

std::string TrimNull(std::string& text, bool updateInPlace) {
    std::string result = text.substr(0, text.find('\0'));
    if (updateInPlace) text = result;
    return result;
}

std::string BytesToString(const std::vector<uint8_t>& bytes, int32_t offset, int32_t count) {
    if (offset < 0 || static_cast<size_t>(offset) >= bytes.size()) return {};
    size_t last = bytes.size() - 1;
    if (count >= 1) last = std::min(last, static_cast<size_t>(offset) + static_cast<size_t>(count));
    std::string ansi;
    for (size_t i = static_cast<size_t>(offset); i <= last && bytes[i] != 0; ++i) {
        ansi.push_back(static_cast<char>(bytes[i]));
    }
    return AnsiToUtf8(ansi);
}

int32_t StringToBytes(std::string_view text, std::vector<uint8_t>& bytes, int32_t offset,
                      int32_t maximum) {
    if (text.empty() || offset < 0 || static_cast<size_t>(offset) >= bytes.size()) return 0;
    const std::string ansi = Utf8ToAnsi(text);
    size_t n = maximum > 0 ? std::min(ansi.size(), static_cast<size_t>(maximum)) : ansi.size();
    n = std::min(n, bytes.size() - static_cast<size_t>(offset));
    std::memcpy(bytes.data() + offset, ansi.data(), n);
    return static_cast<int32_t>(n);
}

void PtrToString(std::string& text, const uint8_t* address, size_t length) {
    std::string ansi(reinterpret_cast<const char*>(address), length);
    text = AnsiToUtf8(TrimNull(ansi));
}

void StringToPtr(uint8_t* address, std::string_view text, size_t maxLength) {
    const std::string ansi = Utf8ToAnsi(text);
    std::memcpy(address, ansi.data(), std::min(ansi.size(), maxLength));
}

std::optional<double> ParseNumber(std::string_view text) {
    const std::string t(Trim(text));
    size_t i = 0;
    auto digits = [&] {
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i - start;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    size_t mantissa = digits();
    if (i < t.size() && t[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    return std::strtod(t.c_str(), nullptr);
}

std::optional<int32_t> ToLong(double value) {
    const double rounded = std::nearbyint(value);  // the default mode rounds halves to even
    if (!std::isfinite(rounded) || rounded < -2147483648.0 || rounded > 2147483647.0) {
        return std::nullopt;
    }
    return static_cast<int32_t>(rounded);
}

std::string TextUpper(std::string_view text) {
    std::string out(text);
    for (size_t i = 0; i < out.size(); ++i) {
        auto& c = reinterpret_cast<unsigned char&>(out[i]);
        if (c >= 'a' && c <= 'z') {
            c = static_cast<unsigned char>(c - 32);
            continue;
        }
        if (i + 1 >= out.size()) break;
        auto& next = reinterpret_cast<unsigned char&>(out[i + 1]);
        if (c == 0xD0 && next >= 0xB0 && next <= 0xBF) {  // а..п
            next = static_cast<unsigned char>(next - 0x20);
        } else if (c == 0xD1 && next >= 0x80 && next <= 0x8F) {  // р..я
            c = 0xD0, next = static_cast<unsigned char>(next + 0x20);
        } else if (c == 0xD1 && next >= 0x90 && next <= 0x9F) {  // ѐ..џ, ё among them
            c = 0xD0, next = static_cast<unsigned char>(next - 0x10);
        } else if (c == 0xD2 && next == 0x91) {  // ґ
            next = 0x90;
        }
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return TextUpper(a) == TextUpper(b);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return TextUpper(text).starts_with(TextUpper(prefix));
}

bool ContainsNoCase(std::string_view text, std::string_view part) {
    return TextUpper(text).find(TextUpper(part)) != std::string::npos;
}

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
