#include "system/Directories.h"

#include <memory>
#include <string_view>

#include "system/FileStatus.h"
#include "system/windows/Win32.h"

namespace pelko {
namespace {

struct Listing {
    HANDLE handle = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW entry{};
    bool entryUnread = false;  // entry holds the first one, not yet looked at
};

Listing* ListingOf(void* listing) {
    return static_cast<Listing*>(listing);
}

std::wstring Upper(std::wstring text) {
    if (!text.empty()) CharUpperBuffW(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

bool IsHighSurrogate(wchar_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

// The length of the character at text[at]: a surrogate pair is one.
std::size_t CharacterAt(std::wstring_view text, std::size_t at) {
    return IsHighSurrogate(text[at]) && at + 1 < text.size() ? 2 : 1;
}

// * and ? as the shell has them, letters compared without case as Windows
// compares file names. A * that failed is retried one character further,
// from the last * only: that is enough for patterns without brackets.
bool Matches(std::wstring_view mask, std::wstring_view name) {
    std::size_t m = 0, n = 0;
    std::size_t starMask = std::wstring_view::npos, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && mask[m] == L'*') {
            starMask = m++;
            starName = n;
        } else if (m < mask.size() && mask[m] == L'?') {
            ++m;
            n += CharacterAt(name, n);
        } else if (m < mask.size() && mask[m] == name[n]) {
            ++m;
            ++n;
        } else if (starMask != std::wstring_view::npos) {
            m = starMask + 1;
            starName += CharacterAt(name, starName);
            n = starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == L'*') ++m;
    return m == mask.size();
}

}  // namespace

int FileScan::First(const std::string& pattern, unsigned attributes) {
    Close();
    directory_ = win32::DirectoryPart(pattern);
    mask_ = pattern.substr(directory_.size());
    attributes_ = attributes;
    const std::optional<std::wstring> all = win32::Wide((directory_.empty() ? ".\\" : directory_) + "*");
    if (!all) return ERROR_NO_UNICODE_TRANSLATION;
    auto listing = std::make_unique<Listing>();
    listing->handle = FindFirstFileExW(all->c_str(), FindExInfoBasic, &listing->entry, FindExSearchNameMatch,
                                       nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (listing->handle == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        return code != 0 ? static_cast<int>(code) : ERROR_FILE_NOT_FOUND;
    }
    listing->entryUnread = true;
    listing_ = listing.release();
    if (Next() != 0) {
        Close();
        return ERROR_FILE_NOT_FOUND;
    }
    return 0;
}

int FileScan::Next() {
    Listing* listing = ListingOf(listing_);
    if (listing == nullptr) return ERROR_NO_MORE_FILES;
    for (;;) {
        if (!listing->entryUnread && !FindNextFileW(listing->handle, &listing->entry)) return ERROR_NO_MORE_FILES;
        listing->entryUnread = false;
        const std::string name = win32::Narrow(listing->entry.cFileName);
        if (Accept(name.c_str())) {
            name_ = name;
            return 0;
        }
    }
}

void FileScan::Close() {
    if (Listing* listing = ListingOf(listing_)) {
        FindClose(listing->handle);
        delete listing;
        listing_ = nullptr;
    }
}

bool FileScan::Accept(const char* name) {
    const std::string_view view(name);
    if (view == "." || view == "..") return false;
    const std::optional<std::wstring> mask = win32::Wide(mask_);
    if (!mask || !Matches(Upper(*mask), Upper(ListingOf(listing_)->entry.cFileName))) return false;
    DWORD found = ListingOf(listing_)->entry.dwFileAttributes;
    unsigned kinds = 0;
    // Hidden as Windows marks it, and a dot name as on POSIX, so that a
    // folder lists the same templates on both systems.
    if ((found & FILE_ATTRIBUTE_HIDDEN) || view.front() == '.') kinds |= kAttrHidden;
    if (found & (FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DEVICE)) kinds |= kAttrSystem;
    // A link lists as what it leads to; one that leads nowhere is skipped.
    if (found & FILE_ATTRIBUTE_REPARSE_POINT) {
        const Outcome<FileStatus> target = StatusOf(directory_ + view.data());
        if (!target) return false;
        found = target->kind == FileKind::Directory ? FILE_ATTRIBUTE_DIRECTORY : 0;
        if (target->kind == FileKind::Other) kinds |= kAttrSystem;
    }
    if (found & FILE_ATTRIBUTE_DIRECTORY) kinds |= kAttrDirectory;
    const unsigned excluded = kAttrHidden | kAttrSystem | kAttrVolume | kAttrDirectory;
    return (kinds & excluded & ~attributes_) == 0;
}

Outcome<void> MakeDirectory(const std::string& path) {
    const std::optional<std::wstring> wide = win32::Wide(path);
    if (wide && CreateDirectoryW(wide->c_str(), nullptr)) return {};
    const SystemError error = win32::LastError("create directory", path);
    const DWORD attributes = win32::AttributesOf(path);
    if (error.code == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    return error;
}

}  // namespace pelko
