#pragma once
// Directories: listing the entries that match a pattern, and making one.
#include <string>

#include "system/SystemError.h"

namespace pelko {

// Entry kinds that a scan may list besides ordinary files.
inline constexpr unsigned kAttrReadOnly = 0x01;
inline constexpr unsigned kAttrHidden = 0x02;
inline constexpr unsigned kAttrSystem = 0x04;
inline constexpr unsigned kAttrVolume = 0x08;
inline constexpr unsigned kAttrDirectory = 0x10;
inline constexpr unsigned kAttrArchive = 0x20;

// A directory listing in progress. The pattern's last part holds the
// wildcards * and ? (matched as the shell does, case-sensitive); a name that
// starts with "." is hidden. Entries come in the file system's order.
class FileScan {
public:
    FileScan() = default;
    FileScan(const FileScan&) = delete;
    FileScan& operator=(const FileScan&) = delete;
    ~FileScan() { Close(); }

    // 0 with the first entry, or a non-zero error code (the scan is then closed).
    int First(const std::string& pattern, unsigned attributes);
    // 0 with the next entry, or non-zero when there are no more.
    int Next();
    void Close();
    // The current entry's name, without directory.
    const std::string& Name() const { return name_; }

private:
    bool Accept(const char* name);

    void* listing_ = nullptr;  // the system's handle of the open listing
    std::string directory_;
    std::string mask_;
    unsigned attributes_ = 0;
    std::string name_;
};

// Makes the directory at path; one that is there already is no failure.
Outcome<void> MakeDirectory(const std::string& path);

}  // namespace pelko
