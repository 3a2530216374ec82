#include "package/archive/ArchiveFile.h"

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "package/archive/ArchiveSource.h"
#include "system/Files.h"
#include "system/StreamCopy.h"
#include "system/TemporaryFiles.h"

namespace pelko::archive {

ZipArchivePtr OpenArchive(const std::string& path, const std::string& shown, int flags) {
    return OpenArchive(path, path, shown, flags);
}

ZipArchivePtr OpenArchive(const std::string& readPath, const std::string& writePath, const std::string& shown,
                          int flags, WriteTarget* target) {
    // Through a source of ours rather than zip_open or libzip's file source,
    // so that every read and write goes through the platform layer: retried
    // when interrupted or cut short, and failing with the system's error.
    // Its reading survives a failed write, so that a commit can be tried
    // again; an archive edited in place is read from the file it replaces.
    ZipError error;
    ZipSourcePtr file = SeparateArchiveSource(readPath, writePath, error.Get(), target);
    zip_t* archive = file ? zip_open_from_source(file.get(), flags, error.Get()) : nullptr;
    if (archive == nullptr) {
        switch (zip_error_code_zip(error.Get())) {
            case ZIP_ER_NOENT: throw ArchiveFailure(kArchiveMissing, "archive " + shown + " does not exist");
            case ZIP_ER_NOZIP: throw ArchiveFailure(kArchiveNotZip, shown + " is not a ZIP archive");
            case ZIP_ER_INCONS: throw ArchiveFailure(kArchiveNotZip, shown + " is a damaged ZIP archive");
            default: FailWithError(error.Get(), "cannot open archive " + shown);
        }
    }
    file.release();  // the archive owns it now
    return ZipArchivePtr(archive);
}

void WriteArchive(ZipArchivePtr& archive, const std::string& shown) {
    if (zip_close(archive.get()) == 0) {
        archive.release();  // zip_close freed it
        return;
    }
    FailWith(archive.get(), "cannot write archive " + shown);
}

void CopyArchiveFile(const std::string& readPath, const std::string& writePath, const std::string& shown) {
    Outcome<File> from = OpenToRead(readPath);
    if (!from) {
        if (IsNotFound(from.Error())) throw ArchiveFailure(kArchiveMissing, "archive " + shown + " does not exist");
        FailWithSystemError(kArchiveReadError, ZIP_ER_OPEN, from.Error(), "cannot open archive " + shown);
    }
    Outcome<ReplacingFile> to = ReplacingFile::Create(writePath);
    if (!to) FailWithSystemError(kArchiveTempFile, ZIP_ER_TMPOPEN, to.Error(), "cannot write archive " + shown);
    const Outcome<StreamCopied> copied = StreamCopy(*from, to->Output());
    const Outcome<void> done = copied ? to->Commit() : Outcome<void>(copied.Error());
    if (!done) FailWithSystemError(kArchiveWriteError, ZIP_ER_WRITE, done.Error(), "cannot write archive " + shown);
}

std::vector<zip_uint64_t> EntriesNamed(zip_t* archive, std::string_view name) {
    std::vector<zip_uint64_t> found;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* entry = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (entry != nullptr && name == entry) found.push_back(static_cast<zip_uint64_t>(i));
    }
    return found;
}

zip_int64_t LiveEntries(zip_t* archive) {
    zip_int64_t live = 0;
    zip_stat_t stat;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) == 0) ++live;
    }
    return live;
}

std::string EmptyArchive(zip_t* archive) {
    int length = 0;
    const char* comment = zip_get_archive_comment(archive, &length, ZIP_FL_ENC_RAW);
    const auto size = static_cast<std::size_t>(comment != nullptr && length > 0 ? length : 0);
    std::string bytes("PK\x05\x06", 4);
    bytes.append(16, '\0');  // disk numbers, entry counts, directory size and offset
    bytes.push_back(static_cast<char>(size & 0xFF));
    bytes.push_back(static_cast<char>(size >> 8));
    bytes.append(comment != nullptr ? comment : "", size);
    return bytes;
}

void ReplaceArchiveWith(const std::string& path, const std::string& shown, std::string_view bytes) {
    Outcome<ReplacingFile> file = ReplacingFile::Create(path);
    if (!file) FailWithSystemError(kArchiveTempFile, ZIP_ER_TMPOPEN, file.Error(), "cannot write archive " + shown);
    Outcome<void> done = WriteAll(file->Output(), bytes.data(), bytes.size());
    if (done) done = file->Commit();
    if (!done) FailWithSystemError(kArchiveWriteError, ZIP_ER_WRITE, done.Error(), "cannot write archive " + shown);
}

}  // namespace pelko::archive
