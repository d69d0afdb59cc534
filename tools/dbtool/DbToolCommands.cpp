#include "DbToolCommands.h"

#include <charconv>
#include <iomanip>
#include <ostream>

#include "FileAccess.h"
#include "Manifest.h"
#include "RegularFile.h"
#include "driverdb/DriverBaseDeflate.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/DriverCatalogText.h"
#include "driverdb/PCExtract.h"
#include "platform/AnsiText.h"

namespace tarvelin::dbtool {
namespace {

constexpr int32_t kFirstInfEntry = 4;

std::string AsText(const std::vector<uint8_t>& bytes) {
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Text from the container shown on a terminal: control characters (C0, DEL and, in UTF-8,
// C1) as \xhh, so that a table cannot move the cursor or retitle the window.
std::string Printable(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool c1 = c == 0xC2 && i + 1 < text.size() &&
                        (static_cast<unsigned char>(text[i + 1]) & 0xE0) == 0x80;
        if (c >= 0x20 && c != 0x7F && !c1) {
            out += text[i];
            continue;
        }
        const auto code = c1 ? static_cast<unsigned char>(text[++i]) : c;
        out.append("\\x").append(1, kHex[code >> 4]).append(1, kHex[code & 0xF]);
    }
    return out;
}

// kExitOk with the header and index, kExitInput when the file cannot be read, kExitProblems
// when it is no container.
int LoadContainer(const std::string& file, std::vector<uint8_t>& bytes, DriverBaseHeader& header,
                  std::vector<DriverBaseIndexRecord>& records, std::ostream& err) {
    std::string why;
    if (!tools::ReadWholeFile(file, bytes, why)) {
        err << file << ": " << why << "\n";
        return kExitInput;
    }
    if (!ParseDriverBaseHeader(bytes, header)) {
        err << file << ": not a driver database (bad magic, version, date or entry count)\n";
        return kExitProblems;
    }
    if (!ParseDriverBaseIndex(bytes, header, records)) {
        err << file << ": index of " << header.entryCount << " entries runs past the end\n";
        return kExitProblems;
    }
    return kExitOk;
}

// Extracts one entry step by step, checking each index field on the way; empty when sound.
std::string EntryProblem(std::span<const uint8_t> container, const DriverBaseIndexRecord& r,
                         const PCExtract& extract, std::vector<uint8_t>& data) {
    if (!ReadStoredBytes(container, r, data)) return "stored bytes lie outside the container";
    if (!extract.DecipherBuffer(data)) return "frame does not decipher";
    if (data.size() != r.packedLength) {
        return "payload of " + std::to_string(data.size()) + " bytes, index says " +
               std::to_string(r.packedLength);
    }
    if (!extract.InflatePayload(data, static_cast<int32_t>(r.unpackedSize))) {
        return "does not inflate within its recorded size";
    }
    if (data.size() != r.unpackedSize) {
        return "inflates to " + std::to_string(data.size()) + " bytes, index says " +
               std::to_string(r.unpackedSize);
    }
    return {};
}

void VerifyModelRows(const ModelTable& models, int32_t entryCount,
                     std::vector<std::string>& problems) {
    for (size_t r = 0; r < models.size(); ++r) {
        int32_t n = 0;
        const std::string& column = models[r][kModelEntry];
        if (!ParseEntryNumber(column, n) || n < kFirstInfEntry || n > entryCount) {
            problems.push_back("model table row " + std::to_string(r + 1) + " (" +
                               Printable(models[r][kModelMaker]) + " " +
                               Printable(models[r][kModelName]) + "): INF entry \"" +
                               Printable(column) + "\" is not in " +
                               std::to_string(kFirstInfEntry) + ".." + std::to_string(entryCount));
        }
    }
}

void VerifyCatalog(const std::vector<uint8_t>& modelBytes, const std::vector<uint8_t>& tacBytes,
                   int32_t entryCount, std::vector<std::string>& problems) {
    ModelTable models;
    TacTable tacs;
    TacIndex index;
    if (!ParseModelTable(AsText(modelBytes), models)) {
        problems.push_back("entry 1: no model table rows");
    } else {
        VerifyModelRows(models, entryCount, problems);
    }
    if (!ParseTacTable(AsText(tacBytes), tacs, index)) {
        problems.push_back("entry 2: no TAC table rows with codes");
    }
}

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

}  // namespace

bool ParseBuildOptions(std::span<const std::string> options, BuildOptions& parsed) {
    for (size_t i = 0; i < options.size(); i += 2) {
        if (i + 1 >= options.size()) return false;
        if (options[i] == "--date") {
            if (!ParseNumber(options[i + 1], parsed.date) || parsed.date < 1) return false;
        } else if (options[i] == "--seed") {
            if (!ParseNumber(options[i + 1], parsed.seed)) return false;
            parsed.seeded = true;
        } else {
            return false;
        }
    }
    return true;
}

std::vector<std::string> VerifyContainer(std::span<const uint8_t> container) {
    std::vector<std::string> problems;
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!ParseDriverBaseHeader(container, header) ||
        !ParseDriverBaseIndex(container, header, records)) {
        return {"header or index unreadable"};
    }
    std::vector<uint8_t> modelBytes, tacBytes;
    const PCExtract extract;  // one key schedule for every entry
    for (size_t i = 0; i < records.size(); ++i) {
        std::vector<uint8_t> data;
        const std::string problem = EntryProblem(container, records[i], extract, data);
        if (!problem.empty()) {
            problems.push_back("entry " + std::to_string(i + 1) + ": " + problem);
            data.clear();
        }
        if (i == 0) modelBytes = std::move(data);
        if (i == 1) tacBytes = std::move(data);
    }
    if (header.entryCount < 3) problems.push_back("fewer than 3 entries");
    VerifyCatalog(modelBytes, tacBytes, header.entryCount, problems);
    return problems;
}

int BuildCommand(const std::string& manifest, const std::string& out, const BuildOptions& options,
                 std::ostream& err) {
    std::vector<uint8_t> content;
    std::vector<ManifestEntry> entries;
    std::string error;
    if (!tools::ReadWholeFile(manifest, content, error) ||
        !ParseManifest(
            std::string_view(reinterpret_cast<const char*>(content.data()), content.size()),
            entries, error)) {
        err << manifest << ": " << error << "\n";
        return kExitInput;
    }
    std::mt19937_64 random(options.seeded ? options.seed : std::random_device{}());
    std::vector<StoredEntry> stored(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        std::vector<uint8_t> bytes;
        if (!LoadManifestEntry(FolderOf(manifest), entries[i], bytes, error)) {
            err << error << "\n";
            return kExitInput;
        }
        if (!PackEntry(bytes, random, stored[i])) {
            err << entries[i].path << ": cannot be compressed\n";
            return kExitInput;
        }
    }
    std::vector<uint8_t> container;
    ContainerHeaderFields fields;
    fields.date = static_cast<uint32_t>(options.date);
    if (!LayoutDriverBase(stored, fields, container)) {
        err << "the entries do not fit a container (over 4 GiB)\n";
        return kExitInput;
    }
    if (!WriteWholeFile(out, container, error)) {
        err << error << "\n";
        return kExitInput;
    }
    return kExitOk;
}

int ListCommand(const std::string& file, std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> bytes;
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (const int loaded = LoadContainer(file, bytes, header, records, err); loaded != kExitOk) {
        return loaded;
    }
    out << "version " << header.versionMajor << "." << header.versionMinor << ", date "
        << header.date << ", " << header.entryCount << " entries\n";
    out << "entry  identifier  packed  unpacked  stored  offset\n";
    for (size_t i = 0; i < records.size(); ++i) {
        const DriverBaseIndexRecord& r = records[i];
        out << std::setw(5) << i + 1 << "  " << std::hex << std::setfill('0') << std::setw(8)
            << r.identifier << std::dec << std::setfill(' ') << "  " << std::setw(6)
            << r.packedLength << "  " << std::setw(8) << r.unpackedSize << "  " << std::setw(6)
            << r.storedSize << "  " << r.offset << "\n";
    }
    return kExitOk;
}

int ExtractCommand(const std::string& file, const std::string& entry, const std::string& outFile,
                   std::ostream& err) {
    int32_t n = 0;
    if (!ParseEntryNumber(entry, n)) {
        err << "entry number expected, found \"" << entry << "\"\n";
        return kExitUsage;
    }
    std::vector<uint8_t> bytes, data;
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (const int loaded = LoadContainer(file, bytes, header, records, err); loaded != kExitOk) {
        return loaded;
    }
    if (n < 1 || n > header.entryCount) {
        err << file << ": no entry " << n << " (entries 1.." << header.entryCount << ")\n";
        return kExitUsage;
    }
    if (!ExtractEntry(bytes, n, data)) {
        err << file << ": entry " << n << " does not decipher and inflate\n";
        return kExitProblems;
    }
    std::string error;
    if (!WriteWholeFile(outFile, data, error)) {
        err << error << "\n";
        return kExitInput;
    }
    return kExitOk;
}

int VerifyCommand(const std::string& file, std::ostream& out, std::ostream& err) {
    std::vector<uint8_t> bytes;
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (const int loaded = LoadContainer(file, bytes, header, records, err); loaded != kExitOk) {
        return loaded;
    }
    const std::vector<std::string> problems = VerifyContainer(bytes);
    for (const std::string& p : problems) err << file << ": " << p << "\n";
    if (!problems.empty()) return kExitProblems;
    out << file << ": " << header.entryCount << " entries OK\n";
    return kExitOk;
}

}  // namespace tarvelin::dbtool
