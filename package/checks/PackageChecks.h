#pragma once
// The checks a handset makes of a package's contents once the container
// was read (package/kjx/KjxReader.h): the descriptor's lines and the archive.
#include <string_view>

#include "package/checks/Inspect.h"

namespace pelko {

// The required lines are there and not empty, and MIDlet-Jar-Size counts
// the archive's bytes (report.archiveSize).
void CheckPackageDescriptor(std::string_view descriptor, InspectReport& report);

// The archive is a ZIP file whose entries all read back whole and which has
// a manifest; fills archiveIsZip and entries.
void CheckPackageArchive(std::string_view archive, InspectReport& report);

}  // namespace pelko
