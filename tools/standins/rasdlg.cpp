// The stand-in rasdlg.dll: the dial dialog dials at once, without a window, through the
// stand-in rasapi32.dll loaded beside it, and reports as the system's dialog does: TRUE when
// connected, otherwise a message and FALSE with the error in dwError. The call itself is
// held by rundll32 running this library's StandInHoldCall, which needs no other library of
// the stand-ins (rundll32 would not find them beside it).
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "HeldCall.h"
#include "dialup/RasRecords.h"

namespace {

constexpr DWORD kInvalidSize = 632;
constexpr DWORD kPortNotAvailable = 633;
HMODULE thisLibrary = nullptr;

// What the system's dialog says of the errors a modem call ends with.
std::string Meaning(DWORD error) {
    switch (error) {
        case kPortNotAvailable:
            return "The port is not available.";
        case 651:
            return "The modem reported an error.";
        case 676:
            return "The line is busy.";
        case 678:
            return "There was no answer.";
        case 679:
            return "The system could not detect the carrier.";
        case 680:
            return "There was no dial tone.";
        default:
            return "The connection could not be made.";
    }
}

void SetError(void* dialog, DWORD error) {
    std::memcpy(static_cast<uint8_t*>(dialog) + tarvelin::CurrentRasLayout().dialDialogError.offset,
                &error, sizeof error);
}

}  // namespace

extern "C" __declspec(dllexport) BOOL WINAPI RasDialDlgA(LPSTR, LPSTR entry, LPSTR, void* dialog) {
    if (!dialog || !entry) return FALSE;
    DWORD size = 0;
    std::memcpy(&size, dialog, sizeof size);
    if (size != tarvelin::CurrentRasLayout().dialDialogSize) {
        SetError(dialog, kInvalidSize);
        return FALSE;
    }
    using Dial = DWORD(WINAPI*)(LPCSTR, LPCSTR);
    char library[MAX_PATH] = {};
    GetModuleFileNameA(thisLibrary, library, MAX_PATH);
    HMODULE ras = LoadLibraryA("rasapi32.dll");
    const auto dial = ras ? reinterpret_cast<Dial>(
                                reinterpret_cast<void*>(GetProcAddress(ras, "StandInDialEntry")))
                          : nullptr;
    const DWORD error = dial ? dial(entry, library) : kPortNotAvailable;
    SetError(dialog, error);
    if (error) {
        // The system's dialog tells the user why the call failed before it returns; the
        // number stands in the title too, where a script reads it.
        const std::string number = "Error " + std::to_string(error);
        const std::string text = number + ": " + Meaning(error) + "\n\n" + entry;
        MessageBoxA(nullptr, text.c_str(), (number + " connecting").c_str(), MB_OK | MB_ICONERROR);
    }
    return error == 0;
}

// The holder of a call, run as "rundll32 rasdlg.dll,StandInHoldCall SLOT": the call lives in
// this process until it is hung up or its line is lost.
extern "C" __declspec(dllexport) void WINAPI StandInHoldCall(HWND, HINSTANCE, LPSTR slot, int) {
    tarvelin::standin::HoldCall(slot ? std::atoi(slot) : 0);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) thisLibrary = instance;
    return TRUE;
}
