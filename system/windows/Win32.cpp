#include "system/windows/Win32.h"

#include <cerrno>

namespace pelko {

bool IsNotFound(const SystemError& error) {
    return error.code == ERROR_FILE_NOT_FOUND || error.code == ERROR_PATH_NOT_FOUND;
}

// libzip reads its system errors as errno values and words them with
// strerror; the nearest errno keeps both its checks (ENOENT: no archive)
// and its words right.
int ErrorNumberOf(const SystemError& error) {
    switch (static_cast<DWORD>(error.code)) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_NAME:
        case ERROR_BAD_NETPATH: return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT: return EACCES;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return ENOSPC;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY: return ENOMEM;
        case ERROR_INVALID_HANDLE: return EBADF;
        case ERROR_DIRECTORY: return ENOTDIR;
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_NOT_SUPPORTED: return ENOSYS;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        default: return EIO;
    }
}

}  // namespace pelko

namespace pelko::win32 {
namespace {

// The system's words for code: English where the system has it, else in
// the user's language; without the full stop and line end Windows ends
// them with, as strerror gives them.
std::string ReasonFor(DWORD code) {
    constexpr DWORD kFlags = FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    wchar_t buffer[512];
    DWORD length = FormatMessageW(kFlags, nullptr, code, MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), buffer,
                                  sizeof buffer / sizeof buffer[0], nullptr);
    if (length == 0) length = FormatMessageW(kFlags, nullptr, code, 0, buffer, sizeof buffer / sizeof buffer[0], nullptr);
    std::wstring_view text(buffer, length);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' || text.back() == L'.')) {
        text.remove_suffix(1);
    }
    if (text.empty()) return "Windows error " + std::to_string(code);
    return Narrow(text);
}

}  // namespace

std::optional<std::wstring> Wide(std::string_view utf8) {
    if (utf8.empty()) return std::wstring();
    const int size = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, nullptr, 0);
    if (length <= 0) {
        SetLastError(ERROR_NO_UNICODE_TRANSLATION);
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), size, wide.data(), length);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    if (utf16.empty()) return {};
    const int size = static_cast<int>(utf16.size());
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
    if (length > 0) WideCharToMultiByte(CP_UTF8, 0, utf16.data(), size, narrow.data(), length, nullptr, nullptr);
    return narrow;
}

SystemError ErrorOf(std::string action, std::string subject, DWORD code) {
    return SystemError{std::move(action), std::move(subject), static_cast<int>(code), ReasonFor(code)};
}

SystemError LastError(std::string action, std::string subject) {
    return ErrorOf(std::move(action), std::move(subject), GetLastError());
}

std::string DirectoryPart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? std::string() : path.substr(0, separator + 1);
}

std::string WithTrailingSeparator(std::string path) {
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
    return path;
}

HANDLE OpenPath(const std::string& path, DWORD access, DWORD disposition, DWORD flags) {
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) return INVALID_HANDLE_VALUE;
    if (wide->empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    return CreateFileW(wide->c_str(), access, kShareAll, nullptr, disposition, flags, nullptr);
}

DWORD AttributesOf(const std::string& path) {
    const std::optional<std::wstring> wide = Wide(path);
    if (!wide) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesW(wide->c_str());
}

bool RemoveFileAt(const std::wstring& path) {
    if (DeleteFileW(path.c_str())) return true;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY)) return false;
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    return DeleteFileW(path.c_str());
}

void RemoveTree(const std::wstring& path) {
    const std::wstring folder = path.empty() || (path.back() != L'\\' && path.back() != L'/') ? path + L'\\' : path;
    WIN32_FIND_DATAW entry;
    const HANDLE listing = FindFirstFileExW((folder + L'*').c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch,
                                            nullptr, 0);
    if (listing != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring_view name(entry.cFileName);
            if (name == L"." || name == L"..") continue;
            const std::wstring child = folder + entry.cFileName;
            const DWORD attributes = entry.dwFileAttributes;
            if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
                RemoveFileAt(child);
                continue;
            }
            // A link to a folder goes as a link; only a real folder is emptied.
            if (!(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) RemoveTree(child);
            RemoveDirectoryW(child.c_str());
        } while (FindNextFileW(listing, &entry));
        FindClose(listing);
    }
    if (!RemoveDirectoryW(path.c_str())) {
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
            SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
            RemoveDirectoryW(path.c_str());
        }
    }
}

}  // namespace pelko::win32
