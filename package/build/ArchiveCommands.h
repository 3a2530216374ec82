#pragma once
// The build's archive commands, all through one session on the work
// directory: each command line with a clean message buffer, and what its
// failure means -- a "[!]" line the build goes on after, or a system error
// (the disk, the file system, memory) that ends the build.
#include <optional>
#include <string>
#include <string_view>

#include "package/archive/Archive.h"
#include "package/build/BuildLog.h"
#include "system/SystemError.h"
#include "text/StringList.h"

namespace pelko {

class ArchiveCommands {
public:
    // The session edits temporaryArchive (a bare name in workDirectory),
    // starting from the template's archive at templateArchive.
    ArchiveCommands(const std::string& workDirectory, const std::string& temporaryArchive,
                    const std::string& templateArchive, const LogSink& log);

    ArchiveSession& Session() { return session_; }

    // Each returns the system error that ends the build, or nullopt: done,
    // or failed with its "[!]" line logged.
    // Writes lines as the manifest file and puts it into the archive.
    std::optional<SystemError> UpdateManifest(const StringList& lines);
    // Replaces the entry workName (a path in the archive) by the work file
    // of that name.
    std::optional<SystemError> Store(const std::string& workName);
    // Writes the session's changes to the work archive.
    std::optional<SystemError> WriteWorkArchive();

private:
    int Run(std::string_view switches, std::string_view name);
    std::optional<SystemError> SystemFailure(int result) const;

    std::string workDirectory_;
    std::string temporaryArchive_;
    const LogSink& log_;
    ArchiveSession session_;
    bool manifestHeld_ = false;  // the session holds a new manifest
    bool entriesHeld_ = false;   // the session holds files to store
    char output_[kArchiveOutputSize] = {};
};

}  // namespace pelko
