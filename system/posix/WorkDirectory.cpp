#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <string_view>

#include "system/CleanupRegistry.h"
#include "system/Staging.h"
#include "system/posix/OwnedNames.h"
#include "system/posix/Posix.h"

namespace pelko {
namespace {

std::string TemporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return (tmp && *tmp) ? tmp : "/tmp";
}

constexpr std::string_view kWorkPrefix = "pelko-work-";

}  // namespace

std::string WorkDirectory::ParentFor(const std::string& parent) {
    return posix::WithTrailingSlash(parent.empty() ? TemporaryRoot() : parent);
}

Outcome<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    const std::string root = ParentFor(parent);
    // A build killed without a chance to clean up leaves its work directory;
    // the next build removes it.
    posix::RemoveAbandoned(root, kWorkPrefix, true);
    std::string pattern = root + posix::OwnedNamePattern(kWorkPrefix);
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
