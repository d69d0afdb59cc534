#include "hardware/modAppHardware.h"

#include <algorithm>
#include <array>
#include <string_view>

#include "core/AppState.h"
#include "core/modSystemFile.h"
#include "core/modSystemRegistry.h"
#include "core/modTypes.h"
#include "platform/AnsiText.h"
#include "platform/LittleEndian.h"

namespace tarvelin {
namespace {

using platform::DeviceKeyAccess;
using platform::DeviceKeyKind;
using platform::DeviceRecord;
using platform::IDeviceList;
using platform::IDeviceSetup;

constexpr char kSerialMapPath[] = "HARDWARE\\DEVICEMAP\\SERIALCOMM\\";
constexpr char kPortNameValue[] = "PortName";
constexpr char kAttachedToValue[] = "AttachedTo";
constexpr char kUserInitValue[] = "UserInit";
// No device property or value the program reads comes near this; a system answer beyond it
// is not believed rather than allocated.
constexpr uint32_t kMaxValueBytes = 1u << 20;

// The installer's messages, one per way it can end.
constexpr char kInfMissing[] = "Файл драйвера не найден.";
constexpr char kModemUpdated[] =
    "Выбранный модем уже был установлен ранее на указанный порт, приложение обновило драйвер "
    "модема.";
constexpr char kModemUpdateFailed[] =
    "Выбранный модем уже был установлен ранее на указанный порт, но приложению не удалось "
    "обновить драйвер модема.";
constexpr char kInfClassFailed[] = "Не удалось получить название класса устройств INF-файла.";
constexpr char kListFailed[] = "Не удалось получить список устройств заданного класса.";
constexpr char kCreateFailed[] = "Не удалось создать новый элемент в списке устройств.";
constexpr char kHardwareIdFailed[] = "Не удалось задать идентификатор нового устройства.";
constexpr char kRegisterFailed[] = "Не удалось зарегистрировать информацию о новом устройстве.";
constexpr char kKeyCreateFailed[] =
    "Не удалось создать ключ реестра для регистрации порта устройства.";
constexpr char kKeyOpenFailed[] =
    "Не удалось открыть ключ реестра для регистрации порта устройства.";
constexpr char kPortWriteFailed[] = "Не удалось зарегистрировать порт устройства.";
constexpr char kReregisterFailed[] = "Не удалась повторная регистрация устройства.";
constexpr char kDriverFailed[] =
    "Не удалось обновить драйвер для зарегистрированного устройства.\r\n"
    "Возможно, действие было отменено пользователем.";
constexpr char kNameFailed[] =
    "Не удалось получить имя нового устройства.\r\n"
    "Возможно, устройство было установлено ранее и использует имя уже установленного ранее "
    "устройства.\r\n"
    "Для создания соединения используйте окно настройки модемов.";
constexpr char kPortCheckFailed[] = "Не удалось проверить корректность записи порта модема.";
constexpr char kPortRewriteFailed[] = "Не удалось повторно задать порт модема.";

const platform::Guid* ClassOf(DeviceClass selector) {
    if (selector == DeviceClass::Modem) return &platform::kGuidDevClassModem;
    if (selector == DeviceClass::Ports) return &platform::kGuidDevClassPorts;
    return nullptr;
}

IDeviceSetup* Devices() {
    auto* platform = AppState().platform;
    return platform ? platform->devices : nullptr;
}

// A value as the system stores it, in the program's terms: texts up to their first NUL
// (the first string of a multi-string), bytes, or a little-endian number.
bool DecodeValue(uint32_t type, const std::vector<uint8_t>& bytes, DeviceValue& value) {
    switch (type) {
        case platform::kRegSz:
        case platform::kRegExpandSz:
        case platform::kRegMultiSz: {
            const auto end = std::find(bytes.begin(), bytes.end(), 0);
            value = AnsiToUtf8(std::string(bytes.begin(), end));
            return true;
        }
        case platform::kRegBinary:
            value = bytes;
            return true;
        case platform::kRegDword:
            if (bytes.size() < 4) return false;
            value = LoadLe32(bytes.data());
            return true;
        default:
            return false;
    }
}

// The bytes a value of that type is written as; empty when value and type do not agree.
std::vector<uint8_t> EncodeValue(uint32_t type, const DeviceValue& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        if (type != platform::kRegSz && type != platform::kRegExpandSz &&
            type != platform::kRegMultiSz)
            return {};
        const std::string ansi = Utf8ToAnsi(*text);
        std::vector<uint8_t> bytes(ansi.begin(), ansi.end());
        bytes.push_back(0);
        if (type == platform::kRegMultiSz) bytes.push_back(0);  // the list's closing NUL
        return bytes;
    }
    if (const auto* number = std::get_if<uint32_t>(&value)) {
        if (type != platform::kRegDword) return {};
        std::vector<uint8_t> bytes(4);
        StoreLe32(bytes.data(), *number);
        return bytes;
    }
    return type == platform::kRegBinary ? std::get<std::vector<uint8_t>>(value)
                                        : std::vector<uint8_t>{};
}

bool ReadKeyValue(platform::IRegKey& key, const std::string& name, DeviceValue& value,
                  uint32_t& type) {
    uint32_t size = 0;
    const std::string ansiName = Utf8ToAnsi(name);
    if (key.QueryInfo(ansiName, type, size) != platform::kErrorSuccess) return false;
    if (size == 0 || size > kMaxValueBytes) return false;
    std::vector<uint8_t> bytes(size);
    if (key.Query(ansiName, type, bytes, size) != platform::kErrorSuccess) return false;
    bytes.resize(std::min<size_t>(size, bytes.size()));
    return DecodeValue(type, bytes, value);
}

bool ReadText(IDeviceList& list, const DeviceRecord& device, uint32_t property, std::string& text) {
    DeviceValue value;
    uint32_t type = 0;
    if (!GetDeviceProperty(list, device, property, value, type)) return false;
    const auto* read = std::get_if<std::string>(&value);
    if (read) text = *read;
    return read != nullptr;
}

bool ReadKeyText(IDeviceList& list, const DeviceRecord& device, DeviceKeyKind kind,
                 const std::string& name, std::string& text) {
    DeviceValue value;
    uint32_t type = 0;
    if (!GetDeviceRegValue(list, device, kind, name, value, type)) return false;
    const auto* read = std::get_if<std::string>(&value);
    if (read) text = *read;
    return read != nullptr;
}

bool IsComPortName(std::string_view name) {
    return name.size() > 3 && StartsWithNoCase(name, "COM");
}

// What is behind a port, from its hardware id and then its friendly name; the first rule
// that applies wins, so a USB modem whose name mentions Bluetooth is still a cable.
void Classify(PortInfo& port) {
    struct Rule {
        std::string_view prefix;
        ConnectionKind kind;
    };
    static constexpr std::array<Rule, 7> kIdRules{{
        {"USB", ConnectionKindCable},
        {"BTHENUM", ConnectionKindBluetooth},
        {"BLUETOOTH", ConnectionKindBluetooth},
        {"IRENUM", ConnectionKindInfrared},
        {"IRCOMM", ConnectionKindInfrared},
        {"ACPI", ConnectionKindSerialPort},
        {"PCI", ConnectionKindPci},
    }};
    const auto rule = std::find_if(kIdRules.begin(), kIdRules.end(), [&](const Rule& r) {
        return StartsWithNoCase(port.hardwareId, r.prefix);
    });
    if (rule != kIdRules.end())
        port.kind = rule->kind;
    else if (ContainsNoCase(port.friendlyName, "USB"))
        port.kind = ConnectionKindCable;
    else if (ContainsNoCase(port.friendlyName, "Bluetooth"))
        port.kind = ConnectionKindBluetooth;
    // The system's own Bluetooth stack enumerates its virtual serial ports under BTHENUM;
    // the catalogue's "MSBT" drivers are made for that stack, so its ports prefer them (the
    // catalogue falls back to "BT" where a model has no such driver). Ports of other stacks
    // keep the "BT" drivers.
    port.preferMsbt = StartsWithNoCase(port.hardwareId, "BTHENUM");
}

// Completes the listed port that a device of the device list serves, if any.
void DescribeDevice(IDeviceList& list, const DeviceRecord& device, PortList& ports) {
    std::string portName;
    if (!ReadKeyText(list, device, DeviceKeyKind::Hardware, kPortNameValue, portName)) return;
    if (!IsComPortName(portName)) return;
    const size_t index = FindOrAddPort(portName, false, ports);
    if (index == 0) return;
    PortInfo& port = ports[index - 1];
    ReadText(list, device, platform::kSpdrpHardwareId, port.hardwareId);
    ReadText(list, device, platform::kSpdrpFriendlyName, port.friendlyName);
    ReadText(list, device, platform::kSpdrpDeviceDesc, port.description);
    Classify(port);
}

// The ports of the registry's serial-port map, in its order; values that are not texts
// naming a COM port are passed over.
void ListMappedPorts(PortList& ports) {
    std::vector<std::string> names, data;
    RegValuesEnum(RegRoot::LocalMachine, kSerialMapPath, names, data);
    for (size_t i = 0; i < names.size(); ++i) {
        RegData value;
        if (!RegValueQuery(RegRoot::LocalMachine, kSerialMapPath, names[i], value)) continue;
        const auto* port = std::get_if<std::string>(&value);
        if (!port || !IsComPortName(*port)) continue;
        ports[FindOrAddPort(*port, true, ports) - 1].deviceName = names[i];
    }
}

// The modem of a hardware id whose driver key says it is attached to the port.
bool FindModemOnPort(const std::string& hardwareId, const std::string& portName,
                     std::string& friendlyName) {
    DeviceList list;
    if (!OpenDeviceList(DeviceClass::None, platform::kDigcfAllClasses, list)) return false;
    DeviceRecord device;
    for (uint32_t index = 0; EnumDevice(*list, index, device); ++index) {
        std::string id, attachedTo;
        if (!ReadText(*list, device, platform::kSpdrpHardwareId, id) ||
            !EqualsNoCase(id, hardwareId))
            continue;
        if (!ReadKeyText(*list, device, DeviceKeyKind::Driver, kAttachedToValue, attachedTo) ||
            !EqualsNoCase(attachedTo, portName))
            continue;
        ReadText(*list, device, platform::kSpdrpFriendlyName, friendlyName);
        return true;
    }
    return false;
}

// The INF's device class: its identifier and its name (ANSI, as the system gives it). The
// first call only learns the size; its result and error differ between systems.
bool ReadInfClass(IDeviceSetup& setup, const std::string& ansiInf, platform::Guid& classGuid,
                  std::string& className) {
    std::vector<char> name;
    uint32_t required = 0;
    setup.GetInfClass(ansiInf, classGuid, name, required);
    if (required == 0 || required > kMaxValueBytes) return false;
    name.assign(required + 1, '\0');
    if (!setup.GetInfClass(ansiInf, classGuid, name, required)) return false;
    className.assign(name.begin(), std::find(name.begin(), name.end(), '\0'));
    return !className.empty();
}

// One modem device being built, and whether it must be taken out again if the build stops.
struct ModemBuild {
    IDeviceSetup& setup;
    IDeviceList& list;
    DeviceRecord device;
    std::string portName;
    bool removeMark = false;
};

// Opens the new device's driver key, creating it the first time, and names the port in it.
const char* WritePort(ModemBuild& build) {
    auto key = build.list.OpenKey(build.device, DeviceKeyKind::Driver, DeviceKeyAccess::All);
    if (!key) {
        if (build.setup.LastError() != platform::kErrorKeyDoesNotExist) return kKeyOpenFailed;
        key = build.list.CreateKey(build.device, DeviceKeyKind::Driver);
        if (!key) return kKeyCreateFailed;
    }
    const auto bytes = EncodeValue(platform::kRegSz, build.portName);
    return key->Set(kAttachedToValue, platform::kRegSz, bytes) == platform::kErrorSuccess
               ? nullptr
               : kPortWriteFailed;
}

// Makes sure the installed driver left the device attached to the port.
const char* VerifyPort(ModemBuild& build) {
    std::string attachedTo;
    if (!ReadKeyText(build.list, build.device, DeviceKeyKind::Driver, kAttachedToValue, attachedTo))
        return kPortCheckFailed;
    if (EqualsNoCase(attachedTo, build.portName)) return nullptr;
    return SetDeviceRegValue(build.list, build.device, DeviceKeyKind::Driver, kAttachedToValue,
                             platform::kRegSz, build.portName)
               ? nullptr
               : kPortRewriteFailed;
}

// The installation from the new list element to the verified port; the message of the step
// that failed, or null. The remove mark is set exactly while a stop would leave a device
// that is registered but not a usable modem.
const char* BuildModem(ModemBuild& build, const std::string& className,
                       const platform::Guid& classGuid, platform::WindowHandle parent,
                       const std::string& hardwareId, const std::string& infPath,
                       std::string& friendlyName, bool& restartNeeded) {
    const std::string ansiId = Utf8ToAnsi(hardwareId);
    if (!build.list.Create(className, classGuid, build.device)) return kCreateFailed;
    if (!build.list.SetProperty(build.device, platform::kSpdrpHardwareId,
                                EncodeValue(platform::kRegMultiSz, hardwareId)))
        return kHardwareIdFailed;
    build.removeMark = true;
    if (!build.list.Register(build.device)) return kRegisterFailed;
    if (const char* failed = WritePort(build)) return failed;
    if (!build.list.Register(build.device)) return kReregisterFailed;
    if (!build.setup.UpdateDriver(parent, ansiId, Utf8ToAnsi(infPath), platform::kInstallFlagForce,
                                  restartNeeded))
        return kDriverFailed;
    // A driver is installed: the device stays even without a name, and the user is sent to
    // the modem options to use it.
    build.removeMark = false;
    if (!ReadText(build.list, build.device, platform::kSpdrpFriendlyName, friendlyName))
        return kNameFailed;
    build.removeMark = true;
    if (const char* failed = VerifyPort(build)) return failed;
    build.removeMark = false;
    return nullptr;
}

// The modem of that friendly name and the list it was found in.
bool FindModem(const std::string& name, DeviceList& list, DeviceRecord& device) {
    return FindDeviceByProperty(DeviceClass::Modem, platform::kSpdrpFriendlyName, name, list,
                                device);
}

}  // namespace

