#include "core/modSystemFile.h"

#include <chrono>
#include <random>

#include "core/AppState.h"
#include "core/modTypes.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace tarvelin {
namespace {

using platform::kAttrDirectory;
using platform::kAttrReparsePoint;
using platform::kPathSeparator;

constexpr uint32_t kSystemNames = 0xFFFF;  // the system uses 16 bits of the unique number
constexpr int kRandomAttempts = 1000;

platform::IFileSystem* Files() {
    return AppState().platform ? AppState().platform->files : nullptr;
}

bool IsFolder(const std::string& path) {
    auto attributes = Files() ? Files()->Attributes(path) : std::nullopt;
    return attributes && (*attributes & kAttrDirectory);
}

std::string RandomName(std::mt19937& random) {
    std::uniform_int_distribution<int> letter('a', 'z');
    std::string name;
    for (int i = 0; i < 8; ++i) name.push_back(static_cast<char>(letter(random)));
    return name + ".tmp";
}

bool RemoveFile(const std::string& path) {
    auto attributes = Files()->Attributes(path);
    if (attributes && *attributes != 0) Files()->SetAttributes(path, 0);
    return Files()->RemoveFile(path);
}

bool WriteWhole(const std::string& path, const std::string& bytes, bool overwrite) {
    if (!Files()) return false;
    if (FileExists(path)) {
        if (!overwrite || !RemoveFile(path)) return false;
    }
    return Files()->WriteAll(path, bytes);
}

}  // namespace

std::string ProgramFolder() {
    platform::IProcess* process = AppState().platform ? AppState().platform->process : nullptr;
    if (!process) return {};
    const std::string path = process->ExecutablePath();
    const size_t slash = path.find_last_of(kPathSeparator);
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string AddBackslash(const std::string& path) {
    const std::string_view trimmed = Trim(path);
    if (trimmed.empty() || trimmed.back() == kPathSeparator) return path;
    return path + kPathSeparator;
}

std::string GetTempDir() {
    std::string folder;
    if (!Files() || !Files()->TempFolder(folder) || folder.empty()) folder = ProgramFolder();
    return AddBackslash(folder);
}

std::string GetTempFileName(std::string& folder) {
    folder = GetTempDir();
    std::mt19937 random(
        static_cast<uint32_t>(std::chrono::steady_clock::now().time_since_epoch().count()));
    // The system's names run out after 65535 counters and a full folder could refuse every
    // random one too, so the search is bounded and ends empty-handed rather than forever.
    for (uint32_t counter = 1; counter <= kSystemNames + kRandomAttempts; ++counter) {
        std::string name;
        if (counter > kSystemNames || !Files() ||
            !Files()->TempName(folder, "~tmp", counter, name)) {
            name = folder + RandomName(random);
        }
        // Free means nothing of that name, not even a folder, which a file could not replace.
        if (!Files() || !Files()->Attributes(name)) return name;
    }
    return {};
}

bool FileExists(const std::string& path) {
    if (!Files() || path.empty()) return false;
    auto attributes = Files()->Attributes(path);
    return attributes && !(*attributes & kAttrDirectory);
}

bool DeleteFolder(const std::string& path) {
    std::string folder(Trim(path));
    if (folder.empty() || !Files()) return false;
    if (folder.back() == kPathSeparator) folder.pop_back();
    // "C:\" and "/" lose their only separator here, so a root never qualifies.
    if (folder.find(kPathSeparator) == std::string::npos || !IsFolder(folder)) return false;

    std::vector<platform::DirEntry> entries;
    Files()->List(folder, entries);
    std::vector<std::string> subfolders;
    for (const auto& entry : entries) {
        if (entry.name == "." || entry.name == "..") continue;
        const std::string full = folder + kPathSeparator + entry.name;
        if ((entry.attributes & kAttrDirectory) && (entry.attributes & kAttrReparsePoint)) {
            Files()->RemoveFolder(full);  // the link goes, what it points to stays
        } else if (entry.attributes & kAttrDirectory) {
            subfolders.push_back(full);
        } else {
            RemoveFile(full);  // a file that will not go is passed over; the folder then stays
        }
    }
    for (const auto& sub : subfolders) DeleteFolder(sub);
    return Files()->RemoveFolder(folder);
}

bool DeletePath(const std::string& path) {
    if (IsFolder(path)) return DeleteFolder(path);
    return Files() && RemoveFile(path);
}

bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes, bool overwrite) {
    return WriteWhole(path, std::string(bytes.begin(), bytes.end()), overwrite);
}

bool ReadTextFile(const std::string& path, std::string& text) {
    text.clear();
    if (!FileExists(path)) return false;
    if (Files()->ReadAll(path, text)) return true;
    text.clear();
    return false;
}

bool WriteTextFile(const std::string& path, const std::string& text, bool overwrite) {
    return WriteWhole(path, text, overwrite);  // the text as it stands, no line break added
}

bool RenameFile(const std::string& from, const std::string& to) {
    platform::IFileSystem* files = Files();
    if (!files || IsFolder(to)) return false;
    if (FileExists(to)) files->SetAttributes(to, platform::kAttrNormal);
    return files->Rename(from, to);
}

}  // namespace tarvelin
