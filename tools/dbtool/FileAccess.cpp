#include "FileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace tarvelin::dbtool {
namespace {

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { Close(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now: false when the system reports a failure (a late write error).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0;
    }

  private:
    int fd_;
};

// A temporary file that is removed unless it was renamed into place.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string name) : name_(std::move(name)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!name_.empty()) ::unlink(name_.c_str());
    }
    const std::string& name() const { return name_; }
    bool RenameTo(const std::string& path) {
        if (::rename(name_.c_str(), path.c_str()) != 0) return false;
        name_.clear();
        return true;
    }

  private:
    std::string name_;
};

std::string SystemError(int error) {
    return error == ENOENT ? "no such file" : std::strerror(error);
}

bool WriteAll(int fd, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes = bytes.subspan(static_cast<size_t>(n));
    }
    return true;
}

// The mode a new file gets from the process's file creation mask.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error) {
    struct stat info {};
    const bool exists = ::lstat(path.c_str(), &info) == 0;
    if (exists && !S_ISREG(info.st_mode)) {
        error = path + ": exists and is not a regular file";
        return false;
    }
    std::string name = FolderOf(path) + "/.tarvelin-dbtool-XXXXXX";
    FileDescriptor file(::mkstemp(name.data()));
    if (!file.valid()) {
        error = path + ": cannot create a file in its folder: " + SystemError(errno);
        return false;
    }
    TemporaryFile temp(name);
    const mode_t mode = exists ? info.st_mode & 07777 : NewFileMode();
    if (::fchmod(file.get(), mode) != 0 || !WriteAll(file.get(), bytes) || !file.Close()) {
        error = path + ": cannot write: " + SystemError(errno);
        return false;
    }
    if (!temp.RenameTo(path)) {
        error = path + ": cannot replace: " + SystemError(errno);
        return false;
    }
    return true;
}

}  // namespace tarvelin::dbtool
