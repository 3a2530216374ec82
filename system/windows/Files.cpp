#include "system/Files.h"

#include "system/windows/Win32.h"

namespace pelko {

using win32::HandleOf;
using win32::LastError;
using win32::Native;

namespace {

// A single ReadFile or WriteFile never asks for more than this, so the byte
// count always fits the DWORD that carries it and the long that reports it.
constexpr std::size_t kMaxTransfer = 0x7FFFF000;

DWORD Clamp(std::size_t count) {
    return static_cast<DWORD>(count < kMaxTransfer ? count : kMaxTransfer);
}

// A write that takes nothing though bytes were offered has no error to
// tell; the disk is taken to be full.
SystemError NothingWritten(const File& file) {
    return win32::ErrorOf("write", file.Name(), ERROR_HANDLE_DISK_FULL);
}

// Reading a pipe whose writer has gone is its end, not a failure.
bool IsEndOfInput(DWORD error) {
    return error == ERROR_BROKEN_PIPE || error == ERROR_HANDLE_EOF;
}

std::int64_t Position(HANDLE file) {
    LARGE_INTEGER position{};
    if (!SetFilePointerEx(file, LARGE_INTEGER{}, &position, FILE_CURRENT)) return -1;
    return position.QuadPart;
}

bool MoveTo(HANDLE file, std::int64_t position) {
    LARGE_INTEGER to{};
    to.QuadPart = position;
    return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != 0;
}

OVERLAPPED At(std::uint64_t offset) {
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFFu);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Windows reads and writes at an offset only by moving the handle's
// position, which pread and pwrite leave alone; the position is put back.
class PositionKept {
public:
    explicit PositionKept(HANDLE file) : file_(file), position_(Position(file)) {}
    ~PositionKept() {
        if (position_ >= 0) MoveTo(file_, position_);
    }
    PositionKept(const PositionKept&) = delete;
    PositionKept& operator=(const PositionKept&) = delete;

private:
    HANDLE file_;
    std::int64_t position_;
};

}  // namespace

// A folder opens too, as open(2) opens one for reading: the caller then
// tells it from a file by its status instead of taking it for a missing one.
constexpr DWORD kFoldersToo = FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS;

FileHandle OpenForReading(const std::string& path) {
    return HandleOf(win32::OpenPath(path, GENERIC_READ, OPEN_EXISTING, kFoldersToo));
}

FileHandle CreateForWriting(const std::string& path) {
    return HandleOf(win32::OpenPath(path, GENERIC_READ | GENERIC_WRITE, CREATE_ALWAYS));
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, int origin) {
    DWORD method = 0;
    switch (origin) {
        case kSeekFromStart: method = FILE_BEGIN; break;
        case kSeekFromCurrent: method = FILE_CURRENT; break;
        case kSeekFromEnd: method = FILE_END; break;
        default: return -1;
    }
    LARGE_INTEGER distance{};
    distance.QuadPart = offset;
    LARGE_INTEGER position{};
    if (file == kNoFile || !SetFilePointerEx(Native(file), distance, &position, method)) return -1;
    return position.QuadPart;
}

long ReadFileBytes(FileHandle file, void* buffer, std::size_t count) {
    DWORD got = 0;
    if (file == kNoFile) return -1;
    if (ReadFile(Native(file), buffer, Clamp(count), &got, nullptr)) return static_cast<long>(got);
    return IsEndOfInput(GetLastError()) ? 0 : -1;
}

long WriteFileBytes(FileHandle file, const void* buffer, std::size_t count) {
    DWORD put = 0;
    if (file == kNoFile || !WriteFile(Native(file), buffer, Clamp(count), &put, nullptr)) return -1;
    return static_cast<long>(put);
}

void CloseFileHandle(FileHandle file) {
    if (file != kNoFile) CloseHandle(Native(file));
}

bool DeleteFileAt(const std::string& path) {
    const std::optional<std::wstring> wide = win32::Wide(path);
    return wide && win32::DeleteFreeingTheName(*wide);
}

Outcome<File> OpenToRead(const std::string& path) {
    const HANDLE handle = win32::OpenPath(path, GENERIC_READ, OPEN_EXISTING, kFoldersToo);
    if (handle == INVALID_HANDLE_VALUE) return LastError("open", path);
    return File(HandleOf(handle), path);
}

Outcome<File> CreateToWrite(const std::string& path) {
    const HANDLE handle = win32::OpenPath(path, GENERIC_WRITE, CREATE_ALWAYS);
    if (handle == INVALID_HANDLE_VALUE) return LastError("create", path);
    return File(HandleOf(handle), path);
}

Outcome<void> CloseWritten(File& file) {
    const std::string name = file.Name();
    if (file.IsOpen() && !CloseHandle(Native(file.Release()))) return LastError("close", name);
    return {};
}

Outcome<File> Duplicate(const File& file) {
    HANDLE copy = nullptr;
    const HANDLE process = GetCurrentProcess();
    if (!DuplicateHandle(process, Native(file), process, &copy, 0, FALSE, DUPLICATE_SAME_ACCESS)) {
        return LastError("duplicate", file.Name());
    }
    return File(HandleOf(copy), file.Name());
}

Outcome<std::size_t> ReadSome(File& file, void* buffer, std::size_t count) {
    DWORD got = 0;
    if (ReadFile(Native(file), buffer, Clamp(count), &got, nullptr)) return static_cast<std::size_t>(got);
    if (IsEndOfInput(GetLastError())) return std::size_t{0};
    return LastError("read", file.Name());
}

Outcome<std::size_t> ReadFull(File& file, void* buffer, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const Outcome<std::size_t> got = ReadSome(file, static_cast<char*>(buffer) + done, count - done);
        if (!got) return got.Error();
        if (*got == 0) break;
        done += *got;
    }
    return done;
}

