// Speed of the container reader against named peers: raw inflate against zlib and libdeflate
// on our own driver files and on a larger generated corpus, CBC deciphering against
// libgcrypt's GOST 28147-89 (the same round structure), and the catalogue load with every
// extraction. Every stream is checked byte for byte before anything is timed.
//
// The throughput table comes from the benchmark library; the "ratio" lines after it come
// from our own measurement: repetitions of ours and the peer interleaved (alternating which
// goes first), each timed in this thread's processor time, the ratio being the median of
// the per-repetition ratios. `--ratios-only` skips the table.
#include <benchmark/benchmark.h>
#include <gcrypt.h>
#include <libdeflate.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <random>
#include <string>
#include <type_traits>
#include <vector>

#include "core/AppState.h"
#include "driverdb/DriverBaseCipher.h"
#include "driverdb/DriverBaseDeflate.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/Inflate.h"
#include "driverdb/PCExtract.h"
#include "driverdb/modAppDriverBase.h"
#include "platform/MemoryResourceSource.h"
#include "platform/posix/FileResourceSource.h"

namespace tarvelin {
namespace {

using Bytes = std::vector<uint8_t>;

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "driverdb_bench: %s\n", what.c_str());
    std::exit(1);
}

// Raw deflate streams with their plain bytes.
struct Streams {
    std::vector<Bytes> plain, packed;
    size_t plainBytes = 0;
    size_t largest = 0;

    void Add(Bytes bytes, int level) {
        Bytes p;
        if (!DeflateRaw(bytes, p, level)) Fail("zlib cannot compress the corpus");
        plainBytes += bytes.size();
        largest = std::max(largest, bytes.size());
        plain.push_back(std::move(bytes));
        packed.push_back(std::move(p));
    }
};

struct ContainerCorpus {
    Bytes container;
    Streams streams;            // every entry, zlib level 9 as the container builder packs
    std::vector<Bytes> stored;  // the entries' enciphered bytes
    size_t storedBytes = 0;
};

ContainerCorpus LoadContainer() {
    ContainerCorpus c;
    platform::FileResourceSource file("DB", 101, TARVELIN_BENCH_CONTAINER);
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!file.Load("DB", 101, c.container) || !ParseDriverBaseHeader(c.container, header) ||
        !ParseDriverBaseIndex(c.container, header, records)) {
        Fail(std::string("cannot read ") + TARVELIN_BENCH_CONTAINER);
    }
    for (int32_t n = 1; n <= header.entryCount; ++n) {
        const DriverBaseIndexRecord& r = records[static_cast<size_t>(n - 1)];
        Bytes plain;
        if (!ExtractEntry(c.container, n, plain)) Fail("cannot extract a container entry");
        c.streams.Add(std::move(plain), 9);
        const auto first = c.container.begin() + (r.offset - 1);
        c.stored.emplace_back(first, first + r.storedSize);
        c.storedBytes += r.storedSize;
    }
    return c;
}

// Text: the repository's own sources and resources in name order, repeated until 4 MB.
Bytes SourceText() {
    namespace fs = std::filesystem;
    std::vector<fs::path> files;
    for (const char* dir : {"src", "resources", "tests", "tools", "docs"}) {
        const fs::path root = fs::path(TARVELIN_BENCH_SOURCE_DIR) / dir;
        if (!fs::is_directory(root)) continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    Bytes all;
    for (const fs::path& f : files) {
        std::ifstream in(f, std::ios::binary);
        all.insert(all.end(), std::istreambuf_iterator<char>(in), {});
    }
    if (all.empty()) Fail("no sources to build the text corpus from");
    constexpr size_t kSize = 4u << 20;
    Bytes text;
    text.reserve(kSize);
    while (text.size() < kSize) {
        text.insert(text.end(), all.begin(),
                    all.begin() + std::min(all.size(), kSize - text.size()));
    }
    return text;
}

// Binary-like bytes (2 MB, fixed seed): instruction-like runs over a skewed alphabet with
// repeats of recent fragments, tables of little-endian records, and zero padding.
Bytes BinaryData() {
    std::mt19937 random(20240611);
    auto pick = [&random](uint32_t n) { return static_cast<uint32_t>(random() % n); };
    std::array<uint8_t, 256> alphabet;
    for (unsigned i = 0; i < 256; ++i) alphabet[i] = static_cast<uint8_t>(i);
    std::shuffle(alphabet.begin(), alphabet.end(), random);
    constexpr size_t kSize = 2u << 20;
    Bytes out;
    out.reserve(kSize + 4096);
    while (out.size() < kSize) {
        const uint32_t kind = pick(8);
        if (kind < 5) {  // code: skewed bytes, often a fragment seen shortly before
            for (uint32_t n = 200 + pick(2000); n > 0; --n) {
                if (out.size() > 4096 && pick(6) == 0) {
                    const size_t len = 3 + pick(30), back = len + pick(4000);
                    for (size_t i = 0; i < len; ++i) out.push_back(out[out.size() - back]);
                } else {
                    uint32_t rank = 0;
                    while (rank < 255 && pick(5) != 0) rank += 1 + pick(3);
                    out.push_back(alphabet[std::min(rank, 255u)]);
                }
            }
        } else if (kind < 7) {  // a table of records
            const uint32_t base = random() & 0xFFFF0000u;
            for (uint32_t i = 0, n = 16 + pick(300); i < n; ++i) {
                const uint32_t fields[4] = {i, base + i * 16 + pick(16), pick(100), 0};
                for (uint32_t v : fields) {
                    for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(v >> (8 * b)));
                }
            }
        } else {
            out.insert(out.end(), 16 + pick(1024), 0);
        }
    }
    out.resize(kSize);
    return out;
}