size_t FindOrAddPort(const std::string& name, bool add, PortList& ports) {
    const auto it = std::find_if(ports.begin(), ports.end(), [&](const PortInfo& port) {
        return EqualsNoCase(port.portName, name);
    });
    if (it != ports.end()) return static_cast<size_t>(it - ports.begin()) + 1;
    if (!add) return 0;
    ports.emplace_back().portName = name;
    return ports.size();
}

bool EnumerateComPorts(PortList& ports) {
    ports.clear();
    ListMappedPorts(ports);
    DeviceList list;
    if (OpenDeviceList(DeviceClass::Ports, platform::kDigcfAllClasses, list)) {
        DeviceRecord device;
        for (uint32_t index = 0; EnumDevice(*list, index, device); ++index)
            DescribeDevice(*list, device, ports);
    }
    return !ports.empty();
}

bool OpenDeviceList(DeviceClass selector, uint32_t flags, DeviceList& list) {
    list.reset();
    IDeviceSetup* setup = Devices();
    if (!setup) return false;
    const platform::Guid* classGuid = ClassOf(selector);
    list = setup->GetClassDevs(classGuid, classGuid ? flags : flags | platform::kDigcfAllClasses);
    return list != nullptr;
}

bool EnumDevice(IDeviceList& list, uint32_t index, DeviceRecord& device) {
    device = DeviceRecord{};
    return list.Enum(index, device);
}

