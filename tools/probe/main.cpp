// tarvelin-probe PORT...: runs the phone detection job over the named serial ports on the
// system's real event loop and prints every report as CODE<TAB>PORT<TAB>INFO. With --ports
// (Windows) it searches the machine's COM ports the way the setup wizard does: switches on
// the serial services of paired Bluetooth phones, lists the ports with what is behind them
// (PORT lines) and runs the job over them. Exits 0 when the job has finished (code 3) or was
// cancelled (code 2), 2 on a usage error, 1 when --identify has no usable driver database
// or --ports finds no port.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "ProbeCli.h"
#include "RegularFile.h"
#include "core/AppState.h"
#include "detection/PCJob.h"
#include "driverdb/TypeAllocationCode.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/MemoryResourceSource.h"
#include "platform/Platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "hardware/modAppHardware.h"
#include "hardware/modBluetooth.h"
#include "platform/win32/Win32Bluetooth.h"
#include "platform/win32/Win32DeviceSetup.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32Registry.h"
#include "platform/win32/Win32ResourceSource.h"
#include "platform/win32/Win32SerialDevice.h"
using SystemLoop = tarvelin::platform::Win32EventLoop;
using SystemSerial = tarvelin::platform::Win32SerialDeviceFactory;
#else
#include "platform/posix/PosixEventLoop.h"
#include "platform/posix/PosixSerialDevice.h"
using SystemLoop = tarvelin::platform::PosixEventLoop;
using SystemSerial = tarvelin::platform::PosixSerialDeviceFactory;
#endif

#if defined(TARVELIN_PROBE_HAS_DB) && !defined(_WIN32)
extern const unsigned char kEmbeddedDriverBase[];
extern const unsigned long kEmbeddedDriverBase_size;
#endif

namespace {

constexpr int kUsageError = 2;
constexpr int kLoopEnded = 1;  // the loop ran dry without the job ending: cannot happen
constexpr int kNoDatabase = 1;
constexpr int kNoPorts = 1;

using tarvelin::platform::IResourceSource;
using tarvelin::platform::MemoryResourceSource;

std::unique_ptr<IResourceSource> FromBytes(std::vector<uint8_t> bytes) {
    return std::make_unique<MemoryResourceSource>(
        tarvelin::kDriverBaseResourceType, tarvelin::kDriverBaseResourceId, std::move(bytes));
}

// The driver database: the file named by --db, else the one the probe was built with; null
// with a reason when there is none to read.
std::unique_ptr<IResourceSource> DriverBaseSource(const std::string& path, std::string& error) {
    if (!path.empty()) {
        std::vector<uint8_t> bytes;
        if (!tarvelin::tools::ReadWholeFile(path, bytes, error)) {
            error = path + ": " + error;
            return nullptr;
        }
        return FromBytes(std::move(bytes));
    }
#if defined(TARVELIN_PROBE_HAS_DB) && defined(_WIN32)
    return std::make_unique<tarvelin::platform::Win32ResourceSource>();
#elif defined(TARVELIN_PROBE_HAS_DB)
    return FromBytes(
        std::vector<uint8_t>(kEmbeddedDriverBase, kEmbeddedDriverBase + kEmbeddedDriverBase_size));
#else
    error = "the probe was built without one; name one with --db";
    return nullptr;
#endif
}

// The machine's COM ports, each printed as a PORT line; empty where the system keeps no
// list of them.
std::vector<std::string> MachinePorts() {
    std::vector<std::string> names;
#ifdef _WIN32
    tarvelin::EnableBluetoothServices();
    tarvelin::PortList ports;
    tarvelin::EnumerateComPorts(ports);
    for (const auto& port : ports) {
        std::printf("%s\n", tarvelin::probe::FormatPortLine(port.portName, port.kind,
                                                            port.hardwareId, port.friendlyName)
                                .c_str());
        names.push_back(port.portName);
    }
#endif
    return names;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace tarvelin;
    const auto args = probe::ParseArgs(std::vector<std::string>(argv + 1, argv + argc));
    if (!args) {
        std::fprintf(stderr, "%s\n", probe::kUsage);
        return kUsageError;
    }
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);  // lines end in LF on every system
#endif

    SystemLoop loop;
    SystemSerial serial;
    platform::Platform system;
    system.loop = &loop;
    system.clock = &loop;
    system.serial = &serial;
#ifdef _WIN32
    platform::Win32Registry registry;
    platform::Win32DeviceSetup devices;
    platform::Win32Bluetooth bluetooth;
    system.registry = &registry;
    system.devices = &devices;
    system.bluetooth = &bluetooth;
#endif
    std::unique_ptr<platform::IResourceSource> database;
    if (args->identify) {
        std::string error;
        database = DriverBaseSource(args->database, error);
        if (!database) {
            std::fprintf(stderr, "tarvelin-probe: no driver database to identify phones with: %s\n",
                         error.c_str());
            return kNoDatabase;
        }
        system.resources = database.get();
    }
    AppState().platform = &system;
    // A database without a readable catalogue would name every phone unknown: refuse it.
    if (args->identify && !EnsureDriverCatalog()) {
        std::fprintf(stderr,
                     "tarvelin-probe: the driver database %s is unusable: it holds no readable "
                     "catalogue\n",
                     args->database.empty() ? "built into the probe" : args->database.c_str());
        AppState().platform = nullptr;
        return kNoDatabase;
    }

    const std::vector<std::string> ports = args->machinePorts ? MachinePorts() : args->ports;
    if (ports.empty()) {
        std::fprintf(stderr, "tarvelin-probe: this system lists no COM ports\n");
        ResetDriverCatalog();
        AppState().platform = nullptr;
        return kNoPorts;
    }
    probe::StopAfterFirst stopper;
    bool ended = false;
    auto job = PCJob::Create();
    Connection reports = job->TaskInfoFound.Connect(
        [&](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
            std::printf("%s\n", probe::FormatReportLine(code, port, info).c_str());
            if (code == kSerialNumberFound && args->identify) {
                std::string names, rows;
                FindModelsByTac(TypeAllocationCode(info), names, rows);
                std::printf("%s\n", probe::FormatIdentifyLine(port, names).c_str());
            }
            std::fflush(stdout);
            if (args->stopAfterFirst) cancel = stopper.Cancel(code);
            if (code == kJobFinished || code == kJobCancelled) {
                ended = true;
                loop.Quit(0);
            }
        });
    job->TaskFound(ports);
    loop.Run();
    reports.Disconnect();
    job.reset();
    ResetDriverCatalog();
    AppState().platform = nullptr;
    return ended ? 0 : kLoopEnded;
}
