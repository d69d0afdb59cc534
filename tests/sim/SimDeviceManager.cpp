#include "sim/SimDeviceManager.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "core/modTypes.h"
#include "platform/AnsiText.h"
#include "sim/HostFileSystem.h"

namespace tarvelin::sim {
namespace {

using platform::DeviceKeyKind;
using platform::DeviceRecord;
using platform::Guid;
using platform::kErrorInsufficientBuffer;
using platform::kErrorInvalidParameter;
using platform::kErrorKeyDoesNotExist;
using platform::kErrorNoSuchDevinst;
using platform::RegRoot;

constexpr uint32_t kCompatibleIds = 2;  // SPDRP_COMPATIBLEIDS, a multi-string like the hardware id
constexpr uint32_t kErrorNoMoreItems = 259;
constexpr uint32_t kErrorInvalidFlags = 1004;
// The setup interface's INF parser: text before the first section, a section line without
// its closing bracket, and a file without a known [Version] signature.
constexpr uint32_t kErrorExpectedSectionName = 0xE0000000;
constexpr uint32_t kErrorBadSectionNameLine = 0xE0000001;
constexpr uint32_t kErrorWrongInfStyle = 0xE0000100;
constexpr RegRoot kMachine = RegRoot::LocalMachine;
const char* const kClassRoot = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
const char* const kEnumRoot = "SYSTEM\\CurrentControlSet\\Enum\\";
const char* const kSerialMap = "HARDWARE\\DEVICEMAP\\SERIALCOMM";

std::string Trim(std::string_view text) {
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

std::string Number(int n) {  // the four digits of a driver key or generated instance id
    char text[16];
    std::snprintf(text, sizeof text, "%04d", n);
    return text;
}

std::string GuidText(const Guid& g) {
    char text[40];
    std::snprintf(text, sizeof text, "{%08X-%04X-%04X-%02X%02X-%02X%02X%02X%02X%02X%02X}",
                  static_cast<unsigned>(g.data1), g.data2, g.data3, g.data4[0], g.data4[1],
                  g.data4[2], g.data4[3], g.data4[4], g.data4[5], g.data4[6], g.data4[7]);
    return text;
}

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}"; GUID_NULL for anything else.
Guid ParseGuid(const std::string& text) {
    std::string hex;
    for (char c : text) {
        if (std::isxdigit(static_cast<unsigned char>(c))) hex += c;
    }
    Guid g;
    if (hex.size() != 32 || text.size() != 38) return g;
    const auto part = [&](size_t pos, size_t len) {
        return static_cast<uint32_t>(std::stoul(hex.substr(pos, len), nullptr, 16));
    };
    g.data1 = part(0, 8);
    g.data2 = static_cast<uint16_t>(part(8, 4));
    g.data3 = static_cast<uint16_t>(part(12, 4));
    for (size_t i = 0; i < 8; ++i) g.data4[i] = static_cast<uint8_t>(part(16 + 2 * i, 2));
    return g;
}

std::string Unquote(std::string text) {
    text = Trim(text);
    return text.size() >= 2 && text.front() == '"' && text.back() == '"'
               ? text.substr(1, text.size() - 2)
               : text;
}

std::string StripComment(const std::string& line) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (line[i] == ';' && !quoted) return line.substr(0, i);
    }
    return line;
}

// An INF file: sections of "key = value" lines (the key empty where there is no '=').
class Inf {
  public:
    using Lines = std::vector<std::pair<std::string, std::string>>;

