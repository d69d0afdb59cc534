#pragma once
// The Windows version record, filled once on first use from the platform's version query.
#include <cstdint>
#include <string>

namespace tarvelin {

struct WindowsVersionRecord {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platformId = 0;  // 1 the Windows 95 family, 2 the NT family
    std::string servicePack;
    bool Win95 = false, Win98 = false, WinMe = false, NT = false;
    bool Win2000 = false, WinXP = false, Win2003 = false;
    bool filled = false;
};

const WindowsVersionRecord& WindowsVersionFlags();
// Version classes: 1 Win95, 2 Win98, 3 WinMe, 4 any of the 9x family, 5 NT, 6 Win2000 (NT 5
// or later), 7 WinXP, 8 Win2003; any other class is False.
bool IsWindowsVersion(int16_t versionClass);
int32_t GetPlatformId();
// False only on Windows XP or later (any NT version from 5.1 on, 6.0 and 10.0 included)
// with visual themes active. Unlike version class 7 it counts every later major version.
bool IsClassicLook();
// Forgets the record so the next query fills it again (tests switch simulated systems).
void ResetWindowsVersionFlags();

}  // namespace tarvelin
