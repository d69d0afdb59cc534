#pragma once
// The stand-in dial-up service inside the test prefix's rasapi32.dll and rasdlg.dll: the
// simulated phone book of the native tests, kept in rasphone.pbk under the user's application
// data, the installed modems as the devices, and dialling that really talks to the modem's
// serial port. The calls are held by processes of their own (HeldCall), so a connection
// outlives the program that made it. Every call runs under one lock.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Platform.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "sim/SimRas.h"

namespace tarvelin::standin {

class StandInRas {
  public:
    // The one service of the process, made on first use.
    static StandInRas& Get();
    ~StandInRas();

    // Runs a simulated call on the phone book as the file holds it now; a call that writes
    // and succeeds saves the phone book back.
    template <class Call>
    uint32_t Run(bool writes, Call&& call) {
        Guard guard(lock_);
        Refresh();
        const uint32_t result = call(ras_);
        if (writes && result == 0) Save();
        return result;
    }

    // The dial dialog's work: dials the entry over its modem through a holder started on
    // `library` (the dialog's own file) and waits for CONNECT. 0 when connected; otherwise
    // the error the dialog reports in dwError.
    uint32_t Dial(const std::string& ansiEntry, const std::string& library);
    uint32_t HangUp(platform::RasHandle connection);
    // The figures of the connection as its holder counted them.
    uint32_t Statistics(platform::RasHandle connection, std::vector<uint8_t>& stats);
    // 0 and the device of a live connection; 6 (ERROR_INVALID_HANDLE) once it is gone.
    uint32_t Status(platform::RasHandle connection, std::string& deviceType,
                    std::string& deviceName);

  private:
    struct Guard {
        explicit Guard(CRITICAL_SECTION& section) : section_(section) {
            EnterCriticalSection(&section_);
        }
        ~Guard() { LeaveCriticalSection(&section_); }
        CRITICAL_SECTION& section_;
    };
    class TickClock final : public platform::IClock {
      public:
        uint32_t TickCount() override { return GetTickCount(); }
    };

    StandInRas();
    void Refresh();
    void Save();
    void LoadConnections();

    CRITICAL_SECTION lock_;
    TickClock clock_;
    platform::Win32DeviceSetup devices_;
    platform::Platform platform_;
    sim::SimRas ras_{clock_};
    std::string file_;  // rasphone.pbk
};

}  // namespace tarvelin::standin
