#include "DbToolCommands.h"

#include <cstdio>
#include <fstream>
#include <iomanip>
#include <ostream>

#include "Manifest.h"
#include "platform/AnsiText.h"
#include "driverdb/DriverBaseDeflate.h"
#include "driverdb/DriverBaseFormat.h"
#include "driverdb/DriverCatalogText.h"

namespace tarvelin::dbtool {
namespace {

constexpr int32_t kFirstInfEntry = 4;

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::string AsText(const std::vector<uint8_t>& bytes) {
    return AnsiToUtf8(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// Writes through a temporary name so a failed run never leaves half a container behind.
bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    const std::string temp = path + ".tmp";
    {
        std::ofstream file(temp, std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        if (!file.flush()) {
            error = "cannot write " + temp;
            return false;
        }
    }
    if (std::rename(temp.c_str(), path.c_str()) != 0) {
        error = "cannot rename " + temp + " to " + path;
        std::remove(temp.c_str());
        return false;
    }
    return true;
}

bool LoadContainer(const std::string& file, std::vector<uint8_t>& bytes, DriverBaseHeader& header,
                   std::vector<DriverBaseIndexRecord>& records, std::ostream& err) {
    std::string why;
    if (!ReadWholeFile(file, bytes, why)) {
        err << file << ": " << why << "\n";
        return false;
    }
    if (!ParseDriverBaseHeader(bytes, header)) {
        err << file << ": not a driver database (bad magic, version, date or entry count)\n";
        return false;
    }
    if (!ParseDriverBaseIndex(bytes, header, records)) {
        err << file << ": index of " << header.entryCount << " entries runs past the end\n";
        return false;
    }
    return true;
}

void VerifyModelRows(const ModelTable& models, int32_t entryCount,
                     std::vector<std::string>& problems) {
    for (size_t r = 0; r < models.size(); ++r) {
        int32_t n = 0;
        const std::string& column = models[r][kModelEntry];
        if (!ParseEntryNumber(column, n) || n < kFirstInfEntry || n > entryCount) {
            problems.push_back("model table row " + std::to_string(r + 1) + " (" +
                               models[r][kModelMaker] + " " + models[r][kModelName] +
                               "): INF entry \"" + column + "\" is not in " +
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

}  // namespace

std::vector<std::string> VerifyContainer(std::span<const uint8_t> container) {
    std::vector<std::string> problems;
    DriverBaseHeader header;
    std::vector<DriverBaseIndexRecord> records;
    if (!ParseDriverBaseHeader(container, header) ||
        !ParseDriverBaseIndex(container, header, records)) {
        return {"header or index unreadable"};
    }
    std::vector<uint8_t> modelBytes, tacBytes;
    for (int32_t n = 1; n <= header.entryCount; ++n) {
        std::vector<uint8_t> data;
        const DriverBaseIndexRecord& r = records[static_cast<size_t>(n - 1)];
        if (!ExtractEntry(container, n, data)) {
            problems.push_back("entry " + std::to_string(n) + ": does not decipher and inflate");
        } else if (data.size() != r.unpackedSize) {
            problems.push_back("entry " + std::to_string(n) + ": inflates to " +
                               std::to_string(data.size()) + " bytes, index says " +
                               std::to_string(r.unpackedSize));
        }
        if (n == 1) modelBytes = data;
        if (n == 2) tacBytes = data;
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
    if (!ReadWholeFile(manifest, content, error) ||
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
    fields.date = options.date;
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
    if (!LoadContainer(file, bytes, header, records, err)) return kExitInput;
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
    if (!LoadContainer(file, bytes, header, records, err)) return kExitInput;
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
    if (!LoadContainer(file, bytes, header, records, err)) return kExitInput;
    const std::vector<std::string> problems = VerifyContainer(bytes);
    for (const std::string& p : problems) err << file << ": " << p << "\n";
    if (!problems.empty()) return kExitProblems;
    out << file << ": " << header.entryCount << " entries OK\n";
    return kExitOk;
}

}  // namespace tarvelin::dbtool
