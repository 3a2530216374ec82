#include "system/windows/OwnedNames.h"

#include <vector>

#include "system/Directories.h"
#include "system/windows/Win32.h"

namespace pelko::win32 {
namespace {

constexpr std::size_t kRandomPart = 6;

// The process id in a name PREFIX<pid>-XXXXXX, or 0 when the name is not
// one of that pattern.
DWORD OwnerOf(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != kRandomPart) return 0;
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

// Of the kind the pattern is for; links are not followed.
bool IsItemOfKind(const std::string& path, bool directory) {
    const DWORD attributes = AttributesOf(path);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    return ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) == directory;
}

}  // namespace

std::string OwnedNameStem(std::string_view prefix) {
    return std::string(prefix) + std::to_string(GetCurrentProcessId()) + "-";
}

// Folders on Windows are the user's own (the temporary folder, the output's
// folder the user chose), so no owner needs comparing.
void RemoveAbandoned(const std::string& directory, std::string_view prefix, bool recursive) {
    std::vector<std::string> abandoned;
    FileScan scan;
    const unsigned kinds = recursive ? kAttrDirectory : kAttrHidden;
    for (int found = scan.First(directory + std::string(prefix) + "*", kinds); found == 0; found = scan.Next()) {
        const DWORD owner = OwnerOf(scan.Name(), prefix);
        const std::string path = directory + scan.Name();
        if (owner > 0 && IsItemOfKind(path, recursive) && ProcessIsGone(owner)) abandoned.push_back(path);
    }
    scan.Close();
    for (const std::string& path : abandoned) {
        const std::optional<std::wstring> wide = Wide(path);
        if (!wide) continue;
        if (recursive) {
            RemoveTree(*wide);
        } else {
            DeleteFileW(wide->c_str());
        }
    }
}

}  // namespace pelko::win32
