#include "system/Staging.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>
#include <signal.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <vector>

#include "system/CleanupRegistry.h"

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

constexpr std::string_view kWorkPrefix = "pelko-work-";

// The process id in a work directory's name pelko-work-<pid>-XXXXXX, or 0
// when the name is not one of ours.
pid_t OwnerOfWorkName(std::string_view name) {
    if (name.substr(0, kWorkPrefix.size()) != kWorkPrefix) return 0;
    name.remove_prefix(kWorkPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 6) return 0;
    long long pid = 0;
    for (char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 4194304) return 0;
        pid = pid * 10 + (c - '0');
    }
    return static_cast<pid_t>(pid);
}

bool ProcessIsGone(pid_t pid) {
    return kill(pid, 0) == -1 && errno == ESRCH;
}

// A build killed without a chance to clean up (SIGKILL, a crash, power)
// leaves its work directory; the next build removes it. Only directories of
// our own name pattern and of the same user, whose process no longer exists.
void RemoveAbandonedWorkDirectories(const std::string& root) {
    const int savedErrno = errno;
    DIR* directory = opendir(root.c_str());
    if (!directory) return;
    std::vector<std::string> abandoned;
    while (const dirent* entry = readdir(directory)) {
        const pid_t owner = OwnerOfWorkName(entry->d_name);
        if (owner <= 0) continue;
        const std::string path = root + entry->d_name;
        struct stat info {};
        if (lstat(path.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || info.st_uid != geteuid()) continue;
        if (ProcessIsGone(owner)) abandoned.push_back(path);
    }
    closedir(directory);
    for (const std::string& path : abandoned) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    errno = savedErrno;
}

}  // namespace

// Looked at before it is opened: opening a FIFO would wait for a writer.
bool TemplateArchiveReadable(const std::string& path) {
    struct stat status {};
    if (stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return false;
    UniqueFile file(OpenForReading(path));
    return file.IsOpen();
}

std::string WorkDirectory::ParentFor(const std::string& parent) {
    return WithTrailingSeparator(parent.empty() ? TemporaryRoot() : parent);
}

std::optional<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    const std::string root = ParentFor(parent);
    RemoveAbandonedWorkDirectories(root);
    const std::string name = std::string(kWorkPrefix) + std::to_string(getpid()) + "-XXXXXX";
    std::vector<char> buffer = PatternBuffer(root + name);
    if (!mkdtemp(buffer.data())) return std::nullopt;
    return WorkDirectory(WithTrailingSeparator(buffer.data()));
}

WorkDirectory::WorkDirectory(std::string path)
    : path_(std::move(path)), cleanupSlot_(RememberForCleanup(path_.c_str(), CleanupKind::Directory)) {}

WorkDirectory::WorkDirectory(WorkDirectory&& other) noexcept
    : path_(std::move(other.path_)), cleanupSlot_(other.cleanupSlot_) {
    other.path_.clear();
    other.cleanupSlot_ = -1;
}

WorkDirectory::~WorkDirectory() {
    if (path_.empty()) return;
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
    ForgetCleanup(cleanupSlot_);
}

AtomicOutput::AtomicOutput(std::string outputPath, std::string stagingPath, UniqueFile file)
    : outputPath_(std::move(outputPath)), stagingPath_(std::move(stagingPath)), file_(std::move(file)) {
    if (!stagingPath_.empty()) cleanupSlot_ = RememberForCleanup(stagingPath_.c_str(), CleanupKind::File);
}

namespace {

// An unnamed file in directory, or -1 where the file system (or an old
// kernel) refuses O_TMPFILE. It is linked into place through /proc, so that
// is needed too. Readable as well, as the named one is: a build checks the
// archive it wrote into it.
int OpenUnnamedFile(const std::string& directory) {
#ifdef O_TMPFILE
    if (access("/proc/self/fd", X_OK) != 0) return -1;
    const std::string where = directory.empty() ? "." : directory;
    return open(where.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#else
    (void)directory;
    return -1;
#endif
}

std::string RandomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[pick(generator)];
    return suffix;
}

}  // namespace

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
        if (!S_ISREG(existing.st_mode)) {
            errno = S_ISDIR(existing.st_mode) ? EISDIR : EINVAL;
            return std::nullopt;
        }
        if (access(target.c_str(), W_OK) != 0) return std::nullopt;
        mode = existing.st_mode & 07777;
    }
    const int unnamed = OpenUnnamedFile(DirectoryOf(target));
    if (unnamed >= 0) {
        UniqueFile file(unnamed);
        fchmod(unnamed, mode);
        return AtomicOutput(target, std::string(), std::move(file));
    }
    // Permission and space problems are the same for a named file; only a
    // file system without O_TMPFILE makes trying one worth while.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) return std::nullopt;
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
      cleanupSlot_(other.cleanupSlot_),
      file_(std::move(other.file_)),
      committed_(other.committed_) {
    other.cleanupSlot_ = -1;
    other.committed_ = true;  // the moved-from object owns no file any more
}

AtomicOutput::~AtomicOutput() {
    if (committed_) return;
    file_.Close();
    RemoveStagingFile();
}

void AtomicOutput::RemoveStagingFile() {
    if (!stagingPath_.empty()) std::remove(stagingPath_.c_str());
    ForgetCleanup(cleanupSlot_);
    cleanupSlot_ = -1;
}

// linkat cannot replace a file, so the unnamed file gets a fresh name beside
// the output first, which the rename then moves over the output.
bool AtomicOutput::LinkUnnamedFile() {
    const std::string procPath = "/proc/self/fd/" + std::to_string(file_.Get());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = DirectoryOf(outputPath_) + ".pelko-" + RandomSuffix();
        // Remembered before it exists, so that a signal in between finds it.
        cleanupSlot_ = RememberForCleanup(name.c_str(), CleanupKind::File);
        if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            stagingPath_ = name;
            return true;
        }
        const int reason = errno;
        ForgetCleanup(cleanupSlot_);
        cleanupSlot_ = -1;
        errno = reason;
        if (reason != EEXIST) return false;
    }
    return false;
}

bool AtomicOutput::Commit() {
    committed_ = true;
    int reason = 0;
    auto failed = [&reason] {
        if (reason == 0) reason = errno;
        return false;
    };
    bool ok = fsync(file_.Get()) == 0 || failed();
    ok = ok && (!stagingPath_.empty() || LinkUnnamedFile() || failed());
    ok = (close(file_.Release()) == 0 || failed()) && ok;
    ok = ok && (std::rename(stagingPath_.c_str(), outputPath_.c_str()) == 0 || failed());
    if (ok) {
        ForgetCleanup(cleanupSlot_);
        cleanupSlot_ = -1;
        return true;
    }
    RemoveStagingFile();
    errno = reason;
    return false;
}

}  // namespace pelko