Outcome<std::size_t> ReadAt(File& file, void* buffer, std::size_t count, std::uint64_t offset) {
    const PositionKept kept(Native(file));
    OVERLAPPED at = At(offset);
    DWORD got = 0;
    if (ReadFile(Native(file), buffer, Clamp(count), &got, &at)) return static_cast<std::size_t>(got);
    if (IsEndOfInput(GetLastError())) return std::size_t{0};
    return LastError("read", file.Name());
}

Outcome<std::string> ReadWholeFile(File& file) {
    // The size is only a hint for the buffer: a pipe has none, and a read
    // may come back short, so it reads until 0.
    constexpr std::int64_t kLargestHint = 64 * 1024 * 1024;
    std::string bytes;
    if (GetFileType(Native(file)) == FILE_TYPE_DISK) {
        const std::int64_t size = SeekFile(file.Get(), 0, kSeekFromEnd);
        if (size < 0 || SeekFile(file.Get(), 0, kSeekFromStart) != 0) return LastError("seek", file.Name());
        if (size <= kLargestHint) bytes.reserve(static_cast<std::size_t>(size));
    }
    char chunk[64 * 1024];
    for (;;) {
        const Outcome<std::size_t> got = ReadSome(file, chunk, sizeof chunk);
        if (!got) return got.Error();
        if (*got == 0) return bytes;
        bytes.append(chunk, *got);
    }
}

Outcome<void> WriteAll(File& file, const void* bytes, std::size_t count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        DWORD put = 0;
        if (!WriteFile(Native(file), next, Clamp(count), &put, nullptr)) return LastError("write", file.Name());
        if (put == 0) return NothingWritten(file);
        next += put;
        count -= put;
    }
    return {};
}

Outcome<void> WriteAllAt(File& file, const void* bytes, std::size_t count, std::uint64_t offset) {
    const PositionKept kept(Native(file));
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        OVERLAPPED at = At(offset);
        DWORD put = 0;
        if (!WriteFile(Native(file), next, Clamp(count), &put, &at)) return LastError("write", file.Name());
        if (put == 0) return NothingWritten(file);
        next += put;
        offset += put;
        count -= put;
    }
    return {};
}

Outcome<void> SeekTo(File& file, std::uint64_t position) {
    if (!MoveTo(Native(file), static_cast<std::int64_t>(position))) return LastError("seek", file.Name());
    return {};
}

// SetEndOfFile cuts at the position, which ftruncate leaves alone; it is put back.
Outcome<void> Truncate(File& file, std::uint64_t size) {
    const PositionKept kept(Native(file));
    if (!MoveTo(Native(file), static_cast<std::int64_t>(size)) || !SetEndOfFile(Native(file))) {
        return LastError("truncate", file.Name());
    }
    return {};
}

Outcome<void> Sync(File& file) {
    if (!FlushFileBuffers(Native(file))) return LastError("sync", file.Name());
    return {};
}

// Windows has no call that starts writing a range back without waiting for
// it (sync_file_range); the FlushFileBuffers of Sync writes everything.
void StartWriteBack(File&, std::uint64_t, std::uint64_t) {}

Outcome<void> RemoveFile(const std::string& path) {
    const std::optional<std::wstring> wide = win32::Wide(path);
    if (!wide) return LastError("delete", path);
    if (win32::DeleteFreeingTheName(*wide)) return {};
    const SystemError error = LastError("delete", path);
    if (IsNotFound(error)) return {};
    return error;
}

}  // namespace pelko