    // 0, or the error the system's parser gives; ERROR_FILE_NOT_FOUND for a missing file.
    uint32_t Read(const std::string& ansiPath) {
        std::string bytes;
        if (!HostFileSystem().ReadAll(AnsiToUtf8(ansiPath), bytes)) return 2;
        std::istringstream in(bytes);
        Lines* section = nullptr;
        for (std::string line; std::getline(in, line);) {
            line = Trim(StripComment(line));
            if (line.empty()) continue;
            if (line[0] == '[') {
                const size_t end = line.find(']');
                if (end == std::string::npos) return kErrorBadSectionNameLine;
                section = &sections_[TextUpper(Trim(line.substr(1, end - 1)))];
            } else if (!section) {
                return kErrorExpectedSectionName;
            } else {
                const size_t eq = line.find('=');
                section->emplace_back(eq == std::string::npos ? "" : Trim(line.substr(0, eq)),
                                      Trim(line.substr(eq == std::string::npos ? 0 : eq + 1)));
            }
        }
        const std::string signature = TextUpper(Value("Version", "Signature"));
        const bool known =
            signature == "$WINDOWS NT$" || signature == "$CHICAGO$" || signature == "$WINDOWS 95$";
        return known ? 0 : kErrorWrongInfStyle;
    }

    const Lines& Section(const std::string& name) const {
        static const Lines none;
        auto it = sections_.find(TextUpper(name));
        return it == sections_.end() ? none : it->second;
    }

    // The first value of the key, with its %strings% substituted and its quotes removed.
    std::string Value(const std::string& section, const std::string& key) const {
        for (const auto& [k, v] : Section(section)) {
            if (EqualsNoCase(k, key)) return Expand(v);
        }
        return {};
    }

    // "%name%" becomes the [Strings] value of that name, "%%" a percent sign; a name
    // without a value stays as written.
    std::string Expand(const std::string& text) const {
        std::string out;
        for (size_t pos = 0; pos < text.size();) {
            const size_t end = text[pos] == '%' ? text.find('%', pos + 1) : std::string::npos;
            if (end == std::string::npos) {
                out += text[pos++];
                continue;
            }
            const std::string name = text.substr(pos + 1, end - pos - 1);
            const std::string value = name.empty() ? "%" : Value("Strings", name);
            out += value.empty() ? text.substr(pos, end - pos + 1) : value;
            pos = end + 1;
        }
        return Unquote(out);
    }

    std::vector<std::string> Fields(const std::string& value) const {
        std::vector<std::string> fields;
        std::istringstream in(value);
        for (std::string field; std::getline(in, field, ',');) fields.push_back(Expand(field));
        return fields;
    }

    // The description of the model that installs the hardware id: [Manufacturer] names the
    // models sections, whose lines read "%Desc% = InstallSection, HardwareId[, ...]".
    bool FindModel(const std::string& hardwareId, std::string& description) const {
        for (const auto& maker : Section("Manufacturer")) {
            const auto models = Fields(maker.second);
            for (const auto& [desc, value] : Section(models.empty() ? "" : models[0])) {
                const auto ids = Fields(value);
                if (std::any_of(ids.begin() + std::min<size_t>(1, ids.size()), ids.end(),
                                [&](const auto& id) { return EqualsNoCase(id, hardwareId); })) {
                    description = Expand(desc);
                    return true;
                }
            }
        }
        return false;
    }

