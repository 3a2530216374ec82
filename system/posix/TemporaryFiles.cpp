#include "system/TemporaryFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>

#include "system/posix/Posix.h"

namespace pelko {

using posix::Descriptor;

ReplacingFile::ReplacingFile(std::string path, std::string temporaryPath, File file)
    : path_(std::move(path)), temporaryPath_(std::move(temporaryPath)), file_(std::move(file)) {}

Outcome<ReplacingFile> ReplacingFile::Create(const std::string& path) {
    std::string temporary = path + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) return posix::LastError("create", path);
    File file(posix::HandleOf(fd), path);
    fchmod(fd, posix::NewFileMode());  // mkostemp makes the file private
    return ReplacingFile(path, temporary, std::move(file));
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
    if (!file_.IsOpen()) return {};
    const std::string name = file_.Name();
    if (close(Descriptor(file_.Release())) != 0) return posix::LastError("close", name);
    return {};
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
