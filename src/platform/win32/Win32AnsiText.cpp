// The ANSI boundary on Windows: the active ANSI code page (CP_ACP), through UTF-16.
#include <windows.h>

#include "platform/AnsiText.h"
#include "platform/win32/WideText.h"

namespace tarvelin {

std::string AnsiToUtf8(std::string_view bytes) {
    return platform::Narrow(platform::Widen(bytes, CP_ACP));
}

std::string Utf8ToAnsi(std::string_view text) {
    return platform::Narrow(platform::Widen(text), CP_ACP);
}

}  // namespace tarvelin
