#include "sim/SimSerialDevice.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace tarvelin::sim {

using platform::SerialIo;
using platform::SerialSlot;

namespace {

class SimSerialDevice : public platform::ISerialDevice {
  public:
    SimSerialDevice(std::shared_ptr<SimSerialLine> line, uintptr_t handle)
        : line_(std::move(line)), handle_(handle) {}
    ~SimSerialDevice() override { line_->open = false; }

    uintptr_t Handle() const override { return handle_; }
    bool Close() override {
        line_->open = false;
        return !line_->failClose;
    }
    bool SetupComm(uint32_t, uint32_t) override { return true; }
    bool GetCommTimeouts(platform::CommTimeouts&) override { return true; }
    bool SetCommTimeouts(const platform::CommTimeouts&) override { return true; }
    bool GetCommState(platform::Dcb& dcb) override {
        dcb = line_->state;
        return true;
    }
    bool SetCommState(const platform::Dcb& dcb) override {
        line_->state = dcb;
        return true;
    }
    bool SetCommMask(uint32_t) override { return true; }
    bool ClearCommError(uint32_t& errors) override {
        errors = std::exchange(line_->lineErrors, 0);
        return true;
    }
    bool GetCommModemStatus(uint32_t& status) override {
        status = 0;
        return !line_->failModemStatus;
    }

    SerialIo StartRead(std::span<uint8_t> into) override {
        if (line_->failIo) return SerialIo::Fail(line_->failIo);
        if (line_->immediateReads && !line_->toHost.empty()) return SerialIo::Done(Take(into));
        readPending_ = line_->pendingRead = true;
        return SerialIo::Pending();
    }
    SerialIo FinishRead(std::span<uint8_t> into) override {
        if (!std::exchange(readPending_, false)) return SerialIo::Done(0);
        line_->pendingRead = false;
        return SerialIo::Done(line_->vanished ? 0 : Take(into));
    }
    SerialIo StartWrite(std::span<const uint8_t> bytes) override {
        if (line_->failIo) return SerialIo::Fail(line_->failIo);
        std::string data(bytes.begin(), bytes.end());
        line_->writes.push_back(data);
        if (!line_->writesPend) {
            line_->Receive(data);
            return SerialIo::Done(static_cast<uint32_t>(data.size()));
        }
        line_->writeHeld = std::move(data);
        line_->writeDone = false;
        writePending_ = true;
        return SerialIo::Pending();
    }
    SerialIo FinishWrite() override {
        if (!std::exchange(writePending_, false)) return SerialIo::Done(0);
        const std::string data = std::exchange(line_->writeHeld, {});
        line_->Receive(data);
        return SerialIo::Done(static_cast<uint32_t>(data.size()));
    }
    SerialIo StartEventWatch() override {
        if (line_->failIo) return SerialIo::Fail(line_->failIo);
        watchPending_ = true;
        return SerialIo::Pending();
    }
    SerialIo FinishEventWatch() override {
        if (!std::exchange(watchPending_, false)) return SerialIo::Done(0);
        return SerialIo::Done(line_->lineErrors ? platform::kEvErr : 0);
    }
    bool Signalled(SerialSlot slot) override {
        if (line_->vanished) return true;
        if (slot == SerialSlot::Read) return !readPending_ || !line_->toHost.empty();
        if (slot == SerialSlot::Write) return !writePending_ || line_->writeDone;
        return !watchPending_ || line_->lineErrors != 0;
    }

  private:
    uint32_t Take(std::span<uint8_t> into) {
        const size_t n = std::min({into.size(), line_->readChunk, line_->toHost.size()});
        std::memcpy(into.data(), line_->toHost.data(), n);
        line_->toHost.erase(0, n);
        return static_cast<uint32_t>(n);
    }

    std::shared_ptr<SimSerialLine> line_;
    uintptr_t handle_;
    bool readPending_ = false;
    bool writePending_ = false;
    bool watchPending_ = false;
};

}  // namespace

void SimSerialLine::AnswerAsPhone(const std::string& imei) {
    const std::string ok = "\r\nOK\r\n";
    replies = {{"AT", ok},
               {"ATE0", ok},
               {"AT+GMI", "\r\nACME\r\n" + ok},
               {"AT+CGMI", "\r\nACME\r\n" + ok},
               {"AT+GMM", "\r\nPhone 1\r\n" + ok},
               {"AT+CGMM", "\r\nPhone 1\r\n" + ok},
               {"AT+CGDCONT?", "\r\n+CGDCONT: 1,\"IP\",\"internet\",\"0.0.0.0\",0,0\r\n" + ok},
               {"AT+CGSN", "\r\n" + imei + "\r\n" + ok},
               {"AT+^SGAUTH=?", "\r\nERROR\r\n"}};
}

void SimSerialLine::Receive(const std::string& bytes) {
    for (char c : bytes) {
        if (c == '\n') continue;
        if (c != '\r') {
            partialLine += c;
            continue;
        }
        const std::string command = std::exchange(partialLine, {});
        commands.push_back(command);
        if (echo) toHost += command + "\r";
        auto reply = replies.find(command);
        if (reply == replies.end()) continue;
        toHost += reply->second;
        if (command == "ATE0" && reply->second.find("OK") != std::string::npos) echo = false;
    }
}

SimSerialLine& SimSerialFactory::Line(const std::string& name) {
    auto& line = lines_[name];
    if (!line) line = std::make_shared<SimSerialLine>();
    return *line;
}

platform::SerialOpenResult SimSerialFactory::Open(const std::string& name) {
    auto it = lines_.find(name);
    if (it == lines_.end()) return {nullptr, platform::kSerialErrFileNotFound};
    SimSerialLine& line = *it->second;
    if (line.openError) return {nullptr, line.openError};
    if (line.open) return {nullptr, platform::kSerialErrAccessDenied};  // held by another program
    line.open = true;
    return {std::make_unique<SimSerialDevice>(it->second, ++lastHandle_), 0};
}

}  // namespace tarvelin::sim
