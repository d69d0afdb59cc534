#include "platform/win32/Win32Ras.h"

#include <windows.h>

#include <ras.h>
#include <rasdlg.h>

#include <cstring>

#include "platform/win32/SystemLibrary.h"

namespace tarvelin::platform {

// The phone book, connection and statistics functions; each one is null where the system
// lacks it.
struct Win32Ras::Api {
    SystemLibrary library{"rasapi32.dll"};
    decltype(&RasEnumDevicesA) enumDevices = nullptr;
    decltype(&RasEnumEntriesA) enumEntries = nullptr;
    decltype(&RasEnumConnectionsA) enumConnections = nullptr;
    decltype(&RasGetEntryPropertiesA) getEntryProperties = nullptr;
    decltype(&RasSetEntryPropertiesA) setEntryProperties = nullptr;
    decltype(&RasGetEntryDialParamsA) getEntryDialParams = nullptr;
    decltype(&RasSetEntryDialParamsA) setEntryDialParams = nullptr;
    decltype(&RasDeleteEntryA) deleteEntry = nullptr;
    decltype(&RasRenameEntryA) renameEntry = nullptr;
    decltype(&RasValidateEntryNameA) validateEntryName = nullptr;
    decltype(&RasHangUpA) hangUp = nullptr;
    decltype(&RasGetConnectStatusA) getConnectStatus = nullptr;
    decltype(&RasEditPhonebookEntryA) editPhonebookEntry = nullptr;
    decltype(&RasGetConnectionStatistics) getConnectionStatistics = nullptr;

    Api() {
        library.Bind("RasEnumDevicesA", enumDevices);
        library.Bind("RasEnumEntriesA", enumEntries);
        library.Bind("RasEnumConnectionsA", enumConnections);
        library.Bind("RasGetEntryPropertiesA", getEntryProperties);
        library.Bind("RasSetEntryPropertiesA", setEntryProperties);
        library.Bind("RasGetEntryDialParamsA", getEntryDialParams);
        library.Bind("RasSetEntryDialParamsA", setEntryDialParams);
        library.Bind("RasDeleteEntryA", deleteEntry);
        library.Bind("RasRenameEntryA", renameEntry);
        library.Bind("RasValidateEntryNameA", validateEntryName);
        library.Bind("RasHangUpA", hangUp);
        library.Bind("RasGetConnectStatusA", getConnectStatus);
        library.Bind("RasEditPhonebookEntryA", editPhonebookEntry);
        library.Bind("RasGetConnectionStatistics", getConnectionStatistics);
    }
};

// The dial dialog lives in a library of its own, loaded only when it is first shown.
struct Win32Ras::DialogApi {
    SystemLibrary library{"rasdlg.dll"};
    decltype(&RasDialDlgA) dialDlg = nullptr;

