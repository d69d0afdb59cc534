#pragma once
// A simulated setup interface and driver installer. Devices carry their properties here;
// their keys live in the SimRegistry where the system keeps them: the driver key under
// HKLM "SYSTEM\CurrentControlSet\Control\Class\{class}\NNNN", the hardware key under
// HKLM "SYSTEM\CurrentControlSet\Enum\<instance id>\Device Parameters", and the serial-port
// map under HKLM "HARDWARE\DEVICEMAP\SERIALCOMM". Driver installation reads the INF file
// (its [Version], [Manufacturer], models and [Strings] sections) from the host's disk.
#include <algorithm>
#include <functional>
#include <map>
#include <utility>

#include "core/modTypes.h"
#include "platform/DeviceSetup.h"
#include "sim/SimRegistry.h"

namespace tarvelin::sim {

struct SimDevice {
    std::string instanceId;  // "ROOT\MODEM\0003", numbered by the device instance
    std::string className;
    platform::Guid classGuid;
    std::map<uint32_t, SimRegistry::Value> properties;  // by SPDRP code
    bool registered = false;
    uintptr_t list = 0;     // the list that created an element not yet registered
    std::string driverKey;  // "{class}\NNNN" once the driver key exists
};

class SimDeviceManager : public platform::IDeviceSetup {
    using Guid = platform::Guid;
    using KeyPtr = std::unique_ptr<platform::IRegKey>;
    using Record = platform::DeviceRecord;
    using Bytes = std::vector<uint8_t>;
    static constexpr auto kMachine = platform::RegRoot::LocalMachine;

  public:
    // Every call a test can make fail (KeyQuery / KeySet: reading and setting values of the
    // device keys handed out).
    // clang-format off
    enum class Call : uint8_t {
        GetClassDevs, CreateList, Enum, GetProperty, SetProperty, Create, Register, OpenKey,
        CreateKey, Remove, GetInfClass, UpdateDriver, KeyQuery, KeySet
    };
    // clang-format on

    explicit SimDeviceManager(SimRegistry& registry) : registry_(registry) {}

    // With DIGCF_ALLCLASSES the system lists every class, whatever class is named.
    std::unique_ptr<platform::IDeviceList> GetClassDevs(const Guid* classGuid,
                                                        uint32_t flags) override {
        if (Fails(Call::GetClassDevs)) return nullptr;
        const bool all = !classGuid || (flags & platform::kDigcfAllClasses);
        auto list = std::make_unique<List>(*this);
        for (const auto& [devInst, device] : devices_)
            if (device.registered && (all || device.classGuid == *classGuid))
                list->entries.push_back(devInst);
        return list;
    }
    std::unique_ptr<platform::IDeviceList> CreateList(const Guid&) override {
        return Fails(Call::CreateList) ? nullptr : std::make_unique<List>(*this);
    }
    bool GetInfClass(const std::string& infPath, Guid& classGuid, std::vector<char>& className,
                     uint32_t& requiredSize) override;
    bool UpdateDriver(platform::WindowHandle parent, const std::string& hardwareId,
                      const std::string& infPath, uint32_t flags, bool& restart) override;
    uint32_t LastError() override { return lastError_; }

    // --- Behaviour ---------------------------------------------------------------------
    // From its (skip + 1)-th call on, the call fails with error and changes nothing (the
    // registry keys answer the error, the other calls leave it for LastError). An
    // UpdateDriver failing with 1223 is the user cancelling the installer.
    void FailCall(Call call, uint32_t error, int skip = 0) { faults_[call] = {error, skip}; }
    uint32_t staleError = 0;         // what LastError() tells after a successful call
    bool restartNeeded = false;      // what a successful UpdateDriver reports
    bool namesDevices = true;        // false: it names nothing (an installer that only says so)
    std::function<void()> onUpdate;  // runs after each successful UpdateDriver

