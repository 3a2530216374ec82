#include "system/FileStatus.h"

#include <sys/stat.h>

#include "system/posix/Posix.h"

namespace pelko {
namespace {

FileKind KindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::Regular;
    if (S_ISDIR(mode)) return FileKind::Directory;
    return FileKind::Other;
}

FileStatus StatusFrom(const struct stat& info) {
    FileStatus status;
    status.kind = KindOfMode(info.st_mode);
    status.size = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    status.modified = static_cast<std::int64_t>(info.st_mtime);
    status.unixMode = static_cast<std::uint32_t>(info.st_mode);
    status.identity = FileIdentity{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
    return status;
}

}  // namespace

Outcome<FileStatus> StatusOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return posix::LastError("stat", path);
    return StatusFrom(info);
}

Outcome<FileStatus> StatusOf(const File& file) {
    struct stat info {};
    if (::fstat(posix::Descriptor(file), &info) != 0) return posix::LastError("stat", file.Name());
    return StatusFrom(info);
}

}  // namespace pelko
