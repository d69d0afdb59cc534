// tarvelin-dbtool: builds, lists, extracts and verifies driver database containers.
#include <iostream>
#include <string>
#include <vector>

#include "DbToolCommands.h"

namespace {

using namespace tarvelin::dbtool;

constexpr const char* kUsage =
    "usage:\n"
    "  tarvelin-dbtool build MANIFEST OUT [--date DAYS] [--seed N]\n"
    "      DAYS: database date in days since 30.12.1899, 1..2147483647 (default 39629)\n"
    "      N: fixed seed for the frame filler, for a reproducible container\n"
    "  tarvelin-dbtool list FILE\n"
    "  tarvelin-dbtool extract FILE N OUTFILE     (N counts from 1)\n"
    "  tarvelin-dbtool verify FILE\n"
    "inputs must be regular files; an existing OUT or OUTFILE must be a regular file\n"
    "exit codes: 0 done, 1 the container has faults, 2 usage, 3 input or output error\n";

int Run(const std::vector<std::string>& args) {
    const std::string command = args.empty() ? "" : args[0];
    if (command == "build" && args.size() >= 3) {
        BuildOptions options;
        if (ParseBuildOptions(std::span(args).subspan(3), options)) {
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