    // --- Set-up and observation ----------------------------------------------------------
    // A registered Ports-class device with "PortName" in its hardware key and, when asked,
    // its entry in the serial-port map. An empty argument leaves that property out.
    SimDevice& AddPort(const std::string& portName, const std::string& deviceObjectName,
                       const std::string& hardwareId, const std::string& friendlyName,
                       const std::string& description, bool inSerialMap = true) {
        SimDevice& device = AddDevice("Ports", platform::kGuidDevClassPorts, {});
        for (const auto& [property, text] : {std::pair{platform::kSpdrpHardwareId, hardwareId},
                                             {platform::kSpdrpFriendlyName, friendlyName},
                                             {platform::kSpdrpDeviceDesc, description}})
            if (!text.empty()) device.properties[property] = Property(property, text);
        if (!portName.empty())
            registry_.PutString(kMachine, HardwareKey(device), "PortName", portName);
        if (inSerialMap && !deviceObjectName.empty())
            AddSerialMapValue(deviceObjectName, platform::kRegSz, SimRegistry::Sz(portName));
        return device;
    }
    // A registered device with any properties (type and bytes as given); with a list, an
    // unregistered element of that list.
    SimDevice& AddDevice(const std::string& className, const Guid& classGuid,
                         std::map<uint32_t, SimRegistry::Value> properties, uintptr_t list = 0) {
        const std::string id = Numbered("ROOT\\" + TextUpper(className), nextDevInst_);
        return devices_[nextDevInst_++] = {id,    className, classGuid, std::move(properties),
                                           !list, list,      {}};
    }
    // A serial-port map value of any type and data.
    void AddSerialMapValue(const std::string& name, uint32_t type, std::vector<uint8_t> data) {
        registry_.PutRaw(kMachine, "HARDWARE\\DEVICEMAP\\SERIALCOMM", name, type, std::move(data));
    }
    const std::map<uint32_t, SimDevice>& Devices() const { return devices_; }
    // A text property up to its first NUL; empty when absent.
    static std::string Text(const SimDevice& device, uint32_t property) {
        const auto it = device.properties.find(property);
        if (it == device.properties.end()) return {};
        return {it->second.data.begin(), std::ranges::find(it->second.data, 0)};
    }
    int OpenLists() const { return openLists_; }
    int OpenKeys() const { return openKeys_; }

  private:
    // A device list: its elements by device instance number. Elements it created and that
    // were never registered vanish with it.
    struct List : platform::IDeviceList {
        explicit List(SimDeviceManager& m) : m(m), id(reinterpret_cast<uintptr_t>(this)) {
            ++m.openLists_;
            m.Done(0);
        }
        ~List() override {
            --m.openLists_;
            std::erase_if(m.devices_,
                          [&](auto& d) { return !d.second.registered && d.second.list == id; });
        }
        bool Enum(uint32_t index, Record& record) override {
            if (m.Fails(Call::Enum)) return false;
            if (index >= entries.size()) return m.Done(259);  // ERROR_NO_MORE_ITEMS
            const auto it = m.devices_.find(entries[index]);  // gone once removed
            record = {it == m.devices_.end() ? Guid{} : it->second.classGuid, entries[index], id};
            return m.Done(0);
        }
        bool GetProperty(const Record& record, uint32_t property, uint32_t& type,
                         std::vector<uint8_t>& buffer, uint32_t& requiredSize) override {
            SimDevice* device = Device(record, Call::GetProperty);
            if (!device) return false;
            const auto it = device->properties.find(property);
            if (it == device->properties.end()) return m.Done(platform::kErrorInvalidData);
            type = it->second.type;
            requiredSize = static_cast<uint32_t>(it->second.data.size());
            if (buffer.size() < requiredSize) return m.Done(platform::kErrorInsufficientBuffer);
            std::ranges::copy(it->second.data, buffer.begin());
            return m.Done(0);
        }
        bool SetProperty(Record& record, uint32_t property, const Bytes& data) override {
            SimDevice* device = Device(record, Call::SetProperty);
            if (device) device->properties[property] = {Property(property, "").type, data};
            return device && m.Done(0);
        }
        bool Create(const std::string& className, const Guid& classGuid, Record& record) override {
            if (m.Fails(Call::Create)) return false;
            m.AddDevice(className, classGuid, {}, id);
            entries.push_back(m.nextDevInst_ - 1);
            record = {classGuid, entries.back(), id};
            return m.Done(0);
        }
        bool Register(Record& record) override {
            SimDevice* device = Device(record, Call::Register);
            if (device) device->registered = true;
            return device && m.Done(0);
        }
        KeyPtr OpenKey(const Record& record, platform::DeviceKeyKind kind,
                       platform::DeviceKeyAccess access) override {
            const bool write = access != platform::DeviceKeyAccess::Read;
            return m.KeyOf(Device(record, Call::OpenKey), kind, false, write);
        }
        KeyPtr CreateKey(const Record& record, platform::DeviceKeyKind kind) override {
            return m.KeyOf(Device(record, Call::CreateKey), kind, true, true);
        }
        // Deletes the device and its keys; as on the system, the record then names no device.
        bool Remove(Record& record) override {
            SimDevice* device = Device(record, Call::Remove);
            if (!device) return false;
            for (const std::string& key : {HardwareKey(*device), kEnumRoot + device->instanceId,
                                           kClassRoot + device->driverKey})
                if (key != kClassRoot) m.registry_.DeleteKey(kMachine, key);
            m.devices_.erase(std::exchange(record.devInst, 0));
            return m.Done(0);
        }
        SimDevice* Device(const Record& record, Call call) {
            const auto it = m.devices_.find(record.devInst);
            const bool gone = it == m.devices_.end();
            if (m.Fails(call) || (gone && !m.Done(platform::kErrorNoSuchDevinst))) return nullptr;
            return &it->second;
        }
        SimDeviceManager& m;
        uintptr_t id;
        std::vector<uint32_t> entries;
    };

