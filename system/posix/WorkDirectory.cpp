#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <string_view>
#include <vector>

#include "system/CleanupRegistry.h"
#include "system/Directories.h"
#include "system/Staging.h"
#include "system/posix/Posix.h"

namespace pelko {
namespace {

std::string TemporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? tmp : "/tmp";
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

bool IsOwnDirectory(const std::string& path) {
    struct stat info {};
    return lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == geteuid();
}

// A build killed without a chance to clean up (SIGKILL, a crash, power)
// leaves its work directory; the next build removes it. Only directories of
// our own name pattern and of the same user, whose process no longer exists.
void RemoveAbandonedWorkDirectories(const std::string& root) {
    std::vector<std::string> abandoned;
    FileScan scan;
    for (int found = scan.First(root + std::string(kWorkPrefix) + "*", kAttrDirectory); found == 0;
         found = scan.Next()) {
        const pid_t owner = OwnerOfWorkName(scan.Name());
        const std::string path = root + scan.Name();
        if (owner > 0 && IsOwnDirectory(path) && ProcessIsGone(owner)) abandoned.push_back(path);
    }
    scan.Close();
    for (const std::string& path : abandoned) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
}

}  // namespace

std::string WorkDirectory::ParentFor(const std::string& parent) {
    return posix::WithTrailingSlash(parent.empty() ? TemporaryRoot() : parent);
}

Outcome<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    const std::string root = ParentFor(parent);
    RemoveAbandonedWorkDirectories(root);
    std::string pattern = root + std::string(kWorkPrefix) + std::to_string(getpid()) + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return posix::LastError("create directory", root);
    return WorkDirectory(posix::WithTrailingSlash(pattern));
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

}  // namespace pelko
