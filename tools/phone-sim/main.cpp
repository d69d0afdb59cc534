// phone-sim: an AT-command phone on a pseudo-terminal. Prints the terminal's path on the
// first line of its output, then answers whoever opens that path until it is killed or its
// time is up. It keeps the terminal's other side open itself, so clients may close and open
// the path again as often as they like.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "PhoneModel.h"

namespace {

constexpr size_t kJunkBacklog = 512;   // junk kept ready to write
constexpr size_t kDataBacklog = 4096;  // call data kept ready to write
constexpr int kPollMs = 20;
constexpr double kLineCheckSeconds = 0.5;  // how often a call looks for the host's line

struct Options {
    phonesim::PhoneOptions phone;
    std::optional<double> exitAfter;
    std::string stats;  // file that shows the call's figures while it runs
};

[[noreturn]] void Usage(const char* why) {
    std::fprintf(stderr,
                 "phone-sim: %s\n"
                 "usage: phone-sim [--imei N] [--maker TEXT] [--model TEXT] [--echo]\n"
                 "                 [--reject CMD]... [--silent-after N] [--lower] [--junk]\n"
                 "                 [--exit-after SECONDS] [--refuse-dial]\n"
                 "                 [--traffic steady|bursts|pause] [--rate BYTES-PER-SECOND]\n"
                 "                 [--stats FILE]\n",
                 why);
    std::exit(2);
}

std::string UpperAscii(std::string s) {
    for (auto& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

phonesim::Traffic ParseTraffic(const std::string& name) {
    if (name == "steady") return phonesim::Traffic::Steady;
    if (name == "bursts") return phonesim::Traffic::Bursts;
    if (name == "pause") return phonesim::Traffic::Pause;
    Usage(("unknown traffic " + name).c_str());
}

// Writes the figures to a new file and renames it over the old one, so a reader never sees
// half a file: "calls N", "sent N", "received N", "seconds S", one per line.
void WriteStats(const std::string& file, const phonesim::PhoneModel& phone) {
    const std::string temporary = file + ".new";
    FILE* out = std::fopen(temporary.c_str(), "w");
    if (out == nullptr) return;
    const phonesim::CallTotals& t = phone.Totals();
    std::fprintf(out, "calls %d\nsent %llu\nreceived %llu\nseconds %.1f\n", phone.Calls(),
                 static_cast<unsigned long long>(t.sent),
                 static_cast<unsigned long long>(t.received), t.seconds);
    if (std::fclose(out) == 0) std::rename(temporary.c_str(), file.c_str());
}

Options Parse(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string {
            if (i + 1 >= argc) Usage(("missing value for " + arg).c_str());
            return argv[++i];
        };
        if (arg == "--imei")
            o.phone.imei = value();
        else if (arg == "--maker")
            o.phone.maker = value();
        else if (arg == "--model")
            o.phone.model = value();
        else if (arg == "--echo")
            o.phone.echo = true;
        else if (arg == "--reject")
            o.phone.reject.insert(UpperAscii(value()));
        else if (arg == "--silent-after")
            o.phone.silentAfter = std::atoi(value().c_str());
        else if (arg == "--lower")
            o.phone.lower = true;
        else if (arg == "--junk")
            o.phone.junk = true;
        else if (arg == "--exit-after")
            o.exitAfter = std::atof(value().c_str());
        else if (arg == "--refuse-dial")
            o.phone.refuseDial = true;
        else if (arg == "--traffic")
            o.phone.traffic = ParseTraffic(value());
        else if (arg == "--rate")
            o.phone.rate = static_cast<uint32_t>(std::strtoul(value().c_str(), nullptr, 10));
        else if (arg == "--stats")
            o.stats = value();
        else
            Usage(("unknown option " + arg).c_str());
    }
    return o;
}

// Opens a pseudo-terminal in raw mode; returns the master and the slave this process holds.
bool OpenTerminal(int& master, int& slave, std::string& path) {
    master = posix_openpt(O_RDWR | O_NOCTTY);
    if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return false;
    const char* name = ptsname(master);
    if (name == nullptr) return false;
    path = name;
    slave = open(name, O_RDWR | O_NOCTTY);
    if (slave < 0) return false;
    termios t{};
    tcgetattr(slave, &t);
    cfmakeraw(&t);
    tcsetattr(slave, TCSANOW, &t);
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    return true;
}

void Flush(int master, std::string& outbox) {
    while (!outbox.empty()) {
        const ssize_t n = write(master, outbox.data(), outbox.size());
        if (n <= 0) return;  // full for now (or gone): try again on the next round
        outbox.erase(0, static_cast<size_t>(n));
    }
}

// Keeps the stats file current (twice a second during a call, and when it ends) and says on
// the error output when a call ends and what it carried.
void ReportCall(const std::string& stats, const phonesim::PhoneModel& phone, bool& wasInCall,
                double& writtenAt, double now) {
    const bool ended = wasInCall && !phone.InCall();
    wasInCall = phone.InCall();
    if (ended) {
        const phonesim::CallTotals& t = phone.Totals();
        std::fprintf(stderr, "phone-sim: call ended: sent %llu, received %llu bytes in %.1f s\n",
                     static_cast<unsigned long long>(t.sent),
                     static_cast<unsigned long long>(t.received), t.seconds);
    }
    if (stats.empty() || (!ended && !(phone.InCall() && now - writtenAt >= 0.5))) return;
    WriteStats(stats, phone);
    writtenAt = now;
}

// Whether a process other than this one has the terminal open: the host holds the line. The
// phone keeps the terminal open itself (so that it stays usable between the host's opens),
// so the host letting go shows only here, in the processes' open files.
bool HostHoldsLine(const std::string& path) {
    const std::string self = std::to_string(getpid());
    DIR* processes = opendir("/proc");
    if (!processes) return true;  // cannot tell: the call goes on
    bool held = false;
    while (const dirent* process = readdir(processes)) {
        const std::string pid = process->d_name;
        if (held || pid == self || pid.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const std::string folder = "/proc/" + pid + "/fd";
        DIR* files = opendir(folder.c_str());
        if (!files) continue;
        while (const dirent* file = readdir(files)) {
            char target[256];
            const std::string link = folder + "/" + file->d_name;
            const ssize_t n = readlink(link.c_str(), target, sizeof target - 1);
            if (n > 0 && path == std::string_view(target, static_cast<size_t>(n))) held = true;
        }
        closedir(files);
    }
    closedir(processes);
    return held;
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = Parse(argc, argv);
    signal(SIGPIPE, SIG_IGN);
    int master = -1, slave = -1;
    std::string path;
    if (!OpenTerminal(master, slave, path)) {
        std::fprintf(stderr, "phone-sim: no pseudo-terminal: %s\n", std::strerror(errno));
        return 1;
    }
    std::printf("%s\n", path.c_str());
    std::fflush(stdout);

    using Clock = std::chrono::steady_clock;
    const auto started = Clock::now();
    const auto seconds = [&] {
        return std::chrono::duration<double>(Clock::now() - started).count();
    };
    phonesim::PhoneModel phone(options.phone);
    std::string outbox;
    unsigned seed = 1;
    std::vector<char> buffer(4096);
    double statsAt = -1, lineCheckedAt = 0;
    bool wasInCall = false;
    for (;;) {
        const double now = seconds();
        if (options.exitAfter && now >= *options.exitAfter) return 0;
        if (phone.Junking() && outbox.size() < kJunkBacklog)
            outbox += phonesim::JunkChunk(256, seed);
        if (outbox.size() < kDataBacklog) outbox += phone.Tick(now);
        pollfd p{master, static_cast<short>(POLLIN | (outbox.empty() ? 0 : POLLOUT)), 0};
        if (poll(&p, 1, kPollMs) < 0 && errno != EINTR) return 1;
        if (p.revents & POLLIN) {
            const ssize_t n = read(master, buffer.data(), buffer.size());
            if (n > 0)
                outbox += phone.Receive(std::string_view(buffer.data(), static_cast<size_t>(n)),
                                        seconds());
        }
        if (p.revents & POLLHUP) usleep(kPollMs * 1000);  // no client: wait, do not spin
        Flush(master, outbox);
        if (phone.InCall() && now - lineCheckedAt >= kLineCheckSeconds) {
            lineCheckedAt = now;
            if (!HostHoldsLine(path)) {
                phone.LineDropped(now);
                outbox.clear();
            }
        }
        ReportCall(options.stats, phone, wasInCall, statsAt, now);
    }
}