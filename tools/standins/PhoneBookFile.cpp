#include "PhoneBookFile.h"

#include <algorithm>
#include <charconv>
#include <span>

#include "TrimLine.h"
#include "core/modTypes.h"

namespace tarvelin::standin {
namespace {

using sim::SimRasEntry;

template <class Member>
struct Field {
    const char* key;
    Member RasEntryInfo::*member;
};

// clang-format off
constexpr Field<uint32_t> kNumbers[] = {
    {"Type", &RasEntryInfo::dwType},
    {"Options", &RasEntryInfo::dwfOptions},
    {"Options2", &RasEntryInfo::dwfOptions2},
    {"Options3", &RasEntryInfo::dwfOptions3},
    {"CountryID", &RasEntryInfo::dwCountryID},
    {"CountryCode", &RasEntryInfo::dwCountryCode},
    {"FrameSize", &RasEntryInfo::dwFrameSize},
    {"NetProtocols", &RasEntryInfo::dwfNetProtocols},
    {"FramingProtocol", &RasEntryInfo::dwFramingProtocol},
    {"Channels", &RasEntryInfo::dwChannels},
    {"SubEntries", &RasEntryInfo::dwSubEntries},
    {"DialMode", &RasEntryInfo::dwDialMode},
    {"DialExtraPercent", &RasEntryInfo::dwDialExtraPercent},
    {"DialExtraSampleSeconds", &RasEntryInfo::dwDialExtraSampleSeconds},
    {"HangUpExtraPercent", &RasEntryInfo::dwHangUpExtraPercent},
    {"HangUpExtraSampleSeconds", &RasEntryInfo::dwHangUpExtraSampleSeconds},
    {"IdleDisconnectSeconds", &RasEntryInfo::dwIdleDisconnectSeconds},
    {"EncryptionType", &RasEntryInfo::dwEncryptionType},
    {"CustomAuthKey", &RasEntryInfo::dwCustomAuthKey},
    {"VpnStrategy", &RasEntryInfo::dwVpnStrategy},
};
constexpr Field<std::string> kTexts[] = {
    {"Device", &RasEntryInfo::szDeviceName},
    {"DeviceType", &RasEntryInfo::szDeviceType},
    {"PhoneNumber", &RasEntryInfo::szLocalPhoneNumber},
    {"AreaCode", &RasEntryInfo::szAreaCode},
    {"Script", &RasEntryInfo::szScript},
    {"AutodialDll", &RasEntryInfo::szAutodialDll},
    {"AutodialFunc", &RasEntryInfo::szAutodialFunc},
    {"X25PadType", &RasEntryInfo::szX25PadType},
    {"X25Address", &RasEntryInfo::szX25Address},
    {"X25Facilities", &RasEntryInfo::szX25Facilities},
    {"X25UserData", &RasEntryInfo::szX25UserData},
    {"CustomDialDll", &RasEntryInfo::szCustomDialDll},
    {"DnsSuffix", &RasEntryInfo::szDnsSuffix},
};
constexpr Field<RasIpAddress> kAddresses[] = {
    {"IpAddress", &RasEntryInfo::ipaddr},
    {"IpDnsAddress", &RasEntryInfo::ipaddrDns},
    {"IpDns2Address", &RasEntryInfo::ipaddrDnsAlt},
    {"IpWinsAddress", &RasEntryInfo::ipaddrWins},
    {"IpWins2Address", &RasEntryInfo::ipaddrWinsAlt},
};
// How the addresses are assigned, as the system keeps it beside them: 1 by the server, 2 the
// entry's own (the option bits for a specific IP address and specific name servers).
constexpr std::pair<const char*, uint32_t> kAssignments[] = {
    {"IpAssign", 0x2},
    {"IpNameAssign", 0x4},
};
constexpr std::pair<const char*, std::string RasDialInfo::*> kDialTexts[] = {
    {"UserName", &RasDialInfo::UserName},
    {"Domain", &RasDialInfo::Domain},
    {"CallbackNumber", &RasDialInfo::CallbackNumber},
    {"Password", &RasDialInfo::Password},
};
// clang-format on

// Values are single lines: a line break inside one is written as "\n", a backslash as "\\".
std::string Escape(std::string_view value) {
    std::string out;
    for (const char c : value) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

std::string Unescape(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        const char next = value[++i];
        out += next == 'n' ? '\n' : next == 'r' ? '\r' : next;
    }
    return out;
}

std::string Hex(std::string_view bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string out;
    for (const unsigned char c : bytes) {
        out += kDigits[c >> 4];
        out += kDigits[c & 15];
    }
    return out;
}

std::string FromHex(std::string_view text) {
    std::string out;
    for (size_t i = 0; i + 1 < text.size(); i += 2) {
        unsigned value = 0;
        if (std::from_chars(text.data() + i, text.data() + i + 2, value, 16).ec != std::errc{})
            break;
        out += static_cast<char>(value);
    }
    return out;
}

std::string Address(const RasIpAddress& a) {
    return std::to_string(a[0]) + "." + std::to_string(a[1]) + "." + std::to_string(a[2]) + "." +
           std::to_string(a[3]);
}

bool ParseAddress(std::string_view text, RasIpAddress& address) {
    RasIpAddress parsed{};
    const char* at = text.data();
    const char* end = text.data() + text.size();
    for (size_t i = 0; i < 4; ++i) {
        unsigned octet = 0;
        const auto [next, error] = std::from_chars(at, end, octet);
        if (error != std::errc{} || octet > 255 || (i < 3 && (next == end || *next != '.')))
            return false;
        parsed[i] = static_cast<uint8_t>(octet);
        at = i < 3 ? next + 1 : next;
    }
    if (at != end) return false;
    address = parsed;
    return true;
}

void WriteEntry(const SimRasEntry& entry, std::string& out) {
    const RasEntryInfo& info = entry.info;
    out += "[" + Escape(entry.name) + "]\r\nEncoding=1\r\n";
    const auto line = [&out](const char* key, const std::string& value) {
        out += std::string(key) + "=" + Escape(value) + "\r\n";
    };
    for (const auto& [key, member] : kNumbers) line(key, std::to_string(info.*member));
    for (const auto& [key, member] : kTexts) line(key, info.*member);
    for (const auto& [key, member] : kAddresses) line(key, Address(info.*member));
    for (const auto& [key, bit] : kAssignments) line(key, info.dwfOptions & bit ? "2" : "1");
    line("Guid", Hex({reinterpret_cast<const char*>(info.guidId.data()), info.guidId.size()}));
    line("AlternateNumbers", Hex(info.AlternateNumbers));
    line("PasswordStored", entry.passwordStored ? "1" : "0");
    for (const auto& [key, member] : kDialTexts)
        if (member != &RasDialInfo::Password || entry.passwordStored) line(key, entry.dial.*member);
    out += "\r\n";
}

template <class Member>
const Field<Member>* FindField(std::span<const Field<Member>> fields, std::string_view key) {
    for (const Field<Member>& field : fields)
        if (EqualsNoCase(field.key, key)) return &field;
    return nullptr;
}

void ReadValue(SimRasEntry& entry, std::string_view key, const std::string& value) {
    RasEntryInfo& info = entry.info;
    if (const auto* f = FindField<uint32_t>(kNumbers, key)) {
        std::from_chars(value.data(), value.data() + value.size(), info.*f->member);
    } else if (const auto* t = FindField<std::string>(kTexts, key)) {
        info.*t->member = value;
    } else if (const auto* a = FindField<RasIpAddress>(kAddresses, key)) {
        ParseAddress(value, info.*a->member);
    } else if (const auto* assign =
                   std::find_if(std::begin(kAssignments), std::end(kAssignments),
                                [&](const auto& a) { return EqualsNoCase(a.first, key); });
               assign != std::end(kAssignments)) {
        if (value == "1") info.dwfOptions &= ~assign->second;
        if (value == "2") info.dwfOptions |= assign->second;
    } else if (EqualsNoCase(key, "Guid")) {
        const std::string bytes = FromHex(value);
        std::copy_n(bytes.begin(), std::min(bytes.size(), info.guidId.size()), info.guidId.begin());
    } else if (EqualsNoCase(key, "AlternateNumbers")) {
        info.AlternateNumbers = FromHex(value);
    } else if (EqualsNoCase(key, "PasswordStored")) {
        entry.passwordStored = value == "1";
    } else {
        for (const auto& [name, member] : kDialTexts)
            if (EqualsNoCase(name, key)) entry.dial.*member = value;
    }
}

}  // namespace

std::string WritePhoneBook(const std::vector<SimRasEntry>& entries) {
    std::string out;
    for (const SimRasEntry& entry : entries) WriteEntry(entry, out);
    return out;
}

std::vector<SimRasEntry> ReadPhoneBook(std::string_view text) {
    std::vector<SimRasEntry> entries;
    SimRasEntry* current = nullptr;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = TrimLine(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string name = Unescape(line.substr(1, line.size() - 2));
            std::erase_if(entries,
                          [&](const SimRasEntry& e) { return EqualsNoCase(e.name, name); });
            current = &entries.emplace_back(SimRasEntry{name, {}, {}, false, {}});
            current->dial.EntryName = name;
            continue;
        }
        const size_t equals = line.find('=');
        if (current && equals != std::string_view::npos)
            ReadValue(*current, TrimLine(line.substr(0, equals)),
                      Unescape(TrimLine(line.substr(equals + 1))));
    }
    return entries;
}

}  // namespace tarvelin::standin
