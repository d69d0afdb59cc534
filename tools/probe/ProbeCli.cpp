#include "ProbeCli.h"

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tarvelin::probe {

std::optional<ProbeArgs> ParseArgs(const std::vector<std::string>& args) {
    ProbeArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--stop-after-first") {
            parsed.stopAfterFirst = true;
        } else if (!optionsEnded && arg == "--identify") {
            parsed.identify = true;
        } else if (!optionsEnded && arg == "--db") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
            parsed.database = args[++i];
        } else if (!optionsEnded && arg.rfind("--", 0) == 0) {
            return std::nullopt;
        } else if (arg.empty()) {
            return std::nullopt;
        } else {
            parsed.ports.push_back(arg);
        }
    }
    if (parsed.ports.empty() || (!parsed.database.empty() && !parsed.identify)) return std::nullopt;
    return parsed;
}

std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c >= 0x20 && c <= 0x7E) {
                    out += ch;
                } else {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                }
        }
    }
    return out;
}

std::string FormatReportLine(int32_t code, std::string_view port, std::string_view info) {
    return std::to_string(code) + '\t' + Escape(port) + '\t' + Escape(info);
}

std::string FormatIdentifyLine(std::string_view port, std::string_view names) {
    return "ID\t" + Escape(port) + '\t' + (names.empty() ? std::string("-") : Escape(names));
}

namespace {

using File = std::unique_ptr<std::FILE, int (*)(std::FILE*)>;

// Opens for reading without waiting: a FIFO named as the database must not hang the probe.
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

}  // namespace

bool ReadDatabaseFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error) {
    File file = OpenForReading(path);
    if (!file) {
        error = std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (fstat(fileno(file.get()), &info) != 0 || (info.st_mode & S_IFMT) != S_IFREG) {
        error = "not a regular file";
        return false;
    }
    if (info.st_size < 0 || static_cast<uint64_t>(info.st_size) > kMaxDatabaseBytes) {
        error = "larger than " + std::to_string(kMaxDatabaseBytes) + " bytes";
        return false;
    }
    std::vector<uint8_t> content(static_cast<size_t>(info.st_size));
    if (std::fread(content.data(), 1, content.size(), file.get()) != content.size()) {
        error = "read error";
        return false;
    }
    bytes = std::move(content);
    return true;
}

bool StopAfterFirst::Cancel(int32_t code) {
    if (code == 7) found_ = true;
    return code == 5 && found_;
}

}  // namespace tarvelin::probe