Streams LargeCorpus() {
    Streams s;
    const Bytes text = SourceText(), binary = BinaryData();
    for (int level : {6, 9}) {
        s.Add(text, level);
        s.Add(binary, level);
    }
    return s;
}

const ContainerCorpus& Container() {
    static const ContainerCorpus corpus = LoadContainer();
    return corpus;
}
const Streams& Large() {
    static const Streams corpus = LargeCorpus();
    return corpus;
}

// The inflaters under test, each decoding every stream of a set into one buffer.
class InflateOurs {
  public:
    bool Decode(const Bytes& in, Bytes& out, size_t capacity, size_t& produced) {
        return Inflate(in, std::span(out).first(capacity), produced) == kInflateOk;
    }
};

class InflateZlib {
  public:
    InflateZlib() { inflateInit2(&z_, -15); }
    ~InflateZlib() { inflateEnd(&z_); }
    InflateZlib(const InflateZlib&) = delete;
    InflateZlib& operator=(const InflateZlib&) = delete;
    bool Decode(const Bytes& in, Bytes& out, size_t capacity, size_t& produced) {
        inflateReset(&z_);
        z_.next_in = const_cast<Bytef*>(in.data());
        z_.avail_in = static_cast<uInt>(in.size());
        z_.next_out = out.data();
        z_.avail_out = static_cast<uInt>(capacity);
        const bool ok = inflate(&z_, Z_FINISH) == Z_STREAM_END;
        produced = capacity - z_.avail_out;
        return ok;
    }

  private:
    z_stream z_{};
};

class InflateLibdeflate {
  public:
    bool Decode(const Bytes& in, Bytes& out, size_t capacity, size_t& produced) {
        return libdeflate_deflate_decompress(d_.get(), in.data(), in.size(), out.data(), capacity,
                                             &produced) == LIBDEFLATE_SUCCESS;
    }

  private:
    struct Free {
        void operator()(libdeflate_decompressor* d) const { libdeflate_free_decompressor(d); }
    };
    std::unique_ptr<libdeflate_decompressor, Free> d_{libdeflate_alloc_decompressor()};
};

// Decodes every stream with a capacity one byte beyond its plain size, as the reader does.
template <class Inflater>
void InflateAll(Inflater& inflater, const Streams& s, Bytes& out) {
    for (size_t i = 0; i < s.packed.size(); ++i) {
        size_t produced = 0;
        benchmark::DoNotOptimize(
            inflater.Decode(s.packed[i], out, s.plain[i].size() + 1, produced));
    }
}

template <class Inflater>
void CheckInflater(const char* name, const Streams& s) {
    Inflater inflater;
    Bytes out(s.largest + 1);
    for (size_t i = 0; i < s.packed.size(); ++i) {
        size_t produced = 0;
        if (!inflater.Decode(s.packed[i], out, s.plain[i].size() + 1, produced) ||
            produced != s.plain[i].size() ||
            !std::equal(s.plain[i].begin(), s.plain[i].end(), out.begin())) {
            Fail(std::string(name) + " does not reproduce stream " + std::to_string(i));
        }
    }
}