  private:
    std::map<std::string, Lines> sections_;  // by upper-case name
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
                      [&](const auto& d) { return !d.second.registered && d.second.list == id_; });
    }

    bool Enum(uint32_t index, DeviceRecord& device) override {
        if (m_.Fails(Call::Enum)) return false;
        if (index >= entries_.size()) return m_.Fail(kErrorNoMoreItems);
        auto it = m_.devices_.find(entries_[index]);
        device = {it == m_.devices_.end() ? Guid{} : it->second.classGuid, entries_[index], id_};
        return m_.Succeed();
    }

    bool GetProperty(const DeviceRecord& record, uint32_t property, uint32_t& type,
                     std::vector<uint8_t>& buffer, uint32_t& requiredSize) override {
        SimDevice* device = Device(record, Call::GetProperty);
        if (!device) return false;
        auto it = device->properties.find(property);
        if (it == device->properties.end()) return m_.Fail(platform::kErrorInvalidData);
        const auto& data = it->second.data;
        type = it->second.type;
        requiredSize = static_cast<uint32_t>(data.size());
        if (buffer.size() < data.size()) return m_.Fail(kErrorInsufficientBuffer);
        std::copy(data.begin(), data.end(), buffer.begin());
        return m_.Succeed();
    }

    bool SetProperty(DeviceRecord& record, uint32_t property,
                     const std::vector<uint8_t>& data) override {
        SimDevice* device = Device(record, Call::SetProperty);
        if (!device) return false;
        const bool multi = property == platform::kSpdrpHardwareId || property == kCompatibleIds;
        device->properties[property] = {multi ? platform::kRegMultiSz : platform::kRegSz, data};
        if (data.empty()) device->properties.erase(property);  // no data deletes the property
        return m_.Succeed();
    }

    bool Create(const std::string& className, const Guid& classGuid,
                DeviceRecord& record) override {
        if (m_.Fails(Call::Create)) return false;
        SimDevice& device = m_.NewDevice(className, classGuid);
        device.list = id_;
        entries_.push_back(device.devInst);
        record = {classGuid, device.devInst, id_};
        return m_.Succeed();
    }

    bool Register(DeviceRecord& record) override {
        SimDevice* device = Device(record, Call::Register);
        if (!device) return false;
        device->registered = true;
        device->list = 0;
        return m_.Succeed();
    }

    std::unique_ptr<platform::IRegKey> OpenKey(const DeviceRecord& record, DeviceKeyKind kind,
                                               platform::DeviceKeyAccess access) override {
        SimDevice* device = Device(record, Call::OpenKey);
        return device ? m_.KeyOf(*device, kind, false, access != platform::DeviceKeyAccess::Read)
                      : nullptr;
    }

    std::unique_ptr<platform::IRegKey> CreateKey(const DeviceRecord& record,
                                                 DeviceKeyKind kind) override {
        SimDevice* device = Device(record, Call::CreateKey);
        return device ? m_.KeyOf(*device, kind, true, true) : nullptr;
    }

    // As the system does after a removal, the record no longer names a device instance.
    bool Remove(DeviceRecord& record) override {
        if (!Device(record, Call::Remove)) return false;
        m_.Delete(record.devInst);
        record.devInst = 0;
        return m_.Succeed();
    }

  private:
    SimDevice* Device(const DeviceRecord& record, Call call) {
        if (m_.Fails(call)) return nullptr;
        auto it = m_.devices_.find(record.devInst);
        const uint32_t error = record.reserved != id_    ? kErrorInvalidParameter
                               : it == m_.devices_.end() ? kErrorNoSuchDevinst
                                                         : 0;
        if (error) m_.Fail(error);
        return error ? nullptr : &it->second;
    }

    SimDeviceManager& m_;
    uintptr_t id_;
    std::vector<uint32_t> entries_;
};

// A device key handed out: the registry key with the manager's failures injected, counted
// while open.
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
    // Registry functions answer their error and leave the thread's last error alone.
    template <class Operation>
    long Or(Call call, Operation operation) {
        const uint32_t error = m_.Injected(call);
        return error ? static_cast<long>(error) : operation();
    }

    SimDeviceManager& m_;
    std::unique_ptr<platform::IRegKey> key_;
};

uint32_t SimDeviceManager::Injected(Call call) {
    auto it = faults_.find(call);
    if (it == faults_.end()) return 0;
    return it->second.skip-- > 0 ? 0 : it->second.error;
}

bool SimDeviceManager::Fails(Call call) {
    const uint32_t error = Injected(call);
    if (error) lastError_ = error;
    return error != 0;
}

std::unique_ptr<platform::IDeviceList> SimDeviceManager::GetClassDevs(const Guid* classGuid,
                                                                      uint32_t flags) {
    if (Fails(Call::GetClassDevs)) return nullptr;
    // With DIGCF_ALLCLASSES the system lists every class, whatever class is named.
    const bool all = !classGuid || (flags & platform::kDigcfAllClasses);
    std::vector<uint32_t> entries;
    for (const auto& [devInst, device] : devices_) {
        if (device.registered && (all || device.classGuid == *classGuid)) {
            entries.push_back(devInst);
        }
    }
    Succeed();
    return std::make_unique<List>(*this, std::move(entries));
}

