// The stand-in rasdlg.dll: the dial dialog dials at once, without a window, through the
// stand-in rasapi32.dll loaded beside it, and reports as the system's dialog does: TRUE when
// connected, otherwise a message and FALSE with the error in dwError.
#include <windows.h>

#include <cstring>
#include <string>

#include "dialup/RasRecords.h"

namespace {

constexpr DWORD kInvalidSize = 632;
constexpr DWORD kPortNotAvailable = 633;

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
    using Dial = DWORD(WINAPI*)(LPCSTR);
    HMODULE ras = LoadLibraryA("rasapi32.dll");
    const auto dial = ras ? reinterpret_cast<Dial>(
                                reinterpret_cast<void*>(GetProcAddress(ras, "StandInDialEntry")))
                          : nullptr;
    const DWORD error = dial ? dial(entry) : kPortNotAvailable;
    SetError(dialog, error);
    if (error) {
        // The system's dialog tells the user why the call failed before it returns.
        const std::string text = "Error " + std::to_string(error) + " dialling " + entry;
        MessageBoxA(nullptr, text.c_str(), "rasdial", MB_OK | MB_ICONERROR);
    }
    return error == 0;
}
