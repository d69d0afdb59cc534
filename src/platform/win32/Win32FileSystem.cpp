#include "platform/win32/Win32FileSystem.h"

#include <windows.h>

#include <memory>

#include "platform/win32/WideText.h"

namespace tarvelin::platform {
namespace {

struct HandleCloser {
    void operator()(HANDLE h) const {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};
using FileHandle = std::unique_ptr<void, HandleCloser>;

struct FindCloser {
    void operator()(HANDLE h) const { FindClose(h); }
};

FileHandle OpenFile(const std::string& path, DWORD access, DWORD creation) {
    HANDLE h = CreateFileW(Widen(path).c_str(), access, FILE_SHARE_READ, nullptr, creation,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    return FileHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

}  // namespace

bool Win32FileSystem::TempFolder(std::string& folder) {
    wchar_t buffer[MAX_PATH + 1];
    const DWORD n = GetTempPathW(MAX_PATH + 1, buffer);
    if (n == 0 || n > MAX_PATH) return false;
    folder = Narrow(std::wstring_view(buffer, n));
    return true;
}

bool Win32FileSystem::TempName(const std::string& folder, const std::string& prefix,
                               uint32_t unique, std::string& name) {
    if (unique == 0) return false;  // 0 would create the file: not what the caller asked
    wchar_t buffer[MAX_PATH + 1];
    if (GetTempFileNameW(Widen(folder).c_str(), Widen(prefix).c_str(), unique, buffer) == 0)
        return false;
    name = Narrow(buffer);
    return true;
}

std::optional<uint32_t> Win32FileSystem::Attributes(const std::string& path) {
    const DWORD a = GetFileAttributesW(Widen(path).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return a;
}

bool Win32FileSystem::SetAttributes(const std::string& path, uint32_t attributes) {
    return SetFileAttributesW(Widen(path).c_str(),
                              attributes ? attributes : FILE_ATTRIBUTE_NORMAL) != FALSE;
}

bool Win32FileSystem::List(const std::string& folder, std::vector<DirEntry>& entries) {
    WIN32_FIND_DATAW data;
    HANDLE h = FindFirstFileW(Widen(folder + "\\*").c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return false;
    std::unique_ptr<void, FindCloser> find(h);
    do {
        entries.push_back({Narrow(data.cFileName), data.dwFileAttributes});
    } while (FindNextFileW(h, &data));
    return true;
}

bool Win32FileSystem::RemoveFile(const std::string& path) {
    return DeleteFileW(Widen(path).c_str()) != FALSE;
}

bool Win32FileSystem::CreateFolder(const std::string& path) {
    return CreateDirectoryW(Widen(path).c_str(), nullptr) != FALSE;
}

bool Win32FileSystem::RemoveFolder(const std::string& path) {
    return RemoveDirectoryW(Widen(path).c_str()) != FALSE;
}

bool Win32FileSystem::ReadAll(const std::string& path, std::string& bytes) {
    FileHandle file = OpenFile(path, GENERIC_READ, OPEN_EXISTING);
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!bytes.empty() &&
        !::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr)) {
        return false;
    }
    bytes.resize(read);
    return true;
}

bool Win32FileSystem::WriteAll(const std::string& path, const std::string& bytes) {
    FileHandle file = OpenFile(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (!file) return false;
    DWORD written = 0;
    return bytes.empty() || (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()),
                                         &written, nullptr) &&
                             written == bytes.size());
}

bool Win32FileSystem::Rename(const std::string& from, const std::string& to) {
    return MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
}

}  // namespace tarvelin::platform
