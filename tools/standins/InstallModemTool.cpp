// standin-install-modem INF PORT HARDWARE-ID: makes PORT a modem with the INF's driver through
// the program's own hardware layer, as the setup wizard does on "Установить", and prints the
// modem's friendly name. The end-to-end journeys use it to give the prefix a modem without
// walking the wizard first. Exit codes: 0 installed, 1 not installed (the reason printed),
// 2 usage.
#include <cstdio>

#include "core/AppState.h"
#include "hardware/modAppHardware.h"
#include "platform/Platform.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "platform/win32/Win32FileSystem.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: standin-install-modem INF PORT HARDWARE-ID\n");
        return 2;
    }
    tarvelin::platform::Win32DeviceSetup devices;
    tarvelin::platform::Win32FileSystem files;
    tarvelin::platform::Platform platform;
    platform.devices = &devices;
    platform.files = &files;
    tarvelin::AppState().platform = &platform;
    std::string name, message;
    bool restart = false;
    const bool installed =
        tarvelin::InstallModem(0, argv[1], argv[2], argv[3], name, restart, message);
    tarvelin::AppState().platform = nullptr;
    if (!installed) {
        std::printf("not installed: %s\n", message.c_str());
        return 1;
    }
    std::printf("%s\n", name.c_str());
    return 0;
}
