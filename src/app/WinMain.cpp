// Tarvelin.exe: the Windows entry point. Builds the real system services, runs the start-up
// sequence and then lives in the main window's message loop until it closes.
#include <windows.h>

#include <commctrl.h>

#include "core/AppState.h"
#include "core/modAppMain.h"
#include "platform/Platform.h"
#include "platform/win32/Win32Bluetooth.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "platform/win32/Win32Downloader.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32InternetOptions.h"
#include "platform/win32/Win32Menus.h"
#include "platform/win32/Win32NotifyArea.h"
#include "platform/win32/Win32Ras.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ResourceSource.h"
#include "platform/win32/Win32SerialDevice.h"
#include "platform/win32/Win32System.h"
#include "ui/forms/frmMain.h"
#include "ui/win32/Win32Binding.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace tarvelin::platform;
    Win32EventLoop loop;
    Win32Registry registry;
    Win32NamedLocks locks;
    Win32OsVersion osVersion;
    Win32Process process;
    Win32MessageBox messageBox;
    Win32Shell shell;
    Win32SystemText systemText;
    Win32FileSystem files;
    Win32ResourceSource resources;
    Win32SerialDeviceFactory serial;
    Win32DeviceSetup devices;
    Win32Bluetooth bluetooth;
    Win32Ras ras;
    Win32InternetOptions internet;
    Win32Locale locale;
    Win32Menus menus;
    Win32NotifyArea notifyArea;
    Win32Downloader downloader{loop};

    Platform platform;
    platform.loop = &loop;
    platform.clock = &loop;
    platform.registry = &registry;
    platform.locks = &locks;
    platform.osVersion = &osVersion;
    platform.process = &process;
    platform.messageBox = &messageBox;
    platform.shell = &shell;
    platform.systemText = &systemText;
    platform.files = &files;
    platform.resources = &resources;
    platform.serial = &serial;
    platform.devices = &devices;
    platform.bluetooth = &bluetooth;
    platform.ras = &ras;
    platform.internet = &internet;
    platform.locale = &locale;
    platform.menus = &menus;
    platform.notifyArea = &notifyArea;
    platform.downloader = &downloader;

    tarvelin::AppShell app;
    app.initCommonControls = [] {
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_INTERNET_CLASSES};
        InitCommonControlsEx(&icc);
    };
    // The main window lives until it closes; closing it ends the message loop.
    tarvelin::ui::Win32Binding binding(instance);
    std::shared_ptr<tarvelin::ui::frmMain> mainWindow;
    app.openMainWindow = [&binding, &mainWindow, &loop] {
        mainWindow = tarvelin::ui::frmMain::Create(binding);
        mainWindow->onClosed = [&loop] { loop.Quit(0); };
        if (!mainWindow->Load()) loop.Quit(1);
    };

    if (!tarvelin::Main(platform, app)) return 0;
    const int code = loop.Run();
    mainWindow.reset();
    tarvelin::AppCleanup();
    tarvelin::AppState().platform = nullptr;
    return code;
}
