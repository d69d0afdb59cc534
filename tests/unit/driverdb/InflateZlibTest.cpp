// Our inflater against zlib's on generated streams: every stream zlib accepts must give the
// same bytes here, and no stream (clean, corrupted or cut short) may crash the decoder or
// make it write past its buffer (the sanitizer build watches that).
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <vector>

#include "driverdb/Inflate.h"

namespace tarvelin {
namespace {

using Bytes = std::vector<uint8_t>;

struct Settings {
    int level, windowBits, memLevel, strategy;
};

// Runs one zlib call over the whole input into `limit` bytes; true when it reached the end.
bool RunToEnd(z_stream& z, int (*step)(z_stream*, int), const Bytes& in, size_t limit, Bytes& out) {
    out.resize(limit);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = step(&z, Z_FINISH);
    out.resize(z.total_out);
    return r == Z_STREAM_END;
}

bool ZlibDeflate(const Bytes& in, const Settings& s, Bytes& out) {
    z_stream z{};
    if (deflateInit2(&z, s.level, Z_DEFLATED, -s.windowBits, s.memLevel, s.strategy) != Z_OK) {
        return false;
    }
    const bool done = RunToEnd(z, deflate, in, deflateBound(&z, in.size()) + 16, out);
    deflateEnd(&z);
    return done;
}

// True when zlib decodes the stream to its final block within `limit` bytes.
bool ZlibInflate(const Bytes& in, size_t limit, Bytes& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    const bool done = RunToEnd(z, inflate, in, limit, out);
    inflateEnd(&z);
    return done;
}

class Generator {
  public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    // Random bytes, a small alphabet, long runs or runs of a short period.
    Bytes Data() {
        const size_t size = Pick(4) == 0 ? Pick(64) : Pick(Pick(2) ? 4000 : 40000);
        Bytes out;
        const unsigned kind = Pick(4);
        while (out.size() < size) {
            if (kind == 0) out.push_back(static_cast<uint8_t>(random_()));
            if (kind == 1) out.push_back(static_cast<uint8_t>('a' + Pick(5)));
            if (kind == 2) out.insert(out.end(), Pick(300) + 1, static_cast<uint8_t>(Pick(3)));
            if (kind == 3) AppendPeriodic(out);
        }
        out.resize(size);
        return out;
    }
    Settings PickSettings() {
        static constexpr int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE,
                                              Z_FIXED};
        return {static_cast<int>(Pick(10)), 9 + static_cast<int>(Pick(7)),
                1 + static_cast<int>(Pick(9)), kStrategies[Pick(5)]};
    }
    // Cut short, or one to three bits flipped.
    void Corrupt(Bytes& stream) {
        const auto size = static_cast<uint32_t>(stream.size());
        if (size == 0) return;
        if (Pick(3) == 0) return stream.resize(Pick(size));
        for (unsigned flips = Pick(3) + 1; flips > 0; --flips) {
            stream[Pick(size)] ^= static_cast<uint8_t>(1u << Pick(8));
        }
    }
    uint32_t Pick(uint32_t n) { return n == 0 ? 0 : random_() % n; }

  private:
    void AppendPeriodic(Bytes& out) {
        const size_t period = Pick(9) + 1;
        for (size_t i = 0; i < period; ++i) out.push_back(static_cast<uint8_t>(random_()));
        for (size_t n = Pick(600); n > 0; --n) out.push_back(out[out.size() - period]);
    }
    std::mt19937 random_;
};

int32_t Ours(const Bytes& stream, size_t capacity, Bytes& out) {
    out.assign(capacity, 0);
    size_t produced = 0;
    const int32_t r = Inflate(stream, out, produced);
    EXPECT_LE(produced, capacity);
    out.resize(produced);
    return r;
}

// Our result against zlib's on one stream; true when zlib decoded it.
bool AgreesWithZlib(const Bytes& stream, size_t limit) {
    Bytes expect, out;
    const int32_t ours = Ours(stream, limit, out);
    if (!ZlibInflate(stream, limit, expect)) return false;
    EXPECT_EQ(ours, kInflateOk);
    EXPECT_EQ(out, expect);
    return true;
}

// Every stream zlib makes decodes to its data into exactly its size and fails into one byte
// less; corrupted streams and random bytes decode as zlib's do whenever zlib's decode.
TEST(InflateZlibTest, AgreesWithZlib) {
    Generator gen(4242);
    int accepted = 0;
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        SCOPED_TRACE(i);
        const Bytes data = gen.Data();
        Bytes stream, out;
        ASSERT_TRUE(ZlibDeflate(data, gen.PickSettings(), stream));
        EXPECT_EQ(Ours(stream, data.size(), out), kInflateOk);
        EXPECT_EQ(out, data);
        if (!data.empty()) {
            EXPECT_EQ(Ours(stream, data.size() - 1, out), kInflateDataError);
        }
        gen.Corrupt(stream);
        accepted += AgreesWithZlib(stream, 2 * data.size() + 1024);
        stream.resize(gen.Pick(200));
        for (auto& b : stream) b = static_cast<uint8_t>(gen.Pick(256));
        AgreesWithZlib(stream, 4096);
    }
    EXPECT_GT(accepted, 100);  // the comparison did happen on a fair share
}

}  // namespace
}  // namespace tarvelin