void CheckStreams(const Streams& s) {
    CheckInflater<InflateZlib>("zlib", s);
    CheckInflater<InflateOurs>("our inflater", s);
    CheckInflater<InflateLibdeflate>("libdeflate", s);
}

// libgcrypt's GOST 28147-89 in CBC mode; null when this libgcrypt lacks it.
class GcryptCbc {
  public:
    GcryptCbc() {
        gcry_cipher_hd_t h = nullptr;
        const uint8_t key[32] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
        if (gcry_cipher_open(&h, GCRY_CIPHER_GOST28147, GCRY_CIPHER_MODE_CBC, 0) != 0) return;
        h_.reset(h);
        if (gcry_cipher_setkey(h, key, sizeof key) != 0) h_.reset();
    }
    bool Usable() const { return h_ != nullptr; }
    void Decipher(Bytes& buffer) {
        const uint8_t iv[8] = {};
        gcry_cipher_setiv(h_.get(), iv, sizeof iv);
        gcry_cipher_decrypt(h_.get(), buffer.data(), buffer.size(), nullptr, 0);
    }

  private:
    struct Close {
        void operator()(gcry_cipher_hd_t h) const { gcry_cipher_close(h); }
    };
    std::unique_ptr<std::remove_pointer_t<gcry_cipher_hd_t>, Close> h_;
};

// The block path written out: one block at a time through DecipherBlock, CBC by hand.
void DecipherOneBlockAtATime(const DriverBaseCipher& cipher, Bytes& data) {
    uint32_t prevL = 0, prevR = 0;
    for (size_t i = 0; i + 8 <= data.size(); i += 8) {
        uint32_t l = LoadBlockWord(&data[i]), r = LoadBlockWord(&data[i + 4]);
        const uint32_t cl = l, cr = r;
        cipher.DecipherBlock(l, r);
        StoreBlockWord(&data[i], l ^ prevL);
        StoreBlockWord(&data[i + 4], r ^ prevR);
        prevL = cl;
        prevR = cr;
    }
}

void CheckDecipher(const ContainerCorpus& c) {
    const PCExtract extract;
    for (const Bytes& stored : c.stored) {
        Bytes fast = stored, slow = stored;
        extract.DecipherBlocks(fast);
        DecipherOneBlockAtATime(extract.Cipher(), slow);
        if (fast != slow) Fail("the interleaved decipher differs from the one-block path");
    }
}

void BenchInflate(benchmark::State& state, const std::function<void(Bytes&)>& run, size_t bytes) {
    Bytes out;
    for (auto _ : state) run(out);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * bytes));
}

template <class Inflater>
std::function<void(Bytes&)> InflateRun(const Streams& s) {
    auto inflater = std::make_shared<Inflater>();
    return [inflater, &s](Bytes& out) {
        out.resize(s.largest + 1);
        InflateAll(*inflater, s, out);
    };
}

void RegisterInflate(const char* set, const Streams& s) {
    const std::pair<const char*, std::function<void(Bytes&)>> runs[] = {
        {"Ours", InflateRun<InflateOurs>(s)},
        {"Zlib", InflateRun<InflateZlib>(s)},
        {"Libdeflate", InflateRun<InflateLibdeflate>(s)}};
    for (const auto& [name, run] : runs) {
        benchmark::RegisterBenchmark(
            (std::string("BM_Inflate") + set + "_" + name).c_str(),
            [run = run, &s](benchmark::State& st) { BenchInflate(st, run, s.plainBytes); });
    }
}

void BM_DecipherOurs(benchmark::State& state) {
    const ContainerCorpus& c = Container();
    std::vector<Bytes> work = c.stored;
    const PCExtract extract;
    for (auto _ : state) {
        for (auto& buffer : work) extract.DecipherBlocks(buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.storedBytes));
}

void BM_DecipherLibgcrypt(benchmark::State& state) {
    const ContainerCorpus& c = Container();
    std::vector<Bytes> work = c.stored;
    GcryptCbc gcrypt;
    if (!gcrypt.Usable()) {
        state.SkipWithError("libgcrypt has no GOST 28147-89");
        return;
    }
    for (auto _ : state) {
        for (auto& buffer : work) gcrypt.Decipher(buffer);
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.storedBytes));
}

