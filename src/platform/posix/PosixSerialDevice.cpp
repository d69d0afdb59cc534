#include "platform/posix/PosixSerialDevice.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <optional>
#include <utility>
#include <vector>

namespace tarvelin::platform {
namespace {

constexpr uint32_t kSerialErrInvalidFunction = 1;
constexpr uint32_t kSerialErrInvalidParameter = 87;

class UniqueFd {
  public:
    explicit UniqueFd(int fd = -1) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&&) = delete;
    ~UniqueFd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

struct BaudEntry {
    uint32_t rate;
    speed_t speed;
};
// The rates both systems name; 14400, 56000, 128000 and 256000 have no Linux constant.
constexpr BaudEntry kBauds[] = {
    {110, B110},       {300, B300},       {600, B600},       {1200, B1200},    {2400, B2400},
    {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},  {57600, B57600},
    {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600}};

std::optional<speed_t> SpeedOf(uint32_t rate) {
    for (const auto& b : kBauds)
        if (b.rate == rate) return b.speed;
    return std::nullopt;
}

uint32_t RateOf(speed_t speed) {
    for (const auto& b : kBauds)
        if (b.speed == speed) return b.rate;
    return 0;
}

// Raw bytes both ways; with VMIN 1 a non-blocking read without data fails with EAGAIN, so a
// read of 0 bytes can only mean the other side hung up.
void MakeRaw(termios& t) {
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
}

short PollOnce(int fd, short events) {
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, 0) > 0 ? p.revents : 0;
}

bool TransientErrno() {
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
}

void ApplyCharFormat(const Dcb& dcb, termios& t) {
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    const uint8_t bits = dcb.Get8(Dcb::kByteSize);
    if (bits >= 5 && bits <= 8) t.c_cflag = (t.c_cflag & ~CSIZE) | kSizes[bits - 5];

    t.c_cflag &= ~(PARENB | PARODD | CMSPAR);
    static constexpr tcflag_t kParity[] = {0, PARENB | PARODD, PARENB, PARENB | PARODD | CMSPAR,
                                           PARENB | CMSPAR};
    const uint8_t parity = dcb.Get8(Dcb::kParity);
    if (parity <= 4) t.c_cflag |= kParity[parity];
    if (dcb.Flag(Dcb::kParityCheck)) t.c_iflag |= INPCK;

    // Linux knows no one-and-a-half stop bits; two is the nearer setting.
    if (dcb.Get8(Dcb::kStopBits) != 0)
        t.c_cflag |= CSTOPB;
    else
        t.c_cflag &= ~CSTOPB;
}

void ApplyFlowControl(const Dcb& dcb, termios& t) {
    const bool hardware =
        dcb.Flag(Dcb::kOutxCtsFlow) || dcb.Flag(Dcb::kRtsControl, 2) == Dcb::kRtsHandshake;
    if (hardware)
        t.c_cflag |= CRTSCTS;
    else
        t.c_cflag &= ~CRTSCTS;
    if (dcb.Flag(Dcb::kOutX)) t.c_iflag |= IXON;
    if (dcb.Flag(Dcb::kInX)) t.c_iflag |= IXOFF;
    t.c_cc[VSTART] = static_cast<cc_t>(dcb.Get8(Dcb::kXonChar));
    t.c_cc[VSTOP] = static_cast<cc_t>(dcb.Get8(Dcb::kXoffChar));
}

void ReadTermios(const termios& t, Dcb& dcb) {
    dcb = Dcb();
    dcb.SetBaudRate(RateOf(cfgetospeed(&t)));
    dcb.SetFlag(Dcb::kBinary, 1);
    dcb.SetFlag(Dcb::kParityCheck, (t.c_iflag & INPCK) ? 1 : 0);
    const bool hardware = (t.c_cflag & CRTSCTS) != 0;
    dcb.SetFlag(Dcb::kOutxCtsFlow, hardware ? 1 : 0);
    dcb.SetFlag(Dcb::kDtrControl, 1, 2);  // the kernel raises DTR on open
    dcb.SetFlag(Dcb::kRtsControl, hardware ? Dcb::kRtsHandshake : 1, 2);
    dcb.SetFlag(Dcb::kOutX, (t.c_iflag & IXON) ? 1 : 0);
    dcb.SetFlag(Dcb::kInX, (t.c_iflag & IXOFF) ? 1 : 0);

    static constexpr uint8_t kBits[] = {5, 6, 7, 8};
    dcb.Set8(Dcb::kByteSize, kBits[(t.c_cflag & CSIZE) == CS5   ? 0
                                   : (t.c_cflag & CSIZE) == CS6 ? 1
                                   : (t.c_cflag & CSIZE) == CS7 ? 2
                                                                : 3]);
    uint8_t parity = 0;
    if (t.c_cflag & PARENB) {
        const bool odd = (t.c_cflag & PARODD) != 0;
        parity = (t.c_cflag & CMSPAR) ? (odd ? 3 : 4) : (odd ? 1 : 2);
    }
    dcb.Set8(Dcb::kParity, parity);
    dcb.Set8(Dcb::kStopBits, (t.c_cflag & CSTOPB) ? 2 : 0);
    dcb.Set8(Dcb::kXonChar, t.c_cc[VSTART]);
    dcb.Set8(Dcb::kXoffChar, t.c_cc[VSTOP]);
}

class PosixSerialDevice : public ISerialDevice {
  public:
    explicit PosixSerialDevice(UniqueFd fd) : fd_(std::move(fd)) { counted_ = Counters(); }

