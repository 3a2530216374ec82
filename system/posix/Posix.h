#pragma once
// What the POSIX implementation shares: descriptors in and out of the
// core's handles, errors made from errno, the mode of new files and the
// directory part of a path.
#include <sys/types.h>

#include <string>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko::posix {

inline int Descriptor(FileHandle handle) {
    return static_cast<int>(handle.Native());
}
inline int Descriptor(const File& file) {
    return Descriptor(file.Get());
}
inline FileHandle HandleOf(int fd) {
    return fd < 0 ? kNoFile : FileHandle(fd);
}

SystemError ErrorOf(std::string action, std::string subject, int code);
// From errno, as the failed call left it.
SystemError LastError(std::string action, std::string subject);

// open(2), again when a signal interrupts it (a FIFO or a network file
// system can be interrupted while it opens).
int OpenRetrying(const char* path, int flags, mode_t mode = 0);
// close(2): 0, or -1 with errno. An interrupted close counts as done: Linux
// has released the descriptor, and closing it again could close a file
// another thread has just opened.
int CloseReporting(int fd);

// The mode a new file gets from open: 0666 less the umask.
mode_t NewFileMode();

// Up to and including the last "/"; empty when there is none.
std::string DirectoryPart(const std::string& path);
std::string WithTrailingSlash(std::string path);

}  // namespace pelko::posix
