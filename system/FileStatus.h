#pragma once
// What the file system says about a file: its kind, size, time, mode and
// identity. Links are followed, so a link to a file is that file.
#include <cstdint>
#include <string>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

enum class FileKind { Missing, Regular, Directory, Other };

// Two paths name one file when their identities are equal: device and inode
// here, volume serial number and file index on Windows.
struct FileIdentity {
    std::uint64_t volume = 0;
    std::uint64_t index = 0;
    friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

struct FileStatus {
    FileKind kind = FileKind::Missing;
    std::uint64_t size = 0;
    std::int64_t modified = 0;    // seconds since 1970-01-01 UTC
    std::uint32_t unixMode = 0;   // type and permission bits as Unix has them (st_mode)
    FileIdentity identity;
};

// An error for every failure, a path that does not exist among them; never
// kind Missing.
Outcome<FileStatus> StatusOf(const std::string& path);
Outcome<FileStatus> StatusOf(const File& file);

// The kind alone, where a path the system will not describe counts as one
// that is not there: Missing.
FileKind KindOf(const std::string& path);

// True when both paths exist and are, through links, the same file.
bool SameFile(const std::string& a, const std::string& b);

}  // namespace pelko
