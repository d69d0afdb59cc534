#include "ModemCall.h"

#include <string_view>
#include <utility>

namespace tarvelin::standin {
namespace {

constexpr DWORD kCommandWaitMs = 5000;
constexpr DWORD kConnectWaitMs = 30000;
constexpr DWORD kGuardMs = 1100;  // the silence the escape needs on either side
constexpr DWORD kTickMs = 100;
constexpr size_t kUpstreamChunk = 20;  // bytes sent back each tick: 200 bytes a second

// Owns a handle from CreateFile or CreateThread.
struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

void SetReadWait(HANDLE port, DWORD waitMs) {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.ReadTotalTimeoutMultiplier = MAXDWORD;
    timeouts.ReadTotalTimeoutConstant = waitMs;
    timeouts.WriteTotalTimeoutConstant = 2000;
    SetCommTimeouts(port, &timeouts);
}

bool Write(HANDLE port, std::string_view bytes) {
    DWORD written = 0;
    return WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

// The final result among the phone's lines, or 0 while none has come.
uint32_t ResultOf(const std::string& reply, bool& done) {
    static constexpr std::pair<const char*, uint32_t> kResults[] = {
        {"\r\nOK\r\n", 0},
        {"\r\nCONNECT", 0},
        {"\r\nERROR\r\n", kRasErrorFromDevice},
        {"\r\nNO CARRIER\r\n", kRasErrorNoCarrier},
        {"\r\nBUSY\r\n", kRasErrorLineBusy},
        {"\r\nNO DIALTONE\r\n", kRasErrorNoDialtone},
        {"\r\nNO ANSWER\r\n", kRasErrorNoAnswer},
    };
    for (const auto& [text, error] : kResults) {
        if (reply.find(text) != std::string::npos) {
            done = true;
            return error;
        }
    }
    done = false;
    return 0;
}

// Sends a command line and waits for its final result; a silent phone is no answer.
uint32_t Command(HANDLE port, const std::string& line, DWORD waitMs) {
    if (!Write(port, line + "\r")) return kRasErrorPortNotAvailable;
    std::string reply;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < waitMs) {
        char buffer[256];
        DWORD got = 0;
        if (!ReadFile(port, buffer, sizeof buffer, &got, nullptr)) return kRasErrorPortNotAvailable;
        reply.append(buffer, got);
        bool done = false;
        const uint32_t error = ResultOf(reply, done);
        if (done) return error;
    }
    return kRasErrorNoAnswer;
}

bool StartsWithAt(const std::string& text) {
    return text.size() >= 2 && (text[0] == 'A' || text[0] == 'a') &&
           (text[1] == 'T' || text[1] == 't');
}

}  // namespace

std::unique_ptr<ModemCall> ModemCall::Dial(const std::string& port, const std::string& init,
                                           const std::string& number, uint32_t& error) {
    const std::string path = "\\\\.\\" + port;
    UniqueHandle handle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (handle.get() == INVALID_HANDLE_VALUE) {
        error = kRasErrorPortNotAvailable;
        return nullptr;
    }
    SetReadWait(handle.get(), kTickMs);
    PurgeComm(handle.get(), PURGE_RXCLEAR | PURGE_TXCLEAR);
    error = Command(handle.get(), "AT", kCommandWaitMs);
    if (!error && !init.empty())
        error = Command(handle.get(), StartsWithAt(init) ? init : "AT" + init, kCommandWaitMs);
    if (!error) error = Command(handle.get(), "ATDT" + number, kConnectWaitMs);
    if (error) return nullptr;
    auto call = std::make_unique<ModemCall>(handle.release(), GetTickCount());
    call->thread_ = CreateThread(nullptr, 0, &ModemCall::Carry, call.get(), 0, nullptr);
    if (!call->thread_) call->lost_ = true;
    return call;
}

ModemCall::ModemCall(HANDLE port, DWORD started) : port_(port), started_(started) {}

// The thread goes on reading through the escape, so that everything the phone sent before
// it went back to commands is counted; it only stops sending.
ModemCall::~ModemCall() {
    HangUp();
}

void ModemCall::HangUp() {
    if (port_ == INVALID_HANDLE_VALUE) return;
    quiet_ = true;
    if (!lost_) {
        Sleep(kGuardMs);
        Write(port_, "+++");
        Sleep(kGuardMs);
    }
    stop_ = true;
    if (thread_) {
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    if (!lost_) Command(port_, "ATH", kCommandWaitMs);
    CloseHandle(std::exchange(port_, INVALID_HANDLE_VALUE));
    ended_ = GetTickCount();
}

DWORD WINAPI ModemCall::Carry(void* self) {
    static_cast<ModemCall*>(self)->CarryData();
    return 0;
}

// Reads whatever came within a tick and sends a small packet back once a tick, until told
// to stop or the port fails (the phone was unplugged).
void ModemCall::CarryData() {
    const std::string packet(kUpstreamChunk, 'x');
    std::string buffer(4096, '\0');
    DWORD sentAt = GetTickCount();
    while (!stop_) {
        DWORD got = 0;
        if (!ReadFile(port_, buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) {
            lost_ = true;
            return;
        }
        received_ += got;
        if (quiet_ || GetTickCount() - sentAt < kTickMs) continue;
        sentAt = GetTickCount();
        if (!Write(port_, packet)) {
            lost_ = true;
            return;
        }
        sent_ += static_cast<uint32_t>(packet.size());
    }
}

}  // namespace tarvelin::standin
