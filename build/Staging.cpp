#include "build/Staging.h"

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

std::optional<AtomicOutput> AtomicOutput::Create(const std::string& outputPath) {
    struct stat existing {};
    if (stat(outputPath.c_str(), &existing) == 0) {
        // Only a plain file the user may write is replaced, as creating it
        // in place would have required.
        if (!S_ISREG(existing.st_mode) || access(outputPath.c_str(), W_OK) != 0) return std::nullopt;
    }
    std::string directory = DirectoryOf(outputPath);
    std::string pattern = directory + "." + FileNameOf(outputPath) + ".XXXXXX";
    std::vector<char> buffer = PatternBuffer(pattern);
    int fd = mkostemp(buffer.data(), O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    UniqueFile file(fd);
    // mkostemp makes the file private; a package is an ordinary user file.
    fchmod(fd, 0666 & ~CurrentUmask());
    return AtomicOutput(outputPath, buffer.data(), std::move(file));
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
