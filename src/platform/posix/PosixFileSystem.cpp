#include "platform/posix/PosixFileSystem.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

namespace tarvelin::platform {
namespace {

uint32_t AttributesOf(const std::string& name, const struct stat& st) {
    uint32_t attributes = 0;
    if (S_ISLNK(st.st_mode)) attributes |= kAttrReparsePoint;
    if (S_ISDIR(st.st_mode)) attributes |= kAttrDirectory;
    if (!(st.st_mode & S_IWUSR)) attributes |= kAttrReadOnly;
    if (!name.empty() && name[0] == '.' && name != "." && name != "..") attributes |= kAttrHidden;
    return attributes;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

bool PosixFileSystem::TempFolder(std::string& folder) {
    const char* tmp = std::getenv("TMPDIR");
    folder = tmp && *tmp ? tmp : "/tmp";
    return true;
}

bool PosixFileSystem::TempName(const std::string& folder, const std::string& prefix,
                               uint32_t unique, std::string& name) {
    if (unique == 0) return false;  // the system would create a file for 0: not offered here
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", unique & 0xFFFF);
    std::string base = folder;
    if (!base.empty() && base.back() != '/') base.push_back('/');
    name = base + prefix.substr(0, 3) + hex + ".TMP";
    return true;
}

std::optional<uint32_t> PosixFileSystem::Attributes(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return std::nullopt;
    return AttributesOf(BaseName(path), st);
}

bool PosixFileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return false;
    if (S_ISLNK(st.st_mode)) return true;  // links have no permissions of their own
    mode_t mode = st.st_mode & 07777;
    mode = (attributes & kAttrReadOnly) ? (mode & ~0222) : (mode | S_IWUSR);
    return ::chmod(path.c_str(), mode) == 0;
}

bool PosixFileSystem::List(const std::string& folder, std::vector<DirEntry>& entries) {
    std::unique_ptr<DIR, int (*)(DIR*)> dir(::opendir(folder.c_str()), ::closedir);
    if (!dir) return false;
    while (const dirent* e = ::readdir(dir.get())) {
        const std::string name = e->d_name;
        struct stat st {};
        if (::lstat((folder + "/" + name).c_str(), &st) != 0) continue;
        entries.push_back({name, AttributesOf(name, st)});
    }
    return true;
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) return false;
    return ::unlink(path.c_str()) == 0;
}

bool PosixFileSystem::CreateFolder(const std::string& path) {
    return ::mkdir(path.c_str(), 0777) == 0;
}

bool PosixFileSystem::RemoveFolder(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return ::unlink(path.c_str()) == 0;
    return ::rmdir(path.c_str()) == 0;
}

bool PosixFileSystem::ReadAll(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
}

bool PosixFileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return static_cast<bool>(out);
}

// A folder of the new name is never replaced: rename would swap an empty one away.
bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

}  // namespace tarvelin::platform
