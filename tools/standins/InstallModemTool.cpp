// standin-install-modem INF PORT HARDWARE-ID: makes PORT a modem with the INF's driver through
// the program's own hardware layer, as the setup wizard does on "Установить", and prints the
// modem's friendly name. The end-to-end journeys use it to give the prefix a modem without
// walking the wizard first.
// standin-install-modem --remove-all: removes every modem, printing each name, so that a
// journey can start as on a system without modems.
// Exit codes: 0 done, 1 not installed or not removed (the reason printed), 2 usage.
#include <cstdio>
#include <cstring>

#include "InstalledModems.h"

#include "core/AppState.h"
#include "hardware/modAppHardware.h"
#include "platform/Platform.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "platform/win32/Win32FileSystem.h"

namespace {

int InstallModem(const char* inf, const char* port, const char* hardwareId) {
    std::string name, message;
    bool restart = false;
    if (!tarvelin::InstallModem(0, inf, port, hardwareId, name, restart, message)) {
        std::printf("not installed: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s\n", name.c_str());
    return 0;
}

int RemoveAllModems() {
    int status = 0;
    for (const std::string& name : tarvelin::standin::InstalledModemNames()) {
        const bool removed = tarvelin::DeleteModem(name);
        std::printf("%s %s\n", removed ? "removed" : "not removed:", name.c_str());
        if (!removed) status = 1;
    }
    return status;
}

}  // namespace

int main(int argc, char** argv) {
    const bool remove = argc == 2 && std::strcmp(argv[1], "--remove-all") == 0;
    if (argc != 4 && !remove) {
        std::fprintf(stderr,
                     "usage: standin-install-modem INF PORT HARDWARE-ID\n"
                     "       standin-install-modem --remove-all\n");
        return 2;
    }
    tarvelin::platform::Win32DeviceSetup devices;
    tarvelin::platform::Win32FileSystem files;
    tarvelin::platform::Platform platform;
    platform.devices = &devices;
    platform.files = &files;
    tarvelin::AppState().platform = &platform;
    const int status = remove ? RemoveAllModems() : InstallModem(argv[1], argv[2], argv[3]);
    tarvelin::AppState().platform = nullptr;
    return status;
}
