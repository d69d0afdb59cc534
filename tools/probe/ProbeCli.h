#pragma once
// tarvelin-probe's command line and its output lines. The output is an interface other
// programs read: one line per report, CODE<TAB>PORT<TAB>INFO, with PORT and INFO escaped so
// that a line never holds a tab, a line break or a byte outside printable ASCII.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::probe {

struct ProbeArgs {
    bool stopAfterFirst = false;
    std::vector<std::string> ports;
};

inline constexpr char kUsage[] = "usage: tarvelin-probe [--stop-after-first] PORT...";

// Null when the arguments are not usable.
std::optional<ProbeArgs> ParseArgs(const std::vector<std::string>& args);
// Backslash, CR, LF and TAB as \\ \r \n \t; other bytes outside 0x20..0x7E as \xhh (lower case).
std::string Escape(std::string_view text);
std::string FormatReportLine(int32_t code, std::string_view port, std::string_view info);

// Decides Cancel for --stop-after-first: true at the first code 5 that follows a code 7.
class StopAfterFirst {
  public:
    bool Cancel(int32_t code);

  private:
    bool found_ = false;
};

}  // namespace tarvelin::probe
