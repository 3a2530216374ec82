#pragma once
// Putting a new entry first, where readers of Java archives look for the
// manifest. libzip only appends entries, so this means writing the archive
// anew: the new entry, then every old one as it was.
#include <zip.h>

#include <string>

#include "package/archive/NewData.h"

namespace pelko::archive {

// Writes a new archive at writePath from the data as its first entry
// entryName, then every entry of old (the archive read from readPath) with
// its compressed data copied as it is, and old's comment. old stays open for
// reading while libzip writes the new archive beside writePath and renames it
// into place, which POSIX allows even over the open old one. Throws
// ArchiveFailure, writePath then as it was.
void RewriteWithEntryFirst(zip_t* old, const std::string& readPath, const std::string& writePath,
                           const std::string& shownArchive, const std::string& entryName, NewData data,
                           const std::string& shownName);

}  // namespace pelko::archive
