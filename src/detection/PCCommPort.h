#pragma once
// The program's serial port. Opens a COM device by name, exposes its line configuration and
// time-outs as indexed properties, sends text and delivers received text and failures as
// events. It never blocks: reads, writes and the line-event watch run asynchronously and are
// collected only when the owner calls Poll.
//
// Failures are reported through OnError; while OnErrorCOM is true (the default) and the
// handler leaves RaiseError true, they are also thrown to the caller as AppError.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "core/Event.h"
#include "platform/PassKey.h"
#include "platform/SerialDevice.h"

namespace tarvelin {

inline constexpr int32_t kCommErrInvalid = 31000;
inline constexpr int32_t kCommErrClose = 31010;
inline constexpr int32_t kCommErrNotOpen = 31011;
inline constexpr int32_t kCommErrModemStatus = 31012;
inline constexpr int32_t kCommErrRead = 31013;
inline constexpr int32_t kCommErrEventWatch = 31014;

class PCCommPort : public std::enable_shared_from_this<PCCommPort> {
  public:
    static std::shared_ptr<PCCommPort> Create() {
        return std::make_shared<PCCommPort>(PassKey<PCCommPort>{});
    }
    explicit PCCommPort(PassKey<PCCommPort>);
    ~PCCommPort();
    PCCommPort(const PCCommPort&) = delete;
    PCCommPort& operator=(const PCCommPort&) = delete;

    static constexpr int32_t kBaudRateCount = 15;
    static constexpr int32_t kBufferSize = 1024;  // most bytes moved by one read or write
    static constexpr uint32_t kEventMask = platform::kEvErr;

    // --- Properties -------------------------------------------------------------------
    // While OnClose runs the port still counts as open under its old handle: the device is
    // closed, and the handle and name are given up when the handlers have returned.
    uintptr_t DevHandle() const { return device_ ? device_->Handle() : closingHandle_.value_or(0); }
    const std::string& DevName() const { return devName_; }
    bool PortOpen() const { return device_ != nullptr || closingHandle_.has_value(); }

    bool PropFlag(int32_t index);
    void SetPropFlag(int32_t index, bool value);
    uint8_t PropChar(int32_t index);
    void SetPropChar(int32_t index, uint8_t value);
    uint16_t PropLimit(int32_t index);
    void SetPropLimit(int32_t index, uint16_t value);
    int32_t PropFlowControl(int32_t index);
    void SetPropFlowControl(int32_t index, int32_t value);
    uint32_t Timeouts(int32_t index);
    void SetTimeouts(int32_t index, uint32_t value);
    // Asks the device for a modem line: 1 CTS, 2 DSR, 3 ring, 4 carrier detect.
    bool Status(int32_t index);

    int32_t PropBaudRate() const;
    void SetPropBaudRate(int32_t position);
    uint32_t PropBaudRateValue() const { return dcb_.BaudRate(); }
    int32_t PropStopBits() const { return dcb_.Get8(platform::Dcb::kStopBits); }
    void SetPropStopBits(int32_t value);
    int32_t PropParity() const { return dcb_.Get8(platform::Dcb::kParity); }
    void SetPropParity(int32_t value);
    int32_t PropByteSize() const { return PropByteSizeValue() - 3; }
    void SetPropByteSize(int32_t value);
    int32_t PropByteSizeValue() const { return dcb_.Get8(platform::Dcb::kByteSize); }

    bool OnErrorCOM() const { return onErrorCOM_; }
    void SetOnErrorCOM(bool value) { onErrorCOM_ = value; }

    static constexpr int32_t PropBaudRateEnumCount() { return kBaudRateCount; }
    uint32_t PropBaudRateEnumValue(int32_t position);

    // --- Operations -------------------------------------------------------------------
    // Opens and prepares the device; returns its handle, or 0 on failure.
    uintptr_t CommOpen(const std::string& deviceName, uint32_t inQueue, uint32_t outQueue);
    bool CommClose();
    bool CommOutput(const std::string& text);
    bool TimeoutsGet();
    bool TimeoutsSet();
    bool PropStateGet();
    bool PropStateSet();

    void Poll();
    void PollWrite();
    void PollRead();
    void PollEventWatch();
    void ProcessWriteComplete();
    void ProcessReadComplete();

    // --- Events, in their order of declaration -----------------------------------------
    Event<> OnOpen;
    Event<> OnClose;
    Event<int32_t>
        OnLineError;  // 1 rx overflow, 2 overrun, 3 parity, 4 framing, 5 break, 6 tx full
    Event<const std::string&> OnInput;
    Event<int32_t, const std::string&, const std::string&, bool&> OnError;

  private:
    enum Slot : size_t { kReadSlot = 0, kWriteSlot = 1, kEventSlot = 2 };

    void SetDefaults();
    void pStartInput();
    void pStartEventWatch();
    void ProcessEventComplete();
    void RaiseLineErrors(uint32_t errors);
    // Reports a failure through OnError and, while OnErrorCOM is true, throws it.
    void RaiseCommError(std::string operation, int32_t number, std::string description);
    bool RequireOpen(const char* operation);
    // Stores value + bias in a one-byte field when value lies in low..high, else reports.
    void LetByte(const char* operation, const char* description, size_t at, int32_t value,
                 int32_t low, int32_t high, int32_t bias = 0);
    // Offset of the indexed field in the configuration record, or -1 for a bad index.
    static int FlagBit(int32_t index);
    static int CharOffset(int32_t index);
    static int LimitOffset(int32_t index);
    uint32_t* TimeoutField(int32_t index);

    std::unique_ptr<platform::ISerialDevice> device_;
    // The old handle while OnClose is raised for a device already closed.
    std::optional<uintptr_t> closingHandle_;
    std::string devName_;
    platform::Dcb dcb_;
    platform::CommTimeouts timeouts_;
    bool onErrorCOM_ = true;
    std::array<uint8_t, kBufferSize + 1> readBuffer_{};
    std::array<uint8_t, kBufferSize + 1> writeBuffer_{};
    std::array<bool, 3> pending_{};
    std::string pendingOutput_;
    uint32_t bytesRead_ = 0;
    uint32_t eventResult_ = 0;
};

}  // namespace tarvelin