bool GetDeviceProperty(IDeviceList& list, const DeviceRecord& device, uint32_t property,
                       DeviceValue& value, uint32_t& type) {
    std::vector<uint8_t> bytes;
    uint32_t size = 0;
    type = 0;
    // The first call only asks for the type and size, so it must not succeed.
    if (list.GetProperty(device, property, type, bytes, size)) return false;
    if (size == 0 || size > kMaxValueBytes) return false;
    bytes.resize(size);
    if (!list.GetProperty(device, property, type, bytes, size)) return false;
    bytes.resize(std::min<size_t>(size, bytes.size()));
    return DecodeValue(type, bytes, value);
}

bool GetDeviceRegValue(IDeviceList& list, const DeviceRecord& device, DeviceKeyKind kind,
                       const std::string& name, DeviceValue& value, uint32_t& type) {
    const auto key = list.OpenKey(device, kind, DeviceKeyAccess::Read);
    return key && ReadKeyValue(*key, name, value, type);
}

bool SetDeviceRegValue(IDeviceList& list, const DeviceRecord& device, DeviceKeyKind kind,
                       const std::string& name, uint32_t type, const DeviceValue& value) {
    const auto bytes = EncodeValue(type, value);
    if (bytes.empty()) return false;
    const auto key = list.OpenKey(device, kind, DeviceKeyAccess::SetValue);
    return key && key->Set(Utf8ToAnsi(name), type, bytes) == platform::kErrorSuccess;
}

