#pragma once
// Storing new data in an open archive, in place of an entry or as a new one.
#include <zip.h>

#include <optional>
#include <string>

#include "package/archive/NewData.h"

namespace pelko::archive {

// Throws ArchiveFailure unless path names an existing regular file.
void RequireFile(const std::string& path, const std::string& shownName);

// Puts the data into the entry at index, or into a new entry named entryName
// at the end. A failure throws ArchiveFailure and leaves the archive as it
// was: a new entry goes again, a replaced one is unchanged.
void PutData(zip_t* archive, std::optional<zip_uint64_t> index, const std::string& entryName, NewData data,
             const std::string& shownName);

}  // namespace pelko::archive
