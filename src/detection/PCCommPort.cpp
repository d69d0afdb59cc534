#include "detection/PCCommPort.h"

#include <algorithm>
#include <utility>

#include "core/AppError.h"
#include "core/AppState.h"

namespace tarvelin {

using platform::Dcb;
using platform::SerialIo;
using platform::SerialSlot;

namespace {

constexpr std::array<uint32_t, PCCommPort::kBaudRateCount> kBaudRates = {
    110,   300,   600,   1200,  2400,   4800,   9600,  14400,
    19200, 38400, 56000, 57600, 115200, 128000, 256000};

// PropFlag index 1..10 → bit of the flag word.
constexpr std::array<int, 10> kFlagBits = {1, 2, 3, 6, 7, 8, 9, 10, 11, 14};
constexpr std::array<int, 5> kCharOffsets = {Dcb::kXonChar, Dcb::kXoffChar, Dcb::kErrorChar,
                                             Dcb::kEofChar, Dcb::kEvtChar};
constexpr std::array<int, 2> kLimitOffsets = {Dcb::kXonLim, Dcb::kXoffLim};
constexpr std::array<uint32_t, 4> kModemLines = {platform::kMsCtsOn, platform::kMsDsrOn,
                                                 platform::kMsRingOn, platform::kMsRlsdOn};
// Line error bits in the order of the OnLineError kinds 1 to 6.
constexpr std::array<uint32_t, 6> kLineErrorBits = {platform::kCeRxOver,   platform::kCeOverrun,
                                                    platform::kCeRxParity, platform::kCeFrame,
                                                    platform::kCeBreak,    platform::kCeTxFull};
constexpr unsigned kDtrBits = 4, kRtsBits = 12, kControlWidth = 2;
constexpr int32_t kMaxDtrControl = 2, kMaxRtsControl = 3;

template <size_t N, typename T>
int Lookup(const std::array<T, N>& table, int32_t index) {
    return index >= 1 && index <= static_cast<int32_t>(N) ? static_cast<int>(table[index - 1]) : -1;
}

}  // namespace

PCCommPort::PCCommPort(PassKey<PCCommPort>) {
    SetDefaults();
}

PCCommPort::~PCCommPort() {
    // The device's own destructor cancels what is under way and closes it. No events are
    // raised from a dying object.
    device_.reset();
}

void PCCommPort::SetDefaults() {
    dcb_.SetFlag(Dcb::kBinary, 1);  // the only mode Windows drivers accept
    for (int32_t index = 2; index <= 10; ++index) dcb_.SetFlag(FlagBit(index), 1);
    const std::array<uint8_t, 5> chars = {17, 19, '~', 26, 255};
    for (int32_t index = 1; index <= 5; ++index) dcb_.Set8(CharOffset(index), chars[index - 1]);
    dcb_.Set16(Dcb::kXonLim, 100);
    dcb_.Set16(Dcb::kXoffLim, 1948);
    dcb_.SetFlag(kRtsBits, 1, kControlWidth);
    dcb_.Set8(Dcb::kStopBits, 0);
    dcb_.Set8(Dcb::kParity, 0);
    dcb_.Set8(Dcb::kByteSize, 8);
}

int PCCommPort::FlagBit(int32_t index) {
    return Lookup(kFlagBits, index);
}
int PCCommPort::CharOffset(int32_t index) {
    return Lookup(kCharOffsets, index);
}
int PCCommPort::LimitOffset(int32_t index) {
    return Lookup(kLimitOffsets, index);
}

uint32_t* PCCommPort::TimeoutField(int32_t index) {
    std::array<uint32_t*, 5> fields = {
        &timeouts_.ReadIntervalTimeout, &timeouts_.ReadTotalTimeoutMultiplier,
        &timeouts_.ReadTotalTimeoutConstant, &timeouts_.WriteTotalTimeoutMultiplier,
        &timeouts_.WriteTotalTimeoutConstant};
    return index >= 1 && index <= 5 ? fields[index - 1] : nullptr;
}

// --- Failure reporting ----------------------------------------------------------------

void PCCommPort::RaiseCommError(std::string operation, int32_t number, std::string description) {
    auto self = shared_from_this();  // a handler may drop the port
    std::replace(operation.begin(), operation.end(), ' ', '_');
    if (number == kCommErrNotOpen) description = "Communication Device is not open";
    if (number == kCommErrModemStatus) description = "GetCommModemStatus Failed";
    const std::string source = "CCommPort::" + operation;
    bool raiseError = true;
    OnError.Raise(number, source, description, raiseError);
    if (onErrorCOM_ && raiseError) throw AppError(number, source, description);
}

bool PCCommPort::RequireOpen(const char* operation) {
    if (device_) return true;
    RaiseCommError(operation, kCommErrNotOpen, {});
    return false;
}

// --- Indexed properties ---------------------------------------------------------------

bool PCCommPort::PropFlag(int32_t index) {
    const int bit = FlagBit(index);
    if (bit < 0) {
        RaiseCommError("Get PropFlag", kCommErrInvalid, "Invalid type flag");
        return false;
    }
    return dcb_.Flag(bit) != 0;
}

void PCCommPort::SetPropFlag(int32_t index, bool value) {
    const int bit = FlagBit(index);
    if (bit < 0) return RaiseCommError("Let PropFlag", kCommErrInvalid, "Invalid type flag");
    dcb_.SetFlag(bit, value ? 1 : 0);
}

uint8_t PCCommPort::PropChar(int32_t index) {
    const int at = CharOffset(index);
    if (at < 0) {
        RaiseCommError("Get PropChar", kCommErrInvalid, "Invalid type char");
        return 0;
    }
    return dcb_.Get8(at);
}

void PCCommPort::SetPropChar(int32_t index, uint8_t value) {
    const int at = CharOffset(index);
    if (at < 0) return RaiseCommError("Let PropChar", kCommErrInvalid, "Invalid type char");
    dcb_.Set8(at, value);
}

uint16_t PCCommPort::PropLimit(int32_t index) {
    const int at = LimitOffset(index);
    if (at < 0) {
        RaiseCommError("Get PropLimit", kCommErrInvalid, "Invalid type comm lim");
        return 0;
    }
    return dcb_.Get16(at);
}

void PCCommPort::SetPropLimit(int32_t index, uint16_t value) {
    const int at = LimitOffset(index);
    if (at < 0) return RaiseCommError("Let PropLimit", kCommErrInvalid, "Invalid type comm lim");
    dcb_.Set16(at, value);
}

int32_t PCCommPort::PropFlowControl(int32_t index) {
    if (index == 1) return static_cast<int32_t>(dcb_.Flag(kDtrBits, kControlWidth));
    if (index == 2) return static_cast<int32_t>(dcb_.Flag(kRtsBits, kControlWidth));
    RaiseCommError("Get PropFlowControl", kCommErrInvalid, "Invalid flow control type");
    return 0;
}

void PCCommPort::SetPropFlowControl(int32_t index, int32_t value) {
    const char* op = "Let PropFlowControl";
    if (index == 1) {
        if (value < 0 || value > kMaxDtrControl)
            return RaiseCommError(op, kCommErrInvalid, "Invalid fDtrControl setting");
        return dcb_.SetFlag(kDtrBits, static_cast<uint32_t>(value), kControlWidth);
    }
    if (index == 2) {
        if (value < 0 || value > kMaxRtsControl)
            return RaiseCommError(op, kCommErrInvalid, "Invalid fRtsControl setting");
        return dcb_.SetFlag(kRtsBits, static_cast<uint32_t>(value), kControlWidth);
    }
    RaiseCommError(op, kCommErrInvalid, "Invalid flow control type");
}

uint32_t PCCommPort::Timeouts(int32_t index) {
    const uint32_t* field = TimeoutField(index);
    if (field == nullptr) {
        RaiseCommError("Get Timeouts", kCommErrInvalid, "Invalid type timeout");
        return 0;
    }
    return *field;
}

void PCCommPort::SetTimeouts(int32_t index, uint32_t value) {
    uint32_t* field = TimeoutField(index);
    if (field == nullptr)
        return RaiseCommError("Let Timeouts", kCommErrInvalid, "Invalid type timeout");
    *field = value;
}

bool PCCommPort::Status(int32_t index) {
    const char* op = "Get Status";
    if (index < 1 || index > 4) {
        RaiseCommError(op, kCommErrInvalid, "Invalid type comm status");
        return false;
    }
    if (!RequireOpen(op)) return false;
    uint32_t status = 0;
    if (!device_->GetCommModemStatus(status)) {
        RaiseCommError(op, kCommErrModemStatus, {});
        return false;
    }
    return (status & kModemLines[index - 1]) != 0;
}

// --- Plain properties -----------------------------------------------------------------

int32_t PCCommPort::PropBaudRate() const {
    auto it = std::find(kBaudRates.begin(), kBaudRates.end(), dcb_.BaudRate());
    return it == kBaudRates.end() ? 0 : static_cast<int32_t>(it - kBaudRates.begin()) + 1;
}

uint32_t PCCommPort::PropBaudRateEnumValue(int32_t position) {
    if (position < 1 || position > kBaudRateCount) {
        RaiseCommError("PropBaudRateEnumValue", kCommErrInvalid, "Invalid baud rate");
        return 0;
    }
    return kBaudRates[position - 1];
}

void PCCommPort::SetPropBaudRate(int32_t position) {
    const uint32_t rate = PropBaudRateEnumValue(position);
    if (rate == 0) return RaiseCommError("Let PropBaudRate", kCommErrInvalid, "Invalid baud rate");
    dcb_.SetBaudRate(rate);
}

void PCCommPort::LetByte(const char* operation, const char* description, size_t at, int32_t value,
                         int32_t low, int32_t high, int32_t bias) {
    if (value < low || value > high) return RaiseCommError(operation, kCommErrInvalid, description);
    dcb_.Set8(at, static_cast<uint8_t>(value + bias));
}

void PCCommPort::SetPropStopBits(int32_t value) {
    LetByte("Let PropStopBits", "Invalid Stop bits", Dcb::kStopBits, value, 0, 2);
}

void PCCommPort::SetPropParity(int32_t value) {
    LetByte("Let PropParity", "Invalid Parity setting", Dcb::kParity, value, 0, 4);
}

void PCCommPort::SetPropByteSize(int32_t value) {
    // Positions 1 to 5 stand for 4 to 8 data bits.
    LetByte("Let PropByteSize", "Invalid Byte size setting", Dcb::kByteSize, value, 1, 5, 3);
}

// --- Device records -------------------------------------------------------------------

bool PCCommPort::TimeoutsGet() {
    return RequireOpen("TimeoutsGet") && device_->GetCommTimeouts(timeouts_);
}
bool PCCommPort::TimeoutsSet() {
    return RequireOpen("TimeoutsSet") && device_->SetCommTimeouts(timeouts_);
}
bool PCCommPort::PropStateGet() {
    return RequireOpen("PropStateGet") && device_->GetCommState(dcb_);
}
bool PCCommPort::PropStateSet() {
    return RequireOpen("PropStateSet") && device_->SetCommState(dcb_);
}

// --- Open and close -------------------------------------------------------------------

uintptr_t PCCommPort::CommOpen(const std::string& deviceName, uint32_t inQueue, uint32_t outQueue) {
    auto self = shared_from_this();
    if (device_) CommClose();

    platform::ISerialDeviceFactory* factory =
        AppState().platform ? AppState().platform->serial : nullptr;
    platform::SerialOpenResult opened =
        factory ? factory->Open(deviceName)
                : platform::SerialOpenResult{nullptr, platform::kSerialErrNotSupported};
    if (!opened.device) {
        devName_.clear();
        RaiseCommError("CommOpen", static_cast<int32_t>(opened.error),
                       "Unable to open communications device");
        return 0;
    }
    device_ = std::move(opened.device);
    devName_ = deviceName;
    device_->SetupComm(inQueue, outQueue);

    // Reads return what has arrived after at most 10 ms instead of waiting for a full buffer.
    TimeoutsGet();
    timeouts_ = {1, 0, 10, 1, 1};
    TimeoutsSet();
    PropStateGet();
    device_->SetCommMask(kEventMask);
    // OnOpen comes before the first read, whose input may already close the port again:
    // every OnClose then follows its OnOpen.
    OnOpen.Raise();
    if (!device_) return 0;  // an OnOpen handler closed it again
    pStartInput();
    return device_ ? DevHandle() : 0;
}

bool PCCommPort::CommClose() {
    if (!device_) return false;
    auto self = shared_from_this();
    // The handle is gone whatever Close reports, so the port counts as closed either way; a
    // second close of a released handle could hit an unrelated object. Output not yet handed
    // to a write belongs to this device and is dropped with it.
    std::unique_ptr<platform::ISerialDevice> device = std::move(device_);
    pendingOutput_.clear();
    const uintptr_t handle = device->Handle();
    const bool closed = device->Close();
    device.reset();
    if (!closed) {
        devName_.clear();
        RaiseCommError("CommClose", kCommErrClose, "Unable to close communications device");
        return false;
    }
    closingHandle_ = handle;
    OnClose.Raise();
    closingHandle_.reset();
    if (!device_) devName_.clear();  // unless a handler opened it again
    return true;
}

// --- Output ---------------------------------------------------------------------------

bool PCCommPort::CommOutput(const std::string& text) {
    if (!RequireOpen("CommOutput")) return false;
    pendingOutput_ += text;
    // Each chunk that completes at once makes way for the next, as ProcessWriteComplete does.
    while (!pending_[kWriteSlot] && !pendingOutput_.empty()) {
        size_t n = std::min(pendingOutput_.size(), static_cast<size_t>(kBufferSize));
        const size_t nul = pendingOutput_.find('\0');
        if (nul < n) n = nul + 1;  // a NUL ends its chunk and is sent with it
        std::copy_n(pendingOutput_.begin(), n, writeBuffer_.begin());
        pendingOutput_.erase(0, n);

        const SerialIo io = device_->StartWrite(std::span<const uint8_t>(writeBuffer_.data(), n));
        if (io.status == SerialIo::Status::Pending) {
            pending_[kWriteSlot] = true;
        } else if (io.status == SerialIo::Status::Failed) {
            RaiseCommError("CommOutput", static_cast<int32_t>(io.error), "Error output data");
            return false;
        }
    }
    return true;
}

void PCCommPort::ProcessWriteComplete() {
    if (pending_[kWriteSlot] && device_) device_->FinishWrite();
    pending_[kWriteSlot] = false;
    CommOutput({});
}

void PCCommPort::PollWrite() {
    if (pending_[kWriteSlot] && (!device_ || device_->Signalled(SerialSlot::Write))) {
        ProcessWriteComplete();
    }
}

// --- Input ----------------------------------------------------------------------------

void PCCommPort::pStartInput() {
    if (!RequireOpen("pStartInput")) return;
    if (pending_[kReadSlot]) return;
    const SerialIo io = device_->StartRead(std::span<uint8_t>(readBuffer_.data(), kBufferSize));
    switch (io.status) {
        case SerialIo::Status::Complete:
            bytesRead_ = io.count;
            ProcessReadComplete();
            break;
        case SerialIo::Status::Pending:
            pending_[kReadSlot] = true;
            break;
        case SerialIo::Status::Failed:
            RaiseCommError("pStartInput", kCommErrRead, "Failure on Comm device read operation");
            break;
    }
}

void PCCommPort::ProcessReadComplete() {
    auto self = shared_from_this();
    if (pending_[kReadSlot]) {
        // An operation left over from a closed device is collected with nothing delivered.
        const SerialIo io =
            device_ ? device_->FinishRead(std::span<uint8_t>(readBuffer_.data(), kBufferSize))
                    : SerialIo::Done(0);
        bytesRead_ =
            io.status == SerialIo::Status::Complete ? std::min<uint32_t>(io.count, kBufferSize) : 0;
        pending_[kReadSlot] = false;
    }
    // Delivered once: the count is spent so a repeated call cannot hand the same bytes again.
    const uint32_t count = std::exchange(bytesRead_, 0);
    if (count > 0) OnInput.Raise(std::string(readBuffer_.begin(), readBuffer_.begin() + count));
}

void PCCommPort::PollRead() {
    if (!pending_[kReadSlot]) return pStartInput();
    if (!device_ || device_->Signalled(SerialSlot::Read)) ProcessReadComplete();
}

// --- Line-event watch -----------------------------------------------------------------

void PCCommPort::pStartEventWatch() {
    if (pending_[kEventSlot]) return;
    if (!RequireOpen("pStartEventWatch")) return;
    eventResult_ = 0;
    const SerialIo io = device_->StartEventWatch();
    switch (io.status) {
        case SerialIo::Status::Complete:
            eventResult_ = io.count;
            ProcessEventComplete();
            break;
        case SerialIo::Status::Pending:
            pending_[kEventSlot] = true;
            break;
        case SerialIo::Status::Failed:
            RaiseCommError("pStartEventWatch", kCommErrEventWatch,
                           "Failure on Comm device event test operation");
            break;
    }
}

void PCCommPort::ProcessEventComplete() {
    if (pending_[kEventSlot]) {
        const SerialIo io = device_ ? device_->FinishEventWatch() : SerialIo::Done(0);
        eventResult_ = io.status == SerialIo::Status::Complete ? io.count : 0;
        pending_[kEventSlot] = false;
    }
    if (std::exchange(eventResult_, 0) == 0) return;
    uint32_t errors = 0;
    if (device_ && device_->ClearCommError(errors)) RaiseLineErrors(errors);
}

void PCCommPort::RaiseLineErrors(uint32_t errors) {
    auto self = shared_from_this();
    for (size_t i = 0; i < kLineErrorBits.size(); ++i) {
        if (errors & kLineErrorBits[i]) OnLineError.Raise(static_cast<int32_t>(i + 1));
    }
}

void PCCommPort::PollEventWatch() {
    if (!pending_[kEventSlot]) return pStartEventWatch();
    if (!device_ || device_->Signalled(SerialSlot::Event)) ProcessEventComplete();
}

// --- Polling --------------------------------------------------------------------------

void PCCommPort::Poll() {
    auto self = shared_from_this();
    // An owner that closes the port from inside one step's events has finished with it;
    // the remaining steps would only report that it is not open.
    const bool wasOpen = PortOpen();
    PollWrite();
    if (wasOpen && !PortOpen()) return;
    PollRead();
    if (wasOpen && !PortOpen()) return;
    PollEventWatch();
}

}  // namespace tarvelin
