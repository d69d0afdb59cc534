#include "core/modSystemWinVer.h"

#include "core/AppState.h"
#include "platform/OsVersion.h"

namespace tarvelin {
namespace {

constexpr uint32_t kExtendedSize = 156;  // OSVERSIONINFOEXA
constexpr uint32_t kBasicSize = 148;     // OSVERSIONINFOA

platform::IOsVersion* OsVersion() {
    return AppState().platform ? AppState().platform->osVersion : nullptr;
}

WindowsVersionRecord& Record() {
    static WindowsVersionRecord record;
    return record;
}

void SetFamilyFlags(WindowsVersionRecord& r) {
    if (r.platformId == 1) {
        r.Win95 = true;
        r.Win98 = r.minor >= 10;
        r.WinMe = static_cast<int16_t>(r.build & 0xFFFF) >= 3000;
    } else if (r.platformId == 2) {
        r.NT = true;
        r.Win2000 = r.major >= 5;
        // Only the minor version is tested once the major is 5 or more, so 6.0 is not "XP".
        r.WinXP = r.major >= 5 && r.minor >= 1;
        r.Win2003 = r.major >= 5 && r.minor >= 2;
    }
}

void Fill(WindowsVersionRecord& r) {
    r = WindowsVersionRecord{};
    platform::OsVersionInfo info;
    platform::IOsVersion* os = OsVersion();
    if (os && (os->Query(kExtendedSize, info) || os->Query(kBasicSize, info))) {
        r.major = info.major;
        r.minor = info.minor;
        r.build = info.build;
        r.platformId = info.platformId;
        r.servicePack = info.servicePack.substr(0, info.servicePack.find('\0')).substr(0, 128);
        SetFamilyFlags(r);
    }
    r.filled = true;
}

}  // namespace

const WindowsVersionRecord& WindowsVersionFlags() {
    WindowsVersionRecord& r = Record();
    if (!r.filled) Fill(r);
    return r;
}

bool IsWindowsVersion(int16_t versionClass) {
    const WindowsVersionRecord& r = WindowsVersionFlags();
    switch (versionClass) {
        case 1:
            return r.Win95;
        case 2:
            return r.Win98;
        case 3:
            return r.WinMe;
        case 4:
            return r.Win95 || r.Win98 || r.WinMe;
        case 5:
            return r.NT;
        case 6:
            return r.Win2000;
        case 7:
            return r.WinXP;
        case 8:
            return r.Win2003;
        default:
            return false;
    }
}

int32_t GetPlatformId() {
    return static_cast<int32_t>(WindowsVersionFlags().platformId);
}

bool IsClassicLook() {
    const WindowsVersionRecord& r = WindowsVersionFlags();
    const bool xpOrLater = r.platformId == 2 && (r.major > 5 || (r.major == 5 && r.minor >= 1));
    platform::IOsVersion* os = OsVersion();
    return !(xpOrLater && os && os->ThemesActive());
}

void ResetWindowsVersionFlags() {
    Record() = WindowsVersionRecord{};
}

}  // namespace tarvelin
