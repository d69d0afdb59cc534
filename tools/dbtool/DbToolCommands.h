#pragma once
// The commands of tarvelin-dbtool. Each returns the process exit code and writes what a
// person needs to act on to `err`.
#include <cstdint>
#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "driverdb/DriverBaseFormat.h"

namespace tarvelin::dbtool {

inline constexpr int kExitOk = 0;
inline constexpr int kExitProblems = 1;  // verify found faults in the container
inline constexpr int kExitUsage = 2;
inline constexpr int kExitInput = 3;  // a file could not be read, parsed or written

struct BuildOptions {
    int32_t date = kDriverBaseDate;  // at least 1, as the reader requires
    bool seeded = false;             // filler and padding from `seed` for a reproducible container
    uint64_t seed = 0;
};

// The options after "build MANIFEST OUT"; false on an unknown option, a missing value or a
// value the reader would refuse.
bool ParseBuildOptions(std::span<const std::string> options, BuildOptions& parsed);

int BuildCommand(const std::string& manifest, const std::string& out, const BuildOptions& options,
                 std::ostream& err);
int ListCommand(const std::string& file, std::ostream& out, std::ostream& err);
int ExtractCommand(const std::string& file, const std::string& entry, const std::string& outFile,
                   std::ostream& err);
int VerifyCommand(const std::string& file, std::ostream& out, std::ostream& err);

// Every fault of a container: entries that do not decipher or inflate to their recorded
// size, unparsable catalogue tables, model rows naming entries outside 4..N.
std::vector<std::string> VerifyContainer(std::span<const uint8_t> container);

}  // namespace tarvelin::dbtool
