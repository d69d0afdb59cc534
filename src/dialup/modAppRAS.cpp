#include "dialup/modAppRAS.h"

#include <algorithm>

#include "core/AppState.h"
#include "core/modTypes.h"
#include "dialup/OperatorSettings.h"
#include "dialup/modAppNew.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"

namespace tarvelin {
namespace {

using platform::IRasApi;

constexpr RasField kSizeField{0, 4};
// At most this many connections are ever listed.
constexpr uint32_t kMaxConnections = 256;
// No answer of the system about a list or a record is believed beyond these: a larger one
// is refused rather than allocated.
constexpr uint64_t kMaxListBytes = 64u << 20;
constexpr uint32_t kMaxEntryBytes = 1u << 20;
// Candidate entry names after the base name: base #1 up to base #1000.
constexpr int kMaxNameSuffix = 1000;
constexpr char kModemType[] = "modem";
// Options of a new entry, and those set and cleared once the system has completed it.
constexpr uint32_t kNewEntryOptions = 0x04000110;
constexpr uint32_t kEntryOptionsSet = 0x04000110;
constexpr uint32_t kEntryOptionsCleared = 0x392D0208;

constexpr char kNoDeviceName[] =
    "Не удалось создать подключение, так как не было задано имя устройства для создаваемого "
    "подключения.";
constexpr char kNotCreated[] = "Подключение не было создано.";
constexpr char kCrLf[] = "\r\n";

IRasApi* Ras() {
    auto* platform = AppState().platform;
    return platform ? platform->ras : nullptr;
}

// A list of count records of the given size with the first record's size field set;
// empty when the system's count would make it unreasonably large.
std::vector<uint8_t> RecordList(uint32_t count, uint32_t recordSize) {
    const uint64_t bytes = uint64_t{count} * recordSize;
    if (bytes == 0 || bytes > kMaxListBytes) return {};
    std::vector<uint8_t> list(bytes);
    WriteRasNumber(list, kSizeField, recordSize);
    return list;
}

RasField At(RasField field, size_t record, uint32_t recordSize) {
    return {static_cast<uint32_t>(field.offset + record * recordSize), field.size};
}

// How many records the system's count names that really are in the buffer.
uint32_t RecordsIn(uint32_t count, const std::vector<uint8_t>& list, uint32_t recordSize) {
    return std::min<uint32_t>(count, static_cast<uint32_t>(list.size() / recordSize));
}

// The size of the system's own entry record: the default entry's, asked without a buffer.
bool EntryRecordSize(IRasApi& ras, const std::string& entryName, uint32_t& size) {
    size = 0;
    return ras.GetEntryProperties(Utf8ToAnsi(entryName), nullptr, size) ==
               platform::kRasErrorBufferTooSmall &&
           size >= 1 && size <= kMaxEntryBytes;
}

// The dial-parameter layouts to try for an entry name: the old one with its 21-byte name
// field only when the name fits it, since a cut name could be another entry's.
std::vector<uint32_t> DialParamsSizesFor(const std::string& entryName,
                                         std::vector<uint32_t> sizes) {
    const uint32_t oldSize = CurrentRasLayout().dialParamsSizes[2];
    const std::vector<uint8_t> probe = DialParamsQuery(oldSize, entryName);
    RasDialInfo read;
    DecodeDialParams(probe, oldSize, read);
    if (read.EntryName != entryName) std::erase(sizes, oldSize);
    return sizes;
}

// The first name the system accepts: the base, then base #1 ... base #1000; empty when it
// accepts none, so that no existing entry is ever overwritten.
std::string FreeEntryName(IRasApi& ras, const std::string& base) {
    if (ras.ValidateEntryName(Utf8ToAnsi(base)) == 0) return base;
    for (int i = 1; i <= kMaxNameSuffix; ++i) {
        const std::string name = base + " #" + std::to_string(i);
        if (ras.ValidateEntryName(Utf8ToAnsi(name)) == 0) return name;
    }
    return {};
}

// Every active connection: one buffer of 256 records, and when the system has more, one
// of as many as it reports.
void ListConnections(std::vector<RasConnInfo>& connections) {
    connections.clear();
    IRasApi* ras = Ras();
    if (!ras) return;
    const RasLayout& layout = CurrentRasLayout();
    std::vector<uint8_t> list = RecordList(kMaxConnections, layout.connSize);
    uint32_t bytes = static_cast<uint32_t>(list.size()), count = 0;
    uint32_t result = ras->EnumConnections(list, bytes, count);
    if (result == platform::kRasErrorBufferTooSmall && count > kMaxConnections) {
        list = RecordList(count, layout.connSize);
        bytes = static_cast<uint32_t>(list.size());
        result = list.empty() ? result : ras->EnumConnections(list, bytes, count);
    }
    if (result != 0) return;
    for (uint32_t i = 0; i < RecordsIn(count, list, layout.connSize); ++i) {
        connections.push_back({ReadRasNumber(list, At(layout.connHandle, i, layout.connSize)),
                               ReadRasText(list, At(layout.connEntryName, i, layout.connSize)),
                               ReadRasText(list, At(layout.connDeviceType, i, layout.connSize)),
                               ReadRasText(list, At(layout.connDeviceName, i, layout.connSize))});
    }
}

std::string CreationReport(const std::string& deviceName, const std::string& name, bool dialSet,
                           bool initSet) {
    const std::string device = "Подключение для устройства '" + deviceName + "' ";
    if (dialSet && initSet)
        return device + "успешно создано." + kCrLf + "Название подключения: " + name;
    std::string report = device + "создано, но некоторые параметры были не заданы." + kCrLf +
                         "Название подключения: " + name + kCrLf;
    if (!dialSet) report += std::string(kCrLf) + "Не заданы параметры дозвона.";
    if (!initSet) report += std::string(kCrLf) + "Не заданы параметры инициализации модема.";
    return report;
}

}  // namespace

uint32_t GetRasDevices(std::vector<RasDeviceInfo>& devices) {
    devices.clear();
    IRasApi* ras = Ras();
    uint32_t bytes = 0, count = 0;
    if (!ras) return 0;
    ras->EnumDevices(nullptr, bytes, count);
    if (count < 1) return 0;
    const uint32_t recordSize = bytes / count;
    std::vector<uint8_t> list = RecordList(count, recordSize);
    if (list.empty() || recordSize < kSizeField.size) return 0;
    bytes = static_cast<uint32_t>(list.size());
    if (ras->EnumDevices(&list, bytes, count) != 0 || count < 1) return 0;
    const RasLayout& layout = CurrentRasLayout();
    for (uint32_t i = 0; i < RecordsIn(count, list, recordSize); ++i) {
        devices.push_back({ReadRasText(list, At(layout.deviceName, i, recordSize)),
                           ReadRasText(list, At(layout.deviceType, i, recordSize))});
    }
    return static_cast<uint32_t>(devices.size());
}

bool HasModemDevice() {
    std::vector<RasDeviceInfo> devices;
    GetRasDevices(devices);
    return std::any_of(devices.begin(), devices.end(), [](const RasDeviceInfo& device) {
        return EqualsNoCase(device.DeviceType, kModemType);
    });
}

uint32_t CountRasEntries() {
    IRasApi* ras = Ras();
    if (!ras) return 0;
    const uint32_t recordSize = CurrentRasLayout().entryNameSize;
    std::vector<uint8_t> one = RecordList(1, recordSize);
    uint32_t bytes = recordSize, count = 0;
    ras->EnumEntries(one, bytes, count);  // too small for more than one: only the count counts
    return count;
}

uint32_t GetRasEntries(std::vector<std::string>& entries) {
    entries.clear();
    const uint32_t count = CountRasEntries();
    const RasLayout& layout = CurrentRasLayout();
    std::vector<uint8_t> list = RecordList(count, layout.entryNameSize);
    if (list.empty()) return 0;
    uint32_t bytes = static_cast<uint32_t>(list.size()), listed = 0;
    if (Ras()->EnumEntries(list, bytes, listed) != 0) return 0;
    for (uint32_t i = 0; i < RecordsIn(listed, list, layout.entryNameSize); ++i)
        entries.push_back(ReadRasText(list, At(layout.entryName, i, layout.entryNameSize)));
    return static_cast<uint32_t>(entries.size());
}

bool HasModemEntry() {
    std::vector<std::string> entries;
    GetRasEntries(entries);
    return std::any_of(entries.begin(), entries.end(), [](const std::string& entry) {
        RasEntryInfo info;
        return ReadEntryProperties({}, entry, info) && EqualsNoCase(info.szDeviceType, kModemType);
    });
}

uint32_t GetEntriesForDevice(const std::string& deviceName, std::vector<std::string>& entries) {
    std::vector<std::string> all;
    GetRasEntries(all);
    entries.clear();
    for (const std::string& entry : all) {
        RasEntryInfo info;
        if (ReadEntryProperties({}, entry, info) && EqualsNoCase(info.szDeviceName, deviceName))
            entries.push_back(entry);
    }
    return static_cast<uint32_t>(entries.size());
}

uint32_t GetRasConnections(std::vector<RasConnInfo>& connections) {
    ListConnections(connections);
    if (connections.size() > kMaxConnections) connections.resize(kMaxConnections);
    return static_cast<uint32_t>(connections.size());
}

// Every connection counts here, also those past the listed ones: an entry is never taken
// for idle (and deleted) because its connection did not fit the list.
bool IsEntryConnected(const std::string& entryName) {
    std::vector<RasConnInfo> connections;
    ListConnections(connections);
    return std::any_of(connections.begin(), connections.end(),
                       [&](const RasConnInfo& c) { return EqualsNoCase(c.EntryName, entryName); });
}

// An entry that carries alternate numbers reports their bytes on top of its record; the
// record's size field must still be one the system knows, so it is the system's own record
// size whenever the reported size is larger.
bool ReadEntryProperties(const std::string&, const std::string& entryName, RasEntryInfo& info) {
    IRasApi* ras = Ras();
    uint32_t size = 0, recordSize = 0;
    if (!ras || !EntryRecordSize(*ras, entryName, size)) return false;
    if (!EntryRecordSize(*ras, {}, recordSize) || recordSize > size) recordSize = size;
    std::vector<uint8_t> bytes(size);
    WriteRasNumber(bytes, kSizeField, recordSize);
    uint32_t answered = size;
    if (ras->GetEntryProperties(Utf8ToAnsi(entryName), &bytes, answered) != 0) return false;
    DecodeRasEntry(bytes, recordSize, info);
    return true;
}

bool WriteEntryProperties(const std::string&, const std::string& entryName,
                          const RasEntryInfo& info) {
    IRasApi* ras = Ras();
    uint32_t size = 0;
    if (!ras || !EntryRecordSize(*ras, {}, size)) return false;
    const std::vector<uint8_t> bytes = EncodeRasEntry(info, size);
    const auto infoSize = static_cast<uint32_t>(size + info.AlternateNumbers.size());
    return ras->SetEntryProperties(Utf8ToAnsi(entryName), bytes, infoSize) == 0;
}

bool ReadDialParams(const std::string&, const std::string& entryName, RasDialInfo& info) {
    IRasApi* ras = Ras();
    if (!ras) return false;
    const auto& all = CurrentRasLayout().dialParamsSizes;
    for (uint32_t size : DialParamsSizesFor(entryName, {all.begin(), all.end()})) {
        std::vector<uint8_t> params = DialParamsQuery(size, entryName);
        bool passwordStored = false;
        if (ras->GetEntryDialParams(params, passwordStored) == 0) {
            DecodeDialParams(params, size, info);
            return true;
        }
    }
    return false;
}

// The old layout first, as systems of every age take it, then the one with the long name.
bool WriteDialParams(const std::string&, const RasDialInfo& info) {
    IRasApi* ras = Ras();
    if (!ras) return false;
    const auto& all = CurrentRasLayout().dialParamsSizes;
    for (uint32_t size : DialParamsSizesFor(info.EntryName, {all[2], all[1]})) {
        if (ras->SetEntryDialParams(EncodeDialParams(size, info), false) == 0) return true;
    }
    return false;
}

bool DeleteEntry(const std::string&, const std::string& entryName) {
    IRasApi* ras = Ras();
    return ras && !IsEntryConnected(entryName) && ras->DeleteEntry(Utf8ToAnsi(entryName)) == 0;
}

bool RenameEntry(const std::string& oldName, const std::string& newName) {
    IRasApi* ras = Ras();
    return ras && ras->RenameEntry(Utf8ToAnsi(oldName), Utf8ToAnsi(newName)) == 0;
}

bool DialEntry(const std::string& entryName, platform::WindowHandle owner) {
    IRasApi* ras = Ras();
    if (!ras) return false;
    const RasLayout& layout = CurrentRasLayout();
    std::vector<uint8_t> dialog(layout.dialDialogSize);
    WriteRasNumber(dialog, kSizeField, layout.dialDialogSize);
    WriteRasNumber(dialog, layout.dialDialogOwner, owner);
    return ras->DialDlg(Utf8ToAnsi(entryName), dialog);
}

bool HangUpConnection(platform::RasHandle connection) {
    IRasApi* ras = Ras();
    return ras && ras->HangUp(connection) == 0;
}

bool EditEntryInSystemDialog(const std::string&, const std::string& entryName,
                             platform::WindowHandle owner) {
    IRasApi* ras = Ras();
    return ras && ras->EditPhonebookEntry(owner, Utf8ToAnsi(entryName)) == 0;
}

bool GetConnectionStats(platform::RasHandle connection, std::vector<uint8_t>& stats) {
    IRasApi* ras = Ras();
    return ras && ras->GetConnectionStatistics(connection, stats) == 0;
}

bool CreateModemConnection(const std::string& deviceName, const std::string& title,
                           const std::string& detail, std::string phoneNumber, std::string& message,
                           bool& allSet) {
    allSet = false;
    message.clear();
    if (!IsStringFilled(deviceName)) {
        message = kNoDeviceName;
        return false;
    }
    const std::string base = std::string(kEntryNamePrefix) + title +
                             (IsStringFilled(detail) ? ", " + detail : std::string()) + ")";
    IRasApi* ras = Ras();
    const std::string name = ras ? FreeEntryName(*ras, base) : std::string();
    if (!IsStringFilled(phoneNumber)) phoneNumber = GetDefaultPhoneNumber(title);

    RasEntryInfo entry;
    entry.dwfOptions = kNewEntryOptions;
    entry.szLocalPhoneNumber = phoneNumber;
    entry.szDeviceName = deviceName;
    if (name.empty() || !WriteEntryProperties({}, name, entry)) {
        message = kNotCreated;
        return false;
    }
    // The system has completed the entry with its defaults; the operator's options win over
    // those it chose.
    if (ReadEntryProperties({}, name, entry)) {
        entry.dwfOptions = (entry.dwfOptions | kEntryOptionsSet) & ~kEntryOptionsCleared;
        WriteEntryProperties({}, name, entry);
    }
    const bool dialSet =
        WriteDialParams({}, {name, phoneNumber, {}, kOperatorUserName, kOperatorPassword, {}});
    const bool initSet =
        SetModemUserInit(deviceName, std::string(ModemInitTemplate) + OperatorApn + "\"");
    allSet = dialSet && initSet;
    message = CreationReport(deviceName, name, dialSet, initSet);
    return true;
}

}  // namespace tarvelin
