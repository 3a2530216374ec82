#include "package/build/ArchiveVerification.h"

#include "package/archive/ReadOnlyArchive.h"

namespace pelko {
namespace {

std::string Quoted(std::string_view shownName, const std::string& detail) {
    return "(" + std::string(shownName) + (detail.empty() ? "" : ": " + detail) + ")";
}

LogLine VerificationLine(std::string_view sentence, std::string_view shownName, const std::string& detail) {
    return ProblemLine(std::string(sentence) + Quoted(shownName, detail));
}

bool Opened(const ReadOnlyArchive& archive, std::string_view shownName, ArchiveCheck& check) {
    if (archive.SystemFailure()) {
        check.systemError = archive.SystemFailure();
    } else if (!archive.IsOpen()) {
        check.problems.push_back(VerificationLine("ZIPとして開けません", shownName, archive.OpenFailure()));
    }
    return archive.IsOpen();
}

// The manifest as the archive holds it, compared whole with the composed one.
void CheckManifestData(const ReadOnlyArchive& archive, std::uint64_t index, const std::string& name,
                       std::string_view shownName, std::string_view manifest, ArchiveCheck& check) {
    const EntryData data = ReadManifestEntry(archive, index);
    if (data.system) {
        check.systemError = data.system;
    } else if (data.outcome != EntryData::Outcome::Read) {
        check.problems.push_back(VerificationLine("エントリを読めません", name, data.failure));
    } else if (!data.complete || data.bytes != manifest) {
        check.problems.push_back(
            VerificationLine("Manifestが作成したものと違います", shownName, std::string(kManifestEntry)));
    }
}

// Every entry can be read as the handset reads it, and the manifest is the
// one the build composed. Only what the central directory says is looked
// at for the others: the data of a large archive is not read a second time.
ArchiveCheck EntryProblems(const ReadOnlyArchive& archive, std::string_view shownName, std::string_view manifest) {
    ArchiveCheck check;
    std::vector<LogLine>& problems = check.problems;
    if (!Opened(archive, shownName, check)) return check;
    bool manifestFound = false;
    for (std::uint64_t index = 0; index < archive.EntryCount(); ++index) {
        const EntryRecord record = archive.Record(index);
        const std::string name = record.entry ? record.entry->name : "#" + std::to_string(index);
        const std::string& unusable = record.entry ? record.unusable : record.failure;
        if (!unusable.empty()) problems.push_back(VerificationLine("エントリを読めません", name, unusable));
        if (name == kManifestEntry && !manifestFound) {
            manifestFound = true;
            CheckManifestData(archive, index, name, shownName, manifest, check);
        }
    }
    if (!manifestFound) {
        problems.push_back(VerificationLine("Manifestがありません", shownName, std::string(kManifestEntry)));
    }
    return check;
}

}  // namespace

ArchiveCheck TemplateArchiveProblems(const std::string& path, std::string_view shownName) {
    ArchiveCheck check;
    // libzip takes an empty file for an empty archive; a template has classes.
    const ReadOnlyArchive archive = ReadOnlyArchive::OpenFile(path);
    if (Opened(archive, shownName, check) && archive.EntryCount() == 0) {
        check.problems.push_back(VerificationLine("テンプレートのアーカイブが空です", shownName, ""));
    }
    return check;
}

ArchiveCheck WrittenArchiveProblems(const std::string& path, std::string_view shownName, std::string_view manifest) {
    return EntryProblems(ReadOnlyArchive::OpenFile(path), shownName, manifest);
}

ArchiveCheck WrittenArchiveProblems(const File& file, std::uint64_t offset, std::uint64_t size,
                                    std::string_view shownName, std::string_view manifest) {
    return EntryProblems(ReadOnlyArchive::OpenPart(file, offset, size), shownName, manifest);
}

}  // namespace pelko
