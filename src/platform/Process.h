#pragma once
#include <string>

namespace tarvelin::platform {

// The running process: its command line and where its executable lives.
class IProcess {
  public:
    virtual ~IProcess() = default;
    virtual std::string CommandLine() = 0;     // UTF-8
    virtual std::string ExecutablePath() = 0;  // full path, UTF-8, e.g. C:\Tarvelin\Tarvelin.exe
};

}  // namespace tarvelin::platform
