#include "package/archive/ArchiveContents.h"

#include "system/FileStatus.h"
#include "text/Lines.h"
#include "text/StringList.h"

namespace pelko {

ArchiveContents ReadArchiveContents(const std::string& path, std::uint64_t start, std::uint64_t length) {
    ArchiveContents contents;
    // A fifo or a device would block or never end; only a file is read.
    const Outcome<FileStatus> status = StatusOf(path);
    if (!status && !IsNotFound(status.Error())) {
        contents.error = status.Error().reason;
        contents.systemError = status.Error();
        return contents;
    }
    if (!status || status->kind != FileKind::Regular) {
        contents.error = "not a regular file";
        return contents;
    }
    const ReadOnlyArchive archive = ReadOnlyArchive::OpenFile(path, start, length);
    if (!archive.IsOpen()) {
        contents.error = archive.OpenFailure();
        contents.systemError = archive.SystemFailure();
        return contents;
    }
    for (std::uint64_t i = 0; i < archive.EntryCount(); ++i) {
        EntryRecord record = archive.Record(i);
        if (record.entry) contents.entryNames.push_back(std::move(record.entry->name));
    }
    const std::optional<std::uint64_t> manifest = archive.Find(kManifestEntry);
    if (!manifest) return contents;
    const EntryData data = ReadManifestEntry(archive, *manifest);
    if (data.system) {
        contents.error = data.failure;
        contents.systemError = data.system;
        return contents;
    }
    if (data.outcome != EntryData::Outcome::Read || !data.complete) return contents;
    StringList lines;
    SplitLines(lines, data.bytes);
    contents.manifest = lines.Texts();
    return contents;
}

std::vector<std::string> ManifestLinesOf(const std::string& path) {
    return ReadArchiveContents(path).manifest.value_or(std::vector<std::string>{});
}

}  // namespace pelko
