#include "platform/win32/Win32System.h"

#include <windows.h>

#include <shellapi.h>

#include <vector>

#include "platform/AnsiText.h"
#include "platform/win32/WideText.h"

namespace tarvelin::platform {
namespace {

static_assert(sizeof(OSVERSIONINFOEXA) == 156 && sizeof(OSVERSIONINFOA) == 148);

class Win32Mutex : public INamedLock {
  public:
    Win32Mutex(HANDLE handle, bool owner) : handle_(handle), owner_(owner) {}
    ~Win32Mutex() override {
        Release();
        CloseHandle(handle_);
    }
    Win32Mutex(const Win32Mutex&) = delete;
    Win32Mutex& operator=(const Win32Mutex&) = delete;
    bool Release() override {
        if (!owner_) return false;
        owner_ = false;
        return ReleaseMutex(handle_) != FALSE;
    }

  private:
    HANDLE handle_;
    bool owner_;
};

}  // namespace

NamedLockResult Win32NamedLocks::CreateOwned(const std::string& name) {
    HANDLE handle = CreateMutexA(nullptr, TRUE, name.c_str());
    const DWORD error = GetLastError();
    if (!handle) return {nullptr, error};
    // When the mutex already existed the caller does not own it, whatever it asked for.
    return {std::make_unique<Win32Mutex>(handle, error != ERROR_ALREADY_EXISTS), error};
}

bool Win32OsVersion::Query(uint32_t structSize, OsVersionInfo& info) {
    OSVERSIONINFOEXA v{};
    v.dwOSVersionInfoSize = structSize;
    if (!GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v))) return false;
    info.major = v.dwMajorVersion;
    info.minor = v.dwMinorVersion;
    info.build = v.dwBuildNumber;
    info.platformId = v.dwPlatformId;
    info.servicePack.assign(v.szCSDVersion, sizeof v.szCSDVersion);
    return true;
}

bool Win32OsVersion::ThemesActive() {
    // Windows 2000 has no theme library, so it is looked up at run time, never imported.
    HMODULE themes = LoadLibraryW(L"uxtheme.dll");
    if (!themes) return false;
    using IsThemeActiveProc = BOOL(WINAPI*)();
    auto isThemeActive = reinterpret_cast<IsThemeActiveProc>(
        reinterpret_cast<void*>(GetProcAddress(themes, "IsThemeActive")));
    const bool active = isThemeActive && isThemeActive();
    FreeLibrary(themes);
    return active;
}

std::string Win32Process::CommandLine() {
    return Narrow(GetCommandLineW());
}

std::string Win32Process::ExecutablePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD n =
            GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return {};
        if (n < buffer.size()) return Narrow(std::wstring_view(buffer.data(), n));
        buffer.resize(buffer.size() * 2);  // a long path was cut: ask again with more room
    }
}

int Win32MessageBox::Show(WindowHandle owner, const std::string& text, uint32_t style,
                          const std::string& title) {
    return MessageBoxW(reinterpret_cast<HWND>(owner), Widen(text).c_str(), Widen(title).c_str(),
                       style);
}

intptr_t Win32Shell::Execute(WindowHandle owner, const std::string& verb, const std::string& file,
                             const std::string& parameters, const std::string& folder,
                             int showCommand) {
    const std::wstring v = Widen(verb), f = Widen(file), p = Widen(parameters), d = Widen(folder);
    HINSTANCE answer = ShellExecuteW(reinterpret_cast<HWND>(owner), v.empty() ? nullptr : v.c_str(),
                                     f.c_str(), p.empty() ? nullptr : p.c_str(),
                                     d.empty() ? nullptr : d.c_str(), showCommand);
    return reinterpret_cast<intptr_t>(answer);
}

uint32_t Win32SystemText::LastError() {
    return GetLastError();
}

uint32_t Win32SystemText::SystemMessage(uint32_t flags, uint32_t messageId, uint32_t languageId,
                                        bool wide, uint32_t bufferChars, std::string& text) {
    if (bufferChars == 0) return 0;
    DWORD n;
    if (wide) {
        std::vector<wchar_t> buffer(bufferChars, L'\0');
        n = FormatMessageW(flags, nullptr, messageId, languageId, buffer.data(), bufferChars,
                           nullptr);
        text = Narrow(std::wstring_view(buffer.data(), n));
    } else {
        std::vector<char> buffer(bufferChars, '\0');
        n = FormatMessageA(flags, nullptr, messageId, languageId, buffer.data(), bufferChars,
                           nullptr);
        text = n ? AnsiToUtf8(std::string_view(buffer.data(), n)) : std::string();
    }
    return n;
}

std::string Win32SystemText::ShortDate(int year, int month, int day) {
    SYSTEMTIME date{};
    date.wYear = static_cast<WORD>(year);
    date.wMonth = static_cast<WORD>(month);
    date.wDay = static_cast<WORD>(day);
    wchar_t buffer[64];
    const int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &date, nullptr, buffer, 64);
    return n > 0 ? Narrow(std::wstring_view(buffer, static_cast<size_t>(n - 1))) : std::string();
}

// LOCALE_SDECIMAL holds at most three characters and the terminating zero; "." when the
// system answers nothing.
std::string Win32Locale::DecimalSeparator() {
    char buffer[8] = {};
    const int n = GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, sizeof buffer);
    return n > 1 ? AnsiToUtf8(std::string_view(buffer, static_cast<size_t>(n - 1))) : ".";
}

}  // namespace tarvelin::platform
