#include "system/Locations.h"

#include <vector>

#include "system/windows/Win32.h"

namespace pelko {
namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

}  // namespace

std::string ExecutablePath() {
    // The path's length is not known beforehand: grow until it fits.
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return win32::Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
}

// The process's environment, as child processes get it, not the C
// runtime's copy of it.
std::optional<std::string> EnvironmentValue(const char* name) {
    const std::optional<std::wstring> wideName = win32::Wide(name);
    if (!wideName) return std::nullopt;
    std::vector<wchar_t> buffer(256);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(wideName->c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < buffer.size()) return win32::Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(length);
    }
}

// A path from a drive's root or a share is absolute and stays as it is; a
// plain relative one goes behind the current directory, untidied as on
// POSIX. The two kinds only Windows has, from the current drive's root
// ("\kit") and from a drive's current directory ("D:kit"), are resolved by
// the system, the only one that knows each drive's current directory.
Outcome<std::string> AbsolutePath(const std::string& path) {
    if (path.empty()) return win32::ErrorOf("find", path, ERROR_PATH_NOT_FOUND);
    const bool fromDriveRoot = path.size() >= 3 && IsLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
    const bool fromShare = path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]);
    if (fromDriveRoot || fromShare) return path;
    const std::optional<std::wstring> wide = win32::Wide(path);
    if (!wide) return win32::LastError("find", path);
    const bool windowsOnly = IsSeparator(path[0]) || (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':');
    const DWORD needed = windowsOnly ? GetFullPathNameW(wide->c_str(), 0, nullptr, nullptr)
                                     : GetCurrentDirectoryW(0, nullptr);
    if (needed == 0) return win32::LastError("find", path);
    std::vector<wchar_t> buffer(needed);
    const DWORD length = windowsOnly ? GetFullPathNameW(wide->c_str(), needed, buffer.data(), nullptr)
                                     : GetCurrentDirectoryW(needed, buffer.data());
    if (length == 0 || length >= needed) return win32::LastError("find", path);
    const std::string full = win32::Narrow(std::wstring_view(buffer.data(), length));
    if (windowsOnly) return full;
    return win32::WithTrailingSeparator(full) + path;
}

}  // namespace pelko
