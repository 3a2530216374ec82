#include "system/FileStatus.h"

#include "system/windows/Win32.h"

namespace pelko {
namespace {

// Unix mode bits for what Windows says: a folder is 0755, a file 0644, or
// 0444 when it is read-only, so that an entry made from it gets the same
// attributes as one made on Linux from a file of mode 0644.
constexpr std::uint32_t kDirectoryMode = 0040755;
constexpr std::uint32_t kFileMode = 0100644;
constexpr std::uint32_t kWriteBits = 0222;

// Seconds between 1601-01-01, where FILETIME counts from, and 1970-01-01.
constexpr std::int64_t kEpochDifference = 11644473600;

std::int64_t UnixSeconds(const FILETIME& time) {
    const std::int64_t ticks = static_cast<std::int64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
    return ticks / 10000000 - kEpochDifference;
}

Outcome<FileStatus> StatusOfHandle(HANDLE handle, const std::string& subject) {
    FileStatus status;
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        status.kind = FileKind::Other;  // a console, a pipe, a device such as NUL
        return status;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info)) return win32::LastError("stat", subject);
    const bool directory = info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
    status.kind = directory ? FileKind::Directory : FileKind::Regular;
    status.size = directory ? 0 : static_cast<std::uint64_t>(info.nFileSizeHigh) << 32 | info.nFileSizeLow;
    status.modified = UnixSeconds(info.ftLastWriteTime);
    status.unixMode = directory ? kDirectoryMode : kFileMode;
    if (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) status.unixMode &= ~kWriteBits;
    status.identity = FileIdentity{info.dwVolumeSerialNumber,
                                   static_cast<std::uint64_t>(info.nFileIndexHigh) << 32 | info.nFileIndexLow};
    return status;
}

}  // namespace

// Opened for no access at all, which needs no permission to read the file
// and follows links; a folder opens only with backup semantics.
Outcome<FileStatus> StatusOf(const std::string& path) {
    const HANDLE handle = win32::OpenPath(path, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE) return win32::LastError("stat", path);
    Outcome<FileStatus> status = StatusOfHandle(handle, path);
    CloseHandle(handle);
    return status;
}

Outcome<FileStatus> StatusOf(const File& file) {
    return StatusOfHandle(win32::Native(file), file.Name());
}

}  // namespace pelko
