#pragma once
// The dbtool's file access: every input a regular file of bounded size, every output written
// whole under a unique temporary name and renamed into place.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvelin::dbtool {

// The largest file the tool reads: far above any container or driver file, far below what
// would strain memory.
inline constexpr uint64_t kMaxInputBytes = 64u << 20;

// False with a reason ("no such file", "not a regular file", "larger than ...") unless
// `path` is a regular file of at most kMaxInputBytes.
bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes, std::string& error);

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path);

// Replaces `path` by `bytes`: refuses an existing path that is not a regular file, writes a
// new file beside it and renames it over the old one. On failure nothing is left behind and
// an existing file keeps its content.
bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

}  // namespace tarvelin::dbtool
