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

enum class Kind { Flag, Position, Byte };

// One row per setting kept under kSettingsKey: its registry value, the member type it
// converts to, its default, and the AppState member that caches it (null: not cached).
struct Descriptor {
    AppSetting id;
    const char* valueName;
    Kind kind;
    SettingValue fallback;
    void (*cache)(AppStateRecord&, const SettingValue&);
};

template <bool AppStateRecord::*member>
void CacheFlag(AppStateRecord& state, const SettingValue& v) {
    state.*member = std::get<bool>(v);
}

const Descriptor kSettings[] = {
    {AppSetting::StatInByte, "StatInByte", Kind::Flag, SettingValue(true),
     CacheFlag<&AppStateRecord::StatInByte>},
    {AppSetting::MainFormLeft, "MainFormLeft", Kind::Position, SettingValue(int32_t{-1}), nullptr},
    {AppSetting::MainFormTop, "MainFormTop", Kind::Position, SettingValue(int32_t{-1}), nullptr},
    {AppSetting::WidgetShow, "WidgetShow", Kind::Flag, SettingValue(true),
     CacheFlag<&AppStateRecord::WidgetShow>},
    {AppSetting::WidgetTrans, "WidgetTrans", Kind::Byte, SettingValue(uint8_t{64}),
     [](AppStateRecord& state, const SettingValue& v) {
         state.WidgetTrans = std::get<uint8_t>(v);
     }},
    {AppSetting::Tray, "Tray", Kind::Flag, SettingValue(true), CacheFlag<&AppStateRecord::Tray>},
    {AppSetting::CheckDeviceConn, "CheckDeviceConn", Kind::Flag, SettingValue(true),
     CacheFlag<&AppStateRecord::CheckDeviceConn>},
};

// The row of a setting kept under kSettingsKey; null for AutoRun, which lives in the Run key,
// and for identifiers outside the table.
const Descriptor* Find(AppSetting id) {
    for (const Descriptor& d : kSettings) {
        if (d.id == id) return &d;
    }
    return nullptr;
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

// The stored value converted to the member's type; empty when missing or unconvertible.
std::optional<SettingValue> Convert(const Descriptor& d, const SettingValue& stored) {
    switch (d.kind) {
        case Kind::Flag:
            if (auto b = AsBool(stored)) return *b;
            break;
        case Kind::Byte:
            if (auto u = AsByte(stored)) return *u;
            break;
        case Kind::Position:
            if (auto n = AsLong(stored)) return *n;
            break;
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

bool Write(const Descriptor& d, const SettingValue& v) {
    int32_t number = 0;
    if (const auto* b = std::get_if<bool>(&v)) number = *b ? 1 : 0;  // |CLng(True)| = 1
    if (const auto* n = std::get_if<int32_t>(&v)) number = *n;
    if (const auto* u = std::get_if<uint8_t>(&v)) number = *u;
    return RegKeyCreate(RegRoot::CurrentUser, kVendorKey) &&
           RegValueSet(RegRoot::CurrentUser, kSettingsKey, d.valueName, number);
}

}  // namespace

std::string AutoRunCommand() {
    const std::string prefix = AutoRunPrefix();
    return prefix.empty() ? std::string() : prefix + " /auto";
}

SettingValue SettingLoad(AppSetting id) {
    if (id == AppSetting::AutoRun) return LoadAutoRun();
    const Descriptor* d = Find(id);
    if (!d) return false;
    RegData stored;
    if (RegValueQuery(RegRoot::CurrentUser, kSettingsKey, d->valueName, stored)) {
        if (auto converted = Convert(*d, ToSettingValue(stored))) return *converted;
    }
    return d->fallback;
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
    const Descriptor* d = Find(id);
    if (!d) return false;  // an identifier outside the table writes nothing
    auto converted = Convert(*d, value);
    if (!converted) return false;
    if (d->cache) d->cache(AppState(), *converted);
    return Write(*d, *converted);
}

}  // namespace tarvelin
