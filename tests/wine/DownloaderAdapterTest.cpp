// The URL-moniker download against Wine's urlmon, on local file addresses: the body arrives
// whole with progress reports, a progress handler cancels, a missing file fails.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/Win32Downloader.h"
#include "platform/win32/Win32EventLoop.h"
#include "platform/win32/Win32FileSystem.h"
#include "sim/ScratchFolder.h"

namespace tarvelin::platform {
namespace {

struct DownloadCase {
    const char* name;
    bool sourceExists;
    bool cancel;
    bool succeeds;
};

TEST(DownloaderAdapter, FileAddressesDownloadCancelAndFail) {
    Win32EventLoop loop;
    Win32FileSystem files;
    Win32Downloader downloader(loop);
    const std::string folder = sim::MakeScratchFolder();
    ASSERT_FALSE(folder.empty());
    const std::string body(300000, 'x');
    ASSERT_TRUE(files.WriteAll(folder + "\\source.bin", body));
    const DownloadCase cases[] = {
        {"whole", true, false, true},
        {"cancelled", true, true, false},
        {"missing", false, false, false},
    };
    for (const DownloadCase& c : cases) {
        const std::string target = folder + "\\" + c.name + ".bin";
        const std::string source = folder + (c.sourceExists ? "\\source.bin" : "\\none.bin");
        int reports = 0;
        const int32_t result =
            downloader.Download("file:///" + source, target, [&](const DownloadProgress& progress) {
                ++reports;
                EXPECT_LE(progress.received, progress.total ? progress.total : progress.received);
                return !c.cancel;
            });
        EXPECT_EQ(result == kDownloadOk, c.succeeds) << c.name << " " << std::hex << result;
        if (c.cancel) {
            EXPECT_EQ(result, kDownloadAborted) << c.name;
        }
        if (c.succeeds) {
            std::string stored;
            EXPECT_TRUE(files.ReadAll(target, stored));
            EXPECT_EQ(stored, body);
            EXPECT_GT(reports, 0);
        }
        files.RemoveFile(target);
    }
    files.RemoveFile(folder + "\\source.bin");
    files.RemoveFolder(folder);
}

}  // namespace
}  // namespace tarvelin::platform
