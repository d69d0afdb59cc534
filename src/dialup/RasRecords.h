#pragma once
// The RAS records the program exchanges with the system, and their byte layouts: one offset
// table per target architecture (x86 with the sizes the program has always handed the
// system, x64 with 64-bit Windows' layout), and the codecs that read and write a record
// through a table. Strings are UTF-8 here and ANSI in the records, cut to fit their field
// with the terminating zero; nothing is ever read or written outside the buffer given.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/RasApi.h"

namespace tarvelin {

struct RasDeviceInfo {
    std::string DeviceName;
    std::string DeviceType;
};

struct RasConnInfo {
    platform::RasHandle hRasConn = 0;
    std::string EntryName;
    std::string DeviceType;
    std::string DeviceName;
};

struct RasDialInfo {
    std::string EntryName;
    std::string PhoneNumber;
    std::string CallbackNumber;
    std::string UserName;
    std::string Password;
    std::string Domain;

    friend bool operator==(const RasDialInfo&, const RasDialInfo&) = default;
};

// An IPv4 address as its four octets a.b.c.d, a first.
using RasIpAddress = std::array<uint8_t, 4>;

// An entry's properties: the system's RASENTRY up to szDnsSuffix, strings as text.
struct RasEntryInfo {
    uint32_t dwfOptions = 0;
    uint32_t dwCountryID = 0;
    uint32_t dwCountryCode = 0;
    std::string szAreaCode;
    std::string szLocalPhoneNumber;
    std::string AlternateNumbers;  // the raw bytes of the alternate-number list, unparsed
    RasIpAddress ipaddr{};
    RasIpAddress ipaddrDns{};
    RasIpAddress ipaddrDnsAlt{};
    RasIpAddress ipaddrWins{};
    RasIpAddress ipaddrWinsAlt{};
    uint32_t dwFrameSize = 0;
    uint32_t dwfNetProtocols = 0;
    uint32_t dwFramingProtocol = 0;
    std::string szScript;
    std::string szAutodialDll;
    std::string szAutodialFunc;
    std::string szDeviceType;
    std::string szDeviceName;
    std::string szX25PadType;
    std::string szX25Address;
    std::string szX25Facilities;
    std::string szX25UserData;
    uint32_t dwChannels = 0;
    uint32_t dwSubEntries = 0;
    uint32_t dwDialMode = 0;
    uint32_t dwDialExtraPercent = 0;
    uint32_t dwDialExtraSampleSeconds = 0;
    uint32_t dwHangUpExtraPercent = 0;
    uint32_t dwHangUpExtraSampleSeconds = 0;
    uint32_t dwIdleDisconnectSeconds = 0;
    uint32_t dwType = 0;
    uint32_t dwEncryptionType = 0;
    uint32_t dwCustomAuthKey = 0;
    std::array<uint8_t, 16> guidId{};
    std::string szCustomDialDll;
    uint32_t dwVpnStrategy = 0;
    uint32_t dwfOptions2 = 0;
    uint32_t dwfOptions3 = 0;
    std::string szDnsSuffix;

