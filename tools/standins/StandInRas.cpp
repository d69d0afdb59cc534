#include "StandInRas.h"

#include <shlobj.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "HeldCall.h"
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
    DeleteCriticalSection(&lock_);
}

void StandInRas::Refresh() {
    std::ifstream in(file_, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    ras_.entries = ReadPhoneBook(text.str());
    ras_.devices = InstalledModems();
    ras_.calls.clear();
    LoadConnections();
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

// The connections are the calls their holders have up now: one that ended or whose line was
// lost is gone, whichever program dialled it.
void StandInRas::LoadConnections() {
    ras_.connections.clear();
    for (const HeldCallView& call : HeldCalls())
        ras_.connections.push_back(
            {call.handle, call.entry, kModemType, call.device, 0,
             sim::SimRasCounters{call.received, call.sent, call.durationMs}});
}

uint32_t StandInRas::Dial(const std::string& ansiEntry, const std::string& library) {
    Guard guard(lock_);
    Refresh();
    const sim::SimRasEntry* entry = ras_.Find(AnsiToUtf8(ansiEntry));
    if (!entry) return kRasErrorCannotFindEntry;
    for (const sim::SimRasConnection& c : ras_.connections)
        if (EqualsNoCase(c.entryName, entry->name)) return 0;  // already connected
    ModemDial dial{{}, {}, entry->info.szLocalPhoneNumber};
    if (!GetModemAttachedTo(entry->info.szDeviceName, dial.port)) return kRasErrorPortNotAvailable;
    GetModemUserInit(entry->info.szDeviceName, dial.init);
    return DialHeld(library, entry->name, entry->info.szDeviceName, dial);
}

// The holder hangs up with the escape and ATH; the service waits for it outside the lock.
uint32_t StandInRas::HangUp(platform::RasHandle connection) {
    return connection <= MAXDWORD && HangUpHeld(static_cast<uint32_t>(connection))
               ? 0
               : kRasErrorInvalidHandle;
}

uint32_t StandInRas::Statistics(platform::RasHandle connection, std::vector<uint8_t>& stats) {
    Guard guard(lock_);
    LoadConnections();
    return ras_.GetConnectionStatistics(connection, stats);
}

uint32_t StandInRas::Status(platform::RasHandle connection, std::string& deviceType,
                            std::string& deviceName) {
    Guard guard(lock_);
    LoadConnections();
    for (const sim::SimRasConnection& c : ras_.connections) {
        if (c.handle != connection) continue;
        deviceType = c.deviceType;
        deviceName = c.deviceName;
        return 0;
    }
    return kRasErrorInvalidHandle;
}

}  // namespace tarvelin::standin
