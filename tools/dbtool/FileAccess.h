#pragma once
// The dbtool's output files: written whole under a unique temporary name and renamed into
// place. Inputs are read with the tools' ReadWholeFile (RegularFile.h).
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace tarvelin::dbtool {

// The folder part of a path ("." when it has none).
std::string FolderOf(const std::string& path);

// Replaces `path` by `bytes`: refuses an existing path that is not a regular file, writes a
// new file beside it and renames it over the old one. On failure nothing is left behind and
// an existing file keeps its content.
bool WriteWholeFile(const std::string& path, std::span<const uint8_t> bytes, std::string& error);

}  // namespace tarvelin::dbtool