    uintptr_t Handle() const override { return static_cast<uintptr_t>(fd_.get()); }
    bool Close() override { return ::close(fd_.release()) == 0 || errno == EINTR; }

    bool SetupComm(uint32_t, uint32_t) override { return true; }  // kernel queues are fixed
    bool GetCommTimeouts(CommTimeouts& timeouts) override {
        timeouts = timeouts_;
        return true;
    }
    // Kept for the record only: every call here returns at once, so time-outs never apply.
    bool SetCommTimeouts(const CommTimeouts& timeouts) override {
        timeouts_ = timeouts;
        return true;
    }
    bool GetCommState(Dcb& dcb) override;
    bool SetCommState(const Dcb& dcb) override;
    bool SetCommMask(uint32_t mask) override {
        mask_ = mask;
        return true;
    }
    bool ClearCommError(uint32_t& errors) override;
    bool GetCommModemStatus(uint32_t& status) override;

    SerialIo StartRead(std::span<uint8_t> into) override;
    SerialIo StartWrite(std::span<const uint8_t> bytes) override;
    SerialIo StartEventWatch() override;
    bool Signalled(SerialSlot slot) override;
    SerialIo FinishRead(std::span<uint8_t> into) override;
    SerialIo FinishWrite() override;
    SerialIo FinishEventWatch() override;

  private:
    std::optional<serial_icounter_struct> Counters() const;
    void FlushWrite();
    bool ErrorsSince(const serial_icounter_struct& before) const;

