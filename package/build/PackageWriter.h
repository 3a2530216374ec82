#pragma once
// The last steps of a build: the package file itself. The edited archive is
// written straight into the new package where it can be, behind room for the
// header and the descriptor text; otherwise the build writes a work archive
// and the package is made from it. Either way the package takes the output's
// place only once it is complete and synced.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "package/archive/Archive.h"
#include "package/build/BuildLog.h"
#include "package/kjx/PackageNaming.h"
#include "system/Staging.h"
#include "text/StringList.h"

namespace pelko {

class PackageWriter {
public:
    // manifest: the manifest lines as composed, which the descriptor's checks
    // compare with; log receives the lines of the package's own problems.
    PackageWriter(std::string outputPath, PackageNaming naming, std::vector<std::string> manifest,
                  LogSink log);

    // Writes the session's changes into a new package. True with
    // ArchiveWritten() false when that cannot be done: nothing is logged and
    // the session still holds its changes for a work archive. False, logged,
    // when creating or writing the new package failed, or reading what goes
    // into it: the system failed.
    bool WriteArchive(ArchiveSession& session, const StringList& lines, std::int64_t templateArchiveSize);
    bool ArchiveWritten() const { return placed_.has_value(); }
    // The archive in the new package: its file and where it lies in it.
    const File& PackageFile() { return placed_->output.Output(); }
    std::uint64_t ArchiveStart() const { return placed_->start; }
    std::uint64_t ArchiveSize() const { return placed_->size; }

    // Completes the package around the archive WriteArchive wrote: lines are
    // the descriptor's lines without the archive's two. False when logged.
    bool Finish(StringList& lines);
    // Makes the package from the work archive at path instead. False when
    // logged; shownName is the work archive as the log names it.
    bool WriteFromWorkArchive(StringList& lines, const std::string& path, const std::string& shownName);
    // Makes the package from lines that hold the archive's two lines already
    // and from the whole of archive. False when logged.
    bool WriteWithArchive(const StringList& lines, File& archive);

private:
    struct Placed {
        AtomicOutput output;
        std::uint64_t start = 0;
        std::uint64_t size = 0;
    };
    std::size_t HeadSize(std::string_view descriptor) const;
    std::optional<std::string> FinalDescriptor(StringList& lines, std::int64_t archiveSize);
    std::optional<std::string> CheckedDescriptor(const StringList& lines);
    std::optional<AtomicOutput> CreateOutput();
    bool CommitPackage(AtomicOutput& output, const Outcome<void>& written);
    void LogReason(const std::string& what, const SystemError& error);

    std::string outputPath_;
    PackageNaming naming_;
    std::vector<std::string> manifest_;
    LogSink log_;
    std::optional<Placed> placed_;
};

}  // namespace pelko
