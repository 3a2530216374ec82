#include <string_view>
#include <vector>

#include "system/CleanupRegistry.h"
#include "system/Directories.h"
#include "system/Staging.h"
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

// The process id in a work directory's name pelko-work-<pid>-XXXXXX, or 0
// when the name is not one of ours.
DWORD OwnerOfWorkName(std::string_view name) {
    if (name.substr(0, kWorkPrefix.size()) != kWorkPrefix) return 0;
    name.remove_prefix(kWorkPrefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != 6) return 0;
    unsigned long long pid = 0;
    for (char c : name.substr(0, dash)) {
        if (c < '0' || c > '9' || pid > 0xFFFFFFFFu / 10) return 0;
        pid = pid * 10 + static_cast<unsigned>(c - '0');
    }
    return static_cast<DWORD>(pid);
}

// A process that cannot be opened for a reason other than its absence (a
// process of another user) counts as running.
bool ProcessIsGone(DWORD pid) {
    const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (process == nullptr) return GetLastError() == ERROR_INVALID_PARAMETER;
    const bool ended = WaitForSingleObject(process, 0) == WAIT_OBJECT_0;
    CloseHandle(process);
    return ended;
}

// A build killed without a chance to clean up (End task, a crash, power)
// leaves its work directory; the next build removes it. Only directories of
// our own name pattern whose process no longer exists: the temporary folder
// is the user's own on Windows, so no owner needs comparing.
void RemoveAbandonedWorkDirectories(const std::string& root) {
    std::vector<std::string> abandoned;
    FileScan scan;
    for (int found = scan.First(root + std::string(kWorkPrefix) + "*", kAttrDirectory); found == 0;
         found = scan.Next()) {
        const DWORD owner = OwnerOfWorkName(scan.Name());
        if (owner > 0 && ProcessIsGone(owner)) abandoned.push_back(root + scan.Name());
    }
    scan.Close();
    for (const std::string& path : abandoned) {
        if (const std::optional<std::wstring> wide = win32::Wide(path)) win32::RemoveTree(*wide);
    }
}

}  // namespace

std::string WorkDirectory::ParentFor(const std::string& parent) {
    return win32::WithTrailingSeparator(parent.empty() ? TemporaryRoot() : parent);
}

// mkdtemp's way: a random name, made only when it is not there yet.
Outcome<WorkDirectory> WorkDirectory::Create(const std::string& parent) {
    const std::string root = ParentFor(parent);
    RemoveAbandonedWorkDirectories(root);
    const std::string stem = root + std::string(kWorkPrefix) + std::to_string(GetCurrentProcessId()) + "-";
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
