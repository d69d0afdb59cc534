#include "HeldCall.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ModemCall.h"

namespace tarvelin::standin {
namespace {

constexpr int kSlots = 8;
constexpr LONG kDialling = 0, kConnected = 1, kEnded = 2;
constexpr DWORD kTickMs = 100;
constexpr DWORD kHolderStartMs = 30000;  // rundll32 and the library load before the dial
constexpr DWORD kHangUpWaitMs = 15000;   // the escape's guard times and ATH

// One call slot as the holder and the programs share it. Numbers change under the readers;
// each is a single aligned word.
struct Record {
    volatile LONG state;
    volatile LONG error;
    volatile LONG received, sent, durationMs;
    volatile LONG holder;
    char entry[260], device[260], port[64], init[256], number[132];
};

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

std::string Name(const char* kind, int slot) {
    return std::string("TarvelinStandIn") + kind + std::to_string(slot);
}

// A slot's mapped record, unmapped and closed when it goes.
class Slot {
  public:
    // The slot's record made anew; null when the slot is taken.
    static std::unique_ptr<Slot> Create(int slot) {
        UniqueHandle mapping(CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(Record), Name("Call", slot).c_str()));
        if (!mapping || GetLastError() == ERROR_ALREADY_EXISTS) return nullptr;
        return Map(std::move(mapping));
    }
    // The slot's record while some holder keeps it; null otherwise.
    static std::unique_ptr<Slot> Open(int slot) {
        UniqueHandle mapping(
            OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, Name("Call", slot).c_str()));
        return mapping ? Map(std::move(mapping)) : nullptr;
    }
    Slot(UniqueHandle mapping, Record* record) : mapping_(std::move(mapping)), record_(record) {}
    ~Slot() { UnmapViewOfFile(record_); }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    Record& operator*() const { return *record_; }
    Record* operator->() const { return record_; }

  private:
    static std::unique_ptr<Slot> Map(UniqueHandle mapping) {
        void* view = MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Record));
        if (!view) return nullptr;
        return std::make_unique<Slot>(std::move(mapping), static_cast<Record*>(view));
    }
    UniqueHandle mapping_;
    Record* record_;
};

template <size_t N>
void Put(char (&field)[N], const std::string& text) {
    const size_t n = std::min(text.size(), N - 1);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// The holder: rundll32 with the library and its entry point, as the system runs it.
bool StartHolder(const std::string& dll, int slot, UniqueHandle& process) {
    char system[MAX_PATH] = {}, shortDll[MAX_PATH] = {};
    if (!GetSystemDirectoryA(system, MAX_PATH)) return false;
    // rundll32 takes the library's path up to the comma; a short path has no spaces.
    if (!GetShortPathNameA(dll.c_str(), shortDll, MAX_PATH)) Put(shortDll, dll);
    const std::string program = std::string(system) + "\\rundll32.exe";
    std::string line =
        "rundll32.exe " + std::string(shortDll) + ",StandInHoldCall " + std::to_string(slot);
    // The library's own folder is the holder's current one: rundll32 looks there for the
    // libraries it imports.
    const std::string folder = dll.substr(0, dll.find_last_of('\\'));
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!CreateProcessA(program.c_str(), line.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS,
                        nullptr, folder.empty() ? nullptr : folder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process.reset(info.hProcess);
    return true;
}

void Publish(Record& record, const ModemCall& call) {
    InterlockedExchange(&record.received, static_cast<LONG>(call.Received()));
    InterlockedExchange(&record.sent, static_cast<LONG>(call.Sent()));
    InterlockedExchange(&record.durationMs, static_cast<LONG>(call.DurationMs()));
}

}  // namespace

uint32_t DialHeld(const std::string& dll, const std::string& entry, const std::string& device,
                  const ModemDial& dial) {
    std::unique_ptr<Slot> record;
    int slot = 1;
    for (; slot <= kSlots && !record; ++slot) record = Slot::Create(slot);
    if (!record) return kRasErrorPortNotAvailable;
    --slot;
    Record& r = **record;
    Put(r.entry, entry);
    Put(r.device, device);
    Put(r.port, dial.port);
    Put(r.init, dial.init);
    Put(r.number, dial.number);
    UniqueHandle hangUp(CreateEventA(nullptr, TRUE, FALSE, Name("HangUp", slot).c_str()));
    UniqueHandle process;
    if (!hangUp || !StartHolder(dll, slot, process)) return kRasErrorPortNotAvailable;
    ResetEvent(hangUp.get());
    // The dial itself is bounded by the modem's waits; a holder that never starts is not.
    for (DWORD waited = 0; r.state == kDialling; waited += kTickMs) {
        const bool ended = WaitForSingleObject(process.get(), kTickMs) != WAIT_TIMEOUT;
        if (r.state != kDialling) break;
        if (ended || (r.holder == 0 && waited > kHolderStartMs)) {
            TerminateProcess(process.get(), 1);
            return kRasErrorPortNotAvailable;
        }
    }
    return r.state == kConnected ? 0 : static_cast<uint32_t>(r.error);
}

std::vector<HeldCallView> HeldCalls() {
    std::vector<HeldCallView> calls;
    for (int slot = 1; slot <= kSlots; ++slot) {
        const auto record = Slot::Open(slot);
        if (!record || (*record)->state != kConnected) continue;
        const Record& r = **record;
        calls.push_back({static_cast<uint32_t>(r.holder), r.entry, r.device,
                         static_cast<uint32_t>(r.received), static_cast<uint32_t>(r.sent),
                         static_cast<uint32_t>(r.durationMs)});
    }
    return calls;
}

bool HangUpHeld(uint32_t handle) {
    for (int slot = 1; slot <= kSlots; ++slot) {
        const auto record = Slot::Open(slot);
        if (!record || (*record)->state != kConnected ||
            static_cast<uint32_t>((*record)->holder) != handle)
            continue;
        UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, handle));
        UniqueHandle hangUp(OpenEventA(EVENT_MODIFY_STATE, FALSE, Name("HangUp", slot).c_str()));
        if (!hangUp) return false;
        SetEvent(hangUp.get());
        if (process) WaitForSingleObject(process.get(), kHangUpWaitMs);
        return true;
    }
    return false;
}

void HoldCall(int slot) {
    const auto record = Slot::Open(slot);
    UniqueHandle hangUp(OpenEventA(SYNCHRONIZE, FALSE, Name("HangUp", slot).c_str()));
    if (!record) return;
    Record& r = **record;
    InterlockedExchange(&r.holder, static_cast<LONG>(GetCurrentProcessId()));
    uint32_t error = 0;
    auto call = hangUp ? ModemCall::Dial(r.port, r.init, r.number, error) : nullptr;
    if (!call) {
        InterlockedExchange(&r.error, static_cast<LONG>(hangUp ? error : kRasErrorFromDevice));
        InterlockedExchange(&r.state, kEnded);
        return;
    }
    InterlockedExchange(&r.state, kConnected);
    while (!call->Lost() && WaitForSingleObject(hangUp.get(), kTickMs) == WAIT_TIMEOUT)
        Publish(r, *call);
    // A lost line is gone at once; a hung-up call leaves the list before its escape and ATH.
    InterlockedExchange(&r.state, kEnded);
    call->HangUp();
    Publish(r, *call);
}

}  // namespace tarvelin::standin
