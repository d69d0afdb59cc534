// Arbitrary reply bytes, in arbitrary pieces and at arbitrary times, for the detection job's
// dialogue: whatever a device sends, the job sends each command at most once, reports at
// most one serial number per port and ends with code 3.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "core/AppState.h"
#include "core/modXTimer.h"
#include "detection/PCJob.h"
#include "platform/Platform.h"
#include "sim/SimSerialDevice.h"
#include "sim/VirtualEventLoop.h"

namespace {

using namespace tarvelin;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

void Drive(FuzzedDataProvider& input, sim::VirtualEventLoop& loop, sim::SimSerialLine& line) {
    line.immediateReads = input.ConsumeBool();
    line.readChunk = input.ConsumeIntegralInRange<size_t>(1, 1100);
    while (input.remaining_bytes() > 0) {
        const size_t n = input.ConsumeIntegralInRange<size_t>(0, 700);
        line.Feed(input.ConsumeBytesAsString(n));
        loop.Advance(input.ConsumeIntegralInRange<uint32_t>(0, 900));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    sim::VirtualEventLoop loop;
    sim::SimSerialFactory serial;
    platform::Platform system;
    system.loop = &loop;
    system.clock = &loop;
    system.serial = &serial;
    AppState() = AppStateRecord{};
    AppState().platform = &system;
    auto& line = serial.Line("\\\\.\\COM1");

    std::vector<int32_t> codes;
    {
        auto job = PCJob::Create();
        Connection c =
            job->TaskInfoFound.Connect([&](int32_t code, const std::string&, const std::string&,
                                           bool&) { codes.push_back(code); });
        job->TaskFound({"COM1", "COM2"});
        Drive(input, loop, line);
        loop.Advance(30000);  // nine silent commands cannot take longer
    }
    Check(!codes.empty() && codes.back() == kJobFinished);
    Check(std::count(codes.begin(), codes.end(), kPortBegins) == 2);
    Check(std::count(codes.begin(), codes.end(), kPortEnded) == 2);
    Check(std::count(codes.begin(), codes.end(), kSerialNumberFound) <= 1);
    Check(line.commands.size() <= static_cast<size_t>(PCJob::kCommandCount));
    Check(loop.TimerCount() == 0);

    TimerTable().clear();
    AppState() = AppStateRecord{};
    return 0;
}
