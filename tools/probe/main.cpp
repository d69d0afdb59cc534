// tarvelin-probe PORT...: runs the phone detection job over the named serial ports on the
// system's real event loop and prints every report as CODE<TAB>PORT<TAB>INFO. Exits 0 when
// the job has finished (code 3) or was cancelled (code 2), 2 on a usage error.
#include <cstdio>
#include <string>
#include <vector>

#include "ProbeCli.h"
#include "core/AppState.h"
#include "detection/PCJob.h"
#include "platform/Platform.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32SerialDevice.h"
using SystemLoop = tarvelin::platform::Win32EventLoop;
using SystemSerial = tarvelin::platform::Win32SerialDeviceFactory;
#else
#include "platform/posix/PosixEventLoop.h"
#include "platform/posix/PosixSerialDevice.h"
using SystemLoop = tarvelin::platform::PosixEventLoop;
using SystemSerial = tarvelin::platform::PosixSerialDeviceFactory;
#endif

namespace {

constexpr int kUsageError = 2;
constexpr int kLoopEnded = 1;  // the loop ran dry without the job ending: cannot happen

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
    AppState().platform = &system;

    probe::StopAfterFirst stopper;
    bool ended = false;
    auto job = PCJob::Create();
    Connection reports = job->TaskInfoFound.Connect(
        [&](int32_t code, const std::string& port, const std::string& info, bool& cancel) {
            std::printf("%s\n", probe::FormatReportLine(code, port, info).c_str());
            std::fflush(stdout);
            if (args->stopAfterFirst) cancel = stopper.Cancel(code);
            if (code == kJobFinished || code == kJobCancelled) {
                ended = true;
                loop.Quit(0);
            }
        });
    job->TaskFound(args->ports);
    loop.Run();
    reports.Disconnect();
    job.reset();
    AppState().platform = nullptr;
    return ended ? 0 : kLoopEnded;
}
