#pragma once
// A serial device opened for overlapped use. Three asynchronous slots (read, write, line-event
// watch) are started, tested without waiting and collected; nothing here ever blocks. The
// adapter owns everything the system touches while an operation is under way (buffers,
// completion records), so a device may be destroyed with operations pending.
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/LittleEndian.h"

namespace tarvelin::platform {

// System error codes the serial logic tells apart (Windows numbering on every system).
// Serial devices are opened by the name of their port after this prefix ("\\.\COM3").
inline constexpr char kDevicePrefix[] = "\\\\.\\";

inline constexpr uint32_t kSerialErrFileNotFound = 2;
inline constexpr uint32_t kSerialErrAccessDenied = 5;
inline constexpr uint32_t kSerialErrGenFailure = 31;
inline constexpr uint32_t kSerialErrSharingViolation = 32;
inline constexpr uint32_t kSerialErrNotSupported = 50;
inline constexpr uint32_t kSerialErrIoPending = 997;

// Line events and errors in their Windows bit values.
inline constexpr uint32_t kEvErr = 0x80;
inline constexpr uint32_t kCeRxOver = 0x1, kCeOverrun = 0x2, kCeRxParity = 0x4, kCeFrame = 0x8,
                          kCeBreak = 0x10, kCeTxFull = 0x100;
// Modem line states as the modem-status query reports them.
inline constexpr uint32_t kMsCtsOn = 0x10, kMsDsrOn = 0x20, kMsRingOn = 0x40, kMsRlsdOn = 0x80;

// The line configuration in the 28-byte Windows device-control block layout, little endian.
// Fields are read and written at their explicit offsets; flag fields by bit position in the
// 32-bit flag word at offset 8 (bit 0 binary mode, 1 parity check, 2 CTS flow, ...).
class Dcb {
  public:
    static constexpr size_t kSize = 28;
    enum Offset : size_t {
        kLength = 0,
        kBaudRate = 4,
        kFlags = 8,
        kXonLim = 14,
        kXoffLim = 16,
        kByteSize = 18,
        kParity = 19,
        kStopBits = 20,
        kXonChar = 21,
        kXoffChar = 22,
        kErrorChar = 23,
        kEofChar = 24,
        kEvtChar = 25,
    };
    // Flag bit positions used by the adapters.
    enum Bit : unsigned {
        kBinary = 0,
        kParityCheck = 1,
        kOutxCtsFlow = 2,
        kOutxDsrFlow = 3,
        kDtrControl = 4,  // two bits
        kOutX = 8,
        kInX = 9,
        kRtsControl = 12,  // two bits
    };
    static constexpr uint32_t kRtsHandshake = 2;

    Dcb() { Set32(kLength, kSize); }

    uint32_t Get32(size_t at) const { return LoadLe32(&bytes_[at]); }
    void Set32(size_t at, uint32_t v) { StoreLe32(&bytes_[at], v); }
    uint16_t Get16(size_t at) const { return LoadLe16(&bytes_[at]); }
    void Set16(size_t at, uint16_t v) { StoreLe16(&bytes_[at], v); }
    uint8_t Get8(size_t at) const { return bytes_[at]; }
    void Set8(size_t at, uint8_t v) { bytes_[at] = v; }

    // A field of `width` bits starting at flag bit `bit`.
    uint32_t Flag(unsigned bit, unsigned width = 1) const {
        return (Get32(kFlags) >> bit) & ((1u << width) - 1);
    }
    void SetFlag(unsigned bit, uint32_t value, unsigned width = 1) {
        const uint32_t mask = ((1u << width) - 1) << bit;
        Set32(kFlags, (Get32(kFlags) & ~mask) | ((value << bit) & mask));
    }

    uint32_t BaudRate() const { return Get32(kBaudRate); }
    void SetBaudRate(uint32_t v) { Set32(kBaudRate, v); }

    std::array<uint8_t, kSize>& Bytes() { return bytes_; }
    const std::array<uint8_t, kSize>& Bytes() const { return bytes_; }

  private:
    std::array<uint8_t, kSize> bytes_{};
};

// The five time-outs in the order of the Windows COMMTIMEOUTS record, in milliseconds.
struct CommTimeouts {
    uint32_t ReadIntervalTimeout = 0;
    uint32_t ReadTotalTimeoutMultiplier = 0;
    uint32_t ReadTotalTimeoutConstant = 0;
    uint32_t WriteTotalTimeoutMultiplier = 0;
    uint32_t WriteTotalTimeoutConstant = 0;
};

enum class SerialSlot : int { Read = 0, Write = 1, Event = 2 };

// The outcome of starting or collecting one asynchronous operation.
struct SerialIo {
    enum class Status : uint8_t { Complete, Pending, Failed };
    Status status = Status::Failed;
    uint32_t count = 0;  // Complete: bytes moved, or the event bits of a finished watch
    uint32_t error = 0;  // Failed: the system error code (Windows numbering)

    static SerialIo Done(uint32_t n) { return {Status::Complete, n, 0}; }
    static SerialIo Pending() { return {Status::Pending, 0, 0}; }
    static SerialIo Fail(uint32_t e) { return {Status::Failed, 0, e}; }
};

class ISerialDevice {
  public:
    virtual ~ISerialDevice() = default;  // cancels pending operations, then closes

    // The system handle (a HANDLE or a file descriptor); never 0 while open.
    virtual uintptr_t Handle() const = 0;
    // Closes the device; false when the system reported a failure. The handle is released
    // either way and the device must not be used afterwards.
    virtual bool Close() = 0;

    virtual bool SetupComm(uint32_t inQueue, uint32_t outQueue) = 0;
    virtual bool GetCommTimeouts(CommTimeouts& timeouts) = 0;
    virtual bool SetCommTimeouts(const CommTimeouts& timeouts) = 0;
    virtual bool GetCommState(Dcb& dcb) = 0;
    virtual bool SetCommState(const Dcb& dcb) = 0;
    virtual bool SetCommMask(uint32_t mask) = 0;
    virtual bool ClearCommError(uint32_t& errors) = 0;
    virtual bool GetCommModemStatus(uint32_t& status) = 0;

    // Starts a read of up to into.size() bytes; on immediate completion the bytes are in `into`.
    virtual SerialIo StartRead(std::span<uint8_t> into) = 0;
    // Starts a write; the bytes are copied, so the caller's buffer is free at once.
    virtual SerialIo StartWrite(std::span<const uint8_t> bytes) = 0;
    // Starts a wait for the masked line events; count holds the event bits when complete.
    virtual SerialIo StartEventWatch() = 0;
    // Whether the slot's completion signal is set, tested without waiting. A slot with no
    // operation under way reads as set, and collecting it gives nothing.
    virtual bool Signalled(SerialSlot slot) = 0;
    // Collects a signalled operation: the bytes read (copied into `into`), the bytes
    // written, or the event bits.
    virtual SerialIo FinishRead(std::span<uint8_t> into) = 0;
    virtual SerialIo FinishWrite() = 0;
    virtual SerialIo FinishEventWatch() = 0;
};

struct SerialOpenResult {
    std::unique_ptr<ISerialDevice> device;  // null when the open failed
    uint32_t error = 0;                     // the system error code of a failed open
};

class ISerialDeviceFactory {
  public:
    virtual ~ISerialDeviceFactory() = default;
    // Opens a device for reading and writing, unshared, existing devices only, overlapped.
    // `name` is the full device name, such as "\\.\COM5".
    virtual SerialOpenResult Open(const std::string& name) = 0;
};

}  // namespace tarvelin::platform
