#include "sim/SimDeviceManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <utility>

#include "core/modTypes.h"
#include "platform/AnsiText.h"
#include "sim/HostFileSystem.h"

namespace tarvelin::sim {
namespace {

using platform::DeviceKeyKind;
using platform::DeviceRecord;
using platform::Guid;
using platform::kSpdrpFriendlyName;

constexpr uint32_t kErrorNoMoreItems = 259;
// The setup interface's INF parser: text before the first section, a section line without
// its closing bracket, and a file without a known [Version] signature.
constexpr uint32_t kErrorExpectedSectionName = 0xE0000000;
constexpr uint32_t kErrorBadSectionNameLine = 0xE0000001;
constexpr uint32_t kErrorWrongInfStyle = 0xE0000100;
constexpr auto kMachine = platform::RegRoot::LocalMachine;
const std::string kClassRoot = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
const std::string kEnumRoot = "SYSTEM\\CurrentControlSet\\Enum\\";
const char* const kSerialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string Trim(std::string_view text) {
    return std::string(tarvelin::Trim(text));
}

std::string Unquote(const std::string& text) {
    const std::string t = Trim(text);
    return t.size() >= 2 && t.front() == '"' && t.back() == '"' ? t.substr(1, t.size() - 2) : t;
}

// Hardware and compatible ids (SPDRP 1 and 2) are multi-strings, the other texts strings.
uint32_t PropertyType(uint32_t property) {
    return property == 1 || property == 2 ? platform::kRegMultiSz : platform::kRegSz;
}

std::string Number(int n) {  // the four digits of a driver key or a generated instance id
    const std::string digits = std::to_string(n);
    return std::string(4 - std::min<size_t>(4, digits.size()), '0') + digits;
}

std::string GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

Guid ParseGuid(const std::string& text) {  // GUID_NULL unless "{XXXXXXXX-XXXX-...}"
    unsigned v[11] = {};
    Guid g;
    if (std::sscanf(text.c_str(), "{%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x}", &v[0], &v[1], &v[2],
                    &v[3], &v[4], &v[5], &v[6], &v[7], &v[8], &v[9], &v[10]) != 11) {
        return g;
    }
    g = {v[0], static_cast<uint16_t>(v[1]), static_cast<uint16_t>(v[2]), {}};
    for (size_t i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(v[3 + i]);
    return g;
}

// An INF file as its "key = value" lines (the key empty where there is no '='), each with
// its section's upper-case name. Comments start at a ';' outside quotes.
class Inf {
  public:
    // 0, or the error the system's parser gives; ERROR_FILE_NOT_FOUND for a missing file.
    uint32_t Read(const std::string& ansiPath) {
        std::string bytes, section;
        if (!HostFileSystem().ReadAll(AnsiToUtf8(ansiPath), bytes)) return 2;
        std::replace_if(
            bytes.begin(), bytes.end(), [](char c) { return c == '\r' || c == '\t'; }, ' ');
        std::istringstream in(bytes);
        for (std::string line; std::getline(in, line);) {
            bool quoted = false;
            for (size_t i = 0; i < line.size(); ++i) {
                quoted ^= line[i] == '"';
                if (line[i] == ';' && !quoted) line.resize(i);
            }
            line = Trim(line);
            const size_t eq = line.find('='), close = line.find(']');
            if (line.empty()) continue;
            if (line[0] == '[' && close == std::string::npos) return kErrorBadSectionNameLine;
            if (line[0] == '[') {
                section = TextUpper(Trim(line.substr(1, close - 1)));
            } else if (section.empty()) {
                return kErrorExpectedSectionName;
            } else {  // without '=', eq + 1 is 0: the whole line is the value
                lines_.push_back({section, Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
                if (eq == std::string::npos) lines_.back().key.clear();
            }
        }
        const std::string signature = TextUpper(Value("Version", "Signature"));
        const bool known =
            signature == "$WINDOWS NT$" || signature == "$CHICAGO$" || signature == "$WINDOWS 95$";
        return known ? 0 : kErrorWrongInfStyle;
    }

    // The first value of the key with its %strings% substituted and its quotes removed.
    std::string Value(const std::string& section, const std::string& key) const {
        return Expand(Raw(section, key));
    }

    // The description of the model that installs the hardware id: [Manufacturer] names the
    // models sections, whose lines read "%Desc% = InstallSection, HardwareId[, ...]".
    bool FindModel(const std::string& hardwareId, std::string& description) const {
        const auto same = [&](const std::string& id) { return EqualsNoCase(id, hardwareId); };
        for (const auto& maker : lines_) {
            const std::string models =
                maker.section == "MANUFACTURER" ? TextUpper(Fields(maker.value)[0]) : "";
            for (const auto& model : lines_) {
                const auto ids = model.section == models ? Fields(model.value) : Fields("");
                if (std::any_of(ids.begin() + 1, ids.end(), same)) {
                    description = Expand(model.key);
                    return true;
                }
            }
        }
        return false;
    }

  private:
    struct Line {
        std::string section, key, value;
    };

    std::string Raw(const std::string& section, const std::string& key) const {
        const std::string upper = TextUpper(section);
        for (const auto& line : lines_) {
            if (line.section == upper && EqualsNoCase(line.key, key)) return line.value;
        }
        return {};
    }

    std::string Expand(const std::string& text) const {
        std::string out;
        size_t pos = 0;
        for (size_t open, close; (open = text.find('%', pos)) != std::string::npos &&
                                 (close = text.find('%', open + 1)) != std::string::npos;
             pos = close + 1) {
            out += text.substr(pos, open - pos) +
                   Unquote(Raw("Strings", text.substr(open + 1, close - open - 1)));
        }
        return Unquote(out + text.substr(pos));
    }

    std::vector<std::string> Fields(const std::string& value) const {  // at least one
        std::vector<std::string> fields;
        std::istringstream in(value + ",");
        for (std::string field; std::getline(in, field, ',');) fields.push_back(Expand(field));
        return fields;
    }

    std::vector<Line> lines_;
};

}  // namespace

// A device list: its elements by device instance number. Elements it created and that were
// never registered vanish with it.
class SimDeviceManager::List : public platform::IDeviceList {
  public:
    List(SimDeviceManager& manager, std::vector<uint32_t> entries)
        : m_(manager), id_(manager.nextList_++), entries_(std::move(entries)) {
        ++m_.openLists_;
    }
    ~List() override {
        --m_.openLists_;
        std::erase_if(m_.devices_,
                      [&](auto& d) { return !d.second.registered && d.second.list == id_; });
    }

    bool Enum(uint32_t index, DeviceRecord& device) override {
        if (m_.Fails(Call::Enum)) return false;
        if (index >= entries_.size()) return m_.Done(kErrorNoMoreItems);
        auto it = m_.devices_.find(entries_[index]);
        device = {it == m_.devices_.end() ? Guid{} : it->second.classGuid, entries_[index], id_};
        return m_.Done(0);
    }

    bool GetProperty(const DeviceRecord& record, uint32_t property, uint32_t& type,
                     std::vector<uint8_t>& buffer, uint32_t& requiredSize) override {
        SimDevice* device = Device(record, Call::GetProperty);
        if (!device) return false;
        auto it = device->properties.find(property);
        if (it == device->properties.end()) return m_.Done(platform::kErrorInvalidData);
        type = it->second.type;
        requiredSize = static_cast<uint32_t>(it->second.data.size());
        if (buffer.size() < requiredSize) return m_.Done(platform::kErrorInsufficientBuffer);
        std::copy(it->second.data.begin(), it->second.data.end(), buffer.begin());
        return m_.Done(0);
    }

    bool SetProperty(DeviceRecord& record, uint32_t property,
                     const std::vector<uint8_t>& data) override {
        SimDevice* device = Device(record, Call::SetProperty);
        if (device) device->properties[property] = {PropertyType(property), data};
        return device && m_.Done(0);
    }

    bool Create(const std::string& className, const Guid& classGuid,
                DeviceRecord& record) override {
        if (m_.Fails(Call::Create)) return false;
        SimDevice& device = m_.NewDevice(className, classGuid);
        device.list = id_;
        entries_.push_back(device.devInst);
        record = {classGuid, device.devInst, id_};
        return m_.Done(0);
    }

    bool Register(DeviceRecord& record) override {
        SimDevice* device = Device(record, Call::Register);
        if (device) device->registered = true;
        return device && m_.Done(0);
    }

    std::unique_ptr<platform::IRegKey> OpenKey(const DeviceRecord& record, DeviceKeyKind kind,
                                               platform::DeviceKeyAccess access) override {
        const bool write = access != platform::DeviceKeyAccess::Read;
        return m_.KeyOf(Device(record, Call::OpenKey), kind, false, write);
    }

    std::unique_ptr<platform::IRegKey> CreateKey(const DeviceRecord& record,
                                                 DeviceKeyKind kind) override {
        return m_.KeyOf(Device(record, Call::CreateKey), kind, true, true);
    }

    // Deletes the device and its keys; as on the system, the record then names no device.
    bool Remove(DeviceRecord& record) override {
        SimDevice* device = Device(record, Call::Remove);
        if (!device) return false;
        m_.registry_.DeleteKey(kMachine, kEnumRoot + device->instanceId + "\\Device Parameters");
        m_.registry_.DeleteKey(kMachine, kEnumRoot + device->instanceId);
        if (!device->driverKey.empty()) {
            m_.registry_.DeleteKey(kMachine, kClassRoot + device->driverKey);
        }
        m_.devices_.erase(std::exchange(record.devInst, 0));
        return m_.Done(0);
    }

  private:
    SimDevice* Device(const DeviceRecord& record, Call call) {
        auto it = m_.devices_.find(record.devInst);
        if (m_.Fails(call)) return nullptr;
        if (it == m_.devices_.end()) m_.Done(platform::kErrorNoSuchDevinst);
        return it == m_.devices_.end() ? nullptr : &it->second;
    }

    SimDeviceManager& m_;
    uintptr_t id_;
    std::vector<uint32_t> entries_;
};

// A device key handed out: the registry key, counted while open, with the injected
// failures. Registry calls answer their error and leave the thread's last error alone.
class SimDeviceManager::Key : public platform::IRegKey {
  public:
    Key(SimDeviceManager& manager, std::unique_ptr<platform::IRegKey> key)
        : m_(manager), key_(std::move(key)) {
        ++m_.openKeys_;
    }
    ~Key() override { --m_.openKeys_; }

    long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
        return Or(Call::KeyQuery, [&] { return key_->QueryInfo(name, type, size); });
    }
    long Query(const std::string& name, uint32_t& type, std::vector<uint8_t>& data,
               uint32_t& size) override {
        return Or(Call::KeyQuery, [&] { return key_->Query(name, type, data, size); });
    }
    long Set(const std::string& name, uint32_t type, const std::vector<uint8_t>& data) override {
        return Or(Call::KeySet, [&] { return key_->Set(name, type, data); });
    }
    long Delete(const std::string& name) override {
        return Or(Call::KeySet, [&] { return key_->Delete(name); });
    }
    long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
              std::vector<uint8_t>& data, uint32_t& dataLen) override {
        return Or(Call::KeyQuery, [&] { return key_->Enum(index, name, nameLen, data, dataLen); });
    }

  private:
    long Or(Call call, const std::function<long()>& operation) {
        const uint32_t error = m_.Injected(call);
        return error ? static_cast<long>(error) : operation();
    }

    SimDeviceManager& m_;
    std::unique_ptr<platform::IRegKey> key_;
};

uint32_t SimDeviceManager::Injected(Call call) {
    auto it = faults_.find(call);
    return it == faults_.end() || it->second.second-- > 0 ? 0 : it->second.first;
}

bool SimDeviceManager::Fails(Call call) {
    const uint32_t error = Injected(call);
    return error && !Done(error);
}

// With DIGCF_ALLCLASSES the system lists every class, whatever class is named.
std::unique_ptr<platform::IDeviceList> SimDeviceManager::GetClassDevs(const Guid* classGuid,
                                                                      uint32_t flags) {
    if (Fails(Call::GetClassDevs)) return nullptr;
    const bool all = !classGuid || (flags & platform::kDigcfAllClasses);
    std::vector<uint32_t> entries;
    for (const auto& [devInst, device] : devices_) {
        if (device.registered && (all || device.classGuid == *classGuid)) {
            entries.push_back(devInst);
        }
    }
    Done(0);
    return std::make_unique<List>(*this, std::move(entries));
}

std::unique_ptr<platform::IDeviceList> SimDeviceManager::CreateList(const Guid&) {
    if (Fails(Call::CreateList)) return nullptr;
    Done(0);
    return std::make_unique<List>(*this, std::vector<uint32_t>{});
}

bool SimDeviceManager::GetInfClass(const std::string& infPath, Guid& classGuid,
                                   std::vector<char>& className, uint32_t& requiredSize) {
    if (Fails(Call::GetInfClass)) return false;
    Inf inf;
    if (const uint32_t error = inf.Read(infPath)) return Done(error);
    const std::string name = inf.Value("Version", "Class");
    classGuid = ParseGuid(inf.Value("Version", "ClassGUID"));
    requiredSize = static_cast<uint32_t>(name.size() + 1);
    if (className.size() < requiredSize) return Done(platform::kErrorInsufficientBuffer);
    std::memcpy(className.data(), name.c_str(), requiredSize);
    return Done(0);
}

// The documented answers: ERROR_FILE_NOT_FOUND for a missing INF, ERROR_NO_SUCH_DEVINST when
// no device has the hardware id; an INF without a driver for it gives ERROR_NO_MORE_ITEMS,
// the answer for "no driver to install".
bool SimDeviceManager::UpdateDriver(platform::WindowHandle, const std::string& hardwareId,
                                    const std::string& infPath, uint32_t, bool& restart) {
    if (Fails(Call::UpdateDriver)) return false;
    Inf inf;
    if (const uint32_t error = inf.Read(infPath)) return Done(error);
    std::vector<SimDevice*> targets;
    for (auto& [devInst, device] : devices_) {
        const std::string id = Text(device, platform::kSpdrpHardwareId);
        if (device.registered && EqualsNoCase(id, hardwareId)) targets.push_back(&device);
    }
    std::string description;
    if (targets.empty()) return Done(platform::kErrorNoSuchDevinst);
    if (!inf.FindModel(hardwareId, description)) return Done(kErrorNoMoreItems);
    for (SimDevice* device : targets) Install(*device, description, infPath);
    restart = restartNeeded;
    Done(0);
    if (onUpdate) onUpdate();
    return true;
}

// The device gets the model's description, and as its friendly name the description made
// unique among the other devices with " #2", " #3"...; its driver key names the driver.
void SimDeviceManager::Install(SimDevice& device, const std::string& description,
                               const std::string& infPath) {
    const auto taken = [&](const std::string& name) {
        return std::any_of(devices_.begin(), devices_.end(), [&](const auto& d) {
            return &d.second != &device && EqualsNoCase(Text(d.second, kSpdrpFriendlyName), name);
        });
    };
    std::string name = description;
    for (int n = 2; taken(name); ++n) name = description + " #" + std::to_string(n);
    device.properties[kSpdrpFriendlyName] = {platform::kRegSz, SimRegistry::Sz(name)};
    device.properties[platform::kSpdrpDeviceDesc] = {platform::kRegSz,
                                                     SimRegistry::Sz(description)};
    const std::string key = KeyPath(device, DeviceKeyKind::Driver, true);
    registry_.PutString(kMachine, key, "DriverDesc", description);
    registry_.PutString(kMachine, key, "InfPath", infPath.substr(infPath.find_last_of("\\/") + 1));
}

SimDevice& SimDeviceManager::NewDevice(const std::string& className, const Guid& classGuid) {
    std::string id;
    for (int n = 0;
         id.empty() || std::any_of(devices_.begin(), devices_.end(),
                                   [&](auto& d) { return EqualsNoCase(d.second.instanceId, id); });
         ++n) {
        id = "ROOT\\" + TextUpper(className) + "\\" + Number(n);
    }
    devices_[nextDevInst_] = {id, className, classGuid, {}, false, 0, {}, nextDevInst_};
    return devices_[nextDevInst_++];
}

// A driver key gets the first free number under its class key when created; the path is
// empty for a driver key that does not exist.
std::string SimDeviceManager::KeyPath(SimDevice& device, DeviceKeyKind kind, bool create) {
    const std::string hardwareKey = kEnumRoot + device.instanceId + "\\Device Parameters";
    if (kind == DeviceKeyKind::Hardware) return hardwareKey;
    for (int n = 0; create && device.driverKey.empty(); ++n) {
        const std::string key = GuidText(device.classGuid) + "\\" + Number(n);
        long error = 0;
        if (!registry_.Open(kMachine, kClassRoot + key, false, error)) device.driverKey = key;
    }
    return device.driverKey.empty() ? "" : kClassRoot + device.driverKey;
}

std::unique_ptr<platform::IRegKey> SimDeviceManager::KeyOf(SimDevice* device, DeviceKeyKind kind,
                                                           bool create, bool write) {
    if (!device) return nullptr;
    const std::string path = KeyPath(*device, kind, create);
    long error = 0;
    std::unique_ptr<platform::IRegKey> key;
    if (create) key = registry_.Create(kMachine, path, error);
    if (!create && !path.empty()) key = registry_.Open(kMachine, path, write, error);
    if (!Done(key ? 0 : create ? static_cast<uint32_t>(error) : platform::kErrorKeyDoesNotExist)) {
        return nullptr;
    }
    return std::make_unique<Key>(*this, std::move(key));
}

SimDevice& SimDeviceManager::AddDevice(const std::string& className, const Guid& classGuid,
                                       std::map<uint32_t, SimRegistry::Value> properties) {
    SimDevice& device = NewDevice(className, classGuid);
    device.properties = std::move(properties);
    device.registered = true;
    return device;
}

SimDevice& SimDeviceManager::AddPort(const std::string& portName,
                                     const std::string& deviceObjectName,
                                     const std::string& hardwareId, const std::string& friendlyName,
                                     const std::string& description, bool inSerialMap) {
    std::map<uint32_t, SimRegistry::Value> properties;
    for (const auto& [property, text] : {std::pair{platform::kSpdrpHardwareId, hardwareId},
                                         {kSpdrpFriendlyName, friendlyName},
                                         {platform::kSpdrpDeviceDesc, description}}) {
        const bool multi = property == platform::kSpdrpHardwareId;  // a one-item multi-string
        const std::vector<uint8_t> data = SimRegistry::Sz(multi ? text + '\0' : text);
        if (!text.empty()) properties[property] = {PropertyType(property), data};
    }
    SimDevice& device = AddDevice("Ports", platform::kGuidDevClassPorts, std::move(properties));
    const std::string key = KeyPath(device, DeviceKeyKind::Hardware, true);
    if (!portName.empty()) registry_.PutString(kMachine, key, "PortName", portName);
    if (inSerialMap && !deviceObjectName.empty()) {
        registry_.PutString(kMachine, kSerialMap, deviceObjectName, portName);
    }
    return device;
}

void SimDeviceManager::AddSerialMapValue(const std::string& name, uint32_t type,
                                         std::vector<uint8_t> data) {
    registry_.PutRaw(kMachine, kSerialMap, name, type, std::move(data));
}

std::string SimDeviceManager::Text(const SimDevice& device, uint32_t property) {
    auto it = device.properties.find(property);
    if (it == device.properties.end()) return {};
    return {it->second.data.begin(), std::find(it->second.data.begin(), it->second.data.end(), 0)};
}

const SimDevice* SimDeviceManager::FindByFriendlyName(const std::string& name) const {
    for (const auto& [devInst, device] : devices_) {
        if (Text(device, kSpdrpFriendlyName) == name) return &device;
    }
    return nullptr;
}

const SimRegistry::Value* SimDeviceManager::DriverValue(const SimDevice& device,
                                                        const std::string& name) const {
    return device.driverKey.empty() ? nullptr
                                    : registry_.Get(kMachine, kClassRoot + device.driverKey, name);
}

}  // namespace tarvelin::sim
