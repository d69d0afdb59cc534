#include "PhoneModel.h"

#include <algorithm>
#include <cctype>

namespace phonesim {
namespace {

constexpr char kOk[] = "\r\nOK\r\n";
constexpr char kError[] = "\r\nERROR\r\n";
constexpr char kConnect[] = "\r\nCONNECT 460800\r\n";
constexpr char kNoCarrier[] = "\r\nNO CARRIER\r\n";
constexpr double kGuardSeconds = 1.0;  // silence before and after the escape "+++"
constexpr size_t kMostPerTick = 65536;

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

std::string PhoneModel::Receive(std::string_view bytes, double now) {
    std::string out;
    for (char c : bytes) {
        if (onLine_) {
            TakeData(c, now);
        } else if (c == '\r') {
            out += Line(std::exchange(line_, {}), now);
        } else if (c == '\b') {
            if (!line_.empty()) line_.pop_back();
        } else if (c != '\n') {
            line_ += c;
        }
    }
    return out;
}

// Data from the host on line. Every byte counts as received; "+" only starts an escape
// after a guard time of silence, so pluses inside the data are plain data.
void PhoneModel::TakeData(char c, double now) {
    ++totals_.received;
    if (c == '+' && (pluses_ > 0 || now - lastData_ >= kGuardSeconds)) {
        ++pluses_;
        plusAt_ = now;
        return;
    }
    pluses_ = 0;
    lastData_ = now;
}

std::string PhoneModel::Tick(double now) {
    if (!onLine_) return {};
    totals_.seconds = now - callStart_;
    if (pluses_ == 3 && now - plusAt_ >= kGuardSeconds) {
        onLine_ = false;  // back to commands; the call stays up until ATH
        pluses_ = 0;
        return kOk;
    }
    // A host that stops reading gets at most a second's worth at once when it reads again.
    owed_ = std::min(owed_ + RateAt(now - callStart_) * std::max(0.0, now - lastTick_),
                     2.0 * options_.rate + 1);
    lastTick_ = now;
    const size_t count = std::min(static_cast<size_t>(owed_), kMostPerTick);
    owed_ -= static_cast<double>(count);
    totals_.sent += count;
    // Digits only: no "+", letter or line break, so it never reads as an escape or a result.
    std::string out(count, ' ');
    for (auto& c : out) {
        fill_ = fill_ * 1103515245u + 12345u;
        c = static_cast<char>('0' + (fill_ >> 16) % 10);
    }
    return out;
}

double PhoneModel::RateAt(double callSeconds) const {
    const auto second = static_cast<long>(callSeconds);
    switch (options_.traffic) {
        case Traffic::Bursts:
            return second % 2 == 0 ? 2.0 * options_.rate : 0.0;
        case Traffic::Pause:
            return second % 10 >= 7 ? 0.0 : options_.rate;
        case Traffic::Steady:
            break;
    }
    return options_.rate;
}

void PhoneModel::LineDropped(double now) {
    if (inCall_) EndCall(now);
    line_.clear();
}

void PhoneModel::EndCall(double now) {
    totals_.seconds = now - callStart_;
    inCall_ = onLine_ = false;
    pluses_ = 0;
}

std::string PhoneModel::Line(const std::string& line, double now) {
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string::npos || Upper(line.substr(start, 2)) != "AT") return {};
    if (options_.junk) junking_ = true;
    const bool silent =
        junking_ || (options_.silentAfter >= 0 && commands_ >= options_.silentAfter);
    ++commands_;
    if (silent) return {};
    std::string out = echo_ ? line + "\r" : std::string();
    const std::string answer = Answer(Upper(line.substr(start)), now);
    return out + (options_.lower ? Lower(answer) : answer);
}

// ATD dials (any number), ATH hangs up, ATO goes back on line after an escape.
std::string PhoneModel::CallCommand(const std::string& command, double now) {
    if (command.rfind("ATD", 0) == 0) {
        if (inCall_) return kError;
        if (options_.refuseDial) return kNoCarrier;
        inCall_ = onLine_ = true;
        ++calls_;
        totals_ = {};
        callStart_ = lastTick_ = lastData_ = now;
        owed_ = 0;
        return kConnect;
    }
    if (command == "ATO" || command == "ATO0") {
        if (!inCall_) return kNoCarrier;
        onLine_ = true;
        lastTick_ = lastData_ = now;
        return kConnect;
    }
    if (inCall_) EndCall(now);  // ATH, ATH0
    return kOk;
}

std::string PhoneModel::Answer(const std::string& command, double now) {
    if (options_.reject.count(command)) return kError;
    if (command.rfind("ATD", 0) == 0 || IsOneOf(command, {"ATH", "ATH0", "ATO", "ATO0"}))
        return CallCommand(command, now);
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
