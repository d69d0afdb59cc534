// The stand-in rasapi32.dll: the ANSI phone book, device and connection calls the program
// makes, answered by the stand-in dial-up service with the system's result codes. Records
// are handed over as the bytes the caller gave; nothing is read or written past the sizes
// the caller declared.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "StandInRas.h"
#include "dialup/RasRecords.h"
#include "platform/AnsiText.h"

using tarvelin::platform::RasHandle;
using tarvelin::sim::SimRas;
using tarvelin::standin::StandInRas;

namespace {

constexpr DWORD kInvalidParameter = 87;
constexpr DWORD kInvalidSize = 632;
constexpr DWORD kMostRecordBytes = 1 << 20;  // no record the program hands over is larger
constexpr DWORD kConnectedState = 0x2000;    // RASCS_Connected
// RASCONNSTATUSA: without and with the phone number at its end.
constexpr DWORD kStatusSizes[] = {160, 288};
constexpr size_t kStatusDeviceType = 12, kStatusDeviceName = 29;

std::string Text(const char* text) {
    return text ? text : "";
}

std::vector<uint8_t> Copy(const void* data, DWORD size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    return data ? std::vector<uint8_t>(bytes, bytes + size) : std::vector<uint8_t>();
}

void CopyBack(void* data, DWORD size, const std::vector<uint8_t>& bytes) {
    if (data) std::memcpy(data, bytes.data(), std::min<size_t>(size, bytes.size()));
}

// A record that declares its own size in its first field.
DWORD DeclaredSize(const void* record) {
    DWORD size = 0;
    std::memcpy(&size, record, sizeof size);
    return size;
}

RasHandle Handle(HANDLE connection) {
    return reinterpret_cast<uintptr_t>(connection);
}

// An enumeration into the caller's buffer (none: a size query).
template <class Enumerate>
DWORD EnumerateInto(void* buffer, LPDWORD bytes, LPDWORD count, bool needsBuffer,
                    Enumerate enumerate) {
    if (!bytes || !count || (needsBuffer && !buffer) || *bytes > kMostRecordBytes)
        return kInvalidParameter;
    std::vector<uint8_t> copy = Copy(buffer, *bytes);
    uint32_t size = *bytes, n = 0;
    const DWORD result = StandInRas::Get().Run(
        false, [&](SimRas& ras) { return enumerate(ras, buffer ? &copy : nullptr, size, n); });
    CopyBack(buffer, *bytes, copy);
    *bytes = size;
    *count = n;
    return result;
}

}  // namespace

#define EXPORT extern "C" __declspec(dllexport)

EXPORT DWORD WINAPI RasEnumDevicesA(void* devices, LPDWORD bytes, LPDWORD count) {
    return EnumerateInto(devices, bytes, count, false,
                         [](SimRas& ras, std::vector<uint8_t>* b, uint32_t& s, uint32_t& n) {
                             return ras.EnumDevices(b, s, n);
                         });
}

EXPORT DWORD WINAPI RasEnumEntriesA(LPCSTR, LPCSTR, void* entries, LPDWORD bytes, LPDWORD count) {
    return EnumerateInto(entries, bytes, count, true,
                         [](SimRas& ras, std::vector<uint8_t>* b, uint32_t& s, uint32_t& n) {
                             return ras.EnumEntries(*b, s, n);
                         });
}

EXPORT DWORD WINAPI RasEnumConnectionsA(void* connections, LPDWORD bytes, LPDWORD count) {
    return EnumerateInto(connections, bytes, count, true,
                         [](SimRas& ras, std::vector<uint8_t>* b, uint32_t& s, uint32_t& n) {
                             return ras.EnumConnections(*b, s, n);
                         });
}

EXPORT DWORD WINAPI RasGetEntryPropertiesA(LPCSTR, LPCSTR entry, void* record, LPDWORD size, LPBYTE,
                                           LPDWORD) {
    if (!size || *size > kMostRecordBytes) return kInvalidParameter;
    std::vector<uint8_t> copy = Copy(record, *size);
    uint32_t bytes = *size;
    const DWORD result = StandInRas::Get().Run(false, [&](SimRas& ras) {
        return ras.GetEntryProperties(Text(entry), record ? &copy : nullptr, bytes);
    });
    CopyBack(record, *size, copy);
    *size = bytes;
    return result;
}

EXPORT DWORD WINAPI RasSetEntryPropertiesA(LPCSTR, LPCSTR entry, void* record, DWORD size, LPBYTE,
                                           DWORD) {
    if (!record || size > kMostRecordBytes) return kInvalidParameter;
    const std::vector<uint8_t> copy = Copy(record, size);
    return StandInRas::Get().Run(
        true, [&](SimRas& ras) { return ras.SetEntryProperties(Text(entry), copy, size); });
}