    UniqueFd fd_;
    CommTimeouts timeouts_;
    uint32_t mask_ = 0;
    bool readPending_ = false;
    bool writePending_ = false;
    std::vector<uint8_t> writeData_;
    size_t written_ = 0;
    uint32_t writeError_ = 0;
    bool watchPending_ = false;
    std::optional<serial_icounter_struct> watchFrom_;  // counters when the watch began
    std::optional<serial_icounter_struct> counted_;    // counters at the last error clear
};

bool PosixSerialDevice::GetCommState(Dcb& dcb) {
    termios t{};
    if (tcgetattr(fd_.get(), &t) != 0) return false;
    ReadTermios(t, dcb);
    return true;
}

bool PosixSerialDevice::SetCommState(const Dcb& dcb) {
    termios t{};
    if (tcgetattr(fd_.get(), &t) != 0) return false;
    const termios before = t;
    MakeRaw(t);
    if (auto speed = SpeedOf(dcb.BaudRate())) {
        cfsetispeed(&t, *speed);
        cfsetospeed(&t, *speed);
    }
    ApplyCharFormat(dcb, t);
    ApplyFlowControl(dcb, t);
    if (tcsetattr(fd_.get(), TCSANOW, &t) == 0) return true;
    // Some drivers (pseudo-terminals among them) refuse settings they cannot honour; the
    // raw byte stream the dialogue needs must survive that.
    t = before;
    MakeRaw(t);
    tcsetattr(fd_.get(), TCSANOW, &t);
    return false;
}

std::optional<serial_icounter_struct> PosixSerialDevice::Counters() const {
    serial_icounter_struct c{};
    if (ioctl(fd_.get(), TIOCGICOUNT, &c) != 0) return std::nullopt;  // e.g. pseudo-terminals
    return c;
}

bool PosixSerialDevice::ErrorsSince(const serial_icounter_struct& before) const {
    auto now = Counters();
    return now &&
           (now->buf_overrun != before.buf_overrun || now->overrun != before.overrun ||
            now->parity != before.parity || now->frame != before.frame || now->brk != before.brk);
}

bool PosixSerialDevice::ClearCommError(uint32_t& errors) {
    errors = 0;
    auto now = Counters();
    if (!now || !counted_) return true;  // the driver keeps no error counts
    const auto& was = *counted_;
    if (now->buf_overrun != was.buf_overrun) errors |= kCeRxOver;
    if (now->overrun != was.overrun) errors |= kCeOverrun;
    if (now->parity != was.parity) errors |= kCeRxParity;
    if (now->frame != was.frame) errors |= kCeFrame;
    if (now->brk != was.brk) errors |= kCeBreak;
    counted_ = now;
    return true;
}

bool PosixSerialDevice::GetCommModemStatus(uint32_t& status) {
    int lines = 0;
    if (ioctl(fd_.get(), TIOCMGET, &lines) != 0) return false;
    status = ((lines & TIOCM_CTS) ? kMsCtsOn : 0) | ((lines & TIOCM_DSR) ? kMsDsrOn : 0) |
             ((lines & TIOCM_RI) ? kMsRingOn : 0) | ((lines & TIOCM_CD) ? kMsRlsdOn : 0);
    return true;
}

SerialIo PosixSerialDevice::StartRead(std::span<uint8_t> into) {
    const ssize_t n = ::read(fd_.get(), into.data(), into.size());
    if (n > 0) return SerialIo::Done(static_cast<uint32_t>(n));
    if (n < 0 && !TransientErrno()) return SerialIo::Fail(WindowsErrorFromErrno(errno));
    if (n == 0 && (PollOnce(fd_.get(), POLLIN) & (POLLHUP | POLLERR | POLLNVAL)))
        return SerialIo::Fail(kSerialErrGenFailure);  // the device went away
    readPending_ = true;
    return SerialIo::Pending();
}

SerialIo PosixSerialDevice::FinishRead(std::span<uint8_t> into) {
    if (!std::exchange(readPending_, false)) return SerialIo::Done(0);
    // A failure here shows again, and is reported, when the next read starts.
    const ssize_t n = ::read(fd_.get(), into.data(), into.size());
    return SerialIo::Done(n > 0 ? static_cast<uint32_t>(n) : 0);
}

void PosixSerialDevice::FlushWrite() {
    while (written_ < writeData_.size() && writeError_ == 0) {
        const ssize_t n =
            ::write(fd_.get(), writeData_.data() + written_, writeData_.size() - written_);
        if (n > 0) {
            written_ += static_cast<size_t>(n);
        } else if (n < 0 && TransientErrno()) {
            return;
        } else {
            writeError_ = n < 0 ? WindowsErrorFromErrno(errno) : kSerialErrGenFailure;
        }
    }
}

SerialIo PosixSerialDevice::StartWrite(std::span<const uint8_t> bytes) {
    writeData_.assign(bytes.begin(), bytes.end());
    written_ = 0;
    writeError_ = 0;
    FlushWrite();
    if (writeError_ != 0) return SerialIo::Fail(writeError_);
    if (written_ == writeData_.size()) return SerialIo::Done(static_cast<uint32_t>(written_));
    writePending_ = true;
    return SerialIo::Pending();
}

SerialIo PosixSerialDevice::FinishWrite() {
    if (!std::exchange(writePending_, false)) return SerialIo::Done(0);
    if (writeError_ != 0) return SerialIo::Fail(writeError_);
    return SerialIo::Done(static_cast<uint32_t>(written_));
}

SerialIo PosixSerialDevice::StartEventWatch() {
    // Without error counters (or without EV_ERR in the mask) the watch never completes, as a
    // wait for events that cannot happen.
    watchFrom_ = (mask_ & kEvErr) ? Counters() : std::nullopt;
    watchPending_ = true;
    return SerialIo::Pending();
}

SerialIo PosixSerialDevice::FinishEventWatch() {
    if (!std::exchange(watchPending_, false)) return SerialIo::Done(0);
    return SerialIo::Done(watchFrom_ && ErrorsSince(*watchFrom_) ? kEvErr : 0);
}

bool PosixSerialDevice::Signalled(SerialSlot slot) {
    switch (slot) {
        case SerialSlot::Read:
            return !readPending_ || PollOnce(fd_.get(), POLLIN) != 0;
        case SerialSlot::Write:
            if (!writePending_) return true;
            if (PollOnce(fd_.get(), POLLOUT) & (POLLHUP | POLLERR | POLLNVAL))
                writeError_ = kSerialErrGenFailure;
            FlushWrite();
            return writeError_ != 0 || written_ == writeData_.size();
        case SerialSlot::Event:
            return !watchPending_ || (watchFrom_ && ErrorsSince(*watchFrom_));
    }
    return true;
}

// Keeps descriptors 0 to 2 free, so a device handle is never 0.
int MoveAboveStdio(int fd) {
    if (fd > 2) return fd;
    const int moved = fcntl(fd, F_DUPFD_CLOEXEC, 3);
    ::close(fd);
    return moved;
}

}  // namespace