bool FindDeviceByProperty(DeviceClass selector, uint32_t property, const std::string& wanted,
                          DeviceList& list, DeviceRecord& device) {
    if (!OpenDeviceList(selector, platform::kDigcfAllClasses, list)) return false;
    // A list asked for with every class holds every device whatever class was named; only
    // devices of the class asked for count, so that a port or a disk that happens to share
    // a modem's name is never changed or removed in its place.
    const platform::Guid* classGuid = ClassOf(selector);
    for (uint32_t index = 0; EnumDevice(*list, index, device); ++index) {
        if (classGuid && device.classGuid != *classGuid) continue;
        std::string text;
        if (ReadText(*list, device, property, text) && EqualsNoCase(text, wanted)) return true;
    }
    return false;
}

void CloseDeviceList(DeviceList& list) {
    list.reset();
}

bool InstallModem(platform::WindowHandle parent, const std::string& infPath,
                  const std::string& portName, const std::string& hardwareId,
                  std::string& friendlyName, bool& restartNeeded, std::string& message) {
    friendlyName.clear();
    message.clear();
    restartNeeded = false;
    if (!FileExists(infPath)) {
        message = kInfMissing;
        return false;
    }
    if (!FindModemOnPort(hardwareId, portName, friendlyName))
        return CreateModemDevice(parent, hardwareId, infPath, portName, friendlyName, restartNeeded,
                                 message);
    // The modem exists on the port: usable whether or not its driver could be renewed.
    const bool updated =
        Devices()->UpdateDriver(parent, Utf8ToAnsi(hardwareId), Utf8ToAnsi(infPath),
                                platform::kInstallFlagForce, restartNeeded);
    // A modem left without a name by an earlier install gets one from its new driver.
    if (updated && friendlyName.empty()) FindModemOnPort(hardwareId, portName, friendlyName);
    message = updated ? kModemUpdated : kModemUpdateFailed;
    return true;
}