    DialogApi() { library.Bind("RasDialDlgA", dialDlg); }
};

namespace {

constexpr DWORD kHangUpPollMs = 50;

HRASCONN ToSystem(RasHandle connection) {
    return reinterpret_cast<HRASCONN>(static_cast<uintptr_t>(connection));
}

// The default entry (and the size query for new entries) has no name.
const char* NameOrDefault(const std::string& entry) {
    return entry.empty() ? nullptr : entry.c_str();
}

template <class Record>
Record* As(std::vector<uint8_t>* bytes) {
    return bytes ? reinterpret_cast<Record*>(bytes->data()) : nullptr;
}

// A record that starts with its size field and holds every byte that field declares.
bool HoldsRecord(const std::vector<uint8_t>& record) {
    uint32_t declared = 0;
    if (record.size() < sizeof declared) return false;
    std::memcpy(&declared, record.data(), sizeof declared);
    return declared <= record.size();
}

template <class Function, class... Args>
uint32_t Call(Function function, Args... args) {
    return function ? function(args...) : Win32Ras::kRasErrorNotImplemented;
}

// An enumeration into size bytes of buffer (none: a size query); size and count come back.
template <class Enumerate>
uint32_t EnumerateInto(std::vector<uint8_t>* buffer, uint32_t& size, uint32_t& count,
                       Enumerate enumerate) {
    if (buffer && size > buffer->size()) return Win32Ras::kRasErrorInvalidParameter;
    DWORD bytes = size, n = 0;
    const uint32_t result = enumerate(buffer ? buffer->data() : nullptr, &bytes, &n);
    size = bytes;
    count = n;
    return result;
}

// Waits until the system has forgotten the connection (its hang-up has finished), an error
// other than "still known" or the bound ends the wait.
void AwaitHangUp(const Win32Ras::Api& api, HRASCONN connection) {
    for (uint32_t waited = 0; waited < Win32Ras::kHangUpWaitMs; waited += kHangUpPollMs) {
        RASCONNSTATUSA status{};
        status.dwSize = sizeof status;
        if (Call(api.getConnectStatus, connection, &status) != ERROR_SUCCESS) return;
        Sleep(kHangUpPollMs);
    }
}

}  // namespace

Win32Ras::Win32Ras() = default;
Win32Ras::~Win32Ras() = default;

const Win32Ras::Api& Win32Ras::Ras() {
    if (!api_) api_ = std::make_unique<Api>();
    return *api_;
}

const Win32Ras::DialogApi& Win32Ras::Dialogs() {
    if (!dialogs_) dialogs_ = std::make_unique<DialogApi>();
    return *dialogs_;
}

uint32_t Win32Ras::EnumDevices(std::vector<uint8_t>* buffer, uint32_t& bytes, uint32_t& count) {
    auto function = Ras().enumDevices;
    return EnumerateInto(buffer, bytes, count, [function](uint8_t* data, DWORD* size, DWORD* n) {
        return Call(function, reinterpret_cast<LPRASDEVINFOA>(data), size, n);
    });
}

uint32_t Win32Ras::EnumEntries(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) {
    auto function = Ras().enumEntries;
    return EnumerateInto(&buffer, bytes, count, [function](uint8_t* data, DWORD* size, DWORD* n) {
        return Call(function, nullptr, nullptr, reinterpret_cast<LPRASENTRYNAMEA>(data), size, n);
    });
}

uint32_t Win32Ras::EnumConnections(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) {
    auto function = Ras().enumConnections;
    return EnumerateInto(&buffer, bytes, count, [function](uint8_t* data, DWORD* size, DWORD* n) {
        return Call(function, reinterpret_cast<LPRASCONNA>(data), size, n);
    });
}

uint32_t Win32Ras::GetEntryProperties(const std::string& entry, std::vector<uint8_t>* buffer,
                                      uint32_t& size) {
    if (buffer && size > buffer->size()) return kRasErrorInvalidParameter;
    DWORD bytes = size;
    const uint32_t result = Call(Ras().getEntryProperties, nullptr, NameOrDefault(entry),
                                 As<RASENTRYA>(buffer), &bytes, nullptr, nullptr);
    size = bytes;
    return result;
}

uint32_t Win32Ras::SetEntryProperties(const std::string& entry, const std::vector<uint8_t>& buffer,
                                      uint32_t size) {
    if (size > buffer.size()) return kRasErrorInvalidParameter;
    std::vector<uint8_t> record = buffer;  // the system takes it as writable
    return Call(Ras().setEntryProperties, nullptr, NameOrDefault(entry), As<RASENTRYA>(&record),
                DWORD{size}, nullptr, DWORD{0});
}

uint32_t Win32Ras::GetEntryDialParams(std::vector<uint8_t>& params, bool& passwordStored) {
    if (!HoldsRecord(params)) return kRasErrorInvalidParameter;
    BOOL stored = FALSE;
    const uint32_t result =
        Call(Ras().getEntryDialParams, nullptr, As<RASDIALPARAMSA>(&params), &stored);
    passwordStored = stored != FALSE;
    return result;
}

uint32_t Win32Ras::SetEntryDialParams(const std::vector<uint8_t>& params, bool removePassword) {
    if (!HoldsRecord(params)) return kRasErrorInvalidParameter;
    std::vector<uint8_t> record = params;  // the system takes it as writable
    return Call(Ras().setEntryDialParams, nullptr, As<RASDIALPARAMSA>(&record),
                BOOL{removePassword});
}

uint32_t Win32Ras::DeleteEntry(const std::string& entry) {
    return Call(Ras().deleteEntry, nullptr, entry.c_str());
}

uint32_t Win32Ras::RenameEntry(const std::string& oldName, const std::string& newName) {
    return Call(Ras().renameEntry, nullptr, oldName.c_str(), newName.c_str());
}

uint32_t Win32Ras::ValidateEntryName(const std::string& entry) {
    return Call(Ras().validateEntryName, nullptr, entry.c_str());
}

bool Win32Ras::DialDlg(const std::string& entry, std::vector<uint8_t>& dialog) {
    auto function = Dialogs().dialDlg;
    if (!function || !HoldsRecord(dialog)) return false;
    std::string name = entry;  // the system takes it as writable
    return function(nullptr, name.data(), nullptr, As<RASDIALDLG>(&dialog)) != FALSE;
}

uint32_t Win32Ras::HangUp(RasHandle connection) {
    const Api& api = Ras();
    const uint32_t result = Call(api.hangUp, ToSystem(connection));
    if (result == ERROR_SUCCESS) AwaitHangUp(api, ToSystem(connection));
    return result;
}

uint32_t Win32Ras::EditPhonebookEntry(WindowHandle owner, const std::string& entry) {
    return Call(Ras().editPhonebookEntry, reinterpret_cast<HWND>(owner), nullptr, entry.c_str());
}

uint32_t Win32Ras::GetConnectionStatistics(RasHandle connection, std::vector<uint8_t>& stats) {
    if (!HoldsRecord(stats)) return kRasErrorInvalidParameter;
    return Call(Ras().getConnectionStatistics, ToSystem(connection), As<RAS_STATS>(&stats));
}

}  // namespace tarvelin::platform
