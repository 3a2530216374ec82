#pragma once
// The archive file itself: opening it through libzip, writing it back, and
// the entries it holds. Every failure throws ArchiveFailure.
#include <zip.h>

#include <string>
#include <string_view>
#include <vector>

#include "package/archive/ArchiveSource.h"
#include "package/archive/ZipHandles.h"

namespace pelko::archive {

// Opens the archive at path (shown: its name as messages give it); flags as
// for zip_open. Written, it replaces the archive at path.
ZipArchivePtr OpenArchive(const std::string& path, const std::string& shown, int flags);

// The same, for an archive read from readPath and, once written, put at
// writePath, or into *target while that is set (package/archive/ArchiveSource.h);
// readPath is never written. The same path twice is the above, without a
// target.
ZipArchivePtr OpenArchive(const std::string& readPath, const std::string& writePath, const std::string& shown,
                          int flags, WriteTarget* target = nullptr);

// Puts a copy of the archive at readPath at writePath, a new file that
// replaces writePath once complete.
void CopyArchiveFile(const std::string& readPath, const std::string& writePath, const std::string& shown);

// Writes every change and releases the archive. libzip writes a temporary
// file beside the archive and renames it over the archive only when
// everything is written. On failure the archive stays as it was and the
// handle keeps its changes, to be written again or discarded.
void WriteArchive(ZipArchivePtr& archive, const std::string& shown);

// Every entry whose name has exactly these bytes; duplicates all count.
std::vector<zip_uint64_t> EntriesNamed(zip_t* archive, std::string_view name);

// The entries that are there: those deleted in this session do not count.
zip_int64_t LiveEntries(zip_t* archive);

// An archive without entries is its end record alone (22 bytes, plus the
// archive comment if it had one), as the zip tool leaves it.
std::string EmptyArchive(zip_t* archive);

// Replaces the archive at path with these bytes. libzip removes an archive
// it closes without entries, so the empty archive is written here: a
// temporary file renamed over the archive once complete.
void ReplaceArchiveWith(const std::string& path, const std::string& shown, std::string_view bytes);

}  // namespace pelko::archive
