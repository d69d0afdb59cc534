#pragma once
// A call over a modem on a serial port, as the stand-in dial-up service makes it: the init
// string and the dial command, then a thread that reads what the phone sends and sends a
// little back, counting both, until the call is hung up (escape, ATH) or the port fails.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tarvelin::standin {

// The dial-up errors a call reports (the system's RAS numbers).
inline constexpr uint32_t kRasErrorPortNotAvailable = 633;
inline constexpr uint32_t kRasErrorFromDevice = 651;
inline constexpr uint32_t kRasErrorLineBusy = 676;
inline constexpr uint32_t kRasErrorNoAnswer = 678;
inline constexpr uint32_t kRasErrorNoCarrier = 679;
inline constexpr uint32_t kRasErrorNoDialtone = 680;

class ModemCall {
  public:
    // Opens the port ("COM5"), sends "AT", the init string (with "AT" put in front when it
    // lacks it) and ATDT with the number; null with error set unless the phone says CONNECT.
    static std::unique_ptr<ModemCall> Dial(const std::string& port, const std::string& init,
                                           const std::string& number, uint32_t& error);
    ModemCall(HANDLE port, DWORD started);
    ~ModemCall();
    // The escape, then ATH, unless the line is already lost; then the port closes. The
    // figures stay as they were at the end.
    void HangUp();
    ModemCall(const ModemCall&) = delete;
    ModemCall& operator=(const ModemCall&) = delete;

    uint32_t Received() const { return received_; }
    uint32_t Sent() const { return sent_; }
    uint32_t DurationMs() const {
        return (port_ == INVALID_HANDLE_VALUE ? ended_ : GetTickCount()) - started_;
    }
    // The port failed during the call: the phone is gone.
    bool Lost() const { return lost_; }

  private:
    static DWORD WINAPI Carry(void* self);
    void CarryData();

    HANDLE port_;
    HANDLE thread_ = nullptr;
    DWORD started_, ended_ = 0;
    std::atomic<bool> stop_{false}, lost_{false}, quiet_{false};
    std::atomic<uint32_t> received_{0}, sent_{0};
};

}  // namespace tarvelin::standin
