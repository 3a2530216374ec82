#pragma once
// Byte-level files. These never throw: -1, false or a non-zero code report a
// failure, as the callers have always expected.
#include <cstddef>
#include <cstdint>
#include <string>

namespace pelko {

using FileHandle = int;
inline constexpr FileHandle kNoFile = -1;

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
// Reads the open file from its start to its end into bytes; false when a
// read fails. Handles with no meaningful size (a pipe) are read until 0.
bool ReadWholeFile(FileHandle file, std::string& bytes);
// Bytes written or -1.
long WriteFileBytes(FileHandle file, const void* buffer, std::size_t count);
void CloseFileHandle(FileHandle file);
bool DeleteFileAt(const std::string& path);
// Whether anything (a file, a folder, the target of a link) is at path.
bool PathExists(const std::string& path);

// Owns a handle and closes it on every way out.
class UniqueFile {
public:
    UniqueFile() = default;
    explicit UniqueFile(FileHandle handle) : handle_(handle) {}
    UniqueFile(const UniqueFile&) = delete;
    UniqueFile& operator=(const UniqueFile&) = delete;
    UniqueFile(UniqueFile&& other) noexcept : handle_(other.Release()) {}
    UniqueFile& operator=(UniqueFile&& other) noexcept;
    ~UniqueFile() { Close(); }

    FileHandle Get() const { return handle_; }
    bool IsOpen() const { return handle_ != kNoFile; }
    FileHandle Release();
    void Close();

private:
    FileHandle handle_ = kNoFile;
};

// Entry kinds that a scan may list besides ordinary files.
inline constexpr unsigned kAttrReadOnly = 0x01;
inline constexpr unsigned kAttrHidden = 0x02;
inline constexpr unsigned kAttrSystem = 0x04;
inline constexpr unsigned kAttrVolume = 0x08;
inline constexpr unsigned kAttrDirectory = 0x10;
inline constexpr unsigned kAttrArchive = 0x20;

// A directory listing in progress. The pattern's last part holds the
// wildcards * and ? (matched as the shell does, case-sensitive); a name that
// starts with "." is hidden. Entries come in the file system's order.
class FileScan {
public:
    FileScan() = default;
    FileScan(const FileScan&) = delete;
    FileScan& operator=(const FileScan&) = delete;
    ~FileScan() { Close(); }

    // 0 with the first entry, or a non-zero error code (the scan is then closed).
    int First(const std::string& pattern, unsigned attributes);
    // 0 with the next entry, or non-zero when there are no more.
    int Next();
    void Close();
    // The current entry's name, without directory.
    const std::string& Name() const { return name_; }

private:
    bool Accept(const char* name);

    void* dir_ = nullptr;  // DIR*
    std::string directory_;
    std::string mask_;
    unsigned attributes_ = 0;
    std::string name_;
};

}  // namespace pelko
