#include "detection/PCJob.h"

#include <utility>

#include "core/AppError.h"
#include "core/AppState.h"
#include "core/PCXTimer.h"
#include "core/modAppMain.h"
#include "core/modTypes.h"
#include "detection/PCCommPort.h"
#include "platform/Clock.h"

namespace tarvelin {
namespace {

constexpr char kLineEnd[] = "\r\n";
constexpr char kFinalOk[] = "OK\r\n";
constexpr char kFinalOkLine[] = "\r\nOK\r\n";
constexpr char kFinalError[] = "ERROR\r\n";
constexpr int32_t kSerialNumberStep = 8;

// Line settings for the dialogue, laid over what the driver had.
constexpr int32_t kBaud9600 = 7;
constexpr int32_t kEightDataBits = 5;
constexpr int32_t kFlagDiscardNul = 9;
constexpr int32_t kFlagReplaceParityErrors = 8;
constexpr int32_t kCharError = 3;

uint32_t Now() {
    return AppState().platform->clock->TickCount();
}

}  // namespace

const char* const PCJob::kCommands[kCommandCount] = {"AT",          "ATE0",    "AT+GMI",
                                                     "AT+CGMI",     "AT+GMM",  "AT+CGMM",
                                                     "AT+CGDCONT?", "AT+CGSN", "AT+^SGAUTH=?"};

PCJob::~PCJob() {
    // A running timer is held by the timer table; it must not tick on for a dead job.
    if (mo_Timer) mo_Timer->SetEnabled(false);
}

void PCJob::TaskFound(std::vector<std::string> portList) {
    portList_ = std::move(portList);
    // Without a deferred pass the job starts now rather than never; with no timers at all
    // it then reports its start and its end at once.
    if (!RunLater(shared_from_this())) Start();
}

void PCJob::Start() {
    auto self = shared_from_this();
    Report(kJobStarted);
    if (!JobInit()) JobStop(true);
}

bool PCJob::JobInit() {
    if (!mo_CommPort) {
        mo_CommPort = PCCommPort::Create();
        ConnectPort();
    }
    if (mo_CommPort->PortOpen()) mo_CommPort->CommClose();
    mo_CommPort->SetOnErrorCOM(false);
    position_ = 0;

    StopTimer();  // a job started again replaces its timer; the old one must not tick on
    mo_Timer = PCXTimer::Create();
    timerConnection_ = mo_Timer->Tick.Connect([weak = weak_from_this()] {
        if (auto self = weak.lock()) self->mo_Timer_Tick();
    });
    try {
        mo_Timer->SetInterval(kTickInterval);
        mo_Timer->SetEnabled(true);
    } catch (const AppError&) {
        return false;  // no timer to be had
    }
    return true;
}

void PCJob::ConnectPort() {
    std::weak_ptr<PCJob> weak = weak_from_this();
    portConnections_.clear();
    portConnections_.push_back(mo_CommPort->OnInput.Connect([weak](const std::string& text) {
        if (auto self = weak.lock()) self->mo_CommPort_OnInput(text);
    }));
    portConnections_.push_back(
        mo_CommPort->OnError.Connect([weak](int32_t number, const std::string& source,
                                            const std::string& description, bool& raiseError) {
            if (auto self = weak.lock())
                self->mo_CommPort_OnError(number, source, description, raiseError);
        }));
}

void PCJob::StopTimer() {
    if (!mo_Timer) return;
    mo_Timer->SetEnabled(false);
    mo_Timer->SetInterval(0);
}

void PCJob::JobStop(bool endReport) {
    StopTimer();
    if (mo_CommPort) {
        std::shared_ptr<PCCommPort> port = std::move(mo_CommPort);
        if (port->PortOpen()) port->CommClose();
        portConnections_.clear();
    }
    if (endReport) Report(kJobFinished);
}

bool PCJob::Report(int32_t code, std::string portName, std::string info) {
    bool cancel = false;
    TaskInfoFound.Raise(code, portName, info, cancel);
    return cancel;
}

std::string PCJob::CurrentEntry() const {
    const bool inList = position_ >= 1 && static_cast<size_t>(position_) <= portList_.size();
    return inList ? portList_[position_ - 1] : std::string();
}

void PCJob::mo_Timer_Tick() {
    auto self = shared_from_this();
    if (!mo_CommPort) return;
    if (!mo_CommPort->PortOpen()) return NextPort();

    std::shared_ptr<PCCommPort> port = mo_CommPort;
    port->Poll();
    // Stopped from inside the port's events, or the port opened meanwhile failed to open:
    // either way there is nothing to send now; the next tick moves on.
    if (!mo_CommPort || !mo_CommPort->PortOpen()) return;
    if (!awaitingReply_) return SendNextCommand();
    if (Now() - lastActivity_ > kReplyLimit) NextPort();  // unsigned: safe across wrap-around
}

void PCJob::NextPort() {
    auto self = shared_from_this();
    if (!mo_CommPort) return;  // the job has stopped; it reports nothing more
    if (mo_CommPort->PortOpen()) mo_CommPort->CommClose();
    if (position_ > 0 && Report(kPortEnded, CurrentEntry())) {
        Report(kJobCancelled);
        return JobStop(false);
    }
    ++position_;
    if (static_cast<size_t>(position_) <= portList_.size()) return OpenPort();
    JobStop(true);
}

void PCJob::OpenPort() {
    lastActivity_ = Now();
    step_ = 0;
    awaitingReply_ = false;
    reply_.clear();
    if (!mo_CommPort) return;
    const std::string entry = CurrentEntry();
    Report(kPortBegins, entry);
    std::shared_ptr<PCCommPort> port = mo_CommPort;
    if (port->CommOpen(platform::kDevicePrefix + entry, kInputQueue, kOutputQueue) == 0) return;
    ConfigureLine();
    lastActivity_ = Now();
}

void PCJob::ConfigureLine() {
    std::shared_ptr<PCCommPort> port = mo_CommPort;
    if (!port || !port->PortOpen()) return;
    port->SetPropBaudRate(kBaud9600);
    port->SetPropByteSize(kEightDataBits);
    port->SetPropParity(0);
    port->SetPropStopBits(0);
    port->SetPropFlag(kFlagDiscardNul, true);
    port->SetPropFlag(kFlagReplaceParityErrors, true);
    port->SetPropChar(kCharError, '~');
    port->PropStateSet();
    port->TimeoutsSet();
}

void PCJob::SendNextCommand() {
    ++step_;
    if (step_ > kCommandCount) return NextPort();
    reply_.clear();
    awaitingReply_ = true;
    lastActivity_ = Now();
    if (std::shared_ptr<PCCommPort> port = mo_CommPort) {
        port->CommOutput(std::string(kCommands[step_ - 1]) + kLineEnd);
    }
}

void PCJob::mo_CommPort_OnInput(const std::string& text) {
    if (step_ < 1 || step_ > kCommandCount) return;
    auto self = shared_from_this();
    reply_ += text;
    if (ReplyComplete()) SendNextCommand();
}

bool PCJob::ReplyComplete() {
    if (ContainsAsciiNoCase(reply_, kFinalOk)) {
        reply_ = ReplaceEvery(reply_, kFinalOkLine, {}, true);
        reply_ = ReplaceEvery(reply_, kLineEnd, {}, false);
        if (step_ == kSerialNumberStep) Report(kSerialNumberFound, CurrentEntry(), reply_);
        return true;
    }
    // A rejected command is skipped; an endless answer counts as answered.
    return ContainsAsciiNoCase(reply_, kFinalError) || reply_.size() > kLongestReply;
}

void PCJob::mo_CommPort_OnError(int32_t number, const std::string&, const std::string&,
                                bool& raiseError) {
    raiseError = false;
    if (number == static_cast<int32_t>(platform::kSerialErrAccessDenied) ||
        number == static_cast<int32_t>(platform::kSerialErrSharingViolation)) {
        auto self = shared_from_this();
        Report(kPortBusy, CurrentEntry());
    }
}

}  // namespace tarvelin
