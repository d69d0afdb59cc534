#pragma once
// A fresh folder of a test's own. It is made atomically (mkdtemp, or CreateDirectory on a
// name nobody has) so that test processes running side by side never share one; the
// program's own temporary names are tested inside such a folder, never in the shared one.
#include <string>

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/WideText.h"
#else
#include <cstdlib>
#endif

namespace tarvelin::sim {

inline std::string MakeScratchFolder() {
#ifdef _WIN32
    wchar_t base[MAX_PATH + 1] = {};
    if (GetTempPathW(MAX_PATH, base) == 0) return {};
    const std::wstring stem = std::wstring(base) + L"tarvelin-test-" +
                              std::to_wstring(GetCurrentProcessId()) + L"-" +
                              std::to_wstring(GetTickCount()) + L"-";
    for (int n = 0; n < 1000; ++n) {
        const std::wstring folder = stem + std::to_wstring(n);
        if (CreateDirectoryW(folder.c_str(), nullptr)) return platform::Narrow(folder);
    }
    return {};
#else
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/tarvelin-test-XXXXXX";
    return ::mkdtemp(pattern.data()) ? pattern : std::string();
#endif
}

}  // namespace tarvelin::sim
