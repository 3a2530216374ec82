#pragma once
// The work file of a File option: the chosen file, copied into the build's
// private work directory under the entry's own path, which is how the
// archive component's command lines name what they store.
#include <string>
#include <string_view>

#include "system/SystemError.h"

namespace pelko {

// Whether the work file of entry (as ArchiveEntryOf gives it) can lie in the
// work directory: it may not take the place of the temporary archive, of the
// manifest or of the manifest's folder, and its name must travel inside the
// command line's double quotes. Names are compared without letter case,
// which is how Windows file systems compare them.
bool IsUsableWorkName(std::string_view entry, std::string_view temporaryArchive);

// Copies the file at source to workDirectory + entry, making the entry's
// folders first; the system error when any of that fails.
Outcome<void> PlaceWorkFile(const std::string& source, const std::string& workDirectory, std::string_view entry);

}  // namespace pelko
