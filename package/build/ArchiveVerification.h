#pragma once
// Checks that the archive a build works on is a Java archive a handset can
// use, so that a build never reports success for a package that cannot work.
// Each problem is a "[!]" line of the build's log.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/Files.h"
#include "system/SystemError.h"
#include "text/LogLine.h"

namespace pelko {

// What a look at an archive found: its problems, or the system error that
// kept it from being read (the archive may be sound; no problem is known).
struct ArchiveCheck {
    std::vector<LogLine> problems;
    std::optional<SystemError> systemError;
};

// The template's archive: a non-empty file that opens as ZIP, passes
// libzip's consistency check and holds at least one entry. shownName is the
// name the problems quote.
ArchiveCheck TemplateArchiveProblems(const std::string& path, std::string_view shownName);

// The archive the build wrote: it opens as ZIP (consistency checked), no
// entry is encrypted or compressed in a way a reader lacks, and its
// META-INF/MANIFEST.MF holds exactly the bytes of manifest.
ArchiveCheck WrittenArchiveProblems(const std::string& path, std::string_view shownName,
                                    std::string_view manifest);

// The same, for the archive written into an open file: size bytes from
// offset on.
ArchiveCheck WrittenArchiveProblems(const File& file, std::uint64_t offset, std::uint64_t size,
                                    std::string_view shownName, std::string_view manifest);

}  // namespace pelko
