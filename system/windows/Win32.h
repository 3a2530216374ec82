#pragma once
// What the Windows implementation shares: paths between Pelko's UTF-8 and
// the UTF-16 of the wide functions, HANDLEs in and out of the core's handles,
// errors made from GetLastError, opening a path, and removing a folder with
// everything in it.
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko::win32 {

inline HANDLE Native(FileHandle handle) {
    return reinterpret_cast<HANDLE>(handle.Native());
}
inline HANDLE Native(const File& file) {
    return Native(file.Get());
}
inline FileHandle HandleOf(HANDLE handle) {
    return handle == INVALID_HANDLE_VALUE || handle == nullptr ? kNoFile
                                                               : FileHandle(reinterpret_cast<std::intptr_t>(handle));
}

// UTF-8 to UTF-16; nullopt, with ERROR_NO_UNICODE_TRANSLATION as the last
// error, for bytes that are no UTF-8: such a path names no file here.
std::optional<std::wstring> Wide(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);

SystemError ErrorOf(std::string action, std::string subject, DWORD code);
// From GetLastError, as the failed call left it.
SystemError LastError(std::string action, std::string subject);

// Up to and including the last backslash or slash; empty when there is none.
std::string DirectoryPart(const std::string& path);
std::string WithTrailingSeparator(std::string path);

// Every file Pelko opens may be renamed over or removed while it is open,
// as on POSIX: a build removes and replaces files that it or a reader still
// holds.
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// CreateFileW on a UTF-8 path, shared as above; INVALID_HANDLE_VALUE with
// the last error set on failure.
HANDLE OpenPath(const std::string& path, DWORD access, DWORD disposition, DWORD flags = FILE_ATTRIBUTE_NORMAL);

// Attributes of the path, or INVALID_FILE_ATTRIBUTES with the last error set.
DWORD AttributesOf(const std::string& path);

// Removes the file; a read-only one too, as unlink would.
bool RemoveFileAt(const std::wstring& path);
// Removes the folder with everything in it; what cannot be removed stays.
// Links inside are removed, never followed.
void RemoveTree(const std::wstring& path);

}  // namespace pelko::win32
