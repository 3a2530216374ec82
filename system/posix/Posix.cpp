#include "system/posix/Posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace pelko {

bool IsNotFound(const SystemError& error) {
    return error.code == ENOENT || error.code == ENOTDIR;
}

int ErrorNumberOf(const SystemError& error) {
    return error.code;
}

}  // namespace pelko

namespace pelko::posix {

SystemError ErrorOf(std::string action, std::string subject, int code) {
    return SystemError{std::move(action), std::move(subject), code, std::generic_category().message(code)};
}

SystemError LastError(std::string action, std::string subject) {
    return ErrorOf(std::move(action), std::move(subject), errno);
}

int OpenRetrying(const char* path, int flags, mode_t mode) {
    for (;;) {
        const int fd = ::open(path, flags, mode);
        if (fd >= 0 || errno != EINTR) return fd;
    }
}

int CloseReporting(int fd) {
    return ::close(fd) == 0 || errno == EINTR ? 0 : -1;
}

// umask can only be read by setting it; the old value goes straight back.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

std::string DirectoryPart(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string WithTrailingSlash(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

}  // namespace pelko::posix
