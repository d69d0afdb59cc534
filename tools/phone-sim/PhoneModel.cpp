#include "PhoneModel.h"

#include <algorithm>
#include <cctype>

namespace phonesim {
namespace {

constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";

std::string Upper(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

std::string Lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string Info(const std::string& text) {
    return "\r\n" + text + "\r\n" + kOk;
}

bool IsOneOf(const std::string& command, std::initializer_list<const char*> names) {
    return std::any_of(names.begin(), names.end(), [&](const char* n) { return command == n; });
}

}  // namespace

std::string PhoneModel::Receive(std::string_view bytes) {
    std::string out;
    for (char c : bytes) {
        if (c == '\r') {
            out += Line(std::exchange(line_, {}));
        } else if (c == '\b') {
            if (!line_.empty()) line_.pop_back();
        } else if (c != '\n') {
            line_ += c;
        }
    }
    return out;
}

std::string PhoneModel::Line(const std::string& line) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || Upper(line.substr(start, 2)) != "AT") return {};
    if (options_.junk) junking_ = true;
    const bool silent =
        junking_ || (options_.silentAfter >= 0 && commands_ >= options_.silentAfter);
    ++commands_;
    if (silent) return {};
    std::string out = echo_ ? line + "\r" : std::string();
    const std::string answer = Answer(Upper(line.substr(start)));
    return out + (options_.lower ? Lower(answer) : answer);
}

std::string PhoneModel::Answer(const std::string& command) {
    if (options_.reject.count(command)) return kError;
    if (IsOneOf(command, {"AT", "ATZ", "AT&F", "ATV1", "ATQ0"})) return kOk;
    if (IsOneOf(command, {"ATE0", "ATE"})) {
        echo_ = false;
        return kOk;
    }
    if (command == "ATE1") {
        echo_ = true;
        return kOk;
    }
    if (IsOneOf(command, {"AT+CGMI", "AT+GMI"})) return Info(options_.maker);
    if (IsOneOf(command, {"AT+CGMM", "AT+GMM"})) return Info(options_.model);
    if (command == "ATI") return Info(options_.maker + " " + options_.model);
    if (IsOneOf(command, {"AT+CGMR", "AT+GMR"})) return Info("1.0");
    if (IsOneOf(command, {"AT+CGSN", "AT+GSN"})) return Info(options_.imei);
    if (command == "AT+CGDCONT?") return Info("+CGDCONT: 1,\"IP\",\"internet\",\"0.0.0.0\",0,0");
    if (command.rfind("AT+CGDCONT=", 0) == 0) return kOk;
    return kError;
}

std::string JunkChunk(size_t size, unsigned& seed) {
    static constexpr char kAlphabet[] =
        "0123456789 #*+-=~.,:;!?@$%^&()[]{}<>|/\r\n\x80\xa5\xfe\x01\x07";
    std::string out(size, ' ');
    for (auto& c : out) {
        seed = seed * 1103515245u + 12345u;
        c = kAlphabet[(seed >> 16) % (sizeof(kAlphabet) - 1)];
    }
    return out;
}

}  // namespace phonesim
