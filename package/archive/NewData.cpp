#include "package/archive/NewData.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "text/Paths.h"

namespace pelko::archive {
namespace {

struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

[[noreturn]] void FailReading(const std::string& shownName, int zipError, int systemError) {
    FailWithSystemError(kArchiveFileUnreadable, zipError, systemError, "cannot read " + shownName);
}

// The scratch data belongs to the new archive, so failing to write it is
// failing to write the archive.
[[noreturn]] void FailWritingScratch(const std::string& shownArchive, int systemError) {
    FailWithSystemError(kArchiveWriteError, ZIP_ER_WRITE, systemError, "cannot write archive " + shownArchive);
}

// An unnamed file beside the archive, where libzip writes its temporary
// archive too: removed from the directory at once, gone when closed.
FilePtr ScratchFile(const std::string& archivePath, const std::string& shownArchive) {
    std::string pattern = DirectoryOf(archivePath) + ".pelko-data-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        FailWithSystemError(kArchiveTempFile, ZIP_ER_TMPOPEN, errno, "cannot write archive " + shownArchive);
    }
    unlink(pattern.c_str());
    FilePtr file(fdopen(fd, "w+b"));
    if (!file) {
        const int error = errno;
        close(fd);
        FailWritingScratch(shownArchive, error);
    }
    return file;
}

// What an entry's data is read from when the archive is written: a file kept
// open since its command ran, with what libzip needs to know about it.
struct EntryData {
    FilePtr file;
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
        case ZIP_SOURCE_OPEN:
            if (std::fseek(entry->file.get(), 0, SEEK_SET) == 0) return 0;
            zip_error_set(entry->error.Get(), ZIP_ER_SEEK, errno);
            return -1;
        case ZIP_SOURCE_READ: {
            const std::size_t got = std::fread(data, 1, length, entry->file.get());
            if (got < length && std::ferror(entry->file.get())) {
                zip_error_set(entry->error.Get(), ZIP_ER_READ, errno);
                return -1;
            }
            return static_cast<zip_int64_t>(got);
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

// What libzip's own file source and deflate would say of the entry: the file's
// Unix mode and, for deflated data, the "maximum compression" flag of level 9.
zip_file_attributes_t AttributesOf(const struct stat& file, bool deflated) {
    zip_file_attributes_t attributes;
    zip_file_attributes_init(&attributes);
    attributes.valid = ZIP_FILE_ATTRIBUTES_HOST_SYSTEM | ZIP_FILE_ATTRIBUTES_EXTERNAL_FILE_ATTRIBUTES;
    attributes.host_system = ZIP_OPSYS_UNIX;
    attributes.external_file_attributes =
        static_cast<zip_uint32_t>(file.st_mode) << 16 | ((file.st_mode & S_IWUSR) ? 0 : 1);
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
Deflated DeflateInto(std::FILE* file, std::FILE* scratch, const std::string& shownName,
                     const std::string& shownArchive) {
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
        const std::size_t got = std::fread(in.data(), 1, in.size(), file);
        if (got < in.size() && std::ferror(file)) FailReading(shownName, ZIP_ER_READ, errno);
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
            if (std::fwrite(out.data(), 1, made, scratch) != made) FailWritingScratch(shownArchive, errno);
            result.compressedSize += made;
        } while (stream.avail_out == 0);
    }
    if (std::fflush(scratch) != 0) FailWritingScratch(shownArchive, errno);
    result.crc = static_cast<zip_uint32_t>(crc);
    return result;
}

}  // namespace

// Deflated at level 9 if that makes it smaller, as the zip tool decides,
// otherwise stored as it is.
NewData TakeFile(const std::string& path, const std::string& shownName, const std::string& archivePath,
                 const std::string& shownArchive) {
    FilePtr file(std::fopen(path.c_str(), "rb"));
    struct stat status {};
    if (!file) FailReading(shownName, ZIP_ER_OPEN, errno);
    if (fstat(fileno(file.get()), &status) != 0) FailReading(shownName, ZIP_ER_READ, errno);
    FilePtr scratch = ScratchFile(archivePath, shownArchive);
    const Deflated deflated = DeflateInto(file.get(), scratch.get(), shownName, shownArchive);
    const bool shrinks = deflated.compressedSize < deflated.size;

    auto entry = std::make_unique<EntryData>();
    entry->file = shrinks ? std::move(scratch) : std::move(file);
    zip_stat_init(&entry->stat);
    entry->stat.valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME | ZIP_STAT_COMP_METHOD | ZIP_STAT_ENCRYPTION_METHOD;
    entry->stat.size = deflated.size;
    entry->stat.mtime = status.st_mtime;
    entry->stat.comp_method = shrinks ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
    entry->stat.encryption_method = ZIP_EM_NONE;
    if (shrinks) {
        entry->stat.valid |= ZIP_STAT_CRC | ZIP_STAT_COMP_SIZE;
        entry->stat.crc = deflated.crc;
        entry->stat.comp_size = deflated.compressedSize;
    }
    entry->attributes = AttributesOf(status, shrinks);
    return NewData{SourceOf(std::move(entry)), shrinks ? ZIP_CM_DEFLATE : ZIP_CM_STORE};
}

}  // namespace pelko::archive
