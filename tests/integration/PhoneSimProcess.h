#pragma once
// phone-sim as a child process: started with options, its pseudo-terminal path read from
// the first line of its output, killed when the object goes.
#include <sys/types.h>

#include <string>
#include <vector>

namespace tarvelin::test {

class PhoneSimProcess {
  public:
    explicit PhoneSimProcess(const std::vector<std::string>& options);
    ~PhoneSimProcess() { Kill(); }
    PhoneSimProcess(const PhoneSimProcess&) = delete;
    PhoneSimProcess& operator=(const PhoneSimProcess&) = delete;

    // The terminal path, empty when the simulator did not start.
    const std::string& Path() const { return path_; }
    // Kills the simulator and waits for it, so its side of the terminal is closed on return.
    void Kill();

  private:
    pid_t pid_ = -1;
    std::string path_;
};

}  // namespace tarvelin::test
