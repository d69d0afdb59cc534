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
    bool identify = false;  // name the phone of every serial number found
    std::string database;   // --db FILE: a driver database container instead of the built-in one
    bool machinePorts = false;  // --ports: the machine's COM ports instead of named ones
    std::vector<std::string> ports;
};

inline constexpr char kUsage[] =
    "usage: tarvelin-probe [--stop-after-first] [--identify [--db FILE]] PORT...|--ports";

// Null when the arguments are not usable.
std::optional<ProbeArgs> ParseArgs(const std::vector<std::string>& args);
// Backslash, CR, LF and TAB as \\ \r \n \t; other bytes outside 0x20..0x7E as \xhh (lower case).
std::string Escape(std::string_view text);
std::string FormatReportLine(int32_t code, std::string_view port, std::string_view info);
// PORT<TAB>name<TAB>kind<TAB>hardware id<TAB>friendly name: one of the machine's COM ports as
// the setup wizard lists them, kind being the connection kind's number.
std::string FormatPortLine(std::string_view port, int32_t kind, std::string_view hardwareId,
                           std::string_view friendlyName);
// ID<TAB>PORT<TAB>names, or "-" for names when the catalogue knows no phone by the code.
std::string FormatIdentifyLine(std::string_view port, std::string_view names);

// Decides Cancel for --stop-after-first: true at the first code 5 that follows a code 7.
class StopAfterFirst {
  public:
    bool Cancel(int32_t code);

  private:
    bool found_ = false;
};

}  // namespace tarvelin::probe
