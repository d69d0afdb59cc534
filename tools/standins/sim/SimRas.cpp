#include "sim/SimRas.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <tuple>

#include "core/modTypes.h"
#include "platform/AnsiText.h"

namespace tarvelin::sim {
namespace {

using platform::kRasErrorAlreadyExists;
using platform::kRasErrorBufferTooSmall;
using platform::kRasErrorCannotFindEntry;
using platform::kRasErrorInvalidName;
using platform::kRasErrorInvalidSize;
using platform::RasHandle;

constexpr RasField kSizeField{0, 4};
constexpr RasField kAlternateOffset{156, 4};  // RASENTRY's dwAlternateOffset
constexpr uint32_t kRasNpIp = 4;              // RASNP_Ip
constexpr uint32_t kRasFpPpp = 1;             // RASFP_Ppp
constexpr uint32_t kRasEtPhone = 1;           // RASET_Phone
// RAS_STATS: bytes sent and received, line speed, connection time in milliseconds.
constexpr RasField kStatsBytesSent{4, 4}, kStatsBytesReceived{8, 4}, kStatsBps{52, 4},
    kStatsDuration{56, 4};
// The RASENTRY sizes the system has known, oldest first.
constexpr std::array<uint32_t, 5> kEntrySizes{kRasEntryOldSize, kRasEntryDialModeFrom,
                                              kRasEntryTypeFrom, kRasEntryOptions2From,
                                              kSimRasEntryFullSize};

uint32_t SizeField(const std::vector<uint8_t>& record) {
    return static_cast<uint32_t>(ReadRasNumber(record, kSizeField));
}

RasField At(RasField field, uint32_t base) {
    return {base + field.offset, field.size};
}

// Names the system refuses: empty, starting with a period, holding a character it reserves,
// or without any letter or digit.
bool ValidName(const std::string& name) {
    if (name.empty() || name[0] == '.' || name.find_first_of("|><?*\\/:") != std::string::npos) {
        return false;
    }
    return std::any_of(name.begin(), name.end(),
                       [](unsigned char c) { return c >= 0x80 || std::isalnum(c); });
}

// A record handed back into the caller's buffer, cut at the buffer's end.
void Put(std::vector<uint8_t>& buffer, const std::vector<uint8_t>& record) {
    std::copy_n(record.begin(), std::min(record.size(), buffer.size()), buffer.begin());
}

// The enumerations' common contract: the first element's size field names the layout, a
// buffer too small gets 603 with the bytes needed, each element written gets its size field.
// writeWhatFits: succeed with the elements that fit (a bad answer a test asks for).
template <typename WriteElement>
uint32_t Enumerate(std::vector<uint8_t>* buffer, uint32_t& bytes, uint32_t& count,
                   uint32_t elementSize, size_t n, WriteElement write, bool writeWhatFits = false) {
    if (buffer && SizeField(*buffer) != elementSize) return kRasErrorInvalidSize;
    if (buffer && buffer->size() < bytes) return kRasErrorInvalidParameter;
    const auto needed = static_cast<uint32_t>(elementSize * n);
    const bool success = buffer && (bytes >= needed || writeWhatFits);
    for (size_t i = 0; success && i < std::min<size_t>(n, bytes / elementSize); ++i) {
        const auto base = static_cast<uint32_t>(i * elementSize);
        WriteRasNumber(*buffer, At(kSizeField, base), elementSize);
        write(i, base);
    }
    bytes = needed;
    count = static_cast<uint32_t>(n);
    return success ? 0 : kRasErrorBufferTooSmall;
}

// clang-format off
const char* const kCallNames[] = {
    "RasEnumDevices", "RasEnumEntries", "RasEnumConnections", "RasGetEntryProperties",
    "RasSetEntryProperties", "RasGetEntryDialParams", "RasSetEntryDialParams", "RasDeleteEntry",
    "RasRenameEntry", "RasValidateEntryName", "RasDialDlg", "RasHangUp", "RasEditPhonebookEntry",
    "RasGetConnectionStatistics"};
// clang-format on

}  // namespace

uint32_t SimRas::Begin(Call call) {
    calls.emplace_back(kCallNames[static_cast<size_t>(call)]);
    const auto fault = faults_.find(call);
    if (fault == faults_.end()) return 0;
    if (fault->second.second > 0) {
        --fault->second.second;
        return 0;
    }
    return fault->second.first;
}

SimRasEntry* SimRas::Find(const std::string& name) {
    const auto it = std::find_if(entries.begin(), entries.end(),
                                 [&](const SimRasEntry& e) { return EqualsNoCase(e.name, name); });
    return it == entries.end() ? nullptr : &*it;
}

SimRasConnection* SimRas::FindConnection(RasHandle handle) {
    const auto it = std::find_if(connections.begin(), connections.end(),
                                 [&](const SimRasConnection& c) { return c.handle == handle; });
    return it == connections.end() ? nullptr : &*it;
}

SimRasEntry& SimRas::AddEntry(const std::string& name, RasEntryInfo info) {
    entries.push_back({name, std::move(info), {}, false, {}});
    return entries.back();
}

SimRasConnection& SimRas::Connect(const std::string& entryName) {
    const SimRasEntry* entry = Find(entryName);
    connections.push_back({nextHandle_++,
                           entry ? entry->name : entryName,
                           entry ? entry->info.szDeviceType : "",
                           entry ? entry->info.szDeviceName : "",
                           clock_.TickCount(),
                           {}});
    return connections.back();
}

// What the system fills in on an entry it creates: the device's type for a device it knows,
// TCP/IP, PPP, a phone line, and the options it adds.
void SimRas::Complete(RasEntryInfo& info) const {
    for (const RasDeviceInfo& device : devices) {
        if (EqualsNoCase(device.DeviceName, info.szDeviceName)) {
            info.szDeviceType = device.DeviceType;
            break;
        }
    }
    if (!info.dwfNetProtocols) info.dwfNetProtocols = kRasNpIp;
    if (!info.dwFramingProtocol) info.dwFramingProtocol = kRasFpPpp;
    if (!info.dwType) info.dwType = kRasEtPhone;
    info.dwfOptions |= newEntryOptions;
}

bool SimRas::EntrySizeAccepted(uint32_t size) const {
    return size <= entrySize && std::count(kEntrySizes.begin(), kEntrySizes.end(), size);
}

// The entry a RASDIALPARAMS record names, its strings read into dial; null with the error.
SimRasEntry* SimRas::DialParamsEntry(const std::vector<uint8_t>& params, RasDialInfo& dial,
                                     uint32_t& error) {
    const auto& layout = CurrentRasLayout().dialParamsSizes;
    const std::vector<uint32_t> accepted = dialParamsSizes.empty()
                                               ? std::vector<uint32_t>(layout.begin(), layout.end())
                                               : dialParamsSizes;
    const uint32_t size = SizeField(params);
    error = kRasErrorInvalidSize;
    if (!std::count(accepted.begin(), accepted.end(), size) || params.size() < size) return nullptr;
    DecodeDialParams(params, size, dial);
    SimRasEntry* entry = Find(dial.EntryName);
    error = entry ? 0 : kRasErrorCannotFindEntry;
    return entry;
}

uint32_t SimRas::EnumDevices(std::vector<uint8_t>* buffer, uint32_t& bytes, uint32_t& count) {
    if (const uint32_t error = Begin(Call::EnumDevices)) return error;
    const RasLayout& layout = CurrentRasLayout();
    const uint32_t result =
        Enumerate(buffer, bytes, count, layout.deviceName.offset + layout.deviceName.size,
                  devices.size(), [&](size_t i, uint32_t base) {
                      WriteRasText(*buffer, At(layout.deviceType, base), devices[i].DeviceType);
                      WriteRasText(*buffer, At(layout.deviceName, base), devices[i].DeviceName);
                  });
    if (devicesReply) std::tie(bytes, count) = *devicesReply;
    return result;
}

uint32_t SimRas::EnumEntries(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) {
    if (const uint32_t error = Begin(Call::EnumEntries)) return error;
    const RasLayout& layout = CurrentRasLayout();
    return Enumerate(&buffer, bytes, count, layout.entryNameSize, entries.size(),
                     [&](size_t i, uint32_t base) {
                         WriteRasText(buffer, At(layout.entryName, base), entries[i].name);
                     });
}

uint32_t SimRas::EnumConnections(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) {
    if (const uint32_t error = Begin(Call::EnumConnections)) return error;
    const RasLayout& l = CurrentRasLayout();
    const uint32_t result = Enumerate(
        &buffer, bytes, count, l.connSize, connections.size(),
        [&](size_t i, uint32_t base) {
            const SimRasConnection& c = connections[i];
            WriteRasNumber(buffer, At(l.connHandle, base), c.handle);
            WriteRasText(buffer, At(l.connEntryName, base), c.entryName);
            WriteRasText(buffer, At(l.connDeviceType, base), c.deviceType);
            WriteRasText(buffer, At(l.connDeviceName, base), c.deviceName);
        },
        connectionsCount.has_value());
    if (connectionsCount && result == 0) count = *connectionsCount;
    return result;
}

uint32_t SimRas::GetEntryProperties(const std::string& entry, std::vector<uint8_t>* buffer,
                                    uint32_t& size) {
    if (const uint32_t error = Begin(Call::GetEntryProperties)) return error;
    if (entry.empty()) {  // the default entry: what the system gives an entry left blank
        RasEntryInfo defaults;
        Complete(defaults);
        return ReadEntry(defaults, nullptr, buffer, size);
    }
    const SimRasEntry* found = Find(AnsiToUtf8(entry));
    return found ? ReadEntry(found->info, found, buffer, size) : kRasErrorCannotFindEntry;
}

// The record of the layout the caller's size field names, followed by the alternate numbers;
// without a buffer the size of the system's own layout.
uint32_t SimRas::ReadEntry(const RasEntryInfo& info, const SimRasEntry* entry,
                           std::vector<uint8_t>* buffer, uint32_t& size) {
    const uint32_t layout = buffer ? SizeField(*buffer) : entrySize;
    if (buffer && !EntrySizeAccepted(layout)) return kRasErrorInvalidSize;
    if (buffer && buffer->size() < size) return kRasErrorInvalidParameter;
    const auto needed = static_cast<uint32_t>(layout + info.AlternateNumbers.size());
    if (!buffer || size < needed) {
        size = entrySizeReply.value_or(needed);
        return kRasErrorBufferTooSmall;
    }
    std::vector<uint8_t> record = EncodeRasEntry(info, layout);
    if (entry && entry->alternateOffset) {
        WriteRasNumber(record, kAlternateOffset, *entry->alternateOffset);
    }
    record.resize(needed);
    Put(*buffer, record);
    size = needed;
    return 0;
}

uint32_t SimRas::SetEntryProperties(const std::string& entry, const std::vector<uint8_t>& buffer,
                                    uint32_t size) {
    if (const uint32_t error = Begin(Call::SetEntryProperties)) return error;
    const uint32_t layout = SizeField(buffer);
    if (!EntrySizeAccepted(layout) || size < layout) return kRasErrorInvalidSize;
    if (buffer.size() < size) return kRasErrorInvalidParameter;
    const std::string name = AnsiToUtf8(entry);
    SimRasEntry* found = Find(name);
    if (!found && !ValidName(name)) return kRasErrorInvalidName;
    RasEntryInfo info = found ? found->info : RasEntryInfo{};
    DecodeRasEntry(buffer, layout, info);
    const auto offset = static_cast<uint32_t>(ReadRasNumber(buffer, kAlternateOffset));
    info.AlternateNumbers.clear();
    if (offset >= layout && offset < size) {
        info.AlternateNumbers.assign(buffer.begin() + offset, buffer.begin() + size);
    }
    if (found) {
        found->info = std::move(info);
    } else {
        Complete(info);
        AddEntry(name, std::move(info));
    }
    return 0;
}

uint32_t SimRas::GetEntryDialParams(std::vector<uint8_t>& params, bool& passwordStored) {
    if (const uint32_t error = Begin(Call::GetEntryDialParams)) return error;
    RasDialInfo dial;
    uint32_t error = 0;
    const SimRasEntry* entry = DialParamsEntry(params, dial, error);
    if (!entry) return error;
    const std::string asked = dial.EntryName;
    dial = entry->dial;
    dial.EntryName = asked;
    Put(params, EncodeDialParams(SizeField(params), dial));
    passwordStored = entry->passwordStored;
    return 0;
}

uint32_t SimRas::SetEntryDialParams(const std::vector<uint8_t>& params, bool removePassword) {
    if (const uint32_t error = Begin(Call::SetEntryDialParams)) return error;
    RasDialInfo dial;
    uint32_t error = 0;
    SimRasEntry* entry = DialParamsEntry(params, dial, error);
    if (entry) StoreDialParams(*entry, dial, removePassword);
    return error;
}

// The system ignores the phone number and keeps what an empty text leaves unsaid; a user
// name comes with its password, which is then stored.
void SimRas::StoreDialParams(SimRasEntry& entry, const RasDialInfo& dial, bool removePassword) {
    RasDialInfo& stored = entry.dial;
    if (!dial.CallbackNumber.empty()) stored.CallbackNumber = dial.CallbackNumber;
    if (!dial.Domain.empty()) stored.Domain = dial.Domain;
    if (!dial.UserName.empty()) {
        stored.UserName = dial.UserName;
        stored.Password = dial.Password;
        entry.passwordStored = true;
    }
    if (removePassword) {
        stored.Password.clear();
        entry.passwordStored = false;
    }
}

uint32_t SimRas::DeleteEntry(const std::string& entry) {
    if (const uint32_t error = Begin(Call::DeleteEntry)) return error;
    const SimRasEntry* found = Find(AnsiToUtf8(entry));
    if (!found) return kRasErrorCannotFindEntry;
    entries.erase(entries.begin() + (found - entries.data()));
    return 0;
}

uint32_t SimRas::RenameEntry(const std::string& oldName, const std::string& newName) {
    if (const uint32_t error = Begin(Call::RenameEntry)) return error;
    SimRasEntry* entry = Find(AnsiToUtf8(oldName));
    if (!entry) return kRasErrorCannotFindEntry;
    const std::string name = AnsiToUtf8(newName);
    if (!ValidName(name)) return kRasErrorInvalidName;
    const SimRasEntry* taken = Find(name);
    if (taken && taken != entry) return kRasErrorAlreadyExists;
    entry->name = name;
    return 0;
}

uint32_t SimRas::ValidateEntryName(const std::string& entry) {
    if (const uint32_t error = Begin(Call::ValidateEntryName)) return error;
    const std::string name = AnsiToUtf8(entry);
    if (!ValidName(name)) return kRasErrorInvalidName;
    return Find(name) ? kRasErrorAlreadyExists : 0;
}

bool SimRas::DialDlg(const std::string& entry, std::vector<uint8_t>& dialog) {
    const RasLayout& layout = CurrentRasLayout();
    uint32_t error = Begin(Call::DialDlg);
    const SimRasEntry* found = Find(AnsiToUtf8(entry));
    if (!error &&
        (SizeField(dialog) != layout.dialDialogSize || dialog.size() < layout.dialDialogSize)) {
        error = kRasErrorInvalidSize;
    }
    if (!error && !found) error = kRasErrorCannotFindEntry;
    if (!error && dialConnects) {
        Connect(found->name);
        return true;
    }
    WriteRasNumber(dialog, layout.dialDialogError, error ? error : dialError);
    return false;
}

uint32_t SimRas::HangUp(RasHandle connection) {
    if (const uint32_t error = Begin(Call::HangUp)) return error;
    const SimRasConnection* found = FindConnection(connection);
    if (!found) return kRasErrorInvalidHandle;
    connections.erase(connections.begin() + (found - connections.data()));
    return 0;
}

uint32_t SimRas::EditPhonebookEntry(platform::WindowHandle, const std::string& entry) {
    if (const uint32_t error = Begin(Call::EditPhonebookEntry)) return error;
    return Find(AnsiToUtf8(entry)) ? 0 : kRasErrorCannotFindEntry;
}

// The counters grow with the clock at the set rates since the connection was made.
uint32_t SimRas::GetConnectionStatistics(RasHandle connection, std::vector<uint8_t>& stats) {
    if (const uint32_t error = Begin(Call::GetConnectionStatistics)) return error;
    const uint32_t size = CurrentRasLayout().statsSize;
    if (SizeField(stats) != size || stats.size() < size) return kRasErrorInvalidSize;
    const SimRasConnection* c = FindConnection(connection);
    if (!c) return kRasErrorInvalidHandle;
    const uint32_t elapsed = clock_.TickCount() - c->startTick;
    const auto bytes = [elapsed](uint32_t rate) { return uint64_t{rate} * elapsed / 1000; };
    const SimRasCounters n =
        c->counters.value_or(SimRasCounters{static_cast<uint32_t>(bytes(receiveRate)),
                                            static_cast<uint32_t>(bytes(sendRate)), elapsed});
    WriteRasNumber(stats, kStatsBytesSent, n.sent);
    WriteRasNumber(stats, kStatsBytesReceived, n.received);
    WriteRasNumber(stats, kStatsBps, bps);
    WriteRasNumber(stats, kStatsDuration, n.durationMs);
    return 0;
}

}  // namespace tarvelin::sim
