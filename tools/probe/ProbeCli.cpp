#include "ProbeCli.h"

namespace tarvelin::probe {

std::optional<ProbeArgs> ParseArgs(const std::vector<std::string>& args) {
    ProbeArgs parsed;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (!optionsEnded && arg == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && arg == "--stop-after-first") {
            parsed.stopAfterFirst = true;
        } else if (!optionsEnded && arg == "--ports") {
            parsed.machinePorts = true;
        } else if (!optionsEnded && arg == "--identify") {
            parsed.identify = true;
        } else if (!optionsEnded && arg == "--db") {
            if (i + 1 >= args.size() || args[i + 1].empty()) return std::nullopt;
            parsed.database = args[++i];
        } else if (!optionsEnded && arg.rfind("--", 0) == 0) {
            return std::nullopt;
        } else if (arg.empty()) {
            return std::nullopt;
        } else {
            parsed.ports.push_back(arg);
        }
    }
    if (parsed.ports.empty() != parsed.machinePorts) return std::nullopt;  // one or the other
    if (!parsed.database.empty() && !parsed.identify) return std::nullopt;
    return parsed;
}

std::string Escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(text.size());
    for (char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (c >= 0x20 && c <= 0x7E) {
                    out += ch;
                } else {
                    out += "\\x";
                    out += kHex[c >> 4];
                    out += kHex[c & 0xF];
                }
        }
    }
    return out;
}

std::string FormatReportLine(int32_t code, std::string_view port, std::string_view info) {
    return std::to_string(code) + '\t' + Escape(port) + '\t' + Escape(info);
}

std::string FormatPortLine(std::string_view port, int32_t kind, std::string_view hardwareId,
                           std::string_view friendlyName) {
    return "PORT\t" + Escape(port) + '\t' + std::to_string(kind) + '\t' + Escape(hardwareId) +
           '\t' + Escape(friendlyName);
}

std::string FormatIdentifyLine(std::string_view port, std::string_view names) {
    return "ID\t" + Escape(port) + '\t' + (names.empty() ? std::string("-") : Escape(names));
}

bool StopAfterFirst::Cancel(int32_t code) {
    if (code == 7) found_ = true;
    return code == 5 && found_;
}

}  // namespace tarvelin::probe
