#include "dialup/RasRecords.h"

#include <algorithm>
#include <variant>

#include "platform/AnsiText.h"

namespace tarvelin {
namespace {

#ifdef _WIN64
const RasLayout* gCurrentLayout = &kRasLayoutX64;
#else
const RasLayout* gCurrentLayout = &kRasLayoutX86;
#endif

using RasGuid = std::array<uint8_t, 16>;
using EntryMember = std::variant<uint32_t RasEntryInfo::*, std::string RasEntryInfo::*,
                                 RasIpAddress RasEntryInfo::*, RasGuid RasEntryInfo::*>;

struct EntryField {
    RasField at;  // in the current layout
    EntryMember member;
};

constexpr RasField kSizeField{0, 4};
constexpr RasField kAlternateOffsetField{156, 4};
constexpr RasField kEntryDeviceName{989, 129};
constexpr uint32_t kOldDeviceNameSize = 33;
constexpr uint32_t kRecordMaxSize = 1u << 20;
constexpr uint32_t kDialParamsOldSize = 816;

// RASENTRY from dwfOptions to szDnsSuffix. The record is packed to 4 bytes and holds no
// pointers, so both targets share it. Each later group starts at its threshold, so a group
// is present exactly when its fields fit inside S.
const EntryField kEntryFields[] = {
    {{4, 4}, &RasEntryInfo::dwfOptions},
    {{8, 4}, &RasEntryInfo::dwCountryID},
    {{12, 4}, &RasEntryInfo::dwCountryCode},
    {{16, 11}, &RasEntryInfo::szAreaCode},
    {{27, 129}, &RasEntryInfo::szLocalPhoneNumber},
    {{160, 4}, &RasEntryInfo::ipaddr},
    {{164, 4}, &RasEntryInfo::ipaddrDns},
    {{168, 4}, &RasEntryInfo::ipaddrDnsAlt},
    {{172, 4}, &RasEntryInfo::ipaddrWins},
    {{176, 4}, &RasEntryInfo::ipaddrWinsAlt},
    {{180, 4}, &RasEntryInfo::dwFrameSize},
    {{184, 4}, &RasEntryInfo::dwfNetProtocols},
    {{188, 4}, &RasEntryInfo::dwFramingProtocol},
    {{192, 260}, &RasEntryInfo::szScript},
    {{452, 260}, &RasEntryInfo::szAutodialDll},
    {{712, 260}, &RasEntryInfo::szAutodialFunc},
    {{972, 17}, &RasEntryInfo::szDeviceType},
    {kEntryDeviceName, &RasEntryInfo::szDeviceName},
    {{1118, 33}, &RasEntryInfo::szX25PadType},
    {{1151, 201}, &RasEntryInfo::szX25Address},
    {{1352, 201}, &RasEntryInfo::szX25Facilities},
    {{1553, 201}, &RasEntryInfo::szX25UserData},
    {{1756, 4}, &RasEntryInfo::dwChannels},
    {{kRasEntryDialModeFrom, 4}, &RasEntryInfo::dwSubEntries},
    {{1772, 4}, &RasEntryInfo::dwDialMode},
    {{1776, 4}, &RasEntryInfo::dwDialExtraPercent},
    {{1780, 4}, &RasEntryInfo::dwDialExtraSampleSeconds},
    {{1784, 4}, &RasEntryInfo::dwHangUpExtraPercent},
    {{1788, 4}, &RasEntryInfo::dwHangUpExtraSampleSeconds},
    {{1792, 4}, &RasEntryInfo::dwIdleDisconnectSeconds},
    {{kRasEntryTypeFrom, 4}, &RasEntryInfo::dwType},
    {{1800, 4}, &RasEntryInfo::dwEncryptionType},
    {{1804, 4}, &RasEntryInfo::dwCustomAuthKey},
    {{1808, 16}, &RasEntryInfo::guidId},
    {{1824, 260}, &RasEntryInfo::szCustomDialDll},
    {{2084, 4}, &RasEntryInfo::dwVpnStrategy},
    {{kRasEntryOptions2From, 4}, &RasEntryInfo::dwfOptions2},
    {{2092, 4}, &RasEntryInfo::dwfOptions3},
    {{2096, 256}, &RasEntryInfo::szDnsSuffix},
};

constexpr std::string RasDialInfo::*kDialMembers[] = {
    &RasDialInfo::EntryName, &RasDialInfo::PhoneNumber, &RasDialInfo::CallbackNumber,
    &RasDialInfo::UserName,  &RasDialInfo::Password,    &RasDialInfo::Domain};

// True when the whole field lies in the first limit bytes (no overflow for any offset).
bool Inside(RasField field, size_t limit) {
    return field.size <= limit && field.offset <= limit - field.size;
}

// Where a field lies in an entry record of size S: the old layout's device name has 33
// bytes and every later field sits 96 bytes nearer the start.
RasField Place(RasField field, uint32_t size) {
    if (size != kRasEntryOldSize || field.offset < kEntryDeviceName.offset) return field;
    if (field.offset == kEntryDeviceName.offset) return {field.offset, kOldDeviceNameSize};
    return {field.offset - (kEntryDeviceName.size - kOldDeviceNameSize), field.size};
}

void Read(const std::vector<uint8_t>& bytes, RasField at, uint32_t& value) {
    value = static_cast<uint32_t>(ReadRasNumber(bytes, at));
}
void Read(const std::vector<uint8_t>& bytes, RasField at, std::string& text) {
    text = ReadRasText(bytes, at);
}
template <size_t N>
void Read(const std::vector<uint8_t>& bytes, RasField at, std::array<uint8_t, N>& raw) {
    std::copy_n(bytes.begin() + at.offset, N, raw.begin());
}
void Write(std::vector<uint8_t>& bytes, RasField at, uint32_t value) {
    WriteRasNumber(bytes, at, value);
}
void Write(std::vector<uint8_t>& bytes, RasField at, const std::string& text) {
    WriteRasText(bytes, at, text);
}
template <size_t N>
void Write(std::vector<uint8_t>& bytes, RasField at, const std::array<uint8_t, N>& raw) {
    std::copy(raw.begin(), raw.end(), bytes.begin() + at.offset);
}

// RASDIALPARAMS' strings, one after the other from byte 4.
std::array<RasField, 6> DialParamsFields(uint32_t size) {
    const uint32_t widths[] = {size <= kDialParamsOldSize ? 21u : 257u, 129, 129, 257, 257, 16};
    std::array<RasField, 6> fields;
    uint32_t offset = kSizeField.size;
    for (size_t i = 0; i < fields.size(); offset += widths[i++]) fields[i] = {offset, widths[i]};
    return fields;
}

}  // namespace

const RasLayout& CurrentRasLayout() {
    return *gCurrentLayout;
}
void SetCurrentRasLayout(const RasLayout& layout) {
    gCurrentLayout = &layout;
}

std::string ReadRasText(const std::vector<uint8_t>& bytes, RasField field) {
    if (field.offset >= bytes.size()) return {};
    const auto begin = bytes.begin() + field.offset;
    const auto end = begin + std::min<size_t>(field.size, bytes.size() - field.offset);
    const auto* text = reinterpret_cast<const char*>(bytes.data() + field.offset);
    return AnsiToUtf8(std::string_view(text, std::find(begin, end, 0) - begin));
}

void WriteRasText(std::vector<uint8_t>& bytes, RasField field, const std::string& text) {
    if (field.offset >= bytes.size() || field.size == 0) return;
    const size_t room = std::min<size_t>(field.size, bytes.size() - field.offset);
    const std::string ansi = Utf8ToAnsi(text);
    const auto begin = bytes.begin() + field.offset;
    std::fill(std::copy_n(ansi.begin(), std::min(ansi.size(), room - 1), begin), begin + room, 0);
}

uint64_t ReadRasNumber(const std::vector<uint8_t>& bytes, RasField field) {
    if (!Inside(field, bytes.size())) return 0;
    uint64_t value = 0;
    for (uint32_t i = std::min(field.size, 8u); i-- > 0;)
        value = value << 8 | bytes[field.offset + i];
    return value;
}

void WriteRasNumber(std::vector<uint8_t>& bytes, RasField field, uint64_t value) {
    if (!Inside(field, bytes.size())) return;
    for (uint32_t i = 0; i < std::min(field.size, 8u); ++i) {
        bytes[field.offset + i] = static_cast<uint8_t>(value >> (8 * i));
    }
}

void DecodeRasEntry(const std::vector<uint8_t>& bytes, uint32_t size, RasEntryInfo& info) {
    const size_t limit = std::min<size_t>(size, bytes.size());
    for (const EntryField& field : kEntryFields) {
        const RasField at = Place(field.at, size);
        if (Inside(at, limit)) {
            std::visit([&](auto member) { Read(bytes, at, info.*member); }, field.member);
        }
    }
    // The list lies behind the fixed fields, up to the end of the buffer (which is larger than
    // the record when the entry has such a list): an offset into the smallest record or past
    // the end is not the system's and is ignored.
    if (!Inside(kAlternateOffsetField, limit)) return;
    const uint64_t from = ReadRasNumber(bytes, kAlternateOffsetField);
    if (from >= kRasEntryOldSize && from <= bytes.size()) {
        info.AlternateNumbers.assign(bytes.begin() + static_cast<std::ptrdiff_t>(from),
                                     bytes.end());
    }
}

std::vector<uint8_t> EncodeRasEntry(const RasEntryInfo& info, uint32_t size) {
    const std::string& alternates = info.AlternateNumbers;
    if (size > kRecordMaxSize || alternates.size() > kRecordMaxSize) return {};
    std::vector<uint8_t> bytes(size + alternates.size() + 2, 0);
    if (Inside(kSizeField, size)) WriteRasNumber(bytes, kSizeField, size);
    for (const EntryField& field : kEntryFields) {
        const RasField at = Place(field.at, size);
        if (Inside(at, size)) {
            std::visit([&](auto member) { Write(bytes, at, info.*member); }, field.member);
        }
    }
    if (alternates.empty()) return bytes;
    std::copy(alternates.begin(), alternates.end(), bytes.begin() + size);
    if (Inside(kAlternateOffsetField, size)) WriteRasNumber(bytes, kAlternateOffsetField, size);
    return bytes;
}

std::vector<uint8_t> DialParamsQuery(uint32_t size, const std::string& entryName) {
    RasDialInfo query;
    query.EntryName = entryName;
    return EncodeDialParams(size, query);
}

std::vector<uint8_t> EncodeDialParams(uint32_t size, const RasDialInfo& info) {
    if (size > kRecordMaxSize) return {};
    std::vector<uint8_t> bytes(size, 0);
    WriteRasNumber(bytes, kSizeField, size);
    const auto fields = DialParamsFields(size);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (Inside(fields[i], bytes.size())) WriteRasText(bytes, fields[i], info.*kDialMembers[i]);
    }
    return bytes;
}

void DecodeDialParams(const std::vector<uint8_t>& bytes, uint32_t size, RasDialInfo& info) {
    const size_t limit = std::min<size_t>(size, bytes.size());
    const auto fields = DialParamsFields(size);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (Inside(fields[i], limit)) info.*kDialMembers[i] = ReadRasText(bytes, fields[i]);
    }
}

}  // namespace tarvelin
