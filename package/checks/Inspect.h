#pragma once
// Reading a KJX package back and checking it the way a handset would: the
// header fields, the descriptor text and the archive's entries, then the
// handset rules on the descriptor text and the archive's manifest.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "package/archive/ReadOnlyArchive.h"
#include "package/checks/Problem.h"
#include "package/kjx/KjxReader.h"

namespace pelko {

struct InspectReport : ContainerFields {
    bool archiveIsZip = false;
    std::vector<ArchiveEntry> entries;
    // What the checks found; sound when every one is a note.
    Problems problems;

    bool Sound() const {
        return std::all_of(problems.begin(), problems.end(),
                           [](const Problem& problem) { return problem.severity == Severity::Note; });
    }
};

// Inspects a whole package held in memory: the container, the descriptor's
// required lines and the archive. Never throws for any content.
InspectReport InspectPackage(std::string_view bytes);
// Reads the file, then InspectPackage. OpenError(path), as a FileError with
// the system's error, when it cannot be read.
InspectReport InspectPackageFile(const std::string& path);

// Adds to report.problems what handsets make of the package's descriptor
// text and of its archive's manifest, read again from the file, and what
// the checks tell authors. The descriptor lines the report already requires
// are not reported twice; an archive that cannot be read again is a problem
// of its own.
void AddHandsetProblems(const std::string& packagePath, InspectReport& report);

}  // namespace pelko
