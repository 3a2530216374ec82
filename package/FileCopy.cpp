#include "package/FileCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "text/Files.h"

namespace pelko {
namespace {

CopyFailure Failure(bool reading) {
    CopyFailure failure;
    failure.reading = reading;
    failure.error = errno != 0 ? errno : EIO;
    return failure;
}

// A write may take fewer bytes than offered; only a refusal is a failure.
bool WriteAllOf(int fd, const char* bytes, std::size_t count) {
    while (count > 0) {
        const ssize_t written = write(fd, bytes, count);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

std::optional<CopyFailure> CopyContents(int source, int target) {
    char block[65536];
    for (;;) {
        const ssize_t got = read(source, block, sizeof block);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failure(true);
        if (got == 0) return std::nullopt;
        if (!WriteAllOf(target, block, static_cast<std::size_t>(got))) return Failure(false);
    }
}

}  // namespace

std::optional<CopyFailure> CopyWholeFile(const std::string& from, const std::string& to) {
    errno = 0;
    UniqueFile source(open(from.c_str(), O_RDONLY | O_CLOEXEC));
    if (!source.IsOpen()) return Failure(true);
    UniqueFile target(open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (!target.IsOpen()) return Failure(false);
    std::optional<CopyFailure> failure = CopyContents(source.Get(), target.Get());
    if (!failure && close(target.Release()) != 0) failure = Failure(false);
    if (failure) unlink(to.c_str());
    return failure;
}

}  // namespace pelko
