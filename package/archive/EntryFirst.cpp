#include "package/archive/EntryFirst.h"

#include <optional>

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "package/archive/ArchiveFile.h"
#include "package/archive/StoreEntry.h"

namespace pelko::archive {
namespace {

void CopyExtraFields(zip_t* from, zip_uint64_t index, zip_t* to, zip_uint64_t copy, zip_flags_t where) {
    const zip_int16_t count = zip_file_extra_fields_count(from, index, where);
    if (count < 0) FailWith(from, "cannot read extra fields");
    for (zip_int16_t i = 0; i < count; ++i) {
        zip_uint16_t id = 0;
        zip_uint16_t size = 0;
        const zip_uint8_t* bytes =
            zip_file_extra_field_get(from, index, static_cast<zip_uint16_t>(i), &id, &size, where);
        if (bytes == nullptr && size != 0) FailWith(from, "cannot read extra fields");
        if (zip_file_extra_field_set(to, copy, id, ZIP_EXTRA_FIELD_NEW, bytes, size, where) < 0) {
            FailWith(to, "cannot copy extra fields");
        }
    }
}

// What an entry carries besides its name, data and attributes (which come
// with the data): time, comment and extra fields, the latter in each header
// separately. The time is set rather than left to the data, which has none
// for an empty entry.
void CopyEntryDetails(zip_t* from, zip_uint64_t index, const zip_stat_t& stat, zip_t* to, zip_uint64_t copy) {
    if (zip_file_set_mtime(to, copy, stat.mtime, 0) < 0) FailWith(to, "cannot copy a time");
    zip_uint32_t length = 0;
    const char* comment = zip_file_get_comment(from, index, &length, ZIP_FL_ENC_RAW);
    if (comment != nullptr && length > 0 &&
        zip_file_set_comment(to, copy, comment, static_cast<zip_uint16_t>(length), 0) < 0) {
        FailWith(to, "cannot copy a comment");
    }
    CopyExtraFields(from, index, to, copy, ZIP_FL_LOCAL);
    CopyExtraFields(from, index, to, copy, ZIP_FL_CENTRAL);
}

// Appends entry index of from to to, its compressed data copied as it is.
void CarryEntry(zip_t* from, zip_uint64_t index, zip_t* to, const std::string& shownArchive) {
    zip_stat_t stat;
    if (zip_stat_index(from, index, ZIP_FL_ENC_RAW, &stat) < 0) FailWith(from, "cannot read " + shownArchive);
    const std::string name = stat.name;
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        throw ArchiveFailure(kArchiveUnsupported,
                             "cannot move the encrypted entry " + QuotedName(name) + " of " + shownArchive);
    }
    // Start 0 and length -1: the whole entry, copied without decompressing.
    ZipSourcePtr data(zip_source_zip(to, from, index, 0, 0, -1));
    if (!data) FailWith(to, "cannot copy " + QuotedName(name));
    const zip_int64_t copy = zip_file_add(to, name.c_str(), data.get(), ZIP_FL_ENC_GUESS);
    if (copy < 0) FailWith(to, "cannot copy " + QuotedName(name));
    data.release();
    // Compressed data keeps its method by itself; stored data would be
    // deflated unless told to stay stored.
    if (stat.comp_method == ZIP_CM_STORE &&
        zip_set_file_compression(to, static_cast<zip_uint64_t>(copy), ZIP_CM_STORE, 0) < 0) {
        FailWith(to, "cannot copy " + QuotedName(name));
    }
    CopyEntryDetails(from, index, stat, to, static_cast<zip_uint64_t>(copy));
}

}  // namespace

void RewriteWithEntryFirst(zip_t* old, const std::string& readPath, const std::string& writePath,
                           const std::string& shownArchive, const std::string& entryName, NewData data,
                           const std::string& shownName) {
    ZipArchivePtr fresh = OpenArchive(readPath, writePath, shownArchive, ZIP_TRUNCATE);
    PutData(fresh.get(), std::nullopt, entryName, std::move(data), shownName);
    const zip_int64_t count = zip_get_num_entries(old, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        CarryEntry(old, static_cast<zip_uint64_t>(i), fresh.get(), shownArchive);
    }
    // The archive's own comment is carried over too, as the zip tool keeps it.
    int commentLength = 0;
    const char* comment = zip_get_archive_comment(old, &commentLength, ZIP_FL_ENC_RAW);
    if (comment != nullptr && commentLength > 0 &&
        zip_set_archive_comment(fresh.get(), comment, static_cast<zip_uint16_t>(commentLength)) < 0) {
        FailWith(fresh.get(), "cannot keep the comment of " + shownArchive);
    }
    WriteArchive(fresh, shownArchive);
}

}  // namespace pelko::archive
