#include "PhoneSimProcess.h"

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvelin::test {
namespace {

constexpr int kStartTimeoutMs = 10000;

// Reads up to the first line break from a pipe, waiting at most kStartTimeoutMs in all.
std::string ReadFirstLine(int fd) {
    std::string line;
    char c = 0;
    pollfd p{fd, POLLIN, 0};
    while (poll(&p, 1, kStartTimeoutMs) > 0 && read(fd, &c, 1) == 1 && c != '\n') line += c;
    return line;
}

}  // namespace

PhoneSimProcess::PhoneSimProcess(const std::vector<std::string>& options) {
    int out[2];
    if (pipe(out) != 0) return;
    std::vector<std::string> args = {PHONE_SIM_PATH, "--exit-after", "120"};
    args.insert(args.end(), options.begin(), options.end());
    std::vector<char*> argv;
    for (auto& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    if (posix_spawn(&pid_, PHONE_SIM_PATH, &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (pid_ > 0) path_ = ReadFirstLine(out[0]);
    close(out[0]);
}

void PhoneSimProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace tarvelin::test
