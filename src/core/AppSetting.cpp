#include "core/AppSetting.h"

#include <cmath>
#include <optional>

#include "core/AppState.h"
#include "core/modSystemRegistry.h"
#include "core/modTypes.h"
#include "platform/Process.h"

namespace tarvelin {
namespace {

using platform::RegRoot;

const char* ValueName(AppSetting id) {
    switch (id) {
        case AppSetting::StatInByte:
            return "StatInByte";
        case AppSetting::MainFormLeft:
            return "MainFormLeft";
        case AppSetting::MainFormTop:
            return "MainFormTop";
        case AppSetting::WidgetShow:
            return "WidgetShow";
        case AppSetting::WidgetTrans:
            return "WidgetTrans";
        case AppSetting::Tray:
            return "Tray";
        case AppSetting::CheckDeviceConn:
            return "CheckDeviceConn";
        case AppSetting::AutoRun:
            break;
    }
    return nullptr;
}

bool IsFlag(AppSetting id) {
    return id == AppSetting::StatInByte || id == AppSetting::WidgetShow || id == AppSetting::Tray ||
           id == AppSetting::CheckDeviceConn;
}

// Conversions of a stored or given value to a member's type; empty when it does not convert.
std::optional<double> AsNumber(const SettingValue& v) {
    if (const auto* b = std::get_if<bool>(&v)) return *b ? -1.0 : 0.0;  // True is -1 as a number
    if (const auto* n = std::get_if<int32_t>(&v)) return *n;
    if (const auto* u = std::get_if<uint8_t>(&v)) return *u;
    return ParseNumber(std::get<std::string>(v));
}

std::optional<bool> AsBool(const SettingValue& v) {
    if (const auto* s = std::get_if<std::string>(&v)) {
        if (EqualsNoCase(Trim(*s), "True")) return true;
        if (EqualsNoCase(Trim(*s), "False")) return false;
    }
    auto n = AsNumber(v);
    if (!n) return std::nullopt;
    return *n != 0;
}

std::optional<int32_t> AsLong(const SettingValue& v) {
    auto n = AsNumber(v);
    return n ? ToLong(*n) : std::nullopt;
}

std::optional<uint8_t> AsByte(const SettingValue& v) {
    auto n = AsLong(v);
    if (!n || *n < 0 || *n > 255) return std::nullopt;
    return static_cast<uint8_t>(*n);
}

SettingValue ToSettingValue(const RegData& data) {
    if (const auto* n = std::get_if<int32_t>(&data)) return *n;
    return std::get<std::string>(data);
}

SettingValue Default(AppSetting id) {
    if (id == AppSetting::MainFormLeft || id == AppSetting::MainFormTop) return int32_t{-1};
    if (id == AppSetting::WidgetTrans) return uint8_t{64};
    return id != AppSetting::AutoRun;
}

// The stored value converted to the member's type; empty when missing or unconvertible.
std::optional<SettingValue> Convert(AppSetting id, const SettingValue& stored) {
    if (IsFlag(id)) {
        if (auto b = AsBool(stored)) return *b;
    } else if (id == AppSetting::WidgetTrans) {
        if (auto u = AsByte(stored)) return *u;
    } else if (auto n = AsLong(stored)) {
        return *n;
    }
    return std::nullopt;
}

// The quoted executable path that the autostart value must begin with.
std::string AutoRunPrefix() {
    platform::IProcess* process = AppState().platform ? AppState().platform->process : nullptr;
    if (!process) return {};
    const std::string path = process->ExecutablePath();
    const size_t slash = path.find_last_of('\\');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    std::string base = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (EqualsNoCase(base.size() >= 4 ? base.substr(base.size() - 4) : "", ".exe")) {
        base.resize(base.size() - 4);
    }
    // The Run value is read by Windows at logon, so its path is always in Windows form.
    const bool slashed = !folder.empty() && folder.back() == '\\';
    return "\"" + folder + (slashed ? "" : "\\") + base + ".exe\"";
}

bool LoadAutoRun() {
    RegData stored;
    if (!RegValueQuery(RegRoot::CurrentUser, kRunKey, kRunValue, stored)) return false;
    const auto* text = std::get_if<std::string>(&stored);
    const std::string prefix = AutoRunPrefix();
    return text && !prefix.empty() && StartsWithNoCase(*text, prefix);
}

bool SaveAutoRun(const SettingValue& value) {
    auto on = AsBool(value);
    if (!on) return false;
    if (*on) {
        const std::string command = AutoRunCommand();
        return !command.empty() && RegValueSet(RegRoot::CurrentUser, kRunKey, kRunValue, command);
    }
    return RegValueDelete(RegRoot::CurrentUser, kRunKey, kRunValue);
}

void Cache(AppSetting id, const SettingValue& v) {
    auto& state = AppState();
    switch (id) {
        case AppSetting::StatInByte:
            state.StatInByte = std::get<bool>(v);
            break;
        case AppSetting::WidgetShow:
            state.WidgetShow = std::get<bool>(v);
            break;
        case AppSetting::Tray:
            state.Tray = std::get<bool>(v);
            break;
        case AppSetting::CheckDeviceConn:
            state.CheckDeviceConn = std::get<bool>(v);
            break;
        case AppSetting::WidgetTrans:
            state.WidgetTrans = std::get<uint8_t>(v);
            break;
        default:
            break;
    }
}

bool Write(AppSetting id, const SettingValue& v) {
    int32_t number = 0;
    if (const auto* b = std::get_if<bool>(&v)) number = *b ? 1 : 0;  // |CLng(True)| = 1
    if (const auto* n = std::get_if<int32_t>(&v)) number = *n;
    if (const auto* u = std::get_if<uint8_t>(&v)) number = *u;
    return RegKeyCreate(RegRoot::CurrentUser, kVendorKey) &&
           RegValueSet(RegRoot::CurrentUser, kSettingsKey, ValueName(id), number);
}

}  // namespace

std::string AutoRunCommand() {
    const std::string prefix = AutoRunPrefix();
    return prefix.empty() ? std::string() : prefix + " /auto";
}

SettingValue SettingLoad(AppSetting id) {
    if (id == AppSetting::AutoRun) return LoadAutoRun();
    const char* name = ValueName(id);
    if (!name) return false;
    RegData stored;
    if (RegValueQuery(RegRoot::CurrentUser, kSettingsKey, name, stored)) {
        if (auto converted = Convert(id, ToSettingValue(stored))) return *converted;
    }
    return Default(id);
}

bool SettingLoadBool(AppSetting id) {
    auto v = SettingLoad(id);
    return std::holds_alternative<bool>(v) && std::get<bool>(v);
}

int32_t SettingLoadLong(AppSetting id) {
    auto v = SettingLoad(id);
    if (const auto* n = std::get_if<int32_t>(&v)) return *n;
    if (const auto* u = std::get_if<uint8_t>(&v)) return *u;
    return std::get_if<bool>(&v) && std::get<bool>(v) ? 1 : 0;
}

bool SettingSave(AppSetting id, const SettingValue& value) {
    if (id == AppSetting::AutoRun) return SaveAutoRun(value);
    if (!ValueName(id)) return false;  // an identifier outside the table writes nothing
    auto converted = Convert(id, value);
    if (!converted) return false;
    Cache(id, *converted);
    return Write(id, *converted);
}

}  // namespace tarvelin
