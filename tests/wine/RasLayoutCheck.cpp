// The RAS layout tables against the system headers' ANSI records. The headers declare only
// the newest RASENTRYNAME and RASCONN, so the short ones are checked by the fields they
// share, their size being the end of the last of them rounded to the records' 4-byte packing.
#include <gtest/gtest.h>
#include <windows.h>
// clang-format off: the RAS headers need windows.h first
#include <ras.h>
#include <rasdlg.h>
// clang-format on

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "dialup/RasRecords.h"

namespace tarvelin {
namespace {

#ifdef _WIN64
constexpr const RasLayout& kLayout = kRasLayoutX64;
#else
constexpr const RasLayout& kLayout = kRasLayoutX86;
#endif

constexpr bool Is(RasField field, size_t offset, size_t size) {
    return field.offset == offset && field.size == size;
}
constexpr size_t End(RasField field) {
    return (field.offset + field.size + 3) / 4 * 4;
}

#define SIZE(record, member) sizeof(std::declval<record&>().member)
#define AT(record, member) offsetof(record, member), SIZE(record, member)
static_assert(Is(kLayout.entryName, AT(RASENTRYNAMEA, szEntryName)));
static_assert(kLayout.entryNameSize == End(kLayout.entryName));
static_assert(Is(kLayout.connHandle, AT(RASCONNA, hrasconn)));
static_assert(Is(kLayout.connEntryName, AT(RASCONNA, szEntryName)));
static_assert(Is(kLayout.connDeviceType, AT(RASCONNA, szDeviceType)));
static_assert(Is(kLayout.connDeviceName, AT(RASCONNA, szDeviceName)));
static_assert(kLayout.connSize == End(kLayout.connDeviceName));
static_assert(Is(kLayout.deviceType, AT(RASDEVINFOA, szDeviceType)));
static_assert(Is(kLayout.deviceName, AT(RASDEVINFOA, szDeviceName)));
// The newest dial parameters, the same without sub-entry and callback id, and the old ones
// whose entry name has 21 bytes.
static_assert(kLayout.dialParamsSizes[0] == sizeof(RASDIALPARAMSA));
static_assert(kLayout.dialParamsSizes[1] == offsetof(RASDIALPARAMSA, dwSubEntry));
static_assert(kLayout.dialParamsSizes[2] ==
              End({0, offsetof(RASDIALPARAMSA, dwSubEntry) - (RAS_MaxEntryName + 1 - 21)}));
static_assert(kLayout.statsSize == sizeof(RAS_STATS));
static_assert(kLayout.dialDialogSize == sizeof(RASDIALDLG));
static_assert(Is(kLayout.dialDialogOwner, AT(RASDIALDLG, hwndOwner)));
static_assert(Is(kLayout.dialDialogFlags, AT(RASDIALDLG, dwFlags)));
static_assert(Is(kLayout.dialDialogSubEntry, AT(RASDIALDLG, dwSubEntry)));
static_assert(Is(kLayout.dialDialogError, AT(RASDIALDLG, dwError)));
static_assert(kRasEntryDialModeFrom == offsetof(RASENTRYA, dwSubEntries));
static_assert(kRasEntryTypeFrom == offsetof(RASENTRYA, dwType));
static_assert(kRasEntryOptions2From == offsetof(RASENTRYA, dwfOptions2));
static_assert(kRasEntryOldSize ==
              offsetof(RASENTRYA, dwSubEntries) - (SIZE(RASENTRYA, szDeviceName) - 33));

// A record of bytes that change with the position, as the system's structure and as read by
// the codecs: every field must come from the structure's own place.
template <class Record>
std::vector<uint8_t> Pattern(Record& record) {
    std::vector<uint8_t> bytes(sizeof(Record));
    for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(1 + i % 127);
    std::memcpy(&record, bytes.data(), bytes.size());
    return bytes;
}
bool Same(uint32_t ours, DWORD theirs) {
    return ours == theirs;
}
template <size_t N>
bool Same(const std::string& ours, const char (&theirs)[N]) {
    return ours == std::string_view(theirs, N);
}
template <size_t N, class Raw>
bool Same(const std::array<uint8_t, N>& ours, const Raw& theirs) {
    static_assert(sizeof(Raw) == N);
    return std::memcmp(ours.data(), &theirs, N) == 0;
}
// The members whose values differ.
std::vector<std::string> Differing(std::initializer_list<std::pair<const char*, bool>> members) {
    std::vector<std::string> names;
    for (const auto& [name, same] : members) {
        if (!same) names.push_back(name);
    }
    return names;
}
#define SAME(ours, theirs) std::make_pair(#theirs, Same(ours, theirs))
// RasEntryInfo's fields, named as the system's.
#define ENTRY_MEMBERS(X)                                                                           \
    X(dwfOptions), X(dwCountryID), X(dwCountryCode), X(szAreaCode), X(szLocalPhoneNumber),         \
        X(ipaddr), X(ipaddrDns), X(ipaddrDnsAlt), X(ipaddrWins), X(ipaddrWinsAlt), X(dwFrameSize), \
        X(dwfNetProtocols), X(dwFramingProtocol), X(szScript), X(szAutodialDll),                   \
        X(szAutodialFunc), X(szDeviceType), X(szDeviceName), X(szX25PadType), X(szX25Address),     \
        X(szX25Facilities), X(szX25UserData), X(dwChannels), X(dwSubEntries), X(dwDialMode),       \
        X(dwDialExtraPercent), X(dwDialExtraSampleSeconds), X(dwHangUpExtraPercent),               \
        X(dwHangUpExtraSampleSeconds), X(dwIdleDisconnectSeconds), X(dwType), X(dwEncryptionType), \
        X(dwCustomAuthKey), X(guidId), X(szCustomDialDll), X(dwVpnStrategy), X(dwfOptions2),       \
        X(dwfOptions3), X(szDnsSuffix)
#define ENTRY(member) SAME(info.member, entry.member)

TEST(RasLayoutCheck, EntryAndDialParamsFieldsLieWhereTheSystemHasThem) {
    RASENTRYA entry;
    RasEntryInfo info;
    DecodeRasEntry(Pattern(entry), sizeof entry, info);
    EXPECT_EQ(Differing({ENTRY_MEMBERS(ENTRY)}), std::vector<std::string>{});

    RASDIALPARAMSA params;
    RasDialInfo dial;
    DecodeDialParams(Pattern(params), sizeof params, dial);
    EXPECT_EQ(
        Differing({SAME(dial.EntryName, params.szEntryName),
                   SAME(dial.PhoneNumber, params.szPhoneNumber),
                   SAME(dial.CallbackNumber, params.szCallbackNumber),
                   SAME(dial.UserName, params.szUserName), SAME(dial.Password, params.szPassword),
                   SAME(dial.Domain, params.szDomain)}),
        std::vector<std::string>{});
}

}  // namespace
}  // namespace tarvelin
