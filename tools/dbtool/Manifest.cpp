#include "Manifest.h"

#include <algorithm>

#include "RegularFile.h"
#include "driverdb/DriverBaseWriter.h"
#include "driverdb/DriverCatalogText.h"

namespace tarvelin::dbtool {
namespace {

constexpr std::string_view kBlank = " \t\r";

std::string_view Trim(std::string_view s) {
    const size_t first = s.find_first_not_of(kBlank);
    if (first == std::string_view::npos) return {};
    return s.substr(first, s.find_last_not_of(kBlank) - first + 1);
}

std::string LinePrefix(int line) {
    return "manifest line " + std::to_string(line) + ": ";
}

}  // namespace

bool ParseManifest(std::string_view content, std::vector<ManifestEntry>& entries,
                   std::string& error) {
    entries.clear();
    int number = 0;
    for (std::string_view line : SplitText(content, "\n")) {
        ++number;
        line = Trim(line);
        if (line.empty() || line.front() == '#') continue;
        const size_t gap = line.find_first_of(kBlank);
        const std::string_view kind = line.substr(0, gap);
        const std::string_view path = gap == std::string_view::npos ? "" : Trim(line.substr(gap));
        if ((kind != "text" && kind != "binary") || path.empty()) {
            error = LinePrefix(number) + "expected \"text PATH\" or \"binary PATH\", found \"" +
                    std::string(line) + "\"";
            return false;
        }
        entries.push_back({kind == "text", std::string(path), number});
    }
    if (entries.empty()) {
        error = "manifest lists no entries";
        return false;
    }
    return true;
}

bool LoadManifestEntry(const std::string& folder, const ManifestEntry& entry,
                       std::vector<uint8_t>& bytes, std::string& error) {
    std::vector<uint8_t> raw;
    std::string why;
    if (!tools::ReadWholeFile(folder + "/" + entry.path, raw, why)) {
        error = LinePrefix(entry.line) + entry.path + ": " + why;
        return false;
    }
    if (!entry.text) {
        bytes = std::move(raw);
        return true;
    }
    const std::string_view utf8(reinterpret_cast<const char*>(raw.data()), raw.size());
    const std::string ansi = TextEntryFromUtf8(utf8);
    // A '?' that was not in the source stands for a character the code page lacks.
    if (std::count(ansi.begin(), ansi.end(), '?') != std::count(utf8.begin(), utf8.end(), '?')) {
        error = LinePrefix(entry.line) + entry.path +
                ": holds characters that Windows-1251 cannot store (or malformed UTF-8)";
        return false;
    }
    bytes.assign(ansi.begin(), ansi.end());
    return true;
}

}  // namespace tarvelin::dbtool
