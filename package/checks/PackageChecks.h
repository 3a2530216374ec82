#pragma once
// The checks a handset makes of a package's contents once the container
// was read (package/kjx/KjxReader.h): the descriptor's lines and the archive.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "package/checks/Inspect.h"
#include "text/StringList.h"

namespace pelko {

// What is wrong with the descriptor lines' MIDlet-Jar-Size for an archive of
// archiveSize bytes: no byte count, or another one (UTF-8). nullopt when it
// is right, and when the line is missing or empty, which the required lines
// report.
std::optional<std::string> JarSizeFault(const StringList& lines, std::uint64_t archiveSize);

// The required lines are there and not empty, and MIDlet-Jar-Size counts
// the archive's bytes (report.archiveSize).
void CheckPackageDescriptor(std::string_view descriptor, InspectReport& report);

// The archive is a ZIP file whose entries all read back whole and which has
// a manifest; fills archiveIsZip and entries.
void CheckPackageArchive(std::string_view archive, InspectReport& report);

}  // namespace pelko
