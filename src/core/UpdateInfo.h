#pragma once
// The update information the operator's server answers with, and the rule for the name its
// installer is stored under in the program's folder.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarvelin {

// Longer information is refused unread: the real thing is three short lines.
inline constexpr size_t kUpdateInfoLimit = 64 * 1024;
inline constexpr size_t kInstallerNameLimit = 100;

enum class UpdateOffer {
    Newer,      // an installer is offered
    Current,    // the newest version is installed
    Malformed,  // not information the program understands
    NoAddress,  // an update without the installer's address
};

struct UpdateInfo {
    UpdateOffer offer = UpdateOffer::Malformed;
    std::string address;   // the installer's address, without a fragment
    std::string fileName;  // the name the installer is stored under
    std::string sizeText;  // shown to the user as it stands (UTF-8)
};

// Up to three parts split at CR LF: a whole number (1 or less: no update), the installer's
// http or https address, and the download's size as text (which may hold line breaks).
UpdateInfo ParseUpdateInfo(std::string_view text);

// The last segment of the address' path, without query or fragment, when it is a plain
// file name that cannot leave the folder it is put in: letters, digits, ".", "-" and "_",
// no "..", no device name, at most kInstallerNameLimit characters, ending in ".exe". Empty
// when the address is not http or https or the name breaks the rule.
std::string InstallerFileName(std::string_view address);

// The address with a "nocache" query value, so that no cache between here and the server
// answers in its place.
std::string NoCacheAddress(std::string_view address, uint32_t value);

}  // namespace tarvelin
