// Whatever the update server answers: the information must parse without fault, and any
// installer name it yields must be a plain ".exe" name that stays in the program's folder.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/UpdateInfo.h"

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void CheckName(std::string_view name) {
    if (name.empty()) return;
    Check(name.size() <= tarvelin::kInstallerNameLimit);
    Check(name.find_first_of("/\\:%") == std::string_view::npos);
    Check(name.find("..") == std::string_view::npos && name.front() != '.');
    Check(name.size() > 4);
    const std::string_view tail = name.substr(name.size() - 4);
    Check(tail[0] == '.' && (tail[1] | 0x20) == 'e' && (tail[2] | 0x20) == 'x' &&
          (tail[3] | 0x20) == 'e');
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace tarvelin;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const UpdateInfo info = ParseUpdateInfo(text);
    CheckName(InstallerFileName(text));
    if (info.offer == UpdateOffer::Newer) {
        CheckName(info.fileName);
        Check(!info.fileName.empty() && InstallerFileName(info.address) == info.fileName);
        const std::string fresh = NoCacheAddress(info.address, 123456);
        Check(InstallerFileName(fresh) == info.fileName);
    } else {
        Check(info.fileName.empty() && info.address.empty());
    }
    return 0;
}
