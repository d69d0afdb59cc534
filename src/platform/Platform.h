#pragma once
// The services the program's logic is handed. The Windows entry point fills it with the
// real adapters, native tools with the Linux ones, tests with the simulations. A service a
// caller does not need may stay null.
namespace tarvelin::platform {

class IEventLoop;
class IClock;
class IRegistry;
class INamedLocks;
class IOsVersion;
class IProcess;
class IMessageBox;
class IShell;
class ISystemText;
class IFileSystem;
class ISerialDeviceFactory;
class IResourceSource;
class IDeviceSetup;
class IBluetooth;
class IRasApi;
class IInternetOptions;
class ILocale;
class IMenus;
class INotifyArea;
class IDownloader;

struct Platform {
    IEventLoop* loop = nullptr;
    IClock* clock = nullptr;
    IRegistry* registry = nullptr;
    INamedLocks* locks = nullptr;
    IOsVersion* osVersion = nullptr;
    IProcess* process = nullptr;
    IMessageBox* messageBox = nullptr;
    IShell* shell = nullptr;
    ISystemText* systemText = nullptr;
    IFileSystem* files = nullptr;
    ISerialDeviceFactory* serial = nullptr;
    IResourceSource* resources = nullptr;  // the program's own resources (driver database)
    IDeviceSetup* devices = nullptr;       // device installation
    IBluetooth* bluetooth = nullptr;
    IRasApi* ras = nullptr;                // the phone book and dial-up connections
    IInternetOptions* internet = nullptr;  // per-connection proxy settings
    ILocale* locale = nullptr;             // regional settings of the display texts
    IMenus* menus = nullptr;               // popup menus
    INotifyArea* notifyArea = nullptr;     // the task bar's notification area
    IDownloader* downloader = nullptr;     // web addresses to files
};

}  // namespace tarvelin::platform
