#include "sim/SimDownloader.h"

#include <algorithm>

#include "platform/FileSystem.h"

namespace tarvelin::sim {

int32_t SimDownloader::Download(const std::string& address, const std::string& path,
                                const ProgressProc& progress) {
    asked.push_back(address);
    const auto found = replies.find(address.substr(0, address.find('?')));
    if (found == replies.end()) return platform::kDownloadNotFound;
    const SimReply& reply = found->second;
    platform::IFileSystem& files = *platform_.files;
    std::string stored;
    if (!files.WriteAll(path, stored)) return platform::kDownloadFailed;
    const size_t sent = std::min(reply.sent, reply.body.size());
    const uint64_t total = reply.sizeKnown ? reply.body.size() : 0;
    while (stored.size() < sent) {
        loop_.Advance(reply.delayMs);
        const size_t left = sent - stored.size();
        stored +=
            reply.body.substr(stored.size(), reply.chunk ? std::min(reply.chunk, left) : left);
        if (!files.WriteAll(path, stored)) return platform::kDownloadFailed;
        loop_.PumpOnce();
        if (progress && !progress({stored.size(), total})) return platform::kDownloadAborted;
    }
    return reply.result;
}

}  // namespace tarvelin::sim
