// tarvelin-dbtool: builds, lists, extracts and verifies driver database containers.
#include <charconv>
#include <iostream>
#include <string>
#include <vector>

#include "DbToolCommands.h"

namespace {

using namespace tarvelin::dbtool;

constexpr const char* kUsage =
    "usage:\n"
    "  tarvelin-dbtool build MANIFEST OUT [--date DAYS] [--seed N]\n"
    "      DAYS: database date in days since 30.12.1899 (default 39629)\n"
    "      N: fixed seed for the frame filler, for a reproducible container\n"
    "  tarvelin-dbtool list FILE\n"
    "  tarvelin-dbtool extract FILE N OUTFILE     (N counts from 1)\n"
    "  tarvelin-dbtool verify FILE\n"
    "exit codes: 0 done, 1 the container has faults, 2 usage, 3 input or output error\n";

template <typename T>
bool ParseNumber(const std::string& text, T& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

bool ParseBuildOptions(const std::vector<std::string>& args, BuildOptions& options) {
    for (size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size()) return false;
        if (args[i] == "--date") {
            if (!ParseNumber(args[i + 1], options.date) || options.date < 1) return false;
        } else if (args[i] == "--seed") {
            if (!ParseNumber(args[i + 1], options.seed)) return false;
            options.seeded = true;
        } else {
            return false;
        }
    }
    return true;
}

int Run(const std::vector<std::string>& args) {
    const std::string command = args.empty() ? "" : args[0];
    if (command == "build" && args.size() >= 3) {
        BuildOptions options;
        if (ParseBuildOptions(args, options)) {
            return BuildCommand(args[1], args[2], options, std::cerr);
        }
    } else if (command == "list" && args.size() == 2) {
        return ListCommand(args[1], std::cout, std::cerr);
    } else if (command == "extract" && args.size() == 4) {
        return ExtractCommand(args[1], args[2], args[3], std::cerr);
    } else if (command == "verify" && args.size() == 2) {
        return VerifyCommand(args[1], std::cout, std::cerr);
    }
    std::cerr << kUsage;
    return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
    return Run(std::vector<std::string>(argv + 1, argv + argc));
}
