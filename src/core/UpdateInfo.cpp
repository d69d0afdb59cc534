#include "core/UpdateInfo.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "core/modTypes.h"
#include "platform/AnsiText.h"

namespace tarvelin {
namespace {

constexpr std::string_view kCrLf = "\r\n";

std::string_view TrimSpace(std::string_view text) {
    const size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           TextUpper(text.substr(0, prefix.size())) == TextUpper(prefix);
}

// The first part: a whole number with an optional sign; nothing else, not even a fraction.
bool ParseWholeNumber(std::string_view text, int64_t& value) {
    text = TrimSpace(text);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    if (text.empty()) return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// Splits at CR LF into at most three parts; the third keeps any further line breaks.
std::array<std::string_view, 3> SplitParts(std::string_view text) {
    std::array<std::string_view, 3> parts{};
    for (size_t i = 0; i < 2; ++i) {
        const size_t end = text.find(kCrLf);
        if (end == std::string_view::npos) {
            parts[i] = text;
            return parts;
        }
        parts[i] = text.substr(0, end);
        text.remove_prefix(end + kCrLf.size());
    }
    parts[2] = text;
    return parts;
}

// Only printable ASCII: anything else in an address is either encoded or not an address.
bool PlainAddressText(std::string_view address) {
    return std::all_of(address.begin(), address.end(),
                       [](char c) { return c > ' ' && c < 0x7F && c != '\\'; });
}

// The path of an http or https address without query and fragment; empty when the address
// is neither or has no host.
std::string_view AddressPath(std::string_view address) {
    size_t start = 0;
    if (StartsWithNoCase(address, "http://"))
        start = 7;
    else if (StartsWithNoCase(address, "https://"))
        start = 8;
    else
        return {};
    if (!PlainAddressText(address)) return {};
    address = address.substr(0, std::min(address.find_first_of("?#"), address.size()));
    const size_t slash = address.find('/', start);
    if (slash == std::string_view::npos || slash == start) return {};
    return address.substr(slash);
}

bool IsDeviceName(std::string_view name) {
    const std::string base = TextUpper(name.substr(0, name.find('.')));
    for (const char* device : {"CON", "PRN", "AUX", "NUL", "CLOCK$", "CONIN$", "CONOUT$"})
        if (base == device) return true;
    return base.size() == 4 && (base.starts_with("COM") || base.starts_with("LPT")) &&
           base[3] >= '0' && base[3] <= '9';
}

bool IsPlainFileName(std::string_view name) {
    const auto allowed = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
               c == '.' || c == '-' || c == '_';
    };
    return !name.empty() && name.size() <= kInstallerNameLimit && name.front() != '.' &&
           std::all_of(name.begin(), name.end(), allowed) &&
           name.find("..") == std::string_view::npos && !IsDeviceName(name) &&
           TextUpper(name.substr(name.size() >= 4 ? name.size() - 4 : 0)) == ".EXE";
}

}  // namespace

std::string InstallerFileName(std::string_view address) {
    const std::string_view path = AddressPath(TrimSpace(address));
    const std::string_view name = path.substr(path.empty() ? 0 : path.rfind('/') + 1);
    return IsPlainFileName(name) ? std::string(name) : std::string{};
}

std::string NoCacheAddress(std::string_view address, uint32_t value) {
    address = address.substr(0, std::min(address.find('#'), address.size()));
    const char separator = address.find('?') == std::string_view::npos ? '?' : '&';
    return std::string(address) + separator + "nocache=" + std::to_string(value);
}

UpdateInfo ParseUpdateInfo(std::string_view text) {
    UpdateInfo info;
    if (text.size() > kUpdateInfoLimit) return info;
    const auto parts = SplitParts(text);
    int64_t version = 0;
    if (!ParseWholeNumber(parts[0], version)) return info;
    if (version <= 1) {
        info.offer = UpdateOffer::Current;
        return info;
    }
    const std::string_view address = TrimSpace(parts[1]);
    if (address.empty()) {
        info.offer = UpdateOffer::NoAddress;
        return info;
    }
    info.fileName = InstallerFileName(address);
    if (info.fileName.empty()) return info;
    info.offer = UpdateOffer::Newer;
    info.address = address.substr(0, std::min(address.find('#'), address.size()));
    info.sizeText = AnsiToUtf8(parts[2]);
    return info;
}

}  // namespace tarvelin