std::unique_ptr<platform::IDeviceList> SimDeviceManager::CreateList(const Guid&) {
    if (Fails(Call::CreateList)) return nullptr;
    Succeed();
    return std::make_unique<List>(*this, std::vector<uint32_t>{});
}

bool SimDeviceManager::GetInfClass(const std::string& infPath, Guid& classGuid,
                                   std::vector<char>& className, uint32_t& requiredSize) {
    if (Fails(Call::GetInfClass)) return false;
    Inf inf;
    if (const uint32_t error = inf.Read(infPath)) return Fail(error);
    const std::string name = inf.Value("Version", "Class");
    classGuid = ParseGuid(inf.Value("Version", "ClassGUID"));
    requiredSize = static_cast<uint32_t>(name.size() + 1);
    if (className.size() < requiredSize) return Fail(kErrorInsufficientBuffer);
    std::memcpy(className.data(), name.c_str(), requiredSize);
    return Succeed();
}

// The documented answers: ERROR_FILE_NOT_FOUND for a missing INF, ERROR_INVALID_FLAGS,
// ERROR_NO_SUCH_DEVINST when no device has the hardware id; an INF without a driver for it
// gives ERROR_NO_MORE_ITEMS, the answer for "no driver to install".
bool SimDeviceManager::UpdateDriver(platform::WindowHandle, const std::string& hardwareId,
                                    const std::string& infPath, uint32_t flags, bool& restart) {
    if (Fails(Call::UpdateDriver)) return false;
    if (flags & ~7u) return Fail(kErrorInvalidFlags);
    Inf inf;
    if (const uint32_t error = inf.Read(infPath)) return Fail(error);
    std::vector<SimDevice*> targets;
    for (auto& [devInst, device] : devices_) {
        if (device.registered &&
            EqualsNoCase(Text(device, platform::kSpdrpHardwareId), hardwareId)) {
            targets.push_back(&device);
        }
    }
    if (targets.empty()) return Fail(kErrorNoSuchDevinst);
    std::string description;
    if (!inf.FindModel(hardwareId, description)) return Fail(kErrorNoMoreItems);
    for (SimDevice* device : targets) Install(*device, description, infPath, hardwareId);
    restart = restartNeeded;
    Succeed();
    if (onUpdate) onUpdate();
    return true;
}

// The device gets the model's description, and as its friendly name the description made
// unique among the other devices with " #2", " #3"...; its driver key tells the driver.
void SimDeviceManager::Install(SimDevice& device, const std::string& description,
                               const std::string& infPath, const std::string& hardwareId) {
    const auto taken = [&](const std::string& name) {
        return std::any_of(devices_.begin(), devices_.end(), [&](const auto& d) {
            return &d.second != &device && d.second.registered &&
                   EqualsNoCase(Text(d.second, platform::kSpdrpFriendlyName), name);
        });
    };
    std::string name = description;
    for (int n = 2; taken(name); ++n) name = description + " #" + std::to_string(n);
    device.properties[platform::kSpdrpFriendlyName] = {platform::kRegSz, SimRegistry::Sz(name)};
    device.properties[platform::kSpdrpDeviceDesc] = {platform::kRegSz,
                                                     SimRegistry::Sz(description)};
    const std::string key = KeyPath(device, DeviceKeyKind::Driver, true);
    registry_.PutString(kMachine, key, "DriverDesc", description);
    registry_.PutString(kMachine, key, "InfPath", infPath.substr(infPath.find_last_of("\\/") + 1));
    registry_.PutString(kMachine, key, "MatchingDeviceId", hardwareId);
}

SimDevice& SimDeviceManager::NewDevice(const std::string& className, const Guid& classGuid) {
    std::string id;
    for (int n = 0;
         id.empty() || std::any_of(devices_.begin(), devices_.end(),
                                   [&](auto& d) { return EqualsNoCase(d.second.instanceId, id); });
         ++n) {
        id = "ROOT\\" + TextUpper(className) + "\\" + Number(n);
    }
    SimDevice& device = devices_[nextDevInst_];
    device = {id, className, classGuid, {}, false, 0, {}, nextDevInst_++};
    return device;
}

