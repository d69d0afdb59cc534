#include "PhoneSimProcess.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarvelin::test {
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
    // The first line, up to the simulator's exit if it fails to start.
    char c = 0;
    while (pid_ > 0 && read(out[0], &c, 1) == 1 && c != '\n') path_ += c;
    close(out[0]);
}

void PhoneSimProcess::Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
}

}  // namespace tarvelin::test
