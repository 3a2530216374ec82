#include <string_view>
#include <vector>

#include "system/CleanupRegistry.h"
#include "system/Directories.h"
#include "system/Staging.h"
#include "system/windows/OwnedNames.h"
#include "system/windows/Random.h"
#include "system/windows/Win32.h"

namespace pelko {
namespace {

// The user's temporary folder as Windows gives it (TMP, TEMP, USERPROFILE
// or the Windows folder), with its trailing backslash.
std::string TemporaryRoot() {
    wchar_t buffer[MAX_PATH + 2];
    const DWORD length = GetTempPathW(MAX_PATH + 2, buffer);
    if (length == 0 || length > MAX_PATH + 1) return ".\\";
    return win32::Narrow(std::wstring_view(buffer, length));
}

constexpr std::string_view kWorkPrefix = "pelko-work-";

}  // namespace

std::string WorkDirectory::ParentFor(const std::string& parent) {
    return win32::WithTrailingSeparator(parent.empty() ? TemporaryRoot() : parent);
}

// mkdtemp's way: a random name, made only when it is not there yet.
Outcome<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    const std::string root = ParentFor(parent);
    // A build killed without a chance to clean up (End task, a crash,
    // power) leaves its work directory; the next build removes it.
    win32::RemoveAbandoned(root, kWorkPrefix, true);
    const std::string stem = root + win32::OwnedNameStem(kWorkPrefix);
    for (int attempt = 0;; ++attempt) {
        const std::string path = stem + win32::RandomSuffix();
        const std::optional<std::wstring> wide = win32::Wide(path);
        if (wide && CreateDirectoryW(wide->c_str(), nullptr)) return WorkDirectory(path + "\\");
        if (!wide || GetLastError() != ERROR_ALREADY_EXISTS || attempt == 99) {
            return win32::LastError("create directory", root);
        }
    }
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
    if (const std::optional<std::wstring> wide = win32::Wide(path_)) win32::RemoveTree(*wide);
    ForgetCleanup(cleanupSlot_);
}

}  // namespace pelko
