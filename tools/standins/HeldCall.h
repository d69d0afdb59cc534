#pragma once
// Calls held by a process of their own, as the system's dial-up service holds its calls: a
// connection outlives the program that dialled it, and a program started later finds it,
// reads its figures and hangs it up. The stand-in dial-up service starts each holder as
// rundll32 on the stand-in rasdlg.dll (StandInHoldCall SLOT); a holder and the programs share a
// small named record per call slot, and a named event of the slot asks the holder to hang up.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarvelin::standin {

// A connected call as the programs see it; texts are UTF-8.
struct HeldCallView {
    uint32_t handle = 0;  // the holder's process id, the connection's handle
    std::string entry, device;
    uint32_t received = 0, sent = 0, durationMs = 0;
};

// What the holder dials: the modem's port, its init string and the number.
struct ModemDial {
    std::string port, init, number;
};

// Starts a holder through rundll32 on the library `dll` and waits for its dial to end: 0 once
// the phone said CONNECT (the connection is then among HeldCalls), otherwise the call's error.
uint32_t DialHeld(const std::string& dll, const std::string& entry, const std::string& device,
                  const ModemDial& dial);
// The connected calls of all holders; a call whose line was lost is gone.
std::vector<HeldCallView> HeldCalls();
// Asks the connection's holder to hang up and waits until it has; false when no holder has
// the connection.
bool HangUpHeld(uint32_t handle);
// The holder's own part: dials what the slot's record holds, then carries the call, keeping
// its figures in the record, until asked to hang up or the line is lost.
void HoldCall(int slot);

}  // namespace tarvelin::standin