// The device key's registry path; a driver key gets the first free number under its class
// key when created. Empty for a driver key not created.
std::string SimDeviceManager::KeyPath(SimDevice& device, DeviceKeyKind kind, bool create) {
    if (kind == DeviceKeyKind::Hardware) {
        return kEnumRoot + device.instanceId + "\\Device Parameters";
    }
    for (int n = 0; create && device.driverKey.empty(); ++n) {
        const std::string key = GuidText(device.classGuid) + "\\" + Number(n);
        long error = 0;
        if (!registry_.Open(kMachine, kClassRoot + key, false, error)) device.driverKey = key;
    }
    return device.driverKey.empty() ? "" : kClassRoot + device.driverKey;
}

std::unique_ptr<platform::IRegKey> SimDeviceManager::KeyOf(SimDevice& device, DeviceKeyKind kind,
                                                           bool create, bool write) {
    const std::string path = KeyPath(device, kind, create);
    long error = 0;
    auto key = create         ? registry_.Create(kMachine, path, error)
               : path.empty() ? nullptr
                              : registry_.Open(kMachine, path, write, error);
    if (!key) {
        Fail(create ? static_cast<uint32_t>(error) : kErrorKeyDoesNotExist);
        return nullptr;
    }
    Succeed();
    return std::make_unique<Key>(*this, std::move(key));
}

void SimDeviceManager::Delete(uint32_t devInst) {
    const SimDevice& device = devices_.at(devInst);
    registry_.DeleteKey(kMachine, kEnumRoot + device.instanceId + "\\Device Parameters");
    registry_.DeleteKey(kMachine, kEnumRoot + device.instanceId);
    if (!device.driverKey.empty()) registry_.DeleteKey(kMachine, kClassRoot + device.driverKey);
    devices_.erase(devInst);
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
    const auto put = [&](uint32_t property, uint32_t type, const std::string& text) {
        std::vector<uint8_t> data = SimRegistry::Sz(text);
        if (type == platform::kRegMultiSz) data.push_back(0);
        if (!text.empty()) properties[property] = {type, data};
    };
    put(platform::kSpdrpHardwareId, platform::kRegMultiSz, hardwareId);
    put(platform::kSpdrpFriendlyName, platform::kRegSz, friendlyName);
    put(platform::kSpdrpDeviceDesc, platform::kRegSz, description);
    SimDevice& device = AddDevice("Ports", platform::kGuidDevClassPorts, std::move(properties));
    if (!portName.empty()) {
        registry_.PutString(kMachine, KeyPath(device, DeviceKeyKind::Hardware, true), "PortName",
                            portName);
    }
    if (inSerialMap) registry_.PutString(kMachine, kSerialMap, deviceObjectName, portName);
    return device;
}

void SimDeviceManager::AddSerialMapValue(const std::string& name, uint32_t type,
                                         std::vector<uint8_t> data) {
    registry_.PutRaw(kMachine, kSerialMap, name, type, std::move(data));
}

std::string SimDeviceManager::Text(const SimDevice& device, uint32_t property) {
    auto it = device.properties.find(property);
    if (it == device.properties.end()) return {};
    const auto& data = it->second.data;
    return {data.begin(), std::find(data.begin(), data.end(), 0)};
}

const SimDevice* SimDeviceManager::FindByFriendlyName(const std::string& name) const {
    for (const auto& [devInst, device] : devices_) {
        if (Text(device, platform::kSpdrpFriendlyName) == name) return &device;
    }
    return nullptr;
}

const SimRegistry::Value* SimDeviceManager::DriverValue(const SimDevice& device,
                                                        const std::string& name) const {
    return device.driverKey.empty() ? nullptr
                                    : registry_.Get(kMachine, kClassRoot + device.driverKey, name);
}

}  // namespace tarvelin::sim
