#include "package/archive/NewData.h"

#include <zlib.h>

#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/TemporaryFiles.h"

namespace pelko::archive {
namespace {

// A file that is not there is the command's failure; any other is the system's.
[[noreturn]] void FailReading(const std::string& shownName, int zipError, const SystemError& error) {
    if (IsNotFound(error)) throw ArchiveFailure(kArchiveFileUnreadable, "file " + shownName + " does not exist");
    FailWithSystemError(kArchiveFileUnreadable, zipError, error, "cannot read " + shownName);
}

// The scratch data belongs to the new archive, so failing to write it is
// failing to write the archive.
[[noreturn]] void FailWritingScratch(const std::string& shownArchive, const SystemError& error) {
    FailWithSystemError(kArchiveWriteError, ZIP_ER_WRITE, error, "cannot write archive " + shownArchive);
}

// An unnamed file beside the archive, where libzip writes its temporary
// archive too: gone when closed.
File ScratchFile(const std::string& archivePath, const std::string& shownArchive) {
    Outcome<File> file = CreateScratchFile(archivePath);
    if (!file) {
        FailWithSystemError(kArchiveTempFile, ZIP_ER_TMPOPEN, file.Error(), "cannot write archive " + shownArchive);
    }
    return std::move(*file);
}

// What an entry's data is read from when the archive is written: a file kept
// open since its command ran, with what libzip needs to know about it.
struct EntryData {
    File file;
    zip_stat_t stat;  // always size, time and method; for deflated data also CRC and compressed size
    zip_file_attributes_t attributes;
    ZipError error;
};

// A libzip source over EntryData, which it owns. Unlike libzip's source over
// a FILE*, it starts at the beginning at every open, so a commit that failed
// can be tried again. Data already deflated passes into the archive as it is.
zip_int64_t EntryDataCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* entry = static_cast<EntryData*>(state);
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                  ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                                  ZIP_SOURCE_SUPPORTS, ZIP_SOURCE_GET_FILE_ATTRIBUTES, -1);
        case ZIP_SOURCE_OPEN: {
            const Outcome<void> rewound = SeekTo(entry->file, 0);
            if (rewound) return 0;
            NoteSystemError(rewound.Error());
            zip_error_set(entry->error.Get(), ZIP_ER_SEEK, ErrorNumberOf(rewound.Error()));
            return -1;
        }
        case ZIP_SOURCE_READ: {
            const Outcome<std::size_t> got = ReadFull(entry->file, data, static_cast<std::size_t>(length));
            if (got) return static_cast<zip_int64_t>(*got);
            NoteSystemError(got.Error());
            zip_error_set(entry->error.Get(), ZIP_ER_READ, ErrorNumberOf(got.Error()));
            return -1;
        }
        case ZIP_SOURCE_CLOSE: return 0;
        case ZIP_SOURCE_STAT:
            if (length < sizeof entry->stat) break;
            std::memcpy(data, &entry->stat, sizeof entry->stat);
            return sizeof entry->stat;
        case ZIP_SOURCE_GET_FILE_ATTRIBUTES:
            if (length < sizeof entry->attributes) break;
            std::memcpy(data, &entry->attributes, sizeof entry->attributes);
            return sizeof entry->attributes;
        case ZIP_SOURCE_ERROR: return zip_error_to_data(entry->error.Get(), data, length);
        case ZIP_SOURCE_FREE: delete entry; return 0;
        default: break;
    }
    zip_error_set(entry->error.Get(), ZIP_ER_INVAL, 0);
    return -1;
}

ZipSourcePtr SourceOf(std::unique_ptr<EntryData> entry) {
    ZipError error;
    ZipSourcePtr source(zip_source_function_create(&EntryDataCallback, entry.get(), error.Get()));
    if (!source) FailWithError(error.Get(), "cannot store");
    entry.release();  // the source owns it now
    return source;
}

// The owner's write permission among Unix mode bits.
constexpr std::uint32_t kOwnerMayWrite = 0200;

