#pragma once
// The tools' one way to read an input file whole: only a regular file of bounded size, so a
// folder, a device, a FIFO or an endless stream named as input is refused with a reason.
#include <cstdint>
#include <string>
#include <vector>

namespace tarvelin::tools {

// The largest file the tools read: far above any container or driver file, far below what
// would strain memory.
inline constexpr uint64_t kMaxInputBytes = 64u << 20;

// False with a reason ("no such file", "not a regular file", "larger than ...") unless
// `path` is a regular file of at most kMaxInputBytes; `bytes` is untouched then.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

}  // namespace tarvelin::tools
