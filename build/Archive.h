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

// Results of ArchiveCommand. The non-zero values are the exit codes the
// command-line zip tool gives for the same kind of failure.
enum ArchiveResult : int {
    kArchiveOk = 0,
    kArchiveNotZip = 3,           // not a ZIP archive, or a damaged one
    kArchiveNoMemory = 4,         // out of memory
    kArchiveTempFile = 10,        // no temporary file beside the archive
    kArchiveReadError = 11,       // reading the archive failed
    kArchiveMissing = 13,         // the archive does not exist
    kArchiveWriteError = 14,      // writing or replacing the archive failed
    kArchiveBadCommand = 16,      // not one of the three command lines
    kArchiveFileUnreadable = 18,  // the file to store is missing or unreadable
    kArchiveUnsupported = 19,     // an entry that cannot be moved (encrypted)
};

// Returns 0 on success (output then holds an empty text). Otherwise one of
// the results above, with a NUL-terminated UTF-8 message of at most
// outputSize - 1 bytes in output; outputSize 0 writes nothing. Never leaves a
// half-written archive: a failure keeps the archive as it was.
//
// -Xqu9 replaces the entry in place, whatever its time stamp, or adds it; a
// manifest that is added goes first, where readers of Java archives look.
// -qd with a name the archive lacks succeeds and changes nothing; deleting
// the last entry leaves an empty archive. Names are matched byte for byte,
// without wildcards. New data is deflated at level 9 unless that would not
// make it smaller, in which case it is stored; no extra fields are written.
int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine,
                   char* output, std::size_t outputSize);

// switches + ' "' + archive + '" "' + name + '"'
std::string ArchiveCommandLine(std::string_view switches, std::string_view archive,
                               std::string_view name);

}  // namespace pelko
