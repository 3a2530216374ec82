#include "package/archive/ArchiveContents.h"

#include <zip.h>

#include "package/archive/ArchiveSource.h"
#include "package/kjx/KjxFormat.h"
#include "package/archive/ZipHandles.h"
#include "system/FileStatus.h"
#include "text/Lines.h"
#include "text/StringList.h"

namespace pelko {

ArchiveContents ReadArchiveContents(const std::string& path, std::uint64_t start, std::uint64_t length) {
    ArchiveContents contents;
    // A fifo or a device would block or never end; only a file is read.
    if (KindOf(path) != FileKind::Regular) {
        contents.error = "not a regular file";
        return contents;
    }
    ZipError error;
    ZipArchivePtr archive = archive::OpenArchiveToRead(path, start, length, error);
    if (!archive) {
        contents.error = error.Text();
        return contents;
    }
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* name = zip_get_name(archive.get(), static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (name) contents.entryNames.emplace_back(name);
    }
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat(archive.get(), std::string(kManifestEntry).c_str(), ZIP_FL_ENC_RAW, &stat) != 0 ||
        !(stat.valid & ZIP_STAT_SIZE) || stat.size > kManifestReadLimit) {
        return contents;
    }
    ZipEntryPtr entry(zip_fopen_index(archive.get(), stat.index, 0));
    if (!entry) return contents;
    std::string bytes(static_cast<std::size_t>(stat.size), '\0');
    const zip_int64_t got = zip_fread(entry.get(), bytes.data(), bytes.size());
    if (got < 0 || static_cast<std::uint64_t>(got) != stat.size) return contents;
    StringList lines;
    SplitLines(lines, bytes);
    contents.manifest = lines.Texts();
    return contents;
}

std::vector<std::string> ManifestLinesOf(const std::string& path) {
    return ReadArchiveContents(path).manifest.value_or(std::vector<std::string>{});
}

}  // namespace pelko
