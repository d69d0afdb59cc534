#pragma once
// The program's persistent options, its window position and its logon autostart entry,
// kept in the current user's registry.
#include <cstdint>
#include <string>
#include <variant>

namespace tarvelin {

enum class AppSetting : int32_t {
    StatInByte = 2,
    MainFormLeft = 3,
    MainFormTop = 4,
    WidgetShow = 6,
    WidgetTrans = 7,
    Tray = 8,
    AutoRun = 9,
    CheckDeviceConn = 10,
};

inline constexpr char kSettingsKey[] = "Software\\QVT\\Tarvelin";
inline constexpr char kVendorKey[] = "Software\\QVT";
inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kRunValue[] = "Tarvelin";

// Booleans for the flags and AutoRun, int32_t for the positions, uint8_t for WidgetTrans.
// SettingSave also takes a text and converts it as the member's type requires.
using SettingValue = std::variant<bool, int32_t, uint8_t, std::string>;

// The stored value converted to the member's type, or its default. Never fails.
SettingValue SettingLoad(AppSetting id);
bool SettingLoadBool(AppSetting id);
int32_t SettingLoadLong(AppSetting id);
// Writes the value; true when the registry accepted it. The five cached members are stored
// in AppState first, whatever the write's outcome.
bool SettingSave(AppSetting id, const SettingValue& value);

// The autostart command: "<folder>\<name>.exe" /auto
std::string AutoRunCommand();

}  // namespace tarvelin