    // A device key handed out: the registry key, counted while open, with the injected
    // failures.
    struct Key : platform::IRegKey {
        Key(SimDeviceManager& m, KeyPtr key) : m(m), key(std::move(key)) { ++m.openKeys_; }
        ~Key() override { --m.openKeys_; }
        long QueryInfo(const std::string& name, uint32_t& type, uint32_t& size) override {
            return Or(Call::KeyQuery, [&] { return key->QueryInfo(name, type, size); });
        }
        long Query(const std::string& name, uint32_t& type, Bytes& data, uint32_t& size) override {
            return Or(Call::KeyQuery, [&] { return key->Query(name, type, data, size); });
        }
        long Set(const std::string& name, uint32_t type, const Bytes& data) override {
            return Or(Call::KeySet, [&] { return key->Set(name, type, data); });
        }
        // Deleting and listing values pass through unfailed.
        long Delete(const std::string& name) override { return key->Delete(name); }
        long Enum(uint32_t index, std::vector<char>& name, uint32_t& nameLen,
                  std::vector<uint8_t>& data, uint32_t& dataLen) override {
            return key->Enum(index, name, nameLen, data, dataLen);
        }
        // Registry calls answer their error and leave the last error alone.
        long Or(Call call, const std::function<long()>& operation) {
            const uint32_t lastError = m.lastError_, error = m.Fails(call);
            m.lastError_ = lastError;
            return error ? static_cast<long>(error) : operation();
        }
        SimDeviceManager& m;
        KeyPtr key;
    };

    static inline const std::string kClassRoot = "SYSTEM\\CurrentControlSet\\Control\\Class\\";
    static inline const std::string kEnumRoot = "SYSTEM\\CurrentControlSet\\Enum\\";
    static std::string HardwareKey(const SimDevice& device) {
        return kEnumRoot + device.instanceId + "\\Device Parameters";
    }
    static std::string Numbered(const std::string& prefix, uint32_t n) {  // "prefix\NNNN"
        return prefix + "\\" + std::to_string(10000 + n).substr(1);
    }
    static std::string GuidText(const Guid& guid);
    // The hardware id (SPDRP 1) is a multi-string, the other texts strings.
    static SimRegistry::Value Property(uint32_t property, const std::string& text) {
        const bool multi = property == platform::kSpdrpHardwareId;
        return {multi ? platform::kRegMultiSz : platform::kRegSz,
                SimRegistry::Sz(multi ? text + '\0' : text)};
    }

    // The injected error of this call, also left for LastError(); 0 to let the call through.
    uint32_t Fails(Call call) {
        auto it = faults_.find(call);
        if (it == faults_.end() || it->second.second-- > 0) return 0;
        return Done(it->second.first) ? 0 : it->second.first;
    }
    // Leaves the error behind for LastError() (staleError after a success); true on success.
    bool Done(uint32_t error) {
        lastError_ = error ? error : staleError;
        return error == 0;
    }
    // A driver key gets the first free number under its class key when created; one never
    // created answers ERROR_KEY_DOES_NOT_EXIST.
    KeyPtr KeyOf(SimDevice* device, platform::DeviceKeyKind kind, bool create, bool write) {
        const bool driver = kind == platform::DeviceKeyKind::Driver;
        long error = 0;
        for (uint32_t n = 0; device && create && driver && device->driverKey.empty(); ++n) {
            const std::string key = Numbered(GuidText(device->classGuid), n);
            if (!registry_.Open(kMachine, kClassRoot + key, false, error)) device->driverKey = key;
        }
        if (!device) return nullptr;
        const bool exists = !driver || !device->driverKey.empty();
        const std::string path = driver ? kClassRoot + device->driverKey : HardwareKey(*device);
        KeyPtr key = create ? registry_.Create(kMachine, path, error)
                            : registry_.Open(kMachine, path, write, error);
        const uint32_t failure =
            create ? static_cast<uint32_t>(error) : platform::kErrorKeyDoesNotExist;
        if (!Done(key && exists ? 0 : failure)) return nullptr;
        return std::make_unique<Key>(*this, std::move(key));
    }

    SimRegistry& registry_;
    std::map<uint32_t, SimDevice> devices_;            // by device instance number
    std::map<Call, std::pair<uint32_t, int>> faults_;  // error, calls to let through first
    uint32_t nextDevInst_ = 1, lastError_ = 0;
    int openLists_ = 0, openKeys_ = 0;
};

}  // namespace tarvelin::sim
