#pragma once
// Checks that the archive a build works on is a Java archive a handset can
// use, so that a build never reports success for a package that cannot work.
// Each problem is a log text of its own (UTF-8, without the "[!]" mark).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

// The template's archive: a non-empty file
// that opens as ZIP, passes libzip's consistency check and holds at least one
// entry. shownName is the name the problems quote.
std::vector<std::string> TemplateArchiveProblems(const std::string& path, std::string_view shownName);

// The archive the build wrote: it opens as ZIP (consistency checked), no
// entry is encrypted or compressed in a way a reader lacks, and its
// META-INF/MANIFEST.MF holds exactly the bytes of manifest.
std::vector<std::string> WrittenArchiveProblems(const std::string& path, std::string_view shownName,
                                                std::string_view manifest);

// The same, for the archive written into an open file: size bytes from
// offset on.
std::vector<std::string> WrittenArchiveProblems(const File& file, std::uint64_t offset, std::uint64_t size,
                                                std::string_view shownName, std::string_view manifest);

// The "[!]" line that names the real subject of a system error and the
// system's own reason, ahead of the "[X]" line that ends a build.
std::string ReasonLine(const std::string& what, const std::string& subject, const SystemError& error);

}  // namespace pelko
