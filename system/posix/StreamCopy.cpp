#include "system/StreamCopy.h"

#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "system/posix/Posix.h"

namespace pelko {
namespace {

using posix::Descriptor;

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

class Copy {
public:
    Copy(File& input, File& output) : input_(input), output_(output) {}

    Step In(CopyWay way) {
        switch (way) {
            case CopyWay::KernelCopy: return KernelCopy();
            case CopyWay::Sendfile: return Sendfile();
            case CopyWay::ReadWrite: break;
        }
        return ReadWrite();
    }
    std::uint64_t Copied() const { return copied_; }
    const SystemError& Error() const { return error_; }

private:
    // A kernel way does the read and the write in one call, so its failure
    // is put down to the file being written.
    template <typename Call>
    Step Repeat(Call&& call) {
        for (;;) {
            const std::uint64_t left = BytesLeft(Descriptor(input_));
            if (left == 0) return Step::Done;
            const ssize_t moved = call(static_cast<std::size_t>(std::min<std::uint64_t>(left, kLargestStep)));
            if (moved == 0) return Step::Done;
            if (moved < 0) {
                if (errno == EINTR) continue;
                if (OtherWayMayWork(errno)) return Step::Unsupported;
                error_ = posix::LastError("copy", output_.Name());
                return Step::Failed;
            }
            copied_ += static_cast<std::uint64_t>(moved);
        }
    }

    Step KernelCopy() {
        const int in = Descriptor(input_), out = Descriptor(output_);
        return Repeat([&](std::size_t count) { return copy_file_range(in, nullptr, out, nullptr, count, 0); });
    }

    Step Sendfile() {
        const int in = Descriptor(input_), out = Descriptor(output_);
        return Repeat([&](std::size_t count) { return sendfile(out, in, nullptr, count); });
    }

    Step ReadWrite() {
        const std::unique_ptr<char[]> buffer(new char[kStreamBufferSize]);
        for (;;) {
            const Outcome<std::size_t> got = ReadSome(input_, buffer.get(), kStreamBufferSize);
            if (!got) return Failed(got.Error());
            if (*got == 0) return Step::Done;
            if (Outcome<void> written = WriteAll(output_, buffer.get(), *got); !written) return Failed(written.Error());
            copied_ += *got;
        }
    }

    Step Failed(const SystemError& error) {
        error_ = error;
        return Step::Failed;
    }

    File& input_;
    File& output_;
    std::uint64_t copied_ = 0;
    SystemError error_;
};

CopyWay NextWay(CopyWay way) {
    return way == CopyWay::KernelCopy ? CopyWay::Sendfile : CopyWay::ReadWrite;
}

}  // namespace

Outcome<StreamCopied> StreamCopy(File& input, File& output, CopyWay first) {
    Copy copy(input, output);
    for (CopyWay way = first;; way = NextWay(way)) {
        const Step step = copy.In(way);
        if (step == Step::Done) return StreamCopied{way, copy.Copied()};
        if (step == Step::Failed || way == CopyWay::ReadWrite) return copy.Error();
    }
}

}  // namespace pelko
