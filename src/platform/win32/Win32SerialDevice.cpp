#include "platform/win32/Win32SerialDevice.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <memory>
#include <utility>

namespace tarvelin::platform {
namespace {

static_assert(sizeof(DCB) == Dcb::kSize, "the configuration record is the 28-byte DCB");
// The record's bytes go to SetCommState as they are: every offset must be the SDK's.
static_assert(offsetof(DCB, DCBlength) == Dcb::kLength &&
              offsetof(DCB, BaudRate) == Dcb::kBaudRate);
static_assert(offsetof(DCB, XonLim) == Dcb::kXonLim && offsetof(DCB, XoffLim) == Dcb::kXoffLim);
static_assert(offsetof(DCB, ByteSize) == Dcb::kByteSize && offsetof(DCB, Parity) == Dcb::kParity);
static_assert(offsetof(DCB, StopBits) == Dcb::kStopBits && offsetof(DCB, XonChar) == Dcb::kXonChar);
static_assert(offsetof(DCB, XoffChar) == Dcb::kXoffChar &&
              offsetof(DCB, ErrorChar) == Dcb::kErrorChar);
static_assert(offsetof(DCB, EofChar) == Dcb::kEofChar && offsetof(DCB, EvtChar) == Dcb::kEvtChar);

class UniqueHandle {
  public:
    explicit UniqueHandle(HANDLE h = nullptr) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }
    HANDLE get() const { return h_; }
    explicit operator bool() const { return h_ != nullptr; }
    // Closes the handle; false when the system refused.
    bool Reset() { return h_ == nullptr || CloseHandle(std::exchange(h_, nullptr)) != FALSE; }

  private:
    HANDLE h_;
};

// One asynchronous slot: its OVERLAPPED record and event object.
struct Slot {
    OVERLAPPED overlapped{};
    UniqueHandle event{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    bool started = false;

    OVERLAPPED* Begin() {
        overlapped = OVERLAPPED{};
        overlapped.hEvent = event.get();
        return &overlapped;
    }
};

// `count` is read only after the call that fills it has returned.
SerialIo Started(BOOL done, const DWORD& count, Slot& slot) {
    if (done) return SerialIo::Done(count);
    const DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return SerialIo::Fail(error);
    slot.started = true;
    return SerialIo::Pending();
}

// Everything the system writes into while an operation is under way. It lives apart from the
// device object so that Close can leave it to the system when an operation refuses to end.
struct IoState {
    std::array<Slot, 3> slots;  // read, write, event watch
    std::array<uint8_t, 1024> readBuffer{};
    std::array<uint8_t, 1024> writeBuffer{};
    DWORD eventBits = 0;
};

// How long Close waits for cancelled operations to end, once before and once after closing.
constexpr DWORD kCloseWaitMs = 1000;

class Win32SerialDevice : public ISerialDevice {
  public:
    explicit Win32SerialDevice(HANDLE handle)
        : handle_(handle), owned_(std::make_unique<IoState>()), io_(*owned_) {}
    ~Win32SerialDevice() override { Close(); }
    Win32SerialDevice(const Win32SerialDevice&) = delete;
    Win32SerialDevice& operator=(const Win32SerialDevice&) = delete;

    bool Ready() const {
        return std::all_of(io_.slots.begin(), io_.slots.end(),
                           [](const Slot& s) { return bool(s.event); });
    }

    uintptr_t Handle() const override { return reinterpret_cast<uintptr_t>(handle_.get()); }

    bool Close() override {
        if (!handle_) return true;
        // The system writes into the slots' records and buffers until a cancelled operation
        // has finished, so wait for that before the handle and the memory go. A pending line
        // event watch ends only once the event mask is cleared (CancelIo alone leaves it
        // pending on some systems). Closing the handle ends whatever is still running; an
        // operation that outlives even that keeps its memory, which is then never freed.
        ::SetCommMask(handle_.get(), 0);
        CancelIo(handle_.get());
        const bool ended = AwaitCancelled();
        const bool closed = handle_.Reset();
        if (!ended && !AwaitCancelled()) static_cast<void>(owned_.release());
        return closed;
    }

    bool SetupComm(uint32_t inQueue, uint32_t outQueue) override {
        return ::SetupComm(handle_.get(), inQueue, outQueue) != FALSE;
    }
    bool GetCommTimeouts(CommTimeouts& t) override {
        COMMTIMEOUTS c{};
        if (!::GetCommTimeouts(handle_.get(), &c)) return false;
        t = {c.ReadIntervalTimeout, c.ReadTotalTimeoutMultiplier, c.ReadTotalTimeoutConstant,
             c.WriteTotalTimeoutMultiplier, c.WriteTotalTimeoutConstant};
        return true;
    }
    bool SetCommTimeouts(const CommTimeouts& t) override {
        COMMTIMEOUTS c{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier,
                       t.ReadTotalTimeoutConstant, t.WriteTotalTimeoutMultiplier,
                       t.WriteTotalTimeoutConstant};
        return ::SetCommTimeouts(handle_.get(), &c) != FALSE;
    }
    bool GetCommState(Dcb& dcb) override {
        DCB d{};
        d.DCBlength = sizeof(DCB);
        if (!::GetCommState(handle_.get(), &d)) return false;
        std::memcpy(dcb.Bytes().data(), &d, sizeof(DCB));
        return true;
    }
    bool SetCommState(const Dcb& dcb) override {
        DCB d{};
        std::memcpy(&d, dcb.Bytes().data(), sizeof(DCB));
        return ::SetCommState(handle_.get(), &d) != FALSE;
    }
    bool SetCommMask(uint32_t mask) override { return ::SetCommMask(handle_.get(), mask) != FALSE; }
    bool ClearCommError(uint32_t& errors) override {
        DWORD e = 0;
        COMSTAT stat{};
        if (!::ClearCommError(handle_.get(), &e, &stat)) return false;
        errors = e;
        return true;
    }
    bool GetCommModemStatus(uint32_t& status) override {
        DWORD s = 0;
        if (!::GetCommModemStatus(handle_.get(), &s)) return false;
        status = s;
        return true;
    }