    friend bool operator==(const RasEntryInfo&, const RasEntryInfo&) = default;
};

// A field of a record: where it starts and how many bytes it has (a string's with its NUL).
struct RasField {
    uint32_t offset = 0;
    uint32_t size = 0;
};

// The layouts of one target.
struct RasLayout {
    uint32_t entryNameSize = 0;  // RASENTRYNAME, short layout
    RasField entryName;
    uint32_t connSize = 0;  // RASCONN, short layout
    RasField connHandle, connEntryName, connDeviceType, connDeviceName;
    RasField deviceType, deviceName;  // RASDEVINFO
    // RASDIALPARAMS sizes in the order they are tried when reading: the newest, the one
    // without sub-entry and callback id, the old one with a 21-byte entry name.
    std::array<uint32_t, 3> dialParamsSizes{};
    uint32_t statsSize = 0;       // RAS_STATS
    uint32_t dialDialogSize = 0;  // RASDIALDLG
    RasField dialDialogOwner, dialDialogFlags, dialDialogSubEntry, dialDialogError;
};

// 32-bit Windows: the short RASENTRYNAME and RASCONN every system version accepts, and the
// pointer-wide fields 4 bytes wide.
inline constexpr RasLayout kRasLayoutX86{
    .entryNameSize = 264,
    .entryName = {4, 257},
    .connSize = 412,
    .connHandle = {4, 4},
    .connEntryName = {8, 257},
    .connDeviceType = {265, 17},
    .connDeviceName = {282, 129},
    .deviceType = {4, 17},
    .deviceName = {21, 129},
    .dialParamsSizes = {1060, 1052, 816},
    .statsSize = 60,
    .dialDialogSize = 36,
    .dialDialogOwner = {4, 4},
    .dialDialogFlags = {8, 4},
    .dialDialogSubEntry = {20, 4},
    .dialDialogError = {24, 4},
};
// 64-bit Windows: the records are packed to 4 bytes, so a handle or window follows the size
// field directly and moves everything after it by 4.
inline constexpr RasLayout kRasLayoutX64{
    .entryNameSize = 264,
    .entryName = {4, 257},
    .connSize = 416,
    .connHandle = {4, 8},
    .connEntryName = {12, 257},
    .connDeviceType = {269, 17},
    .connDeviceName = {286, 129},
    .deviceType = {4, 17},
    .deviceName = {21, 129},
    .dialParamsSizes = {1064, 1052, 816},
    .statsSize = 60,
    .dialDialogSize = 48,
    .dialDialogOwner = {4, 8},
    .dialDialogFlags = {12, 4},
    .dialDialogSubEntry = {24, 4},
    .dialDialogError = {28, 4},
};
// The layout the program hands its own system: x64 in a 64-bit Windows build, x86 otherwise.
// Tests switch it to run the same logic over both.
const RasLayout& CurrentRasLayout();
void SetCurrentRasLayout(const RasLayout& layout);

// RASENTRY: the size of the old layout (33-byte device name) and the sizes from which the
// later groups are present.
inline constexpr uint32_t kRasEntryOldSize = 1672;
inline constexpr uint32_t kRasEntryDialModeFrom = 1768;
inline constexpr uint32_t kRasEntryTypeFrom = 1796;
inline constexpr uint32_t kRasEntryOptions2From = 2088;

// Reads the fields of an entry record of size S (the first S bytes of bytes, fewer when the
// buffer is shorter) into info; fields beyond them are left as they were. The alternate
// numbers are the bytes from dwAlternateOffset to the end of the buffer (an entry that has
// them reports a buffer larger than its record) when that offset lies past the record's
// fixed part and inside the buffer.
void DecodeRasEntry(const std::vector<uint8_t>& bytes, uint32_t size, RasEntryInfo& info);
// An entry record of size S with the alternate numbers behind it: S + L + 2 bytes, the size
// field S, the groups S allows, dwAlternateOffset S when there are alternate numbers. Empty
// when S or L passes 1 MiB, which no system reports: a broken size never allocates gigabytes.
std::vector<uint8_t> EncodeRasEntry(const RasEntryInfo& info, uint32_t size);

// A RASDIALPARAMS record of one of the three sizes with the entry name set (for a query).
// Sizes up to 816 have the old 21-byte entry name; empty past 1 MiB as for entries.
std::vector<uint8_t> DialParamsQuery(uint32_t size, const std::string& entryName);
std::vector<uint8_t> EncodeDialParams(uint32_t size, const RasDialInfo& info);
void DecodeDialParams(const std::vector<uint8_t>& bytes, uint32_t size, RasDialInfo& info);

// Text of a string field (up to its first zero or its end, never past the buffer), and the
// text written into one cut to fit with its zero.
std::string ReadRasText(const std::vector<uint8_t>& bytes, RasField field);
void WriteRasText(std::vector<uint8_t>& bytes, RasField field, const std::string& text);
// A little-endian number of 4 or 8 bytes (0 when the field is outside the buffer).
uint64_t ReadRasNumber(const std::vector<uint8_t>& bytes, RasField field);
void WriteRasNumber(std::vector<uint8_t>& bytes, RasField field, uint64_t value);

}  // namespace tarvelin
