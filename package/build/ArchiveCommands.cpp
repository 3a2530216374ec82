#include "package/build/ArchiveCommands.h"

#include "package/archive/ManifestNames.h"
#include "package/kjx/FileOptions.h"
#include "system/Directories.h"
#include "system/Files.h"
#include "text/Cp932.h"
#include "text/Lines.h"

namespace pelko {

ArchiveCommands::ArchiveCommands(const std::string& workDirectory, const std::string& temporaryArchive,
                                 const std::string& templateArchive, const LogSink& log)
    : workDirectory_(workDirectory),
      temporaryArchive_(temporaryArchive),
      log_(log),
      session_(workDirectory, temporaryArchive, templateArchive) {}

int ArchiveCommands::Run(std::string_view switches, std::string_view name) {
    // Each call gets a clean buffer, so a message never quotes an earlier call.
    output_[0] = '\0';
    return session_.Run(ArchiveCommandLine(switches, temporaryArchive_, name), output_, sizeof output_);
}

std::optional<SystemError> ArchiveCommands::SystemFailure(int result) const {
    return result != kArchiveOk ? session_.SystemFailure() : std::nullopt;
}

std::optional<SystemError> ArchiveCommands::UpdateManifest(const StringList& lines) {
    if (Outcome<void> made = MakeDirectory(workDirectory_ + "META-INF"); !made) return made.Error();
    const std::string manifestPath = workDirectory_ + std::string(kManifestEntry);
    if (Outcome<void> saved = WriteLines(lines, manifestPath); !saved) return saved.Error();
    const int result = Run("-Xqu9", kManifestCommandName);
    if (std::optional<SystemError> failed = SystemFailure(result)) return failed;
    if (result != kArchiveOk) {
        log_(ProblemLine("Manifest追加失敗(" + ReadableText(output_) + ")"));
    } else {
        manifestHeld_ = true;
    }
    DeleteFileAt(manifestPath);
    return std::nullopt;
}

// An entry at the root goes in as the command lines have always put a file:
// deleted by its bare name (an entry that is not there is no problem), then
// stored at the root. One in a folder goes in with the command that keeps
// the name's folders and replaces the entry of that path; the delete would
// take another entry there.
std::optional<SystemError> ArchiveCommands::Store(const std::string& workName) {
    const bool inFolder = IsInFolder(workName);
    if (!inFolder) {
        if (std::optional<SystemError> failed = SystemFailure(Run("-qd", workName))) return failed;
    }
    const int result = Run(inFolder ? "-Xqu9" : "-Xqju9", workName);
    if (std::optional<SystemError> failed = SystemFailure(result)) return failed;
    if (result != kArchiveOk) {
        log_(ProblemLine("圧縮失敗(" + ReadableText(output_) + ")"));
    } else {
        entriesHeld_ = true;
    }
    DeleteFileAt(workDirectory_ + workName);
    return std::nullopt;
}

// The session's changes reach the work archive here, all at once. A failed
// write that is not the system's leaves the work archive as it was before
// the session's changes; the build goes on with it, as it goes on after a
// failed command, and says which changes were lost, in the words a failed
// command would use.
std::optional<SystemError> ArchiveCommands::WriteWorkArchive() {
    output_[0] = '\0';
    const int result = session_.Commit(output_, sizeof output_);
    if (std::optional<SystemError> failed = SystemFailure(result)) return failed;
    if (result == kArchiveOk) return std::nullopt;
    const std::string message = ReadableText(output_);
    if (manifestHeld_) log_(ProblemLine("Manifest追加失敗(" + message + ")"));
    if (entriesHeld_ || !manifestHeld_) log_(ProblemLine("圧縮失敗(" + message + ")"));
    return std::nullopt;
}

}  // namespace pelko