bool CreateModemDevice(platform::WindowHandle parent, const std::string& hardwareId,
                       const std::string& infPath, const std::string& portName,
                       std::string& friendlyName, bool& restartNeeded, std::string& message) {
    friendlyName.clear();
    message.clear();
    restartNeeded = false;
    IDeviceSetup* setup = Devices();
    platform::Guid classGuid;
    std::string className;
    if (!setup || !ReadInfClass(*setup, Utf8ToAnsi(infPath), classGuid, className)) {
        message = kInfClassFailed;
        return false;
    }
    DeviceList list = setup->CreateList(classGuid);
    if (!list) {
        message = kListFailed;
        return false;
    }
    ModemBuild build{*setup, *list, {}, portName};
    const char* failed = BuildModem(build, className, classGuid, parent, hardwareId, infPath,
                                    friendlyName, restartNeeded);
    if (failed) message = failed;
    // The steps' own results decide: the system's last error is not reliable after a
    // success (some systems leave a stale code behind).
    if (build.removeMark) build.list.Remove(build.device);
    return !failed;
}

bool DeleteModem(const std::string& name) {
    DeviceList list;
    DeviceRecord device;
    return FindModem(name, list, device) && list->Remove(device);
}

bool SetModemUserInit(const std::string& name, const std::string& init) {
    DeviceList list;
    DeviceRecord device;
    return FindModem(name, list, device) &&
           SetDeviceRegValue(*list, device, DeviceKeyKind::Driver, kUserInitValue, platform::kRegSz,
                             init);
}

bool GetModemUserInit(const std::string& name, std::string& init) {
    DeviceList list;
    DeviceRecord device;
    return FindModem(name, list, device) &&
           ReadKeyText(*list, device, DeviceKeyKind::Driver, kUserInitValue, init);
}

bool GetModemAttachedTo(const std::string& name, std::string& port) {
    port.clear();
    DeviceList list;
    DeviceRecord device;
    return FindModem(name, list, device) &&
           ReadKeyText(*list, device, DeviceKeyKind::Driver, kAttachedToValue, port);
}

}  // namespace tarvelin
