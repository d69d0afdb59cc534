#include "StandInRas.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "InstalledModems.h"
#include "ModemCall.h"
#include "PhoneBookFile.h"
#include "core/AppState.h"
#include "core/modTypes.h"
#include "hardware/modAppHardware.h"
#include "platform/AnsiText.h"

namespace tarvelin::standin {
namespace {

constexpr uint32_t kRasErrorInvalidHandle = 6;
constexpr uint32_t kRasErrorCannotFindEntry = 623;
constexpr char kModemType[] = "modem";

// Where the system keeps the user's phone book: the application data folder's
// Microsoft\Network\Connections\Pbk\rasphone.pbk, its folders made when first written.
std::string PhoneBookPath() {
    char folder[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, 0, folder))) return {};
    std::string path = folder;
    for (const char* part : {"\\Microsoft", "\\Network", "\\Connections", "\\Pbk"}) {
        path += part;
        CreateDirectoryA(path.c_str(), nullptr);
    }
    return path + "\\rasphone.pbk";
}

// The installed modems, as the system lists its dial-up devices.
std::vector<RasDeviceInfo> InstalledModems() {
    std::vector<RasDeviceInfo> modems;
    for (const std::string& name : InstalledModemNames()) modems.push_back({name, kModemType});
    return modems;
}

}  // namespace

StandInRas& StandInRas::Get() {
    static StandInRas service;
    return service;
}

StandInRas::StandInRas() : file_(PhoneBookPath()) {
    InitializeCriticalSection(&lock_);
    platform_.devices = &devices_;
    AppState().platform = &platform_;
    // Wine 8 was seen looping for ever while giving a library loaded late its thread-local
    // slot, once the serial ports' helper threads had come and gone: the dial dialog's library
    // is loaded now, with this one, and kept for the life of the process.
    LoadLibraryA("rasdlg.dll");
}

StandInRas::~StandInRas() {
    calls_.clear();
    DeleteCriticalSection(&lock_);
}

void StandInRas::Refresh() {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ras_.entries = ReadPhoneBook(text.str());
    ras_.devices = InstalledModems();
    ras_.calls.clear();
    DropLostCalls();
}

void StandInRas::Save() {
    const std::string temporary = file_ + ".new";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << WritePhoneBook(ras_.entries);
        if (!out.flush()) return;
    }
    MoveFileExA(temporary.c_str(), file_.c_str(), MOVEFILE_REPLACE_EXISTING);
}

// A call whose port failed is a connection the system has already dropped.
void StandInRas::DropLostCalls() {
    std::erase_if(calls_, [this](const auto& call) {
        if (!call.second->Lost()) return false;
        std::erase_if(ras_.connections,
                      [&](const sim::SimRasConnection& c) { return c.handle == call.first; });
        return true;
    });
}

uint32_t StandInRas::Dial(const std::string& ansiEntry) {
    Guard guard(lock_);
    Refresh();
    const sim::SimRasEntry* entry = ras_.Find(AnsiToUtf8(ansiEntry));
    if (!entry) return kRasErrorCannotFindEntry;
    for (const sim::SimRasConnection& c : ras_.connections)
        if (EqualsNoCase(c.entryName, entry->name)) return 0;  // already connected
    std::string port, init;
    if (!GetModemAttachedTo(entry->info.szDeviceName, port)) return kRasErrorPortNotAvailable;
    GetModemUserInit(entry->info.szDeviceName, init);
    uint32_t error = 0;
    auto call = ModemCall::Dial(port, init, entry->info.szLocalPhoneNumber, error);
    if (!call) return error;
    calls_.emplace_back(ras_.Connect(entry->name).handle, std::move(call));
    return 0;
}

uint32_t StandInRas::HangUp(platform::RasHandle connection) {
    std::unique_ptr<ModemCall> ending;
    {
        Guard guard(lock_);
        Refresh();
        const auto it = std::find_if(calls_.begin(), calls_.end(),
                                     [&](const auto& call) { return call.first == connection; });
        if (it != calls_.end()) {
            ending = std::move(it->second);
            calls_.erase(it);
        }
        const uint32_t result = ras_.HangUp(connection);
        if (result) return result;
    }
    return 0;  // the escape and ATH run as ending goes, outside the lock
}

uint32_t StandInRas::Statistics(platform::RasHandle connection, std::vector<uint8_t>& stats) {
    Guard guard(lock_);
    DropLostCalls();
    for (const auto& [handle, call] : calls_)
        for (sim::SimRasConnection& c : ras_.connections)
            if (c.handle == handle)
                c.counters =
                    sim::SimRasCounters{call->Received(), call->Sent(), call->DurationMs()};
    return ras_.GetConnectionStatistics(connection, stats);
}

uint32_t StandInRas::Status(platform::RasHandle connection, std::string& deviceType,
                            std::string& deviceName) {
    Guard guard(lock_);
    DropLostCalls();
    for (const sim::SimRasConnection& c : ras_.connections) {
        if (c.handle != connection) continue;
        deviceType = c.deviceType;
        deviceName = c.deviceName;
        return 0;
    }
    return kRasErrorInvalidHandle;
}

}  // namespace tarvelin::standin
