#pragma once
// Simulated serial devices. Each name has a line that outlives the device objects opened on
// it: the test scripts the phone behind it (replies per command, echo), the device's
// refusals and failures, and whether operations complete at once or stay under way until a
// later poll; it reads back what was written and how.
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/SerialDevice.h"

namespace tarvelin::sim {

struct SimSerialLine {
    // --- Behaviour -----------------------------------------------------------------------
    uint32_t openError = 0;  // non-zero: every open fails with this system error
    // Replies by command line (without its CR LF); a command with no reply is not answered.
    std::map<std::string, std::string> replies;
    bool echo = false;            // echo each command line and its CR before the reply
    bool immediateReads = false;  // a read finds waiting bytes at once instead of pending
    bool writesPend = false;      // writes stay under way until CompleteWrite
    size_t readChunk = 1 << 20;   // most bytes one read hands over
    uint32_t failIo = 0;          // reads, writes and event watches fail to start with this
    bool failModemStatus = false;
    bool failClose = false;
    platform::Dcb state;  // the driver's configuration, as GetCommState reports it

    // Fills `replies` with a phone's answers in V.250 verbose form.
    void AnswerAsPhone(const std::string& imei);
    void Feed(const std::string& bytes) { toHost += bytes; }
    void RaiseLineErrors(uint32_t errors) { lineErrors |= errors; }
    void CompleteWrite() { writeDone = true; }
    // The device goes away: every later operation fails, pending ones complete empty.
    void Vanish() {
        vanished = true;
        failIo = platform::kSerialErrGenFailure;
    }

    // --- Observed --------------------------------------------------------------------------
    std::vector<std::string> writes;    // each write's bytes, in order
    std::vector<std::string> commands;  // command lines the phone received
    bool open = false;
    bool pendingRead = false;

    // --- Internal --------------------------------------------------------------------------
    void Receive(const std::string& bytes);
    std::string toHost;
    std::string partialLine;
    uint32_t lineErrors = 0;
    bool writeDone = false;
    std::string writeHeld;
    bool vanished = false;
};

class SimSerialFactory : public platform::ISerialDeviceFactory {
  public:
    // The line behind a full device name such as "\\.\COM3", created on first use. Names
    // never asked for do not exist (open fails with 2).
    SimSerialLine& Line(const std::string& name);
    platform::SerialOpenResult Open(const std::string& name) override;

  private:
    uintptr_t lastHandle_ = 0x100;
    std::map<std::string, std::shared_ptr<SimSerialLine>> lines_;
};

}  // namespace tarvelin::sim
