#pragma once
#include "platform/Downloader.h"
#include "platform/EventLoop.h"

namespace tarvelin::platform {

// Downloads through the system's URL monikers (download to file) with a bind-status
// callback that reports progress, lets the message loop run and aborts on request.
class Win32Downloader : public IDownloader {
  public:
    explicit Win32Downloader(IEventLoop& loop) : loop_(loop) {}
    int32_t Download(const std::string& address, const std::string& path,
                     const ProgressProc& progress) override;

  private:
    IEventLoop& loop_;
};

}  // namespace tarvelin::platform
