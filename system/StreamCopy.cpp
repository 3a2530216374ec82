#include "system/StreamCopy.h"

#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

namespace pelko {
namespace {

// As much as one call may move; the kernel takes less when it likes.
constexpr std::size_t kLargestStep = 1u << 30;

enum class Step { Done, Failed, Unsupported };

// The errors that say "not for these files", after which the next way can
// still copy everything: the positions have moved only by what was copied.
bool OtherWayMayWork(int error) {
    return error == EINVAL || error == EXDEV || error == ENOSYS || error == EOPNOTSUPP || error == EBADF ||
           error == ESPIPE;
}

// What is left of a regular file from its position; the kernel ways ask
// for no more than that, since asking at a file size limit fails even when
// nothing is left to copy. Anything else is copied until it ends.
std::uint64_t BytesLeft(int input) {
    struct stat status {};
    const off_t position = lseek(input, 0, SEEK_CUR);
    if (fstat(input, &status) != 0 || !S_ISREG(status.st_mode) || position < 0) return kLargestStep;
    return status.st_size > position ? static_cast<std::uint64_t>(status.st_size - position) : 0;
}

template <typename Call>
Step Repeat(int input, Call&& call, StreamCopyResult& result) {
    for (;;) {
        const std::uint64_t left = BytesLeft(input);
        if (left == 0) return Step::Done;
        const ssize_t moved = call(static_cast<std::size_t>(std::min<std::uint64_t>(left, kLargestStep)));
        if (moved == 0) return Step::Done;
        if (moved < 0) {
            if (errno == EINTR) continue;
            return OtherWayMayWork(errno) ? Step::Unsupported : Step::Failed;
        }
        result.copied += static_cast<std::uint64_t>(moved);
    }
}

Step KernelCopy(int input, int output, StreamCopyResult& result) {
    return Repeat(input, [&](std::size_t count) { return copy_file_range(input, nullptr, output, nullptr, count, 0); },
                  result);
}

Step Sendfile(int input, int output, StreamCopyResult& result) {
    return Repeat(input, [&](std::size_t count) { return sendfile(output, input, nullptr, count); }, result);
}

// A write may take fewer bytes than offered; only one that takes none, or
// fails, ends the copy.
bool WriteAll(int output, const char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(output, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

Step ReadWrite(int input, int output, StreamCopyResult& result) {
    const std::unique_ptr<char[]> buffer(new char[kStreamBufferSize]);
    for (;;) {
        const ssize_t got = read(input, buffer.get(), kStreamBufferSize);
        if (got == 0) return Step::Done;
        if (got < 0) {
            if (errno == EINTR) continue;
            return Step::Failed;
        }
        if (!WriteAll(output, buffer.get(), static_cast<std::size_t>(got))) return Step::Failed;
        result.copied += static_cast<std::uint64_t>(got);
    }
}

Step CopyThisWay(CopyWay way, int input, int output, StreamCopyResult& result) {
    switch (way) {
        case CopyWay::KernelCopy: return KernelCopy(input, output, result);
        case CopyWay::Sendfile: return Sendfile(input, output, result);
        case CopyWay::ReadWrite: break;
    }
    return ReadWrite(input, output, result);
}

CopyWay NextWay(CopyWay way) {
    return way == CopyWay::KernelCopy ? CopyWay::Sendfile : CopyWay::ReadWrite;
}

}  // namespace

StreamCopyResult StreamCopy(int input, int output, CopyWay first) {
    StreamCopyResult result;
    for (CopyWay way = first;; way = NextWay(way)) {
        result.way = way;
        const Step step = CopyThisWay(way, input, output, result);
        if (step != Step::Unsupported || way == CopyWay::ReadWrite) {
            result.ok = step == Step::Done;
            return result;
        }
    }
}

}  // namespace pelko
