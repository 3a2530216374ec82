#pragma once
// What a ZIP archive offers to the handset checks and the template check:
// its entry names and its manifest, read without changing anything and
// without inflating more than a manifest's worth.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "package/archive/ReadOnlyArchive.h"

namespace pelko {

struct ArchiveContents {
    std::optional<std::string> error;  // set when the archive cannot be read as ZIP
    // Set, with error, when the system failed to read the archive or its
    // manifest; the contents are then no guide to what the archive holds.
    std::optional<SystemError> systemError;
    std::vector<std::string> entryNames;
    // The lines of META-INF/MANIFEST.MF; nullopt when there is none or it is
    // larger than kManifestReadLimit or damaged.
    std::optional<std::vector<std::string>> manifest;
};
// The archive in the file at path, from byte start on, length bytes long
// (length 0: to the end of the file).
ArchiveContents ReadArchiveContents(const std::string& path, std::uint64_t start = 0,
                                    std::uint64_t length = 0);
// The manifest lines of the archive file at path; none when it has no
// readable manifest, is no ZIP archive or cannot be read.
std::vector<std::string> ManifestLinesOf(const std::string& path);

}  // namespace pelko
