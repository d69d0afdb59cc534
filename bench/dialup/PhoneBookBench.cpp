// How listing and searching the phone book scales: the entry list and the search for the
// entries of one modem (which reads every entry's properties) over phone books of 500 and
// 5,000 entries. The table comes from the benchmark library; the line after it,
//   ratio phonebook_per_entry_5000_vs_500 <x>
// is the time per entry at 5,000 over the time per entry at 500 (lower is better; 1 is
// linear), the median of interleaved repetitions in this thread's processor time.
// `--ratios-only` skips the table. The phone book is a minimal one with hashed lookups, so
// that what is measured is the program's own work per entry.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "BenchSupport.h"
#include "core/AppState.h"
#include "dialup/modAppRAS.h"
#include "platform/Platform.h"

namespace tarvelin {
namespace {

class BenchPhoneBook : public platform::RasApiUnavailable {
  public:
    explicit BenchPhoneBook(int count) {
        for (int i = 0; i < count; ++i) {
            RasEntryInfo info;
            info.szDeviceType = "modem";
            info.szDeviceName = i % 10 == 0 ? "Nokia 6230" : "Modem " + std::to_string(i % 7);
            info.szLocalPhoneNumber = "*99#";
            const std::string name = "QVT (Phone " + std::to_string(i) + ")";
            names_.push_back(name);
            entries_.emplace(name, info);
        }
    }
    uint32_t EnumEntries(std::vector<uint8_t>& buffer, uint32_t& bytes, uint32_t& count) override {
        const RasLayout& layout = CurrentRasLayout();
        count = static_cast<uint32_t>(names_.size());
        const uint32_t needed = count * layout.entryNameSize;
        if (bytes < needed || buffer.size() < needed) {
            bytes = needed;
            return platform::kRasErrorBufferTooSmall;
        }
        for (uint32_t i = 0; i < count; ++i) {
            const RasField name{i * layout.entryNameSize + layout.entryName.offset,
                                layout.entryName.size};
            WriteRasText(buffer, name, names_[i]);
        }
        return 0;
    }
    uint32_t GetEntryProperties(const std::string& entry, std::vector<uint8_t>* buffer,
                                uint32_t& size) override {
        constexpr uint32_t kRecord = 2884;
        if (!buffer || buffer->size() < kRecord) {
            size = kRecord;
            return platform::kRasErrorBufferTooSmall;
        }
        const auto it = entries_.find(entry);
        if (it == entries_.end()) return platform::kRasErrorCannotFindEntry;
        const std::vector<uint8_t> record = EncodeRasEntry(it->second, kRecord);
        std::copy_n(record.begin(), kRecord, buffer->begin());
        return 0;
    }

  private:
    std::vector<std::string> names_;
    std::unordered_map<std::string, RasEntryInfo> entries_;
};

// The program's phone book bound as the process's RAS service for one measurement.
struct BoundPhoneBook {
    explicit BoundPhoneBook(int count) : book(count) {
        platform.ras = &book;
        AppState().platform = &platform;
    }
    ~BoundPhoneBook() { AppState().platform = nullptr; }
    BenchPhoneBook book;
    platform::Platform platform;
};

// What the options page does with the phone book: list it, find one modem's entries.
void ListAndSearch() {
    std::vector<std::string> entries, ofModem;
    benchmark::DoNotOptimize(GetRasEntries(entries));
    benchmark::DoNotOptimize(GetEntriesForDevice("Nokia 6230", ofModem));
}

void BM_ListAndSearch(benchmark::State& state) {
    BoundPhoneBook bound(static_cast<int>(state.range(0)));
    for (auto _ : state) ListAndSearch();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ListAndSearch)->Arg(500)->Arg(5000)->Unit(benchmark::kMillisecond);

using bench::ThreadSeconds;

// Processor seconds per entry of one pass over a phone book of that size.
double PerEntry(int count, int passes) {
    BoundPhoneBook bound(count);
    ListAndSearch();
    const double start = ThreadSeconds();
    for (int i = 0; i < passes; ++i) ListAndSearch();
    return (ThreadSeconds() - start) / (static_cast<double>(passes) * count);
}

double PerEntryRatio() {
    return bench::MedianRatio(
        15, [] { return PerEntry(500, 10); }, [] { return PerEntry(5000, 1); });
}

}  // namespace
}  // namespace tarvelin

int main(int argc, char** argv) {
    tarvelin::bench::RunTableUnlessRatiosOnly(argc, argv);
    std::printf("ratio phonebook_per_entry_5000_vs_500 %.3f\n", tarvelin::PerEntryRatio());
    return 0;
}
