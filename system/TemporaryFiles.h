#pragma once
// Files a build makes in its own work directory, where no one else looks:
// a new file that takes another's place once complete, and a scratch file
// without a name.
#include <string>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

// A new file beside path, named path + ".XXXXXX", with the mode any new file
// gets; Commit renames it over path. Dropped before that, it is removed and
// path stays as it was.
class ReplacingFile {
public:
    static Outcome<ReplacingFile> Create(const std::string& path);
    ReplacingFile(ReplacingFile&& other) noexcept;
    ReplacingFile& operator=(ReplacingFile&&) = delete;
    ReplacingFile(const ReplacingFile&) = delete;
    ~ReplacingFile();

    // Open for reading and writing until Close.
    File& Output() { return file_; }
    // Closes the new file; a failure here is a failed write.
    Outcome<void> Close();
    // Closes it if it is open, then puts it in path's place. After a
    // failure the new file is gone.
    Outcome<void> Commit();

private:
    ReplacingFile(std::string path, std::string temporaryPath, File file);
    std::string path_;
    std::string temporaryPath_;  // empty once committed or removed
    File file_;
};

// A file without a name in the directory of besidePath, open for reading
// and writing; it is gone once closed.
Outcome<File> CreateScratchFile(const std::string& besidePath);

}  // namespace pelko