std::string PosixDevicePath(const std::string& name) {
    const std::string_view prefix = kDevicePrefix;
    std::string path = name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
    return path.find('/') == std::string::npos ? "/dev/" + path : path;
}

uint32_t WindowsErrorFromErrno(int err) {
    switch (err) {
        case ENOENT:
        case ENODEV:
        case ENXIO:
        case ENOTDIR:
            return kSerialErrFileNotFound;
        case EACCES:
        case EPERM:
        case EROFS:
            return kSerialErrAccessDenied;
        case EBUSY:
        case EWOULDBLOCK:
            return kSerialErrSharingViolation;
        case ENOTTY:
            return kSerialErrInvalidFunction;
        case EINVAL:
            return kSerialErrInvalidParameter;
        default:
            return kSerialErrGenFailure;
    }
}

SerialOpenResult PosixSerialDeviceFactory::Open(const std::string& name) {
    const int raw =
        ::open(PosixDevicePath(name).c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (raw < 0) return {nullptr, WindowsErrorFromErrno(errno)};
    UniqueFd fd(MoveAboveStdio(raw));
    if (fd.get() < 0) return {nullptr, WindowsErrorFromErrno(errno)};
    // Unshared like a Windows COM port: a second open of the same device is refused as busy.
    if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) return {nullptr, WindowsErrorFromErrno(errno)};
    termios t{};
    if (tcgetattr(fd.get(), &t) != 0) return {nullptr, WindowsErrorFromErrno(errno)};
    MakeRaw(t);
    tcsetattr(fd.get(), TCSANOW, &t);  // a refusal leaves the device usable as it is
    return {std::make_unique<PosixSerialDevice>(std::move(fd)), 0};
}

}  // namespace tarvelin::platform
