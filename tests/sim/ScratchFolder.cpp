#include "sim/ScratchFolder.h"

#ifdef _WIN32
#include <windows.h>

#include "platform/win32/WideText.h"
#else
#include <cstdlib>
#endif

namespace tarvelin::sim {

std::string MakeScratchFolder() {
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
