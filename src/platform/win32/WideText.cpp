#include "platform/win32/WideText.h"

#include <windows.h>

namespace tarvelin::platform {

std::wstring Widen(std::string_view text, uint32_t codePage) {
    if (text.empty()) return {};
    const int size = static_cast<int>(text.size());
    const int n = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), n);
    return wide;
}

std::string Narrow(std::wstring_view wide, uint32_t codePage) {
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    // UTF-8 takes neither flags nor a default character; other code pages get both.
    const bool utf8 = codePage == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* fallback = utf8 ? nullptr : "?";
    const int n =
        WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, fallback, nullptr);
    std::string text(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, flags, wide.data(), size, text.data(), n, fallback, nullptr);
    return text;
}

}  // namespace tarvelin::platform