    SerialIo StartRead(std::span<uint8_t> into) override {
        Slot& slot = io_.slots[0];
        DWORD n = 0;
        const DWORD size = static_cast<DWORD>(std::min(into.size(), io_.readBuffer.size()));
        const SerialIo io = Started(
            ReadFile(handle_.get(), io_.readBuffer.data(), size, &n, slot.Begin()), n, slot);
        if (io.status == SerialIo::Status::Complete)
            std::memcpy(into.data(), io_.readBuffer.data(), n);
        return io;
    }
    SerialIo StartWrite(std::span<const uint8_t> bytes) override {
        Slot& slot = io_.slots[1];
        const DWORD size = static_cast<DWORD>(std::min(bytes.size(), io_.writeBuffer.size()));
        std::memcpy(io_.writeBuffer.data(), bytes.data(), size);
        DWORD n = 0;
        return Started(WriteFile(handle_.get(), io_.writeBuffer.data(), size, &n, slot.Begin()), n,
                       slot);
    }
    SerialIo StartEventWatch() override {
        Slot& slot = io_.slots[2];
        io_.eventBits = 0;
        const BOOL done = WaitCommEvent(handle_.get(), &io_.eventBits, slot.Begin());
        return Started(done, io_.eventBits, slot);
    }

    bool Signalled(SerialSlot which) override {
        const Slot& slot = io_.slots[static_cast<size_t>(which)];
        return !slot.started || WaitForSingleObject(slot.event.get(), 0) == WAIT_OBJECT_0;
    }

    SerialIo FinishRead(std::span<uint8_t> into) override {
        const SerialIo io = Finish(io_.slots[0]);
        const size_t n = std::min<size_t>(io.count, into.size());
        if (n > 0) std::memcpy(into.data(), io_.readBuffer.data(), n);
        return io;
    }
    SerialIo FinishWrite() override { return Finish(io_.slots[1]); }
    SerialIo FinishEventWatch() override {
        SerialIo io = Finish(io_.slots[2]);
        if (io.status == SerialIo::Status::Complete) io.count = io_.eventBits;
        return io;
    }

  private:
    // Waits, for kCloseWaitMs at most, until every started operation has ended.
    bool AwaitCancelled() {
        const DWORD started = GetTickCount();
        bool all = true;
        for (Slot& slot : io_.slots) {
            if (!slot.started) continue;
            const DWORD spent = GetTickCount() - started;  // wraps correctly in 32 bits
            const DWORD left = spent < kCloseWaitMs ? kCloseWaitMs - spent : 0;
            if (WaitForSingleObject(slot.event.get(), left) == WAIT_OBJECT_0)
                slot.started = false;
            else
                all = false;
        }
        return all;
    }

    SerialIo Finish(Slot& slot) {
        if (!slot.started) return SerialIo::Done(0);
        DWORD n = 0;
        if (GetOverlappedResult(handle_.get(), &slot.overlapped, &n, FALSE)) {
            slot.started = false;
            return SerialIo::Done(n);
        }
        const DWORD error = GetLastError();
        if (error == ERROR_IO_INCOMPLETE) return SerialIo::Pending();
        slot.started = false;
        return SerialIo::Fail(error);
    }

    UniqueHandle handle_;
    std::unique_ptr<IoState> owned_;  // released, never freed, when an operation outlives Close
    IoState& io_;
};

// 0 when `h` is a communications device, else ERROR_INVALID_FUNCTION: what the port
// functions answer for other handles, and what every system reports for such a name.
DWORD CommDeviceError(HANDLE h) {
    DCB dcb{};
    dcb.DCBlength = sizeof(DCB);
    const bool comm = GetFileType(h) == FILE_TYPE_CHAR && ::GetCommState(h, &dcb);
    return comm ? 0 : ERROR_INVALID_FUNCTION;
}

}  // namespace

SerialOpenResult Win32SerialDeviceFactory::Open(const std::string& name) {
    HANDLE h = CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                           FILE_FLAG_OVERLAPPED, nullptr);
    if (h == INVALID_HANDLE_VALUE) return {nullptr, GetLastError()};
    auto device = std::make_unique<Win32SerialDevice>(h);
    // Only a communications device: a disk file or another kind of device behind the name
    // would take the commands and answer with whatever it holds.
    if (const DWORD refused = CommDeviceError(h)) return {nullptr, refused};
    if (!device->Ready()) return {nullptr, ERROR_NO_SYSTEM_RESOURCES};  // no event objects
    return {std::move(device), 0};
}

}  // namespace tarvelin::platform
