#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>

#include "system/CleanupRegistry.h"
#include "system/Staging.h"
#include "system/posix/Posix.h"

namespace pelko {

using posix::Descriptor;

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

// The file the output replaces: through links only where that is asked
// for, so that a package lands where its link points and the link stays.
std::string FinalTarget(const std::string& outputPath, Replacing replacing) {
    struct stat link {};
    if (replacing != Replacing::FileThroughLinks || lstat(outputPath.c_str(), &link) != 0 ||
        !S_ISLNK(link.st_mode)) {
        return outputPath;
    }
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(outputPath, error);
    return error ? outputPath : target.string();
}

// The mode the output gets; an error when target names something it may
// not replace. Only a plain file the user may write is replaced, as
// creating it in place would have required; it keeps its permissions. A
// link that is itself replaced says nothing about the file's mode.
Outcome<mode_t> ModeFor(const std::string& target, const std::string& outputPath, Replacing replacing) {
    struct stat existing {};
    if (lstat(target.c_str(), &existing) != 0) return posix::NewFileMode();
    if (replacing == Replacing::Nothing) return posix::ErrorOf("create", outputPath, EEXIST);
    if (S_ISLNK(existing.st_mode)) {
        if (replacing == Replacing::EntryAtName) return posix::NewFileMode();
        // A dangling link: the package is made where it points.
        if (stat(target.c_str(), &existing) != 0) return posix::NewFileMode();
    }
    if (!S_ISREG(existing.st_mode)) {
        return posix::ErrorOf("replace", outputPath, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    }
    if (access(target.c_str(), W_OK) != 0) return posix::LastError("replace", outputPath);
    return static_cast<mode_t>(existing.st_mode & 07777);
}

}  // namespace

AtomicOutput::AtomicOutput(std::string outputPath, std::string stagingPath, File file)
    : outputPath_(std::move(outputPath)), stagingPath_(std::move(stagingPath)), file_(std::move(file)) {
    if (!stagingPath_.empty()) cleanupSlot_ = RememberForCleanup(stagingPath_.c_str(), CleanupKind::File);
}

Outcome<AtomicOutput> AtomicOutput::Create(const std::string& outputPath, Replacing replacing) {
    const std::string target = FinalTarget(outputPath, replacing);
    const Outcome<mode_t> mode = ModeFor(target, outputPath, replacing);
    if (!mode) return mode.Error();
    const int unnamed = OpenUnnamedFile(posix::DirectoryPart(target));
    if (unnamed >= 0) {
        File file(posix::HandleOf(unnamed), outputPath);
        fchmod(unnamed, *mode);
        AtomicOutput output(target, std::string(), std::move(file));
        output.replacing_ = replacing;
        return output;
    }
    // Permission and space problems are the same for a named file; only a
    // file system without O_TMPFILE makes trying one worth while.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        return posix::LastError("create", outputPath);
    }
    // A short name of its own, so that an output name near the file system's
    // limit still leaves room for it.
    std::string staging = posix::DirectoryPart(target) + ".pelko-XXXXXX";
    const int fd = mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) return posix::LastError("create", outputPath);
    File file(posix::HandleOf(fd), outputPath);
    // mkostemp makes the file private; a package is an ordinary user file.
    fchmod(fd, *mode);
    AtomicOutput output(target, staging, std::move(file));
    output.replacing_ = replacing;
    return output;
}

AtomicOutput::AtomicOutput(AtomicOutput&& other) noexcept
    : outputPath_(std::move(other.outputPath_)),
      stagingPath_(std::move(other.stagingPath_)),
      cleanupSlot_(other.cleanupSlot_),
      file_(std::move(other.file_)),
      replacing_(other.replacing_),
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
Outcome<void> AtomicOutput::LinkUnnamedFile() {
    const std::string procPath = "/proc/self/fd/" + std::to_string(Descriptor(file_));
    for (int attempt = 0;; ++attempt) {
        const std::string name = posix::DirectoryPart(outputPath_) + ".pelko-" + RandomSuffix();
        // Remembered before it exists, so that a signal in between finds it.
        cleanupSlot_ = RememberForCleanup(name.c_str(), CleanupKind::File);
        if (linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
            stagingPath_ = name;
            return {};
        }
        const SystemError error = posix::LastError("link", file_.Name());
        ForgetCleanup(cleanupSlot_);
        cleanupSlot_ = -1;
        if (error.code != EEXIST || attempt == 99) return error;
    }
}

// A new link fails where anything has the name already, which a rename
// would replace. The file then has two names, and the staging one goes.
Outcome<void> AtomicOutput::LinkIntoPlace() {
    if (link(stagingPath_.c_str(), outputPath_.c_str()) == 0) return {};
    const SystemError error = posix::LastError("link", file_.Name());
    // File systems without hard links (FAT) may still rename without replacing.
    if (error.code != EPERM && error.code != EOPNOTSUPP) return error;
    if (renameat2(AT_FDCWD, stagingPath_.c_str(), AT_FDCWD, outputPath_.c_str(), RENAME_NOREPLACE) != 0) {
        return posix::LastError("rename", file_.Name());
    }
    ForgetCleanup(cleanupSlot_);
    cleanupSlot_ = -1;
    stagingPath_.clear();
    return {};
}

Outcome<void> AtomicOutput::Commit() {
    committed_ = true;
    Outcome<void> done = Sync(file_);
    if (done && stagingPath_.empty()) done = LinkUnnamedFile();
    const std::string name = file_.Name();
    if (close(Descriptor(file_.Release())) != 0 && done) done = posix::LastError("close", name);
    if (done && replacing_ == Replacing::Nothing) {
        done = LinkIntoPlace();
        // Only a second name now, or already gone.
        RemoveStagingFile();
        return done;
    }
    if (done && std::rename(stagingPath_.c_str(), outputPath_.c_str()) != 0) done = posix::LastError("rename", name);
    if (done) {
        ForgetCleanup(cleanupSlot_);
        cleanupSlot_ = -1;
        return done;
    }
    RemoveStagingFile();
    return done;
}

}  // namespace pelko
