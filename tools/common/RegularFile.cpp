#include "RegularFile.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tarvelin::tools {
namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens for reading without waiting: a FIFO named as input must not hang the tool before
// it is found not to be a regular file.
File OpenForReading(const std::string& path) {
#ifdef _WIN32
    return File(std::fopen(path.c_str(), "rb"), &std::fclose);
#else
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return File(nullptr, &std::fclose);
    File file(::fdopen(fd, "rb"), &std::fclose);
    if (!file) ::close(fd);
    return file;
#endif
}

std::string SystemError(int error) {
    return error == ENOENT ? "no such file" : std::strerror(error);
}

}  // namespace

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    File file = OpenForReading(path);
    struct stat info {};
    if (!file || fstat(fileno(file.get()), &info) != 0) {
        error = SystemError(errno);
        return false;
    }
    if ((info.st_mode & S_IFMT) != S_IFREG) {
        error = "not a regular file";
        return false;
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > kMaxInputBytes) {
        error = "larger than " + std::to_string(kMaxInputBytes) + " bytes";
        return false;
    }
    // The size found when the file was opened is what is read, however the file changes.
    std::vector<uint8_t> content(static_cast<size_t>(info.st_size));
    if (std::fread(content.data(), 1, content.size(), file.get()) != content.size()) {
        error = "read error";
        return false;
    }
    bytes = std::move(content);
    return true;
}

}  // namespace tarvelin::tools
