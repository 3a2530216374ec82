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
// separate directories. Entry names keep the bytes they are given. -Xqu9
// stores any file under its path (a build's file for an entry in a folder
// goes in that way too); a backslash that is the second byte of a CP932
// pair belongs to its character there.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "system/Files.h"
#include "system/SystemError.h"

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
//
// A session of one command with one commit: the two always give the same
// result.
int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine,
                   char* output, std::size_t outputSize);

// Carries out command lines one after another against one archive and writes
// all their changes with one commit, which is what makes a build's edits
// cheap: the archive is rewritten once, not once per command.
//
// Run gives each command the result and message ArchiveCommand would give it
// at that point, and the archive Commit writes is the one those commands
// would have left. A command that fails changes nothing in the session. The
// data of a file to store is taken when its command runs: the file may be
// deleted, or another put in its place, before the commit. Commit returns 0,
// or a result and message as above with the archive left as it was and the
// changes still held; after a successful commit the session starts again
// from the archive as written. Changes not committed are dropped with the
// session.
//
// One command cannot wait for the commit: a manifest added to an archive that
// has entries must go first, which means writing the archive anew. That
// command writes the changes held so far, then the new archive.
class ArchiveSession {
public:
    // archiveName as the command lines give it, relative to workDirectory.
    ArchiveSession(const std::string& workDirectory, std::string_view archiveName);
    // A session whose archive starts as the one at sourcePath (a host path),
    // which is read where it lies and never written: the commands see that
    // archive under archiveName, and the first commit writes the edited
    // archive, or a copy when nothing changed, to archiveName. A first commit
    // that fails still leaves the copy there when it can. From then on the
    // session edits archiveName as above.
    ArchiveSession(const std::string& workDirectory, std::string_view archiveName, const std::string& sourcePath);
    ~ArchiveSession();
    ArchiveSession(const ArchiveSession&) = delete;
    ArchiveSession& operator=(const ArchiveSession&) = delete;

    // The command line must name the session's archive.
    int Run(std::string_view commandLine, char* output, std::size_t outputSize);
    int Commit(char* output, std::size_t outputSize);
    // After Run, Commit or CommitInto failed: the system error behind the
    // failure -- a read or write the system refused, memory that ran out --
    // naming the file and the system's reason. nullopt when the failure is
    // the command's, the archive's or the named file's own: no such file, not
    // a regular file, not a ZIP archive, an entry that cannot be moved.
    const std::optional<SystemError>& SystemFailure() const { return systemFailure_; }

    // Writes the session's changes into the open file from offset on,
    // instead of to archiveName: how a build puts the edited archive straight
    // into its package, writing it once. Only the first commit of a session
    // started from another file can go there, and only with changes to write
    // that leave entries in the archive.
    //   Written:    the archive is there, size bytes, and the file ends with
    //               it; the session is over, and any later command or commit
    //               fails.
    //   NotWritten: it cannot go there; the file may hold some of it, the
    //               session still holds its changes, and Commit writes them
    //               as usual, with its own result and message.
    //   FileFailed: the system failed with error, writing the file or
    //               reading what goes into it; the session is over.
    enum class Placement { Written, NotWritten, FileFailed };
    struct Placed {
        Placement placement = Placement::NotWritten;
        std::uint64_t size = 0;
        SystemError error;  // FileFailed only
    };
    Placed CommitInto(File& file, std::uint64_t offset);

private:
    class State;
    std::unique_ptr<State> state_;
    std::optional<SystemError> systemFailure_;
};

// switches + ' "' + archive + '" "' + name + '"'
std::string ArchiveCommandLine(std::string_view switches, std::string_view archive,
                               std::string_view name);

}  // namespace pelko