void BM_LoadCatalogueAndExtractAll(benchmark::State& state) {
    const ContainerCorpus& c = Container();
    platform::MemoryResourceSource source("DB", 101, c.container);
    platform::Platform platform;
    platform.resources = &source;
    AppState().platform = &platform;
    for (auto _ : state) {
        ResetDriverCatalog();
        benchmark::DoNotOptimize(EnsureDriverCatalog());
        for (int32_t n = 1; n <= static_cast<int32_t>(c.streams.plain.size()); ++n) {
            Bytes data;
            benchmark::DoNotOptimize(ExtractDriverBaseEntry(n, data));
        }
    }
    ResetDriverCatalog();
    AppState().platform = nullptr;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.streams.plainBytes));
}

double ThreadSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Processor seconds for `passes` calls of `run`.
double Time(const std::function<void()>& run, int passes) {
    const double start = ThreadSeconds();
    for (int i = 0; i < passes; ++i) run();
    return ThreadSeconds() - start;
}

// Throughput of ours over the peer: the median over interleaved repetitions, each about
// 20 ms of work per side.
double MedianRatio(const std::function<void()>& ours, const std::function<void()>& peer) {
    ours();
    peer();
    const double once = std::max(Time(ours, 1), 1e-6);
    const int passes = std::max(1, static_cast<int>(0.02 / once));
    constexpr int kRepetitions = 31;
    std::vector<double> ratios;
    for (int rep = 0; rep < kRepetitions; ++rep) {
        double o = 0, p = 0;
        if (rep % 2 == 0) {
            o = Time(ours, passes);
            p = Time(peer, passes);
        } else {
            p = Time(peer, passes);
            o = Time(ours, passes);
        }
        ratios.push_back(p / o);
    }
    std::nth_element(ratios.begin(), ratios.begin() + kRepetitions / 2, ratios.end());
    return ratios[kRepetitions / 2];
}

template <class Peer>
double InflateRatio(const Streams& s) {
    InflateOurs ours;
    Peer peer;
    Bytes out(s.largest + 1);
    return MedianRatio([&] { InflateAll(ours, s, out); }, [&] { InflateAll(peer, s, out); });
}

void PrintRatio(const char* name, double ratio) {
    std::printf("ratio %s %.3f\n", name, ratio);
    std::fflush(stdout);
}

void PrintRatios() {
    const ContainerCorpus& c = Container();
    PrintRatio("inflate_vs_zlib_container", InflateRatio<InflateZlib>(c.streams));
    PrintRatio("inflate_vs_libdeflate_container", InflateRatio<InflateLibdeflate>(c.streams));
    PrintRatio("inflate_vs_libdeflate_large", InflateRatio<InflateLibdeflate>(Large()));
    GcryptCbc gcrypt;
    if (!gcrypt.Usable()) return;
    const PCExtract extract;
    std::vector<Bytes> work = c.stored;
    PrintRatio("decipher_vs_libgcrypt", MedianRatio(
                                            [&] {
                                                for (auto& b : work) extract.DecipherBlocks(b);
                                            },
                                            [&] {
                                                for (auto& b : work) gcrypt.Decipher(b);
                                            }));
}

}  // namespace
}  // namespace tarvelin

int main(int argc, char** argv) {
    using namespace tarvelin;
    gcry_check_version(nullptr);
    gcry_control(GCRYCTL_INITIALIZATION_FINISHED, 0);
    bool ratiosOnly = false;
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strcmp(argv[i], "--ratios-only") == 0) {
            ratiosOnly = true;
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    CheckStreams(Container().streams);
    CheckStreams(Large());
    CheckDecipher(Container());
    if (!ratiosOnly) {
        RegisterInflate("Container", Container().streams);
        RegisterInflate("Large", Large());
        benchmark::RegisterBenchmark("BM_DecipherOurs", BM_DecipherOurs);
        benchmark::RegisterBenchmark("BM_DecipherLibgcrypt", BM_DecipherLibgcrypt);
        benchmark::RegisterBenchmark("BM_LoadCatalogueAndExtractAll", BM_LoadCatalogueAndExtractAll)
            ->Unit(benchmark::kMillisecond);
        // Plain text whatever the terminal, so the ratio lines below start their lines.
        benchmark::ConsoleReporter table(benchmark::ConsoleReporter::OO_Tabular);
        benchmark::RunSpecifiedBenchmarks(&table);
        std::cout.flush();
    }
    std::fflush(stdout);
    PrintRatios();
    benchmark::Shutdown();
    return 0;
}