EXPORT DWORD WINAPI RasGetEntryDialParamsA(LPCSTR, void* params, LPBOOL passwordStored) {
    if (!params || !passwordStored) return kInvalidParameter;
    const DWORD size = DeclaredSize(params);
    if (size < sizeof(DWORD) || size > kMostRecordBytes) return kInvalidSize;
    std::vector<uint8_t> copy = Copy(params, size);
    bool stored = false;
    const DWORD result = StandInRas::Get().Run(
        false, [&](SimRas& ras) { return ras.GetEntryDialParams(copy, stored); });
    CopyBack(params, size, copy);
    *passwordStored = stored;
    return result;
}

EXPORT DWORD WINAPI RasSetEntryDialParamsA(LPCSTR, void* params, BOOL removePassword) {
    if (!params) return kInvalidParameter;
    const DWORD size = DeclaredSize(params);
    if (size < sizeof(DWORD) || size > kMostRecordBytes) return kInvalidSize;
    const std::vector<uint8_t> copy = Copy(params, size);
    return StandInRas::Get().Run(
        true, [&](SimRas& ras) { return ras.SetEntryDialParams(copy, removePassword != FALSE); });
}

EXPORT DWORD WINAPI RasDeleteEntryA(LPCSTR, LPCSTR entry) {
    return StandInRas::Get().Run(true, [&](SimRas& ras) { return ras.DeleteEntry(Text(entry)); });
}

EXPORT DWORD WINAPI RasRenameEntryA(LPCSTR, LPCSTR oldName, LPCSTR newName) {
    return StandInRas::Get().Run(
        true, [&](SimRas& ras) { return ras.RenameEntry(Text(oldName), Text(newName)); });
}

EXPORT DWORD WINAPI RasValidateEntryNameA(LPCSTR, LPCSTR entry) {
    return StandInRas::Get().Run(false,
                                 [&](SimRas& ras) { return ras.ValidateEntryName(Text(entry)); });
}

EXPORT DWORD WINAPI RasHangUpA(HANDLE connection) {
    return StandInRas::Get().HangUp(Handle(connection));
}

EXPORT DWORD WINAPI RasGetConnectStatusA(HANDLE connection, void* status) {
    if (!status) return kInvalidParameter;
    const DWORD size = DeclaredSize(status);
    if (std::find(std::begin(kStatusSizes), std::end(kStatusSizes), size) == std::end(kStatusSizes))
        return kInvalidSize;
    std::string type, name;
    const DWORD result = StandInRas::Get().Status(Handle(connection), type, name);
    if (result) return result;
    auto* bytes = static_cast<uint8_t*>(status);
    std::memset(bytes + sizeof(DWORD), 0, size - sizeof(DWORD));
    std::memcpy(bytes + 4, &kConnectedState, sizeof kConnectedState);
    const std::string ansiType = tarvelin::Utf8ToAnsi(type).substr(0, 16);
    const std::string ansiName = tarvelin::Utf8ToAnsi(name).substr(0, 128);
    std::memcpy(bytes + kStatusDeviceType, ansiType.c_str(), ansiType.size());
    std::memcpy(bytes + kStatusDeviceName, ansiName.c_str(), ansiName.size());
    return 0;
}

// The system's entry dialog: shows what the entry holds, for the person at the screen.
EXPORT DWORD WINAPI RasEditPhonebookEntryA(HWND owner, LPCSTR, LPCSTR entry) {
    std::string summary;
    const DWORD result = StandInRas::Get().Run(false, [&](SimRas& ras) {
        const auto* found = ras.Find(tarvelin::AnsiToUtf8(Text(entry)));
        if (!found) return tarvelin::platform::kRasErrorCannotFindEntry;
        summary =
            found->name + "\n" + found->info.szDeviceName + "\n" + found->info.szLocalPhoneNumber;
        return 0u;
    });
    if (result == 0) MessageBoxA(owner, tarvelin::Utf8ToAnsi(summary).c_str(), "rasphone", MB_OK);
    return result;
}

EXPORT DWORD WINAPI RasGetConnectionStatistics(HANDLE connection, void* stats) {
    if (!stats) return kInvalidParameter;
    const DWORD size = DeclaredSize(stats);
    if (size != tarvelin::CurrentRasLayout().statsSize) return kInvalidSize;
    std::vector<uint8_t> copy = Copy(stats, size);
    const DWORD result = StandInRas::Get().Statistics(Handle(connection), copy);
    CopyBack(stats, size, copy);
    return result;
}

// For the stand-in rasdlg.dll: dials the entry through a holder started on `holder` (the
// dialog's own library); 0 when connected, else the dialog's error.
EXPORT DWORD WINAPI StandInDialEntry(LPCSTR entry, LPCSTR holder) {
    return StandInRas::Get().Dial(Text(entry), Text(holder));
}
