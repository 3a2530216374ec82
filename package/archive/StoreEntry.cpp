#include "package/archive/StoreEntry.h"

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "system/FileStatus.h"

namespace pelko::archive {
namespace {

constexpr zip_uint32_t kStrongestLevel = 9;

// The method the data needs, and nothing left of the entry it replaces.
// Method first, then the old entry's leftovers: the order in which libzip
// keeps both changes to a replaced entry. Deflated data is named deflated so
// that libzip copies it as it is.
void SetMethodAndDropOldDetails(zip_t* archive, zip_uint64_t at, bool replaced, zip_int32_t method,
                                const std::string& shownName) {
    const zip_uint32_t level = method == ZIP_CM_DEFLATE ? kStrongestLevel : 0;
    if (zip_set_file_compression(archive, at, method, level) < 0) FailWith(archive, "cannot store " + shownName);
    if (!replaced) return;

    // A replaced entry would keep the old one's encryption and extra fields.
    zip_stat_t old;
    if (zip_stat_index(archive, at, ZIP_FL_UNCHANGED, &old) == 0 &&
        (old.valid & ZIP_STAT_ENCRYPTION_METHOD) && old.encryption_method != ZIP_EM_NONE &&
        zip_file_set_encryption(archive, at, ZIP_EM_NONE, nullptr) < 0) {
        FailWith(archive, "cannot store " + shownName);
    }
    if (zip_file_extra_field_delete(archive, at, ZIP_EXTRA_FIELD_ALL, ZIP_FL_CENTRAL | ZIP_FL_LOCAL) < 0) {
        FailWith(archive, "cannot store " + shownName);
    }
}

}  // namespace

void RequireFile(const std::string& path, const std::string& shownName) {
    const Outcome<FileStatus> status = StatusOf(path);
    if (!status && IsNotFound(status.Error())) {
        throw ArchiveFailure(kArchiveFileUnreadable, "file " + shownName + " does not exist");
    }
    if (!status) FailWithSystemError(kArchiveFileUnreadable, ZIP_ER_READ, status.Error(), "cannot read " + shownName);
    if (status->kind != FileKind::Regular) {
        throw ArchiveFailure(kArchiveFileUnreadable, shownName + " is not a file");
    }
}

// SetMethodAndDropOldDetails can fail only where libzip must allocate, which
// it does only for an entry that no command of this session has changed
// yet, so that unchanging it restores what it was.
void PutData(zip_t* archive, std::optional<zip_uint64_t> index, const std::string& entryName, NewData data,
             const std::string& shownName) {
    zip_uint64_t at = 0;
    if (index) {
        if (zip_file_replace(archive, *index, data.source.get(), 0) < 0) {
            FailWith(archive, "cannot store " + shownName);
        }
        at = *index;
    } else {
        // The bytes are kept as given. libzip marks a name as UTF-8 when its
        // bytes are UTF-8 beyond ASCII; CP932 names stay unmarked.
        const zip_int64_t added = zip_file_add(archive, entryName.c_str(), data.source.get(), ZIP_FL_ENC_GUESS);
        if (added < 0) FailWith(archive, "cannot store " + shownName);
        at = static_cast<zip_uint64_t>(added);
    }
    data.source.release();  // the archive owns it now
    try {
        SetMethodAndDropOldDetails(archive, at, index.has_value(), data.method, shownName);
    } catch (...) {
        if (index) {
            zip_unchange(archive, at);
        } else {
            zip_delete(archive, at);
        }
        throw;
    }
}

}  // namespace pelko::archive
