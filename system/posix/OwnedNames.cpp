#include "system/posix/OwnedNames.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "system/Directories.h"

namespace pelko::posix {
namespace {

constexpr std::size_t kRandomPart = 6;  // the XXXXXX of mkstemp and mkdtemp

// The process id in a name PREFIX<pid>-XXXXXX, or 0 when the name is not
// one of that pattern.
pid_t OwnerOf(std::string_view name, std::string_view prefix) {
    if (name.substr(0, prefix.size()) != prefix) return 0;
    name.remove_prefix(prefix.size());
    const std::size_t dash = name.find('-');
    if (dash == 0 || dash == std::string_view::npos || name.size() - dash - 1 != kRandomPart) return 0;
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

// Only what this user made, of the kind the pattern is for; links are not followed.
bool IsOwnItem(const std::string& path, bool directory) {
    struct stat info {};
    if (lstat(path.c_str(), &info) != 0 || info.st_uid != geteuid()) return false;
    return directory ? S_ISDIR(info.st_mode) : S_ISREG(info.st_mode);
}

}  // namespace

std::string OwnedNamePattern(std::string_view prefix) {
    return std::string(prefix) + std::to_string(getpid()) + "-XXXXXX";
}

void RemoveAbandoned(const std::string& directory, std::string_view prefix, bool recursive) {
    std::vector<std::string> abandoned;
    FileScan scan;
    const unsigned kinds = recursive ? kAttrDirectory : kAttrHidden;
    for (int found = scan.First(directory + std::string(prefix) + "*", kinds); found == 0; found = scan.Next()) {
        const pid_t owner = OwnerOf(scan.Name(), prefix);
        const std::string path = directory + scan.Name();
        if (owner > 0 && IsOwnItem(path, recursive) && ProcessIsGone(owner)) abandoned.push_back(path);
    }
    scan.Close();
    for (const std::string& path : abandoned) {
        std::error_code ignored;
        if (recursive) {
            std::filesystem::remove_all(path, ignored);
        } else {
            std::remove(path.c_str());
        }
    }
}

}  // namespace pelko::posix
