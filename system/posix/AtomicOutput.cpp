#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string_view>
#include <utility>

#include "system/CleanupRegistry.h"
#include "system/Staging.h"
#include "system/posix/OwnedNames.h"
#include "system/posix/Posix.h"

namespace pelko {

using posix::Descriptor;

namespace {

// Staging files carry the id of their process, so that the next build into
// the same folder can remove those a killed build left.
constexpr std::string_view kStagingPrefix = ".pelko-";

// An unnamed file in directory, or -1 where the file system (or an old
// kernel) refuses O_TMPFILE. It is linked into place through /proc, so that
// is needed too. Readable as well, as the named one is: a build checks the
// archive it wrote into it.
int OpenUnnamedFile(const std::string& directory) {
#ifdef O_TMPFILE
    if (access("/proc/self/fd", X_OK) != 0) return -1;
    const std::string where = directory.empty() ? "." : directory;
    return posix::OpenRetrying(where.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#else
    (void)directory;
    errno = EOPNOTSUPP;
    return -1;
#endif
}

// A fresh name for mkstemp's XXXXXX, for the link that names an unnamed file.
std::string RandomSuffix() {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    static std::mt19937 generator(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix;
    for (int i = 0; i < 6; ++i) suffix += kLetters[pick(generator)];
    return suffix;
}

std::string StagingName(const std::string& directory) {
    std::string pattern = directory + posix::OwnedNamePattern(kStagingPrefix);
    return pattern.replace(pattern.size() - 6, 6, RandomSuffix());
}

// The file the output replaces: through links only where that is asked for,
// so that a package lands where its link points and the link stays a link. A
// link that leads nowhere is replaced itself.
Outcome<std::string> FinalTarget(const std::string& outputPath, Replacing replacing) {
    struct stat link {};
    if (lstat(outputPath.c_str(), &link) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return outputPath;
        return posix::LastError("stat", outputPath);
    }
    if (replacing != Replacing::FileThroughLinks || !S_ISLNK(link.st_mode)) return outputPath;
    std::error_code error;
    std::filesystem::path target = std::filesystem::canonical(outputPath, error);
    if (!error) return target.string();
    if (error.value() == ENOENT) return outputPath;
    return posix::ErrorOf("stat", outputPath, error.value());
}

// The mode the output gets; an error when target names something it may
// not replace. Only a plain file the user may write is replaced, as
// creating it in place would have required; it keeps its permissions. A
// link that is itself replaced says nothing about the file's mode.
Outcome<mode_t> ModeFor(const std::string& target, const std::string& outputPath, Replacing replacing) {
    struct stat existing {};
    if (lstat(target.c_str(), &existing) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return posix::NewFileMode();
        return posix::LastError("stat", outputPath);
    }
    if (replacing == Replacing::Nothing) return posix::ErrorOf("create", outputPath, EEXIST);
    if (S_ISLNK(existing.st_mode)) {
        if (replacing == Replacing::EntryAtName) return posix::NewFileMode();
        // A link that leads nowhere is replaced itself, by a new file.
        if (stat(target.c_str(), &existing) != 0) {
            if (errno == ENOENT) return posix::NewFileMode();
            return posix::LastError("stat", outputPath);
        }
    }
    if (!S_ISREG(existing.st_mode)) {
        return posix::ErrorOf("replace", outputPath, S_ISDIR(existing.st_mode) ? EISDIR : EINVAL);
    }
    if (access(target.c_str(), W_OK) != 0) return posix::LastError("replace", outputPath);
    return static_cast<mode_t>(existing.st_mode & 07777);
}

// A new file beside target: unnamed where the file system allows it, else
// under a staging name. Its second is that name, empty for an unnamed file.
Outcome<std::pair<File, std::string>> CreateBeside(const std::string& target, const std::string& outputPath) {
    const std::string directory = posix::DirectoryPart(target);
    const int unnamed = OpenUnnamedFile(directory);
    if (unnamed >= 0) return std::pair(File(posix::HandleOf(unnamed), outputPath), std::string());
    // Permission and space problems are the same for a named file; only a
    // file system without O_TMPFILE makes trying one worth while.
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
        return posix::LastError("create", outputPath);
    }
    // A short name of its own, so that an output name near the file system's
    // limit still leaves room for it.
    std::string staging = directory + posix::OwnedNamePattern(kStagingPrefix);
    const int fd = mkostemp(staging.data(), O_CLOEXEC);
    if (fd < 0) return posix::LastError("create", outputPath);
    return std::pair(File(posix::HandleOf(fd), outputPath), std::move(staging));
}

// Once renamed, the package is durable only when its folder is: the new
// directory entry is written with the folder. A file system that cannot sync
// a folder says so with EINVAL and has nothing to write.
Outcome<void> SyncFolderOf(const std::string& path, const std::string& shownName) {
    const std::string directory = posix::DirectoryPart(path);
    const int fd = posix::OpenRetrying(directory.empty() ? "." : directory.c_str(),
                                       O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return posix::LastError("sync", shownName);
    File folder(posix::HandleOf(fd), shownName);
    const Outcome<void> synced = Sync(folder);
    if (!synced && synced.Error().code != EINVAL) return synced;
    return {};
}

}  // namespace

AtomicOutput::AtomicOutput(std::string outputPath, std::string stagingPath, File file)
    : outputPath_(std::move(outputPath)), stagingPath_(std::move(stagingPath)), file_(std::move(file)) {
    if (!stagingPath_.empty()) cleanupSlot_ = RememberForCleanup(stagingPath_.c_str(), CleanupKind::File);
}

Outcome<AtomicOutput> AtomicOutput::Create(const std::string& outputPath, Replacing replacing) {
    const Outcome<std::string> target = FinalTarget(outputPath, replacing);
    if (!target) return target.Error();
    const Outcome<mode_t> mode = ModeFor(*target, outputPath, replacing);
    if (!mode) return mode.Error();
    posix::RemoveAbandoned(posix::DirectoryPart(*target), kStagingPrefix, false);
    Outcome<std::pair<File, std::string>> created = CreateBeside(*target, outputPath);
    if (!created) return created.Error();
    AtomicOutput output(*target, std::move(created->second), std::move(created->first));
    output.replacing_ = replacing;
    // The new file is private; a package is an ordinary user file, with the
    // earlier package's permissions or those of any new file.
    if (fchmod(Descriptor(output.file_), *mode) != 0) return posix::LastError("chmod", outputPath);
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
        const std::string name = StagingName(posix::DirectoryPart(outputPath_));
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
    const Outcome<void> closed = CloseWritten(file_);
    if (done && !closed) done = closed;
    if (done && replacing_ == Replacing::Nothing) {
        done = LinkIntoPlace();
        // Only a second name now, or already gone.
        RemoveStagingFile();
        if (!done) return done;
        return SyncFolderOf(outputPath_, name);
    }
    if (done && std::rename(stagingPath_.c_str(), outputPath_.c_str()) != 0) done = posix::LastError("rename", name);
    if (!done) {
        RemoveStagingFile();
        return done;
    }
    // The package is in place now, whatever the folder's sync says.
    ForgetCleanup(cleanupSlot_);
    cleanupSlot_ = -1;
    return SyncFolderOf(outputPath_, name);
}

}  // namespace pelko
