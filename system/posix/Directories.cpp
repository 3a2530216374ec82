#include "system/Directories.h"

#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

#include <cerrno>
#include <string_view>

#include "system/posix/Posix.h"

namespace pelko {

int FileScan::First(const std::string& pattern, unsigned attributes) {
    Close();
    directory_ = posix::DirectoryPart(pattern);
    mask_ = pattern.substr(directory_.size());
    attributes_ = attributes;
    DIR* dir = ::opendir(directory_.empty() ? "." : directory_.c_str());
    if (dir == nullptr) {
        const int code = errno;
        return code != 0 ? code : ENOENT;
    }
    listing_ = dir;
    if (Next() != 0) {
        Close();
        return ENOENT;
    }
    return 0;
}

int FileScan::Next() {
    if (listing_ == nullptr) {
        return ENOENT;
    }
    auto* dir = static_cast<DIR*>(listing_);
    for (;;) {
        const dirent* entry = ::readdir(dir);
        if (entry == nullptr) {
            return ENOENT;
        }
        if (Accept(entry->d_name)) {
            name_ = entry->d_name;
            return 0;
        }
    }
}

void FileScan::Close() {
    if (listing_ != nullptr) {
        ::closedir(static_cast<DIR*>(listing_));
        listing_ = nullptr;
    }
}

bool FileScan::Accept(const char* name) {
    const std::string_view view(name);
    if (view == "." || view == "..") {
        return false;
    }
    if (::fnmatch(mask_.c_str(), name, 0) != 0) {
        return false;
    }
    // The kinds of entry a Windows listing marks: a dot name is hidden; what
    // is neither a file nor a directory (device, pipe, socket) counts as system.
    unsigned kinds = 0;
    if (view.front() == '.') {
        kinds |= kAttrHidden;
    }
    // stat, not lstat: a link to a file lists as that file; a dangling link
    // or an entry gone since readdir is skipped.
    struct stat info {};
    if (::stat((directory_ + view.data()).c_str(), &info) != 0) {
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        kinds |= kAttrDirectory;
    } else if (!S_ISREG(info.st_mode)) {
        kinds |= kAttrSystem;
    }
    const unsigned excluded = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;
    return (kinds & excluded & ~attributes_) == 0;
}

Outcome<void> MakeDirectory(const std::string& path) {
    if (::mkdir(path.c_str(), 0777) == 0) return {};
    const SystemError error = posix::LastError("create directory", path);
    struct stat info {};
    if (error.code == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
    return error;
}

}  // namespace pelko
