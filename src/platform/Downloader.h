#pragma once
// Downloads an address to a file, synchronously on the user-interface thread: the caller's
// progress handler runs at every report and may cancel the transfer.
#include <cstdint>
#include <functional>
#include <string>

namespace tarvelin::platform {

// Result codes of a download, in the system's HRESULT form.
inline constexpr int32_t kDownloadOk = 0;
inline constexpr int32_t kDownloadAborted = static_cast<int32_t>(0x80004004u);   // cancelled
inline constexpr int32_t kDownloadNotFound = static_cast<int32_t>(0x800C0006u);  // no such file
inline constexpr int32_t kDownloadFailed = static_cast<int32_t>(0x800C0008u);  // any transfer fault

struct DownloadProgress {
    uint64_t received = 0;
    uint64_t total = 0;  // 0 while the size is not known
};

class IDownloader {
  public:
    // Returns true to go on, false to cancel the download.
    using ProgressProc = std::function<bool(const DownloadProgress&)>;

    virtual ~IDownloader() = default;
    // Stores what the address (http or https) serves in the file, replacing it. Each progress
    // report first lets the event loop run once. The result is kDownloadOk or the failure's
    // code; after a failure the file may hold part of the body.
    virtual int32_t Download(const std::string& address, const std::string& path,
                             const ProgressProc& progress) = 0;
};

}  // namespace tarvelin::platform
