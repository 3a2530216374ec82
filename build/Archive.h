#pragma once
// The archive component: carries out the three command lines the build uses,
// in the manner of a command-line zip tool, on a ZIP archive in a work
// directory.
//
//   -Xqu9  "ARCHIVE" "META-INF\MANIFEST.MF"  add or replace the manifest entry
//   -qd    "ARCHIVE" "NAME"                  delete the root entry NAME if present
//   -Xqju9 "ARCHIVE" "NAME"                  store file NAME at the root
//
// Names are relative to the work directory; backslash and slash both
// separate directories. Entry names keep the bytes they are given.
#include <cstddef>
#include <string>
#include <string_view>

namespace pelko {

inline constexpr std::size_t kArchiveOutputSize = 1024;

// Returns 0 on success. Otherwise non-zero, with a NUL-terminated message of
// at most outputSize - 1 bytes in output. Never leaves a half-written archive.
int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine,
                   char* output, std::size_t outputSize);

// switches + ' "' + archive + '" "' + name + '"'
std::string ArchiveCommandLine(std::string_view switches, std::string_view archive,
                               std::string_view name);

}  // namespace pelko
