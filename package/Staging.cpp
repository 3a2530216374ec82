#include "package/Staging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <vector>

#include "text/Paths.h"

namespace pelko {
namespace {

std::string TemporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? tmp : "/tmp";
}

std::string WithTrailingSeparator(std::string path) {
    if (path.empty() || path.back() != '/') path += '/';
    return path;
}

// mkstemp and mkdtemp need a writable template ending in XXXXXX.
std::vector<char> PatternBuffer(const std::string& pattern) {
    return std::vector<char>(pattern.c_str(), pattern.c_str() + pattern.size() + 1);
}

mode_t CurrentUmask() {
    mode_t mask = umask(0);
    umask(mask);
    return mask;
}

}  // namespace

// Looked at before it is opened: opening a FIFO would wait for a writer.
bool TemplateArchiveReadable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    UniqueFile file(OpenForReading(path));
    return file.IsOpen();
}

std::optional<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    std::string root = WithTrailingSeparator(parent.empty() ? TemporaryRoot() : parent);
    std::vector<char> buffer = PatternBuffer(root + "pelko-XXXXXX");
    if (!mkdtemp(buffer.data())) return std::nullopt;
    return WorkDirectory(WithTrailingSeparator(buffer.data()));
}

WorkDirectory::WorkDirectory(WorkDirectory&& other) noexcept : path_(std::move(other.path_)) {
    other.path_.clear();
}

WorkDirectory::~WorkDirectory() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

AtomicOutput::AtomicOutput(std::string outputPath, std::string stagingPath, UniqueFile file)
    : outputPath_(std::move(outputPath)), stagingPath_(std::move(stagingPath)), file_(std::move(file)) {}

// The file a package is written to: a link to a file is followed, so that the
// package lands where the link points and the link stays a link.
std::string FinalTarget(const std::string& outputPath) {
    struct stat link {};
    if (lstat(outputPath.c_str(), &link) != 0 || !S_ISLNK(link.st_mode)) return outputPath;
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(outputPath, error);
    return error ? outputPath : target.string();
}

std::optional<AtomicOutput> AtomicOutput::Create(const std::string& outputPath) {
    const std::string target = FinalTarget(outputPath);
    mode_t mode = 0666 & ~CurrentUmask();
    struct stat existing {};
    if (stat(target.c_str(), &existing) == 0) {
        // Only a plain file the user may write is replaced, as creating it
        // in place would have required; it keeps its permissions.
        if (!S_ISREG(existing.st_mode) || access(target.c_str(), W_OK) != 0) return std::nullopt;
        mode = existing.st_mode & 07777;
    }
    // A short name of its own, so that an output name near the file system's
    // limit still leaves room for it.
    std::vector<char> buffer = PatternBuffer(DirectoryOf(target) + ".pelko-XXXXXX");
    int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    UniqueFile file(fd);
    // mkostemp makes the file private; a package is an ordinary user file.
    fchmod(fd, mode);
    return AtomicOutput(target, buffer.data(), std::move(file));
}

AtomicOutput::AtomicOutput(AtomicOutput&& other) noexcept
    : outputPath_(std::move(other.outputPath_)),
      stagingPath_(std::move(other.stagingPath_)),
      file_(std::move(other.file_)),
      committed_(other.committed_) {
    other.committed_ = true;  // the moved-from object owns no file any more
}

AtomicOutput::~AtomicOutput() {
    if (committed_) return;
    file_.Close();
    std::remove(stagingPath_.c_str());
}

bool AtomicOutput::Commit() {
    bool ok = fsync(file_.Get()) == 0;
    ok = (close(file_.Release()) == 0) && ok;
    ok = ok && std::rename(stagingPath_.c_str(), outputPath_.c_str()) == 0;
    if (!ok) std::remove(stagingPath_.c_str());
    committed_ = true;
    return ok;
}

}  // namespace pelko
