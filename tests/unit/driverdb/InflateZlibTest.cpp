// Our inflater against zlib's on generated streams: every stream zlib accepts must give the
// same bytes here, and no stream (clean, corrupted or cut short) may crash the decoder or
// make it write past its buffer (the sanitizer build watches that).
#include <gtest/gtest.h>
#include <zlib.h>

#include <random>
#include <string>
#include <vector>

#include "driverdb/Inflate.h"

namespace tarvelin {
namespace {

using Bytes = std::vector<uint8_t>;

struct Settings {
    int level, windowBits, memLevel, strategy;
};

bool ZlibDeflate(const Bytes& in, const Settings& s, Bytes& out) {
    z_stream z{};
    if (deflateInit2(&z, s.level, Z_DEFLATED, -s.windowBits, s.memLevel, s.strategy) != Z_OK) {
        return false;
    }
    out.resize(deflateBound(&z, in.size()) + 16);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return r == Z_STREAM_END;
}

// True when zlib decodes the stream to its final block within `limit` bytes.
bool ZlibInflate(const Bytes& in, size_t limit, Bytes& out) {
    z_stream z{};
    if (inflateInit2(&z, -15) != Z_OK) return false;
    out.resize(limit);
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(in.size());
    z.next_out = out.data();
    z.avail_out = static_cast<uInt>(out.size());
    const int r = inflate(&z, Z_FINISH);
    out.resize(z.total_out);
    inflateEnd(&z);
    return r == Z_STREAM_END;
}

class Generator {
  public:
    explicit Generator(uint32_t seed) : random_(seed) {}

    Bytes Data() {
        const size_t size = Pick(4) == 0 ? Pick(64) : Pick(Pick(2) ? 4000 : 40000);
        Bytes out;
        out.reserve(size);
        const unsigned kind = Pick(4);
        while (out.size() < size) {
            if (kind == 0) out.push_back(static_cast<uint8_t>(random_()));
            if (kind == 1) AppendWord(out);
            if (kind == 2) out.insert(out.end(), Pick(300) + 1, static_cast<uint8_t>(Pick(3)));
            if (kind == 3) AppendPeriodic(out);
        }
        out.resize(size);
        return out;
    }
    Settings Pick() {
        static constexpr int kStrategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE,
                                              Z_FIXED};
        return {static_cast<int>(Pick(10)), 9 + static_cast<int>(Pick(7)),
                1 + static_cast<int>(Pick(9)), kStrategies[Pick(5)]};
    }
    void Corrupt(Bytes& stream) {
        if (stream.empty()) return;
        if (Pick(3) == 0) {
            stream.resize(Pick(static_cast<uint32_t>(stream.size())));
            return;
        }
        for (unsigned flips = Pick(3) + 1; flips > 0; --flips) {
            stream[Pick(static_cast<uint32_t>(stream.size()))] ^=
                static_cast<uint8_t>(1u << Pick(8));
        }
    }
    uint32_t Pick(uint32_t n) { return n == 0 ? 0 : random_() % n; }

  private:
    // A run with a short period: matches closer than a word.
    void AppendPeriodic(Bytes& out) {
        const size_t period = Pick(9) + 1;
        for (size_t i = 0; i < period; ++i) out.push_back(static_cast<uint8_t>(random_()));
        for (size_t n = Pick(600); n > 0; --n) out.push_back(out[out.size() - period]);
    }
    void AppendWord(Bytes& out) {
        static const char* const kWords[] = {
            "[Modem]",   "HKR,,",   "AT+CGDCONT=1,", "\r\n",    "Nokia ",     "USB\\VID_0421&PID_",
            "; comment", "%Modem%", " = ",           "Strings", "0x00000000", "Properties"};
        const std::string w = kWords[Pick(12)];
        out.insert(out.end(), w.begin(), w.end());
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

TEST(InflateZlibTest, SameBytesAsZlibOnCleanStreams) {
    Generator gen(20080630);
    for (int i = 0; i < 1500; ++i) {
        const Bytes data = gen.Data();
        const Settings s = gen.Pick();
        Bytes stream, out;
        ASSERT_TRUE(ZlibDeflate(data, s, stream));
        ASSERT_EQ(Ours(stream, data.size(), out), kInflateOk)
            << "case " << i << " level " << s.level << " strategy " << s.strategy;
        ASSERT_EQ(out, data) << "case " << i;
        if (!data.empty()) {
            EXPECT_EQ(Ours(stream, data.size() - 1, out), kInflateDataError) << "case " << i;
        }
    }
}

// Our result against zlib's on one stream; true when zlib decoded it.
bool AgreesWithZlib(const Bytes& stream, size_t limit, int i) {
    Bytes expect, out;
    const int32_t ours = Ours(stream, limit, out);
    if (!ZlibInflate(stream, limit, expect)) return false;
    EXPECT_EQ(ours, kInflateOk) << "case " << i;
    EXPECT_EQ(out, expect) << "case " << i;
    return true;
}

TEST(InflateZlibTest, AgreesWithZlibOnCorruptedStreamsAndRandomBytes) {
    Generator gen(4242);
    int accepted = 0;
    for (int i = 0; i < 3000 && !::testing::Test::HasFailure(); ++i) {
        const Bytes data = gen.Data();
        Bytes stream(gen.Pick(200));
        for (auto& b : stream) b = static_cast<uint8_t>(gen.Pick(256));
        AgreesWithZlib(stream, 4096, i);
        ASSERT_TRUE(ZlibDeflate(data, gen.Pick(), stream));
        gen.Corrupt(stream);
        accepted += AgreesWithZlib(stream, 2 * data.size() + 1024, i);
    }
    EXPECT_GT(accepted, 100);  // the comparison did happen on a fair share
}

}  // namespace
}  // namespace tarvelin
