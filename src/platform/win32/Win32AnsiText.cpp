// The ANSI boundary on Windows: the active ANSI code page (CP_ACP), through UTF-16.
#include <windows.h>

#include "core/AnsiText.h"
#include "platform/win32/WideText.h"

namespace tarvelin {

std::string AnsiToUtf8(std::string_view bytes) {
    if (bytes.empty()) return {};
    const int size = static_cast<int>(bytes.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, bytes.data(), size, wide.data(), n);
    return platform::Narrow(wide);
}

std::string Utf8ToAnsi(std::string_view text) {
    const std::wstring wide = platform::Widen(text);
    if (wide.empty()) return {};
    const int size = static_cast<int>(wide.size());
    // No best-fit look-alikes: a character the code page lacks becomes '?', never another one.
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, nullptr, 0,
                                      "?", nullptr);
    std::string ansi(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), size, ansi.data(), n, "?",
                        nullptr);
    return ansi;
}

}  // namespace tarvelin