// What libzip's own file source and deflate would say of the entry: the file's
// Unix mode and, for deflated data, the "maximum compression" flag of level 9.
// Without the owner's write permission the entry is marked read-only.
zip_file_attributes_t AttributesOf(const FileStatus& file, bool deflated) {
    zip_file_attributes_t attributes;
    zip_file_attributes_init(&attributes);
    attributes.valid = ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
    attributes.host_system = ZIP_OPSYS_UNIX;
    attributes.external_file_attributes = file.unixMode << 16 | ((file.unixMode & kOwnerMayWrite) ? 0 : 1);
    if (deflated) {
        attributes.valid |= ZIP_FILE_ATTRIBUTES_VERSION_NEEDED | ZIP_FILE_ATTRIBUTES_GENERAL_PURPOSE_BIT_FLAGS;
        attributes.version_needed = 20;
        attributes.general_purpose_bit_flags = 0x0002;
        attributes.general_purpose_bit_mask = 0x0006;  // the two bits that tell deflate's level
    }
    return attributes;
}

struct DeflateEnd {
    void operator()(z_stream* stream) const noexcept { deflateEnd(stream); }
};

struct Deflated {
    zip_uint64_t size = 0;
    zip_uint64_t compressedSize = 0;
    zip_uint32_t crc = 0;
};

// Deflates the whole file into scratch as libzip does at level 9: a raw
// stream with a 32 KiB window and zlib's largest memory level. Both files
// pass through a fixed buffer, so memory stays bounded.
Deflated DeflateInto(File& file, File& scratch, const std::string& shownName, const std::string& shownArchive) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, MAX_MEM_LEVEL, Z_DEFAULT_STRATEGY) !=
        Z_OK) {
        throw std::bad_alloc();
    }
    const std::unique_ptr<z_stream, DeflateEnd> end(&stream);
    constexpr std::size_t kBufferSize = 64 * 1024;
    std::vector<unsigned char> in(kBufferSize);
    std::vector<unsigned char> out(kBufferSize);
    Deflated result;
    uLong crc = crc32(0, nullptr, 0);
    int flush = Z_NO_FLUSH;
    while (flush != Z_FINISH) {
        const Outcome<std::size_t> read = ReadFull(file, in.data(), in.size());
        if (!read) FailReading(shownName, ZIP_ER_READ, read.Error());
        const std::size_t got = *read;
        flush = got < in.size() ? Z_FINISH : Z_NO_FLUSH;
        crc = crc32(crc, in.data(), static_cast<uInt>(got));
        result.size += got;
        stream.next_in = in.data();
        stream.avail_in = static_cast<uInt>(got);
        do {
            stream.next_out = out.data();
            stream.avail_out = static_cast<uInt>(out.size());
            deflate(&stream, flush);  // cannot fail with a valid stream and room for output
            const std::size_t made = out.size() - stream.avail_out;
            if (Outcome<void> written = WriteAll(scratch, out.data(), made); !written) {
                FailWritingScratch(shownArchive, written.Error());
            }
            result.compressedSize += made;
        } while (stream.avail_out == 0);
    }
    result.crc = static_cast<zip_uint32_t>(crc);
    return result;
}

}  // namespace

// Deflated at level 9 if that makes it smaller, as the zip tool decides,
// otherwise stored as it is.
NewData TakeFile(const std::string& path, const std::string& shownName, const std::string& archivePath,
                 const std::string& shownArchive) {
    Outcome<File> file = OpenToRead(path);
    if (!file) FailReading(shownName, ZIP_ER_OPEN, file.Error());
    const Outcome<FileStatus> status = StatusOf(*file);
    if (!status) FailReading(shownName, ZIP_ER_READ, status.Error());
    File scratch = ScratchFile(archivePath, shownArchive);
    const Deflated deflated = DeflateInto(*file, scratch, shownName, shownArchive);
    const bool shrinks = deflated.compressedSize < deflated.size;

    auto entry = std::make_unique<EntryData>();
    entry->file = shrinks ? std::move(scratch) : std::move(*file);
    zip_stat_init(&entry->stat);
    entry->stat.valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    entry->stat.size = deflated.size;
    entry->stat.mtime = static_cast<time_t>(status->modified);
    entry->stat.comp_method = shrinks ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
    entry->stat.encryption_method = ZIP_EM_NONE;
    if (shrinks) {
        entry->stat.valid |= ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
        entry->stat.crc = deflated.crc;
        entry->stat.comp_size = deflated.compressedSize;
    }
    entry->attributes = AttributesOf(*status, shrinks);
    return NewData{SourceOf(std::move(entry)), shrinks ? ZIP_CM_DEFLATE : ZIP_CM_STORE};
}

}  // namespace pelko::archive
