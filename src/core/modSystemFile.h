#pragma once
// File and folder helpers. None raises; each reports failure by its result.
#include <cstdint>
#include <string>
#include <vector>

// <windows.h> maps GetTempFileName to its ANSI function; the program's own helper of that
// name must stay itself in files that include both.
#ifdef GetTempFileName
#undef GetTempFileName
#endif

namespace tarvelin {

// The folder of the program's executable, without a trailing separator; empty when unknown.
std::string ProgramFolder();
// Appends the path separator unless the trimmed path is empty or already ends with one.
std::string AddBackslash(const std::string& path);
// The system's temporary folder, or the program's own; always ends with a separator.
std::string GetTempDir();
// A name in the temporary folder that no file has yet (the file is not created); the folder
// used is returned through the argument. Empty when no free name could be found.
std::string GetTempFileName(std::string& folder);
// True when a file (not a folder) of that name exists, hidden and system files included.
bool FileExists(const std::string& path);
// Deletes a folder with everything below it. A drive or file-system root is never deleted.
bool DeleteFolder(const std::string& path);
// A folder with DeleteFolder; a file has its attributes cleared and is deleted.
bool DeletePath(const std::string& path);
bool WriteBinaryFile(const std::string& path, const std::vector<uint8_t>& bytes, bool overwrite);
bool ReadTextFile(const std::string& path, std::string& text);
bool WriteTextFile(const std::string& path, const std::string& text, bool overwrite);
// Gives a file a new name, replacing a file (never a folder) of that name, read-only or not.
bool RenameFile(const std::string& from, const std::string& to);

}  // namespace tarvelin
