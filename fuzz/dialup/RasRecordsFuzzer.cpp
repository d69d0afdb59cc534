// Arbitrary bytes as the RAS records the system hands back, read with an arbitrary record
// size: nothing outside the bytes may be touched, and what was read must survive being
// written and read again unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <vector>

#include "dialup/RasRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    FuzzedDataProvider in(data, size);
    const uint32_t kSizes[] = {kRasEntryOldSize,
                               kRasEntryDialModeFrom,
                               kRasEntryTypeFrom,
                               kRasEntryOptions2From,
                               2884,
                               1060,
                               1052,
                               816};
    const uint8_t pick = in.ConsumeIntegral<uint8_t>();
    uint32_t record = in.ConsumeIntegral<uint32_t>();
    if (pick < 8) record = kSizes[pick];
    const RasField field{in.ConsumeIntegral<uint32_t>(), in.ConsumeIntegral<uint32_t>()};
    std::vector<uint8_t> bytes = in.ConsumeRemainingBytes<uint8_t>();
    if (pick == 8) record = static_cast<uint32_t>(bytes.size());

    ReadRasText(bytes, field);
    ReadRasNumber(bytes, field);
    RasEntryInfo entry;
    DecodeRasEntry(bytes, record, entry);
    RasEntryInfo once, twice;
    DecodeRasEntry(EncodeRasEntry(entry, record), record, once);
    DecodeRasEntry(EncodeRasEntry(once, record), record, twice);
    if (!(once == twice)) __builtin_trap();

    RasDialInfo dial, dialOnce, dialTwice;
    DecodeDialParams(bytes, record, dial);
    DecodeDialParams(EncodeDialParams(record, dial), record, dialOnce);
    DecodeDialParams(EncodeDialParams(record, dialOnce), record, dialTwice);
    if (!(dialOnce == dialTwice)) __builtin_trap();

    WriteRasText(bytes, field, entry.szDeviceName);
    WriteRasNumber(bytes, field, entry.dwfOptions);
    return 0;
}
