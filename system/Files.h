#pragma once
// Byte-level files. The primitives at the top never throw and keep the
// result conventions their callers have always expected (-1, false); the
// operations below them report a failure as a SystemError that names the
// file and the system's reason.
#include <cstddef>
#include <cstdint>
#include <string>

#include "system/SystemError.h"

namespace pelko {

// An open file of the system as the core hands it around: a descriptor on
// POSIX, a HANDLE on Windows, either one held in a pointer-sized value. It
// owns nothing; File does.
class FileHandle {
public:
    constexpr FileHandle() = default;
    constexpr explicit FileHandle(std::intptr_t native) : native_(native) {}
    constexpr std::intptr_t Native() const { return native_; }
    friend constexpr bool operator==(FileHandle, FileHandle) = default;

private:
    std::intptr_t native_ = -1;  // Windows' INVALID_HANDLE_VALUE is -1 too
};

inline constexpr FileHandle kNoFile{};

FileHandle OpenForReading(const std::string& path);
// Creates the file or cuts an existing one to 0 bytes; open for reading and writing.
FileHandle CreateForWriting(const std::string& path);
// Where SeekFile counts its offset from.
inline constexpr int kSeekFromStart = 0;
inline constexpr int kSeekFromCurrent = 1;
inline constexpr int kSeekFromEnd = 2;
// origin: one of the three above.
// Returns the new position from the start, or -1.
std::int64_t SeekFile(FileHandle file, std::int64_t offset, int origin);
// Bytes read (0 at the end of the file) or -1.
long ReadFileBytes(FileHandle file, void* buffer, std::size_t count);
// Bytes written or -1.
long WriteFileBytes(FileHandle file, const void* buffer, std::size_t count);
void CloseFileHandle(FileHandle file);
bool DeleteFileAt(const std::string& path);
// Whether anything (a file, a folder, the target of a link) is at path.
bool PathExists(const std::string& path);

// Owns a handle and closes it on every way out. Its name is the path the
// errors of its reads and writes name.
class File {
public:
    File() = default;
    explicit File(FileHandle handle, std::string name = {}) : handle_(handle), name_(std::move(name)) {}
    File(const File&) = delete;
    File& operator=(const File&) = delete;
    File(File&& other) noexcept : handle_(other.Release()), name_(std::move(other.name_)) {}
    File& operator=(File&& other) noexcept;
    ~File() { Close(); }

    FileHandle Get() const { return handle_; }
    bool IsOpen() const { return handle_ != kNoFile; }
    const std::string& Name() const { return name_; }
    FileHandle Release();
    // Unchecked: for files whose last write was checked already, or that
    // are abandoned.
    void Close();

private:
    FileHandle handle_;
    std::string name_;
};

// Opens an existing file for reading.
Outcome<File> OpenToRead(const std::string& path);
// Creates the file, or cuts an existing one to 0 bytes, open for writing.
Outcome<File> CreateToWrite(const std::string& path);
// Closes a file that was written; an error says its last writes may be lost.
Outcome<void> CloseWritten(File& file);
// Another handle to the same open file, with the same name, open until it
// is closed itself.
Outcome<File> Duplicate(const File& file);

// Reads and writes retry what the system interrupts or cuts short, so that
// only a real failure, or the end of the file, ends them.
// Bytes read by one read: fewer than count only when the system gave fewer;
// 0 at the end of the file.
Outcome<std::size_t> ReadSome(File& file, void* buffer, std::size_t count);
// Bytes read: count, or fewer at the end of the file.
Outcome<std::size_t> ReadFull(File& file, void* buffer, std::size_t count);
// One read at offset, leaving the file's position where it was.
Outcome<std::size_t> ReadAt(File& file, void* buffer, std::size_t count, std::uint64_t offset);
// The whole file from its start to its end. Handles with no meaningful size
// (a pipe) are read until they end.
Outcome<std::string> ReadWholeFile(File& file);
Outcome<void> WriteAll(File& file, const void* bytes, std::size_t count);
// At offset, leaving the file's position where it was.
Outcome<void> WriteAllAt(File& file, const void* bytes, std::size_t count, std::uint64_t offset);

Outcome<void> SeekTo(File& file, std::uint64_t position);
// Cuts or extends the file to size bytes.
Outcome<void> Truncate(File& file, std::uint64_t size);
// Returns once the file's data is on the disk.
Outcome<void> Sync(File& file);
// Asks the system to start writing these bytes to the disk now, so that a
// later Sync waits for less. Only a hint: whatever it meets is left to Sync.
void StartWriteBack(File& file, std::uint64_t offset, std::uint64_t length);

// Removes the file; one that is not there is no failure.
Outcome<void> RemoveFile(const std::string& path);

// Makes the file to, or cuts an existing one, as a copy of the regular file
// from, with from's permissions; links are followed.
Outcome<void> CopyRegularFile(const std::string& from, const std::string& to);

}  // namespace pelko
