#pragma once
// A scripted web server behind the download service: each address (without its query) has
// a reply with its body, how it arrives on the virtual clock and how the transfer ends.
#include <cstdint>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "platform/Downloader.h"
#include "platform/Platform.h"
#include "sim/VirtualEventLoop.h"

namespace tarvelin::sim {

struct SimReply {
    std::string body;
    int32_t result = platform::kDownloadOk;            // how the transfer ends
    size_t sent = std::numeric_limits<size_t>::max();  // bytes that arrive before it ends
    size_t chunk = 0;       // bytes per progress report; 0: the whole body at once
    uint32_t delayMs = 0;   // virtual time before each report
    bool sizeKnown = true;  // whether the reports carry the body's size
};

class SimDownloader : public platform::IDownloader {
  public:
    // Files are written through the platform's file system.
    SimDownloader(VirtualEventLoop& loop, platform::Platform& platform)
        : loop_(loop), platform_(platform) {}
    // An address without a reply answers "not found" and writes nothing.
    int32_t Download(const std::string& address, const std::string& path,
                     const ProgressProc& progress) override;

    std::map<std::string, SimReply> replies;  // by address up to its "?"
    std::vector<std::string> asked;           // every address asked for, in order

  private:
    VirtualEventLoop& loop_;
    platform::Platform& platform_;
};

}  // namespace tarvelin::sim
