#pragma once
// The container manifest: one entry a line, "text PATH" or "binary PATH", in container
// order; '#' starts a comment line and blank lines are ignored. Paths are relative to the
// manifest's folder.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvelin::dbtool {

struct ManifestEntry {
    bool text = false;  // UTF-8 text, stored with CR LF in Windows-1251; else verbatim
    std::string path;   // as written in the manifest
    int line = 0;
};

// False with a message naming the line when a line is neither a comment nor an entry.
bool ParseManifest(std::string_view content, std::vector<ManifestEntry>& entries,
                   std::string& error);

// Reads the entry's file (relative to `folder`) and prepares the bytes to store; false with
// a message such as "manifest line 7: inf/x.inf: no such file".
bool LoadManifestEntry(const std::string& folder, const ManifestEntry& entry,
                       std::vector<uint8_t>& bytes, std::string& error);

}  // namespace tarvelin::dbtool
