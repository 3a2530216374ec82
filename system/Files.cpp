#include "system/Files.h"

#include <dirent.h>
#include <fcntl.h>
#include <fnmatch.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "text/Paths.h"

namespace pelko {

namespace {

// A single read or write never asks for more than this, so the byte count
// always fits the long that reports it.
constexpr std::size_t kMaxTransfer = 0x7FFFF000;

std::size_t Clamp(std::size_t count) {
    return count < kMaxTransfer ? count : kMaxTransfer;
}

}  // namespace

FileHandle OpenForReading(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    return fd < 0 ? kNoFile : fd;
}

FileHandle CreateForWriting(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    return fd < 0 ? kNoFile : fd;
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, int origin) {
    int whence = 0;
    switch (origin) {
        case kSeekFromStart: whence = SEEK_SET; break;
        case kSeekFromCurrent: whence = SEEK_CUR; break;
        case kSeekFromEnd: whence = SEEK_END; break;
        default: return -1;
    }
    const off_t position = ::lseek(file, static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

long ReadFileBytes(FileHandle file, void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(file, buffer, Clamp(count));
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) return -1;
    }
}

bool ReadWholeFile(FileHandle file, std::string& bytes) {
    // The size is only a hint for the buffer: a single read may come back
    // short, and some handles (a directory, a pipe) report no meaningful
    // size, so it reads until 0.
    constexpr std::int64_t kLargestHint = 64 * 1024 * 1024;
    const std::int64_t size = SeekFile(file, 0, kSeekFromEnd);
    if (size >= 0 && SeekFile(file, 0, kSeekFromStart) != 0) return false;
    if (size > 0 && size <= kLargestHint) bytes.reserve(static_cast<std::size_t>(size));
    char chunk[64 * 1024];
    for (;;) {
        const long got = ReadFileBytes(file, chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) return true;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

long WriteFileBytes(FileHandle file, const void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t put = ::write(file, buffer, Clamp(count));
        if (put >= 0) return static_cast<long>(put);
        if (errno != EINTR) return -1;
    }
}

void CloseFileHandle(FileHandle file) {
    if (file != kNoFile) {
        // Not retried on EINTR: on Linux the descriptor is gone either way.
        ::close(file);
    }
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

bool PathExists(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0;
}

UniqueFile& UniqueFile::operator=(UniqueFile&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.Release();
    }
    return *this;
}

FileHandle UniqueFile::Release() {
    const FileHandle handle = handle_;
    handle_ = kNoFile;
    return handle;
}

void UniqueFile::Close() {
    CloseFileHandle(Release());
}

int FileScan::First(const std::string& pattern, unsigned attributes) {
    Close();
    directory_ = DirectoryOf(pattern, PathSyntax::Posix);
    mask_ = FileNameOf(pattern, PathSyntax::Posix);
    attributes_ = attributes;
    DIR* dir = ::opendir(directory_.empty() ? "." : directory_.c_str());
    if (dir == nullptr) {
        const int code = errno;
        return code != 0 ? code : ENOENT;
    }
    dir_ = dir;
    if (Next() != 0) {
        Close();
        return ENOENT;
    }
    return 0;
}

int FileScan::Next() {
    if (dir_ == nullptr) {
        return ENOENT;
    }
    auto* dir = static_cast<DIR*>(dir_);
    for (;;) {
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            return ENOENT;
        }
        if (Accept(entry->d_name)) {
            name_ = entry->d_name;
            return 0;
        }
    }
}

void FileScan::Close() {
    if (dir_ != nullptr) {
        ::closedir(static_cast<DIR*>(dir_));
        dir_ = nullptr;
    }
}

bool FileScan::Accept(const char* name) {
    const std::string_view view(name);
    if (view == "." || view == "..") {
        return false;
    }
    if (::fnmatch(mask_.c_str(), name, 0) != 0) {
        return false;
    }
    // The kinds of entry a Windows listing marks: a dot name is hidden; what
    // is neither a file nor a directory (device, pipe, socket) counts as system.
    unsigned kinds = 0;
    if (view.front() == '.') {
        kinds |= kAttrHidden;
    }
    // stat, not lstat: a link to a file lists as that file; a dangling link
    // or an entry gone since readdir is skipped.
    struct stat info {};
    if (::stat((directory_ + view.data()).c_str(), &info) != 0) {
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        kinds |= kAttrDirectory;
    } else if (!S_ISREG(info.st_mode)) {
        kinds |= kAttrSystem;
    }
    const unsigned excluded = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;
    return (kinds & excluded & ~attributes_) == 0;
}

}  // namespace pelko
