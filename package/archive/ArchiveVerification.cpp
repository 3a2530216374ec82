#include "package/archive/ArchiveVerification.h"

#include <zip.h>

#include <optional>

#include "package/archive/ArchiveSource.h"
#include "package/archive/ZipHandles.h"
#include "system/FileStatus.h"

namespace pelko {
namespace {

constexpr const char* kManifestEntry = "META-INF/MANIFEST.MF";

std::string Quoted(std::string_view shownName, const std::string& detail) {
    return "(" + std::string(shownName) + (detail.empty() ? "" : ": " + detail) + ")";
}

// The archive opened read-only with the central directory checked against
// the local headers; on failure the problem is appended and nullptr returned.
ZipArchivePtr Checked(ZipArchivePtr archive, ZipError& error, std::string_view shownName,
                      std::vector<std::string>& problems) {
    if (!archive) problems.push_back("ZIPとして開けません" + Quoted(shownName, error.Text()));
    return archive;
}

bool IsEmptyFile(const std::string& path) {
    const Outcome<FileStatus> status = StatusOf(path);
    return status && status->kind == FileKind::Regular && status->size == 0;
}

// An empty file is no ZIP archive, as zip_open says of it (libzip's sources
// would take it for an archive without entries).
ZipArchivePtr OpenChecked(const std::string& path, std::string_view shownName,
                          std::vector<std::string>& problems) {
    ZipError error;
    if (IsEmptyFile(path)) {
        zip_error_set(error.Get(), ZIP_ER_NOZIP, 0);
        return Checked(nullptr, error, shownName, problems);
    }
    return Checked(archive::OpenArchiveToRead(path, 0, 0, error), error, shownName, problems);
}

// The size bytes of an open file from offset on.
ZipArchivePtr OpenChecked(const File& file, std::uint64_t offset, std::uint64_t size, std::string_view shownName,
                          std::vector<std::string>& problems) {
    ZipError error;
    return Checked(archive::OpenArchiveToRead(file, offset, size, error), error, shownName, problems);
}

// Why an entry cannot be carried into a package a handset can read, or
// empty when it can. Only what the central directory says is looked at: the
// data of a large archive is not read a second time.
std::string EntryUnusable(zip_t* archive, zip_uint64_t index) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0) return zip_error_strerror(zip_get_error(archive));
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) return "encrypted";
    if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0)) {
        return "unsupported compression method";
    }
    return {};
}

// The manifest's bytes, read whole: a manifest is small, and one larger than
// kLargestManifest is not the one the build composed anyway.
constexpr zip_uint64_t kLargestManifest = 1024 * 1024;

std::optional<std::string> ManifestData(zip_t* archive, zip_uint64_t index, std::string& reason) {
    ZipEntryPtr entry(zip_fopen_index(archive, index, 0));
    if (!entry) {
        reason = zip_error_strerror(zip_get_error(archive));
        return std::nullopt;
    }
    std::string data;
    char block[16384];
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), block, sizeof block);
        if (got < 0) {
            reason = zip_error_strerror(zip_file_get_error(entry.get()));
            return std::nullopt;
        }
        if (got == 0) break;
        data.append(block, static_cast<std::size_t>(got));
        if (data.size() > kLargestManifest) break;
    }
    return data;
}

std::string EntryName(zip_t* archive, zip_uint64_t index) {
    const char* name = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    return name ? name : "#" + std::to_string(index);
}

// Every entry can be read as the handset reads it, and the manifest is the
// one the build composed.
void AddEntryProblems(zip_t* archive, std::string_view shownName, std::string_view manifest,
                      std::vector<std::string>& problems) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::optional<std::string> written;
    bool manifestFound = false;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        const std::string name = EntryName(archive, index);
        const std::string unusable = EntryUnusable(archive, index);
        if (!unusable.empty()) problems.push_back("エントリを読めません" + Quoted(name, unusable));
        if (name == kManifestEntry && !manifestFound) {
            manifestFound = true;
            std::string reason;
            written = ManifestData(archive, index, reason);
            if (!written) problems.push_back("エントリを読めません" + Quoted(name, reason));
        }
    }
    if (!manifestFound) {
        problems.push_back("Manifestがありません" + Quoted(shownName, kManifestEntry));
    } else if (written && *written != manifest) {
        problems.push_back("Manifestが作成したものと違います" + Quoted(shownName, kManifestEntry));
    }
}

}  // namespace

std::string ReasonLine(const std::string& what, const std::string& subject, const SystemError& error) {
    return "[!]" + what + "(" + subject + ": " + error.reason + ")";
}

std::vector<std::string> TemplateArchiveProblems(const std::string& path, std::string_view shownName) {
    std::vector<std::string> problems;
    // libzip takes an empty file for an empty archive; a template has classes.
    ZipArchivePtr archive = OpenChecked(path, shownName, problems);
    if (archive && zip_get_num_entries(archive.get(), 0) <= 0) {
        problems.push_back("テンプレートのアーカイブが空です" + Quoted(shownName, ""));
    }
    return problems;
}

std::vector<std::string> WrittenArchiveProblems(const std::string& path, std::string_view shownName,
                                                std::string_view manifest) {
    std::vector<std::string> problems;
    ZipArchivePtr archive = OpenChecked(path, shownName, problems);
    if (archive) AddEntryProblems(archive.get(), shownName, manifest, problems);
    return problems;
}

std::vector<std::string> WrittenArchiveProblems(const File& file, std::uint64_t offset, std::uint64_t size,
                                                std::string_view shownName, std::string_view manifest) {
    std::vector<std::string> problems;
    ZipArchivePtr archive = OpenChecked(file, offset, size, shownName, problems);
    if (archive) AddEntryProblems(archive.get(), shownName, manifest, problems);
    return problems;
}

}  // namespace pelko
