#include "sim/SimDeviceManager.h"

#include <cstdio>
#include <sstream>

#include "platform/AnsiText.h"
#include "sim/HostFileSystem.h"

namespace tarvelin::sim {
namespace {

using platform::kSpdrpDeviceDesc;
using platform::kSpdrpFriendlyName;
using platform::kSpdrpHardwareId;

constexpr uint32_t kErrorWrongInfStyle = 0xE0000100;  // the file is not an INF file

// The text without the spaces, tabs and CR of a CRLF line end around it and, when asked,
// without the quotes that enclose it.
std::string Trim(const std::string& text, bool unquote = true) {
    const size_t first = text.find_first_not_of(" \t\r"), last = text.find_last_not_of(" \t\r");
    if (first == std::string::npos) return {};
    const bool quoted = unquote && last > first && text[first] == '"' && text[last] == '"';
    return text.substr(first + quoted, last + 1 - first - 2 * quoted);
}

platform::Guid ParseGuid(const std::string& text) {  // fields that do not parse stay 0
    platform::Guid g;
    unsigned b[8] = {};
    std::sscanf(text.c_str(), "{%8x-%4hx-%4hx-%2x%2x-%2x%2x%2x%2x%2x%2x}", &g.data1, &g.data2,
                &g.data3, &b[0], &b[1], &b[2], &b[3], &b[4], &b[5], &b[6], &b[7]);
    std::ranges::transform(b, g.data4.begin(), [](unsigned byte) { return uint8_t(byte); });
    return g;
}

// An INF file as its "key = value" lines (the key empty where there is no '='), each with
// its section's upper-case name. Comments start at a ';' outside quotes.
struct Inf {
    struct Line {
        std::string section, key, value;
    };
    std::vector<Line> lines;

    // 0; ERROR_FILE_NOT_FOUND for a missing file; ERROR_WRONG_INF_STYLE for text outside a
    // section, a section name not closed or no known [Version] signature.
    uint32_t Read(const std::string& ansiPath) {
        std::string bytes, section;
        if (!HostFileSystem().ReadAll(AnsiToUtf8(ansiPath), bytes)) return 2;
        std::istringstream in(bytes);
        for (std::string line; std::getline(in, line);) {
            for (size_t i = 0, quoted = 0; i < line.size(); ++i)  // a ';' outside quotes
                if ((quoted ^= line[i] == '"') == 0 && line[i] == ';') line.resize(i);
            if ((line = Trim(line, false)).empty()) continue;
            const size_t eq = line.find('='), close = line.find(']');
            if (line[0] == '[' && close != std::string::npos)
                section = TextUpper(Trim(line.substr(1, close - 1)));
            else if (line[0] == '[' || section.empty())
                return kErrorWrongInfStyle;
            else  // without '=', eq + 1 is 0: the whole line is the value
                lines.push_back({section, eq == std::string::npos ? "" : Trim(line.substr(0, eq)),
                                 Trim(line.substr(eq + 1))});
        }
        for (const char* known : {"$WINDOWS NT$", "$CHICAGO$", "$WINDOWS 95$"})
            if (EqualsNoCase(Value("Version", "Signature"), known)) return 0;
        return kErrorWrongInfStyle;
    }

    // The first value of the key, unquoted; %strings% are left as they are.
    std::string Value(const std::string& section, const std::string& key) const {
        for (const auto& line : lines)
            if (line.section == TextUpper(section) && EqualsNoCase(line.key, key))
                return line.value;
        return {};
    }

    // A text with its %strings% substituted and its quotes removed: between '%' signs,
    // every other piece names a string.
    std::string Expand(const std::string& text) const {
        std::string out;
        std::istringstream in(text);
        for (std::string piece, name; std::getline(in, piece, '%'); name = name.empty() ? "%" : "")
            out += name.empty() ? piece : Value("Strings", piece);
        return Trim(out);
    }

    // The description of the model that installs the hardware id: [Manufacturer] names the
    // models sections, whose lines read "%Desc% = InstallSection, HardwareId[, ...]".
    std::optional<std::string> FindModel(const std::string& hardwareId) const {
        for (const auto& maker : lines)
            for (const auto& model : lines) {
                const std::string models = Trim(maker.value.substr(0, maker.value.find(',')));
                std::string ids = model.value + ",";
                std::erase_if(ids, [](char c) { return c == ' ' || c == '\t'; });
                if (maker.section == "MANUFACTURER" && model.section == TextUpper(models) &&
                    ContainsNoCase(ids, "," + hardwareId + ","))
                    return Expand(model.key);
            }
        return std::nullopt;
    }
};

}  // namespace

std::string SimDeviceManager::GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

bool SimDeviceManager::GetInfClass(const std::string& infPath, Guid& classGuid,
                                   std::vector<char>& className, uint32_t& requiredSize) {
    Inf inf;
    if (Fails(Call::GetInfClass) || !Done(inf.Read(infPath))) return false;
    const std::string name = inf.Value("Version", "Class");
    classGuid = ParseGuid(inf.Value("Version", "ClassGUID"));
    requiredSize = static_cast<uint32_t>(name.size() + 1);
    if (className.size() < requiredSize) return Done(platform::kErrorInsufficientBuffer);
    std::copy_n(name.c_str(), requiredSize, className.begin());
    return Done(0);
}

// The documented answers: ERROR_FILE_NOT_FOUND for a missing INF, ERROR_NO_SUCH_DEVINST when
// no device has the hardware id; an INF without a driver for it gives ERROR_NO_MORE_ITEMS,
// the answer for "no driver to install". Each device gets the model's description, and as
// its friendly name the description made unique among the other devices with " #2", " #3"...
bool SimDeviceManager::UpdateDriver(platform::WindowHandle, const std::string& hardwareId,
                                    const std::string& infPath, uint32_t, bool& restart) {
    Inf inf;
    if (Fails(Call::UpdateDriver) || !Done(inf.Read(infPath))) return false;
    std::vector<SimDevice*> targets;
    for (auto& [devInst, device] : devices_)
        if (device.registered && EqualsNoCase(Text(device, kSpdrpHardwareId), hardwareId))
            targets.push_back(&device);
    const auto description = inf.FindModel(hardwareId);
    if (targets.empty()) return Done(platform::kErrorNoSuchDevinst);
    if (!description) return Done(259);  // ERROR_NO_MORE_ITEMS
    const auto taken = [&](const SimDevice* self, const std::string& name) {
        return std::ranges::any_of(devices_, [&](const auto& d) {
            return &d.second != self && EqualsNoCase(Text(d.second, kSpdrpFriendlyName), name);
        });
    };
    for (SimDevice* device : namesDevices ? targets : std::vector<SimDevice*>{}) {
        std::string name = *description;
        for (int n = 2; taken(device, name); ++n) name = *description + " #" + std::to_string(n);
        device->properties[kSpdrpFriendlyName] = Property(kSpdrpFriendlyName, name);
        device->properties[kSpdrpDeviceDesc] = Property(kSpdrpDeviceDesc, *description);
    }
    restart = restartNeeded;
    if (onUpdate) onUpdate();
    return Done(0);
}

}  // namespace tarvelin::sim
