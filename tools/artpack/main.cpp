// tarvelin-artpack: packs rendered artwork (raw RGBA files, top row first) into the program's
// resource files.
//   tarvelin-artpack bmp <width> <height> <in.rgba> <out.bmp>
//   tarvelin-artpack ico <out.ico> <size> <in.rgba> [<size> <in.rgba> ...]
//   tarvelin-artpack cur <out.cur> <size> <hot x> <hot y> <in.rgba>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "ArtPack.h"

namespace {

using namespace tarvelin::artpack;

bool Number(std::string_view text, int32_t& value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= 0;
}

bool ReadFile(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
    return in.good() || in.eof();
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    if (bytes.empty()) return false;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    return out.good();
}

int Fail(const char* what) {
    std::fprintf(stderr, "tarvelin-artpack: %s\n", what);
    return 1;
}

int Bitmap(const std::vector<std::string>& a) {
    int32_t w = 0, h = 0;
    std::vector<uint8_t> rgba;
    if (a.size() != 6 || !Number(a[2], w) || !Number(a[3], h) || !ReadFile(a[4], rgba)) {
        return Fail("bmp needs a width, a height, a readable input and an output");
    }
    return WriteFile(a[5], EncodeBmp24({w, h, rgba})) ? 0 : Fail("no bitmap written");
}

int Icons(const std::vector<std::string>& a, bool cursor) {
    const size_t fields = cursor ? 4 : 2;  // size [hot x, hot y] input
    if (a.size() < 3 + fields || (a.size() - 3) % fields != 0) return Fail("wrong arguments");
    std::vector<std::vector<uint8_t>> data((a.size() - 3) / fields);
    std::vector<IconEntry> entries(data.size());
    for (size_t i = 0; i < data.size(); ++i) {
        const size_t at = 3 + i * fields;
        int32_t size = 0, x = 0, y = 0;
        if (!Number(a[at], size) || !ReadFile(a[at + fields - 1], data[i]) ||
            (cursor &&
             (!Number(a[at + 1], x) || !Number(a[at + 2], y) || x >= size || y >= size))) {
            return Fail("an entry has a bad size, hot spot or input");
        }
        entries[i] = {{size, size, data[i]}, static_cast<uint16_t>(x), static_cast<uint16_t>(y)};
    }
    return WriteFile(a[2], EncodeIconFile(entries, cursor)) ? 0 : Fail("no file written");
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv, argv + argc);
    if (args.size() > 1 && args[1] == "bmp") return Bitmap(args);
    if (args.size() > 2 && (args[1] == "ico" || args[1] == "cur")) {
        return Icons(args, args[1] == "cur");
    }
    return Fail(
        "usage: bmp <w> <h> <in.rgba> <out.bmp> | ico <out> (<size> <in>)... | "
        "cur <out> <size> <x> <y> <in>");
}
