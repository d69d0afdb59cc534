// Speed of the container reader on our own driver files, against named peers in one run:
// raw inflate against zlib and libdeflate, CBC deciphering against libgcrypt's GOST
// 28147-89 (the same round structure), and the catalogue load with every extraction.
#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <libdeflate.h>
#include <zlib.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/AppState.h"
#include "driverdb/DriverBaseDeflate.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/Inflate.h"
#include "driverdb/PCExtract.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/MemoryResourceSource.h"
#include "platform/posix/FileResourceSource.h"

namespace tarvelin {
namespace {

struct Corpus {
    std::vector<uint8_t> container;
    std::vector<std::vector<uint8_t>> plain;   // every entry
    std::vector<std::vector<uint8_t>> packed;  // raw deflate, zlib level 9
    std::vector<std::vector<uint8_t>> stored;  // the entries' enciphered bytes
    size_t plainBytes = 0, storedBytes = 0;
};

Corpus LoadCorpus() {
    Corpus c;
    platform::FileResourceSource file("DB", 101, TARVELIN_BENCH_CONTAINER);
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!file.Load("DB", 101, c.container) || !ParseDriverBaseHeader(c.container, header) ||
        !ParseDriverBaseIndex(c.container, header, records)) {
        std::fprintf(stderr, "cannot read %s\n", TARVELIN_BENCH_CONTAINER);
        std::exit(1);
    }
    for (int32_t n = 1; n <= header.entryCount; ++n) {
        const DriverBaseIndexRecord& r = records[static_cast<size_t>(n - 1)];
        std::vector<uint8_t> plain, packed;
        ExtractEntry(c.container, n, plain);
        DeflateRaw(plain, packed);
        c.plainBytes += plain.size();
        c.storedBytes += r.storedSize;
        c.plain.push_back(std::move(plain));
        c.packed.push_back(std::move(packed));
        const auto first = c.container.begin() + (r.offset - 1);
        c.stored.emplace_back(first, first + r.storedSize);
    }
    return c;
}

const Corpus& TheCorpus() {
    static const Corpus corpus = LoadCorpus();
    return corpus;
}

void BM_InflateOurs(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::vector<uint8_t> out(80 * 1024 + 1);
    for (auto _ : state) {
        for (size_t i = 0; i < c.packed.size(); ++i) {
            size_t produced = 0;
            Inflate(c.packed[i], std::span(out).first(c.plain[i].size() + 1), produced);
            benchmark::DoNotOptimize(produced);
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plainBytes));
}

void BM_InflateZlib(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::vector<uint8_t> out(80 * 1024 + 1);
    z_stream z{};
    inflateInit2(&z, -15);
    for (auto _ : state) {
        for (size_t i = 0; i < c.packed.size(); ++i) {
            inflateReset(&z);
            z.next_in = const_cast<Bytef*>(c.packed[i].data());
            z.avail_in = static_cast<uInt>(c.packed[i].size());
            z.next_out = out.data();
            z.avail_out = static_cast<uInt>(c.plain[i].size() + 1);
            benchmark::DoNotOptimize(inflate(&z, Z_FINISH));
        }
    }
    inflateEnd(&z);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plainBytes));
}

void BM_InflateLibdeflate(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::vector<uint8_t> out(80 * 1024 + 1);
    libdeflate_decompressor* d = libdeflate_alloc_decompressor();
    for (auto _ : state) {
        for (size_t i = 0; i < c.packed.size(); ++i) {
            size_t produced = 0;
            benchmark::DoNotOptimize(
                libdeflate_deflate_decompress(d, c.packed[i].data(), c.packed[i].size(), out.data(),
                                              c.plain[i].size() + 1, &produced));
        }
    }
    libdeflate_free_decompressor(d);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plainBytes));
}

void BM_DecipherOurs(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::vector<std::vector<uint8_t>> work = c.stored;
    const PCExtract extract;
    for (auto _ : state) {
        for (auto& buffer : work) extract.DecipherBlocks(buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.storedBytes));
}

void BM_DecipherLibgcrypt(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    std::vector<std::vector<uint8_t>> work = c.stored;
    gcry_cipher_hd_t h = nullptr;
    const uint8_t key[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    const uint8_t iv[8] = {};
    if (gcry_cipher_open(&h, GCRY_CIPHER_GOST28147, GCRY_CIPHER_MODE_CBC, 0) ||
        gcry_cipher_setkey(h, key, sizeof key)) {
        state.SkipWithError("libgcrypt has no GOST 28147-89");
        return;
    }
    for (auto _ : state) {
        for (auto& buffer : work) {
            gcry_cipher_setiv(h, iv, sizeof iv);
            gcry_cipher_decrypt(h, buffer.data(), buffer.size(), nullptr, 0);
        }
        benchmark::ClobberMemory();
    }
    gcry_cipher_close(h);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.storedBytes));
}

void BM_LoadCatalogueAndExtractAll(benchmark::State& state) {
    const Corpus& c = TheCorpus();
    platform::MemoryResourceSource source("DB", 101, c.container);
    platform::Platform platform;
    platform.resources = &source;
    AppState().platform = &platform;
    for (auto _ : state) {
        ResetDriverCatalog();
        benchmark::DoNotOptimize(EnsureDriverCatalog());
        for (int32_t n = 1; n <= static_cast<int32_t>(c.plain.size()); ++n) {
            std::vector<uint8_t> data;
            benchmark::DoNotOptimize(ExtractDriverBaseEntry(n, data));
        }
    }
    ResetDriverCatalog();
    AppState().platform = nullptr;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.plainBytes));
}

BENCHMARK(BM_InflateOurs);
BENCHMARK(BM_InflateZlib);
BENCHMARK(BM_InflateLibdeflate);
BENCHMARK(BM_DecipherOurs);
BENCHMARK(BM_DecipherLibgcrypt);
BENCHMARK(BM_LoadCatalogueAndExtractAll)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's processor time per iteration (steadier than wall time on a shared
// machine) so the ratios come from this very run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred)
                secondsPerIteration[run.benchmark_name()] =
                    run.GetAdjustedCPUTime() * benchmark::GetTimeUnitMultiplier(run.time_unit);
        }
        ConsoleReporter::ReportRuns(runs);
    }
    void PrintRatio(const char* name, const std::string& ours, const std::string& peer) const {
        const auto o = secondsPerIteration.find(ours), p = secondsPerIteration.find(peer);
        if (o == secondsPerIteration.end() || p == secondsPerIteration.end()) return;
        std::printf("ratio %s %.3f\n", name, p->second / o->second);  // throughput ours / peer
    }
    std::map<std::string, double> secondsPerIteration;
};

}  // namespace
}  // namespace tarvelin

int main(int argc, char** argv) {
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    benchmark::Initialize(&argc, argv);
    tarvelin::RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatio("inflate_vs_zlib", "BM_InflateOurs", "BM_InflateZlib");
    reporter.PrintRatio("inflate_vs_libdeflate", "BM_InflateOurs", "BM_InflateLibdeflate");
    reporter.PrintRatio("decipher_vs_libgcrypt", "BM_DecipherOurs", "BM_DecipherLibgcrypt");
    benchmark::Shutdown();
    return 0;
}
