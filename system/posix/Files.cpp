#include "system/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "system/FileStatus.h"
#include "system/StreamCopy.h"
#include "system/posix/Posix.h"

namespace pelko {

using posix::Descriptor;
using posix::HandleOf;
using posix::LastError;

namespace {

// A single read or write never asks for more than this, so the byte count
// always fits the long that reports it.
constexpr std::size_t kMaxTransfer = 0x7FFFF000;

std::size_t Clamp(std::size_t count) {
    return count < kMaxTransfer ? count : kMaxTransfer;
}

// A write that takes nothing though bytes were offered has no errno to
// tell; the device is taken to be full.
SystemError NothingWritten(const File& file) {
    return posix::ErrorOf("write", file.Name(), ENOSPC);
}

}  // namespace

FileHandle OpenForReading(const std::string& path) {
    return HandleOf(posix::OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC));
}

FileHandle CreateForWriting(const std::string& path) {
    return HandleOf(posix::OpenRetrying(path.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
}

std::int64_t SeekFile(FileHandle file, std::int64_t offset, int origin) {
    int whence = 0;
    switch (origin) {
        case kSeekFromStart: whence = SEEK_SET; break;
        case kSeekFromCurrent: whence = SEEK_CUR; break;
        case kSeekFromEnd: whence = SEEK_END; break;
        default: return -1;
    }
    const off_t position = ::lseek(Descriptor(file), static_cast<off_t>(offset), whence);
    return position < 0 ? -1 : static_cast<std::int64_t>(position);
}

long ReadFileBytes(FileHandle file, void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(Descriptor(file), buffer, Clamp(count));
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) return -1;
    }
}

long WriteFileBytes(FileHandle file, const void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t put = ::write(Descriptor(file), buffer, Clamp(count));
        if (put >= 0) return static_cast<long>(put);
        if (errno != EINTR) return -1;
    }
}

void CloseFileHandle(FileHandle file) {
    if (file != kNoFile) {
        // Not retried on EINTR: on Linux the descriptor is gone either way.
        ::close(Descriptor(file));
    }
}

bool DeleteFileAt(const std::string& path) {
    return ::unlink(path.c_str()) == 0;
}

Outcome<File> OpenToRead(const std::string& path) {
    const int fd = posix::OpenRetrying(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return LastError("open", path);
    return File(HandleOf(fd), path);
}

Outcome<File> CreateToWrite(const std::string& path) {
    const int fd = posix::OpenRetrying(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) return LastError("create", path);
    return File(HandleOf(fd), path);
}

Outcome<void> CloseWritten(File& file) {
    const std::string name = file.Name();
    if (file.IsOpen() && posix::CloseReporting(Descriptor(file.Release())) != 0) return LastError("close", name);
    return {};
}

Outcome<File> Duplicate(const File& file) {
    const int fd = ::fcntl(Descriptor(file), F_DUPFD_CLOEXEC, 0);
    if (fd < 0) return LastError("duplicate", file.Name());
    return File(HandleOf(fd), file.Name());
}

Outcome<std::size_t> ReadSome(File& file, void* buffer, std::size_t count) {
    for (;;) {
        const ssize_t got = ::read(Descriptor(file), buffer, Clamp(count));
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) return LastError("read", file.Name());
    }
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
    for (;;) {
        const ssize_t got = ::pread(Descriptor(file), buffer, Clamp(count), static_cast<off_t>(offset));
        if (got >= 0) return static_cast<std::size_t>(got);
        if (errno != EINTR) return LastError("read", file.Name());
    }
}

Outcome<std::string> ReadWholeFile(File& file) {
    // The size is only a hint for the buffer: a single read may come back
    // short, and some handles (a directory, a pipe) report no meaningful
    // size, so it reads until 0.
    constexpr std::int64_t kLargestHint = 64 * 1024 * 1024;
    const std::int64_t size = SeekFile(file.Get(), 0, kSeekFromEnd);
    std::string bytes;
    if (size >= 0) {
        if (SeekFile(file.Get(), 0, kSeekFromStart) != 0) return LastError("seek", file.Name());
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
        const ssize_t put = ::write(Descriptor(file), next, Clamp(count));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return LastError("write", file.Name());
        if (put == 0) return NothingWritten(file);
        next += put;
        count -= static_cast<std::size_t>(put);
    }
    return {};
}

Outcome<void> WriteAllAt(File& file, const void* bytes, std::size_t count, std::uint64_t offset) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        const ssize_t put = ::pwrite(Descriptor(file), next, Clamp(count), static_cast<off_t>(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put < 0) return LastError("write", file.Name());
        if (put == 0) return NothingWritten(file);
        next += put;
        offset += static_cast<std::uint64_t>(put);
        count -= static_cast<std::size_t>(put);
    }
    return {};
}

Outcome<void> SeekTo(File& file, std::uint64_t position) {
    if (::lseek(Descriptor(file), static_cast<off_t>(position), SEEK_SET) < 0) return LastError("seek", file.Name());
    return {};
}

Outcome<void> Truncate(File& file, std::uint64_t size) {
    while (::ftruncate(Descriptor(file), static_cast<off_t>(size)) != 0) {
        if (errno != EINTR) return LastError("truncate", file.Name());
    }
    return {};
}

Outcome<void> Sync(File& file) {
    while (::fsync(Descriptor(file)) != 0) {
        if (errno != EINTR) return LastError("sync", file.Name());
    }
    return {};
}

void StartWriteBack(File& file, std::uint64_t offset, std::uint64_t length) {
    if (length == 0) return;
    ::sync_file_range(Descriptor(file), static_cast<off_t>(offset), static_cast<off_t>(length),
                      SYNC_FILE_RANGE_WRITE);
}

Outcome<void> RemoveFile(const std::string& path) {
    if (::unlink(path.c_str()) != 0 && errno != ENOENT) return LastError("delete", path);
    return {};
}

namespace {

SystemError NotSupported(const std::string& path) {
    return posix::ErrorOf("copy", path, ENOTSUP);
}

// What a copy may replace: nothing, or another regular file.
Outcome<void> ReplaceableBy(const std::string& to, const FileStatus& source) {
    const Outcome<FileStatus> target = StatusOf(to);
    if (!target) {
        const int code = target.Error().code;
        if (code == ENOENT || code == ENOTDIR) return {};
        return target.Error();
    }
    if (target->kind != FileKind::Regular) return NotSupported(to);
    if (target->identity == source.identity) return posix::ErrorOf("copy", to, EEXIST);
    return {};
}

}  // namespace

// As std::filesystem::copy_file with overwrite_existing does it: the new
// file takes the source's permissions before any byte goes in.
Outcome<void> CopyRegularFile(const std::string& from, const std::string& to) {
    const Outcome<FileStatus> source = StatusOf(from);
    if (!source) return source.Error();
    if (source->kind != FileKind::Regular) return NotSupported(from);
    if (Outcome<void> replaceable = ReplaceableBy(to, *source); !replaceable) return replaceable.Error();
    Outcome<File> input = OpenToRead(from);
    if (!input) return input.Error();
    File output(HandleOf(posix::OpenRetrying(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IWUSR)), to);
    if (!output.IsOpen()) return LastError("create", to);
    if (::fchmod(Descriptor(output), source->unixMode & 07777) != 0) return LastError("chmod", to);
    const Outcome<StreamCopied> copied = StreamCopy(*input, output);
    if (!copied) return copied.Error();
    return CloseWritten(output);
}

}  // namespace pelko
