#pragma once
// Copying the rest of one open file onto another without holding it in
// memory: in the kernel where it can (copy_file_range, then sendfile),
// otherwise through one 1 MiB buffer. Both files' positions move on by the
// bytes copied.
#include <cstddef>
#include <cstdint>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

enum class CopyWay { KernelCopy, Sendfile, ReadWrite };

struct StreamCopied {
    CopyWay way = CopyWay::ReadWrite;  // the way that copied last
    std::uint64_t copied = 0;
};

inline constexpr std::size_t kStreamBufferSize = 1024 * 1024;

// Copies from input's position to its end onto output's position, starting
// with the way first and falling back to the next one when a way does not
// work for these two files (a pipe, another file system, an older kernel).
// Any other failure, a read or a write, ends the copy with the error, which
// names the file it happened to.
Outcome<StreamCopied> StreamCopy(File& input, File& output, CopyWay first = CopyWay::KernelCopy);

}  // namespace pelko
