// Arbitrary reply bytes, in arbitrary pieces and at arbitrary times, for the detection job's
// dialogue: whatever a device sends, the job sends each command at most once, reports at
// most one serial number per port and ends with code 3.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "detection/PCJob.h"
#include "sim/SimPlatform.h"
#include "sim/SimSerialDevice.h"

namespace {

using namespace tarvelin;

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    sim::SimPlatform sim;
    sim::SimSerialFactory serial;
    sim.platform.serial = &serial;
    auto& line = serial.Line("\\\\.\\COM1");
    line.immediateReads = input.ConsumeBool();
    line.readChunk = input.ConsumeIntegralInRange<size_t>(1, 1100);

    std::vector<int32_t> codes;
    {
        auto job = PCJob::Create();
        Connection c =
            job->TaskInfoFound.Connect([&](int32_t code, const std::string&, const std::string&,
                                           bool&) { codes.push_back(code); });
        job->TaskFound({"COM1", "COM2"});
        while (input.remaining_bytes() > 0) {
            const size_t n = input.ConsumeIntegralInRange<size_t>(0, 700);
            line.Feed(input.ConsumeBytesAsString(n));
            sim.loop.Advance(input.ConsumeIntegralInRange<uint32_t>(0, 900));
        }
        sim.loop.Advance(30000);  // nine silent commands cannot take longer
    }
    Check(!codes.empty() && codes.back() == kJobFinished);
    Check(std::count(codes.begin(), codes.end(), kPortBegins) == 2);
    Check(std::count(codes.begin(), codes.end(), kPortEnded) == 2);
    Check(std::count(codes.begin(), codes.end(), kSerialNumberFound) <= 1);
    Check(line.commands.size() <= static_cast<size_t>(PCJob::kCommandCount));
    Check(sim.loop.TimerCount() == 0);
    return 0;
}
