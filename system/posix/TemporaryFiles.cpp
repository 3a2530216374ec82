#include "system/TemporaryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "system/posix/Posix.h"

namespace pelko {

ReplacingFile::ReplacingFile(std::string path, std::string temporaryPath, File file)
    : path_(std::move(path)), temporaryPath_(std::move(temporaryPath)), file_(std::move(file)) {}

Outcome<ReplacingFile> ReplacingFile::Create(const std::string& path) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return posix::LastError("create", path);
    File file(posix::HandleOf(fd), path);
    ReplacingFile replacing(path, temporary, std::move(file));
    // mkostemp makes the file private; it takes the mode of any new file.
    if (fchmod(fd, posix::NewFileMode()) != 0) return posix::LastError("chmod", path);
    return replacing;
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : path_(std::move(other.path_)), temporaryPath_(std::move(other.temporaryPath_)), file_(std::move(other.file_)) {
    other.temporaryPath_.clear();
}

ReplacingFile::~ReplacingFile() {
    file_.Close();
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
}

Outcome<void> ReplacingFile::Close() {
    return CloseWritten(file_);
}

Outcome<void> ReplacingFile::Commit() {
    Outcome<void> done = Close();
    if (done && std::rename(temporaryPath_.c_str(), path_.c_str()) != 0) done = posix::LastError("rename", path_);
    if (!done) unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    return done;
}

// Removed from the directory at once: nothing is left even when the
// process is killed.
Outcome<File> CreateScratchFile(const std::string& besidePath) {
    std::string pattern = posix::DirectoryPart(besidePath) + ".pelko-data-XXXXXX";
    const int fd = mkostemp(pattern.data(), O_CLOEXEC);
    if (fd < 0) return posix::LastError("create", pattern);
    unlink(pattern.c_str());
    return File(posix::HandleOf(fd), pattern);
}

}  // namespace pelko
