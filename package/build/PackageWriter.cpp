#include "package/build/PackageWriter.h"

#include <utility>

#include "package/checks/HandsetChecks.h"
#include "package/kjx/Compose.h"
#include "package/kjx/Container.h"
#include "package/kjx/KjxFormat.h"
#include "system/FileStatus.h"
#include "text/Integer.h"
#include "text/Lines.h"

namespace pelko {

PackageWriter::PackageWriter(std::string outputPath, PackageNaming naming, std::vector<std::string> manifest,
                             LogSink log)
    : outputPath_(std::move(outputPath)),
      naming_(std::move(naming)),
      manifest_(std::move(manifest)),
      log_(std::move(log)) {}

// Whichever file the error happened to, the log names the package: it is
// what could not be made.
void PackageWriter::LogReason(const std::string& what, const SystemError& error) {
    log_(ReasonLine(what, outputPath_, error));
}

std::size_t PackageWriter::HeadSize(std::string_view descriptor) const {
    return ContainerHeadSize(naming_.containerName, naming_.descriptorName, descriptor.size());
}

// The room left for header and descriptor counts on the archive's size
// having as many digits as the template's; Finish moves the archive when it
// has not.
bool PackageWriter::WriteArchive(ArchiveSession& session, const StringList& lines,
                                 std::int64_t templateArchiveSize) {
    StringList guessed = lines;
    PrependArchiveLines(guessed, templateArchiveSize, naming_.archiveFileName);
    const std::size_t start = HeadSize(JoinLines(guessed));
    std::optional<AtomicOutput> output = CreateOutput();
    if (!output) return false;
    const ArchiveSession::Placed placed = session.CommitInto(output->Output(), start);
    switch (placed.placement) {
        case ArchiveSession::Placement::Written:
            placed_.emplace(Placed{std::move(*output), start, placed.size});
            return true;
        case ArchiveSession::Placement::NotWritten: return true;
        case ArchiveSession::Placement::FileFailed: break;
    }
    log_(SystemProblemLine(placed.error));
    log_(StopLine("ファイル書き込み失敗(" + outputPath_ + ")"));
    return false;
}

// The descriptor as it goes into the package, with the archive's size and
// name.
std::optional<std::string> PackageWriter::FinalDescriptor(StringList& lines, std::int64_t archiveSize) {
    PrependArchiveLines(lines, archiveSize, naming_.archiveFileName);
    return CheckedDescriptor(lines);
}

// The descriptor text of lines; nullopt, logged, when it is too long for the
// header. The package is still written as composed; the log says what
// handsets will make of it.
std::optional<std::string> PackageWriter::CheckedDescriptor(const StringList& lines) {
    for (const Problem& problem : CheckDescriptor(lines.Texts(), manifest_)) log_(LogLineOf(problem));
    std::string descriptor = JoinLines(lines);
    if (descriptor.size() > kMaxDescriptorLength) {
        log_(StopLine("記述子が長すぎます(" + FormatInteger(static_cast<std::int64_t>(descriptor.size())) + ")"));
        return std::nullopt;
    }
    return descriptor;
}

std::optional<AtomicOutput> PackageWriter::CreateOutput() {
    Outcome<AtomicOutput> output = AtomicOutput::Create(outputPath_);
    if (!output) {
        LogReason("ファイルを作成できません", output.Error());
        log_(StopLine("ファイル作成失敗(" + outputPath_ + ")"));
        return std::nullopt;
    }
    return std::move(*output);
}

// written: whether everything went into the new package.
bool PackageWriter::CommitPackage(AtomicOutput& output, const Outcome<void>& written) {
    const Outcome<void> committed = written ? output.Commit() : written;
    if (!committed) {
        log_(SystemProblemLine(committed.Error()));
        log_(StopLine("ファイル書き込み失敗(" + outputPath_ + ")"));
        return false;
    }
    return true;
}

bool PackageWriter::Finish(StringList& lines) {
    Placed& placed = *placed_;
    std::optional<std::string> descriptor = FinalDescriptor(lines, static_cast<std::int64_t>(placed.size));
    if (!descriptor) return false;
    if (HeadSize(*descriptor) == placed.start) {
        return CommitPackage(placed.output, WriteContainerHead(placed.output.Output(), naming_.containerName,
                                                               naming_.descriptorName, *descriptor));
    }
    // The size took another number of digits than the template's: the
    // archive moves into a package of its own, copied as from a work archive.
    std::optional<AtomicOutput> output = CreateOutput();
    if (!output) return false;
    return CommitPackage(*output, WriteContainer(output->Output(), naming_.containerName, naming_.descriptorName,
                                                 *descriptor, placed.output.Output(), placed.start));
}

bool PackageWriter::WriteFromWorkArchive(StringList& lines, const std::string& path, const std::string& shownName) {
    Outcome<File> archive = OpenToRead(path);
    const Outcome<FileStatus> status = archive ? StatusOf(*archive) : archive.Error();
    if (!status) {
        log_(ReasonLine("一時ファイルを開けません", path, status.Error()));
        log_(StopLine("一時ファイルオープン失敗(" + shownName + ")"));
        return false;
    }
    PrependArchiveLines(lines, static_cast<std::int64_t>(status->size), naming_.archiveFileName);
    return WriteWithArchive(lines, *archive);
}

bool PackageWriter::WriteWithArchive(const StringList& lines, File& archive) {
    std::optional<std::string> descriptor = CheckedDescriptor(lines);
    if (!descriptor) return false;
    std::optional<AtomicOutput> output = CreateOutput();
    if (!output) return false;
    return CommitPackage(*output, WriteContainer(output->Output(), naming_.containerName, naming_.descriptorName,
                                                 *descriptor, archive));
}

}  // namespace pelko
