#include "package/Archive.h"
#include "package/ZipHandles.h"

#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "text/Cp932.h"
#include "text/Paths.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kManifestEntry = "META-INF/MANIFEST.MF";
constexpr zip_uint32_t kStrongestLevel = 9;

// A command that cannot be carried out: what to return and what to say.
class ArchiveFailure : public std::runtime_error {
public:
    ArchiveFailure(int result, const std::string& message) : std::runtime_error(message), result_(result) {}
    int Result() const { return result_; }

private:
    int result_;
};

ArchiveFailure Malformed(std::string_view detail) {
    return ArchiveFailure(kArchiveBadCommand, "malformed command line: " + std::string(detail));
}

// ---------------------------------------------------------------- messages

// Names reach a message quoted and in UTF-8. Host names already are UTF-8;
// entry names from a descriptor are CP932, which is converted.
std::string Shown(std::string_view name) {
    const std::string text = ReadableText(name);
    std::string shown;
    shown.reserve(text.size() + 2);
    shown.append(1, '"').append(text).append(1, '"');
    return shown;
}

// Copies as much of text as fits, cutting before a character rather than
// inside one, and always ends with NUL.
void PutMessage(std::string_view text, char* output, std::size_t outputSize) {
    if (output == nullptr || outputSize == 0) return;
    std::size_t length = std::min(text.size(), outputSize - 1);
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::memcpy(output, text.data(), length);
    output[length] = '\0';
}

// ------------------------------------------------------------ command line

enum class Operation { Update, Delete, StoreAtRoot };

struct Command {
    Operation operation;
    std::string archive;  // as written between the quotes
    std::string name;
};

Operation OperationOf(std::string_view switches) {
    if (switches == "-Xqu9") return Operation::Update;
    if (switches == "-qd") return Operation::Delete;
    if (switches == "-Xqju9") return Operation::StoreAtRoot;
    throw ArchiveFailure(kArchiveBadCommand,
                         "unsupported switches " + Shown(switches) + ": expected -Xqu9, -qd or -Xqju9");
}

// Takes a double-quoted name from the front of rest. Names carry no escapes,
// and no CP932 trail byte is ever a double quote or a space.
std::string TakeQuoted(std::string_view& rest, std::string_view what) {
    if (rest.empty() || rest.front() != '"') {
        throw Malformed(std::string(what) + " must follow one space, in double quotes");
    }
    const std::size_t close = rest.find('"', 1);
    if (close == std::string_view::npos) throw Malformed(std::string(what) + " has no closing double quote");
    if (close == 1) throw Malformed(std::string(what) + " is empty");
    std::string name(rest.substr(1, close - 1));
    rest.remove_prefix(close + 1);
    return name;
}

void TakeSpace(std::string_view& rest, std::string_view what) {
    if (rest.empty() || rest.front() != ' ') {
        throw Malformed(std::string(what) + " must follow one space, in double quotes");
    }
    rest.remove_prefix(1);
}

Command ParseCommandLine(std::string_view line) {
    if (line.find('\0') != std::string_view::npos) throw Malformed("it contains a NUL byte");
    const std::size_t space = line.find(' ');
    if (space == 0 || space == std::string_view::npos) {
        throw Malformed("expected switches, a space, \"ARCHIVE\", a space and \"NAME\"");
    }
    std::string_view rest = line.substr(space + 1);
    std::string archive = TakeQuoted(rest, "the archive name");
    TakeSpace(rest, "the second name");
    std::string name = TakeQuoted(rest, "the second name");
    if (!rest.empty()) throw Malformed("text follows the second name");
    return Command{OperationOf(line.substr(0, space)), std::move(archive), std::move(name)};
}

// ------------------------------------------------------------------- names

// Backslash and slash both separate directories; the file system and the
// ZIP format want slashes. For host names (UTF-8 here) and the manifest
// path, where a backslash is never part of a character.
std::string WithSlashes(std::string_view name) {
    std::string result(name);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

// The same for a CP932 name: a backslash that is the second byte of a pair
// belongs to its character. The path functions know which bytes those are.
std::string Cp932WithSlashes(std::string_view name) {
    const std::string directory = DirectoryOf(name, PathSyntax::Archive);
    if (directory.empty()) return std::string(name);
    const std::string_view parent = std::string_view(directory).substr(0, directory.size() - 1);
    return Cp932WithSlashes(parent) + "/" + FileNameOf(name, PathSyntax::Archive);
}

std::string InWorkDirectory(const std::string& workDirectory, const std::string& slashedName) {
    if (slashedName.empty() || slashedName.front() == '/' || workDirectory.empty()) return slashedName;
    const char last = workDirectory.back();
    return workDirectory + (last == '/' || last == '\\' ? "" : "/") + slashedName;
}

// An entry that keeps the directories of its name: the name must lead down
// from the work directory, so that it makes a sensible entry name too.
std::string EntryPathOf(const std::string& slashedName, const std::string& shownName) {
    bool downwards = slashedName.front() != '/';
    for (std::size_t start = 0; downwards && start <= slashedName.size();) {
        const std::size_t end = std::min(slashedName.find('/', start), slashedName.size());
        const std::string_view part = std::string_view(slashedName).substr(start, end - start);
        downwards = !part.empty() && part != "." && part != "..";
        start = end + 1;
    }
    if (!downwards) {
        throw ArchiveFailure(kArchiveBadCommand,
                             "cannot store " + shownName + ": the name must be a relative path to a file");
    }
    return slashedName;
}

// The bare name that the 'j' switch and the delete work with.
std::string BareNameOf(const std::string& name) {
    std::string bare = FileNameOf(name, PathSyntax::Archive);
    if (bare.empty()) throw ArchiveFailure(kArchiveBadCommand, "no file name in " + Shown(name));
    return bare;
}

// ---------------------------------------------------------- libzip handles

std::string TextOf(zip_error_t* error) {
    return zip_error_strerror(error);
}

int ResultOf(const zip_error_t* error) {
    switch (zip_error_code_zip(error)) {
        case ZIP_ER_NOENT: return kArchiveMissing;
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_MULTIDISK:
        case ZIP_ER_CRC:
        case ZIP_ER_COMPRESSED_DATA: return kArchiveNotZip;
        case ZIP_ER_MEMORY: return kArchiveNoMemory;
        case ZIP_ER_TMPOPEN: return kArchiveTempFile;
        case ZIP_ER_OPEN:
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_EOF: return kArchiveReadError;
        case ZIP_ER_COMPNOTSUPP:
        case ZIP_ER_ENCRNOTSUPP: return kArchiveUnsupported;
        default: return kArchiveWriteError;
    }
}

[[noreturn]] void FailWith(zip_t* archive, const std::string& what) {
    zip_error_t* error = zip_get_error(archive);
    throw ArchiveFailure(ResultOf(error), what + ": " + TextOf(error));
}

ZipArchivePtr OpenArchive(const std::string& path, const std::string& shown, int flags) {
    // Through a file source rather than zip_open, so the error keeps errno.
    ZipError error;
    ZipSourcePtr file(zip_source_file_create(path.c_str(), 0, -1, error.Get()));
    zip_t* archive = file ? zip_open_from_source(file.get(), flags, error.Get()) : nullptr;
    if (archive == nullptr) {
        switch (zip_error_code_zip(error.Get())) {
            case ZIP_ER_NOENT: throw ArchiveFailure(kArchiveMissing, "archive " + shown + " does not exist");
            case ZIP_ER_NOZIP: throw ArchiveFailure(kArchiveNotZip, shown + " is not a ZIP archive");
            case ZIP_ER_INCONS: throw ArchiveFailure(kArchiveNotZip, shown + " is a damaged ZIP archive");
            default:
                throw ArchiveFailure(ResultOf(error.Get()),
                                     "cannot open archive " + shown + ": " + TextOf(error.Get()));
        }
    }
    file.release();  // the archive owns it now
    return ZipArchivePtr(archive);
}

// libzip writes a temporary file beside the archive and renames it over the
// archive only when everything is written. On failure the archive stays as
// it was and the handle keeps its changes, to be written again or discarded.
void WriteArchive(ZipArchivePtr& archive, const std::string& shown) {
    if (zip_close(archive.get()) == 0) {
        archive.release();  // zip_close freed it
        return;
    }
    FailWith(archive.get(), "cannot write archive " + shown);
}

// Every entry whose name has exactly these bytes; duplicates all count.
std::vector<zip_uint64_t> EntriesNamed(zip_t* archive, std::string_view name) {
    std::vector<zip_uint64_t> found;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char* entry = zip_get_name(archive, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_RAW);
        if (entry != nullptr && name == entry) found.push_back(static_cast<zip_uint64_t>(i));
    }
    return found;
}

// ---------------------------------------------------------------- new data

struct FileClose {
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileClose>;

[[noreturn]] void FailReading(const std::string& shownName, int zipError, int systemError) {
    ZipError error;
    zip_error_set(error.Get(), zipError, systemError);
    throw ArchiveFailure(kArchiveFileUnreadable, "cannot read " + shownName + ": " + TextOf(error.Get()));
}

// The scratch data belongs to the new archive, so failing to write it is
// failing to write the archive.
[[noreturn]] void FailWritingScratch(const std::string& shownArchive, int systemError) {
    ZipError error;
    zip_error_set(error.Get(), ZIP_ER_WRITE, systemError);
    throw ArchiveFailure(kArchiveWriteError, "cannot write archive " + shownArchive + ": " + TextOf(error.Get()));
}

// An unnamed file beside the archive, where libzip writes its temporary
// archive too: removed from the directory at once, gone when closed.
FilePtr ScratchFile(const std::string& archivePath, const std::string& shownArchive) {
    std::string pattern = DirectoryOf(archivePath) + ".pelko-data-XXXXXX";
    const int fd = mkstemp(pattern.data());
    if (fd < 0) {
        ZipError error;
        zip_error_set(error.Get(), ZIP_ER_TMPOPEN, errno);
        throw ArchiveFailure(kArchiveTempFile, "cannot write archive " + shownArchive + ": " + TextOf(error.Get()));
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
    if (!source) throw ArchiveFailure(ResultOf(error.Get()), "cannot store: " + TextOf(error.Get()));
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

struct NewData {
    ZipSourcePtr source;
    zip_int32_t method;
};

// Reads the file once, now: deflated at level 9 if that makes it smaller, as
// the zip tool decides, otherwise stored as it is. Either way the data comes
// from a file held open, so what happens to the path afterwards is no matter.
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

// ------------------------------------------------------------ storing a file

void RequireFile(const std::string& path, const std::string& shownName) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (!fs::exists(status)) {
        throw ArchiveFailure(kArchiveFileUnreadable, "file " + shownName + " does not exist");
    }
    if (!fs::is_regular_file(status)) {
        throw ArchiveFailure(kArchiveFileUnreadable, shownName + " is not a file");
    }
}

// The method the data needs, and nothing left of the entry it replaces.
// Method first, then the old entry's leftovers: the order in which libzip
// keeps both changes to a replaced entry. Deflated data is named deflated so
// that libzip copies it as it is.
void Describe(zip_t* archive, zip_uint64_t at, bool replaced, zip_int32_t method, const std::string& shownName) {
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

// Puts the data into the entry at index, or into a new entry named
// entryName. A failure leaves the archive as it was: a new entry goes again,
// a replaced one is unchanged. (Describe can fail only where libzip must
// allocate, which it does only for an entry that no command of this session
// has changed yet, so that unchanging it restores what it was.)
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
        Describe(archive, at, index.has_value(), data.method, shownName);
    } catch (...) {
        if (index) {
            zip_unchange(archive, at);
        } else {
            zip_delete(archive, at);
        }
        throw;
    }
}

// ------------------------------------------------ putting a new entry first

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
                             "cannot move the encrypted entry " + Shown(name) + " of " + shownArchive);
    }
    // Start 0 and length -1: the whole entry, copied without decompressing.
    ZipSourcePtr data(zip_source_zip(to, from, index, 0, 0, -1));
    if (!data) FailWith(to, "cannot copy " + Shown(name));
    const zip_int64_t copy = zip_file_add(to, name.c_str(), data.get(), ZIP_FL_ENC_GUESS);
    if (copy < 0) FailWith(to, "cannot copy " + Shown(name));
    data.release();
    // Compressed data keeps its method by itself; stored data would be
    // deflated unless told to stay stored.
    if (stat.comp_method == ZIP_CM_STORE &&
        zip_set_file_compression(to, static_cast<zip_uint64_t>(copy), ZIP_CM_STORE, 0) < 0) {
        FailWith(to, "cannot copy " + Shown(name));
    }
    CopyEntryDetails(from, index, stat, to, static_cast<zip_uint64_t>(copy));
}

// libzip only appends entries, so a new first entry means writing the
// archive anew: the new entry, then every old one as it was. The old
// archive stays open for reading while libzip writes the new one beside it
// and renames it over the old, which POSIX allows for an open file.
void AddFirst(zip_t* old, const std::string& archivePath, const std::string& shownArchive,
              const std::string& entryName, NewData data, const std::string& shownName) {
    ZipArchivePtr fresh = OpenArchive(archivePath, shownArchive, ZIP_TRUNCATE);
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

// ---------------------------------------------------------- empty archives

// An archive without entries is its end record alone (22 bytes, plus the
// archive comment if it had one), as the zip tool leaves it.
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

// libzip removes an archive it closes without entries, so the empty archive
// is written here, through a file source: a temporary file renamed over the
// archive once complete.
void ReplaceWith(const std::string& archivePath, const std::string& shownArchive, std::string_view bytes) {
    ZipError error;
    ZipSourcePtr file(zip_source_file_create(archivePath.c_str(), 0, -1, error.Get()));
    if (!file) {
        throw ArchiveFailure(ResultOf(error.Get()),
                             "cannot write archive " + shownArchive + ": " + TextOf(error.Get()));
    }
    if (zip_source_begin_write(file.get()) == 0) {
        const auto size = static_cast<zip_int64_t>(bytes.size());
        if (zip_source_write(file.get(), bytes.data(), bytes.size()) == size &&
            zip_source_commit_write(file.get()) == 0) {
            return;
        }
    }
    zip_error_t* failure = zip_source_error(file.get());
    const ArchiveFailure thrown(ResultOf(failure),
                                "cannot write archive " + shownArchive + ": " + TextOf(failure));
    zip_source_rollback_write(file.get());
    throw thrown;
}

// -------------------------------------------------------------- the commands

struct Names {
    std::string archivePath;
    std::string shownArchive;
    std::string shownName;
};

// The entries that are there: those deleted in this session do not count.
zip_int64_t LiveEntries(zip_t* archive) {
    zip_int64_t live = 0;
    zip_stat_t stat;
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        if (zip_stat_index(archive, static_cast<zip_uint64_t>(i), 0, &stat) == 0) ++live;
    }
    return live;
}

}  // namespace

// The archive with every change of the session so far. It is opened by the
// first command that needs it, so that a command that cannot open it fails
// just as it would alone, and the next one tries again.
class ArchiveSession::State {
public:
    State(const std::string& workDirectory, std::string_view archiveName)
        : workDirectory_(workDirectory),
          archivePath_(InWorkDirectory(workDirectory, WithSlashes(archiveName))),
          shownArchive_(Shown(archiveName)) {}

    void CarryOut(const Command& command);
    void Commit();

private:
    Names NamesOf(const Command& command) const;
    zip_t* Open();
    void Update(const Command& command);
    void StoreAtRoot(const Command& command);
    void Delete(const Command& command);
    void Store(const Names& names, const std::string& entryName, const std::string& path);
    void StoreFirst(const std::string& entryName, NewData data, const std::string& shownName);

    std::string workDirectory_;
    std::string archivePath_;
    std::string shownArchive_;
    ZipArchivePtr archive_;
    bool changed_ = false;  // archive_ holds changes not yet written
};

Names ArchiveSession::State::NamesOf(const Command& command) const {
    const std::string path = InWorkDirectory(workDirectory_, WithSlashes(command.archive));
    if (path != archivePath_) {
        throw ArchiveFailure(kArchiveBadCommand, "the command names archive " + Shown(command.archive) +
                                                     ", but this session edits " + shownArchive_);
    }
    return Names{archivePath_, shownArchive_, Shown(command.name)};
}

zip_t* ArchiveSession::State::Open() {
    if (!archive_) archive_ = OpenArchive(archivePath_, shownArchive_, 0);
    return archive_.get();
}

// Writes what the session holds. Once written, the archive is opened again
// by the next command that needs it.
void ArchiveSession::State::Commit() {
    if (!archive_) return;
    if (changed_ && LiveEntries(archive_.get()) == 0) {
        // libzip would remove an archive left without entries.
        ReplaceWith(archivePath_, shownArchive_, EmptyArchive(archive_.get()));
        archive_.reset();
    } else {
        WriteArchive(archive_, shownArchive_);
    }
    changed_ = false;
}

// The new data goes into the entry of that name, which keeps its place, or
// into a new entry at the end; a new manifest goes first instead.
void ArchiveSession::State::Store(const Names& names, const std::string& entryName, const std::string& path) {
    zip_t* archive = Open();
    RequireFile(path, names.shownName);
    NewData data = TakeFile(path, names.shownName, archivePath_, shownArchive_);
    const std::vector<zip_uint64_t> existing = EntriesNamed(archive, entryName);
    if (existing.empty() && entryName == kManifestEntry && LiveEntries(archive) > 0) {
        StoreFirst(entryName, std::move(data), names.shownName);
        return;
    }
    std::optional<zip_uint64_t> index;
    if (!existing.empty()) index = existing.front();
    PutData(archive, index, entryName, std::move(data), names.shownName);
    changed_ = true;
}

// The rewrite cannot wait for the commit, so what the session holds is
// written first and the rewrite reads that archive. Should the rewrite fail,
// the session goes on from what was written, which holds every change the
// earlier commands made.
void ArchiveSession::State::StoreFirst(const std::string& entryName, NewData data, const std::string& shownName) {
    Commit();
    archive_.reset();
    ZipArchivePtr old = OpenArchive(archivePath_, shownArchive_, 0);
    AddFirst(old.get(), archivePath_, shownArchive_, entryName, std::move(data), shownName);
}

// -Xqu9: the entry keeps the name's directories.
void ArchiveSession::State::Update(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = EntryPathOf(WithSlashes(command.name), names.shownName);
    Store(names, entryName, InWorkDirectory(workDirectory_, entryName));
}

// -Xqju9: the entry takes the bare name, at the archive's root.
void ArchiveSession::State::StoreAtRoot(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = BareNameOf(command.name);
    Store(names, entryName, InWorkDirectory(workDirectory_, Cp932WithSlashes(command.name)));
}

// -qd: an absent entry leaves nothing to do, which is no failure here. (An
// index EntriesNamed gives has a name, so zip_delete does not fail on it.)
void ArchiveSession::State::Delete(const Command& command) {
    const Names names = NamesOf(command);
    const std::string entryName = BareNameOf(command.name);
    zip_t* archive = Open();
    for (zip_uint64_t index : EntriesNamed(archive, entryName)) {
        if (zip_delete(archive, index) < 0) FailWith(archive, "cannot delete " + names.shownName);
        changed_ = true;
    }
}

void ArchiveSession::State::CarryOut(const Command& command) {
    switch (command.operation) {
        case Operation::Update: Update(command); return;
        case Operation::Delete: Delete(command); return;
        case Operation::StoreAtRoot: StoreAtRoot(command); return;
    }
}

namespace {

// Runs one step of the archive component and reports it as the component's
// functions do: 0 and an empty text, or a result and a message.
template <typename Step>
int Reported(Step&& step, char* output, std::size_t outputSize) {
    try {
        step();
        PutMessage("", output, outputSize);
        return kArchiveOk;
    } catch (const ArchiveFailure& failure) {
        PutMessage(failure.what(), output, outputSize);
        return failure.Result();
    } catch (const std::bad_alloc&) {
        PutMessage("out of memory", output, outputSize);
        return kArchiveNoMemory;
    } catch (const std::exception& error) {
        PutMessage(std::string("archive command failed: ") + error.what(), output, outputSize);
        return kArchiveWriteError;
    }
}

}  // namespace

ArchiveSession::ArchiveSession(const std::string& workDirectory, std::string_view archiveName)
    : state_(std::make_unique<State>(workDirectory, archiveName)) {}

ArchiveSession::~ArchiveSession() = default;

int ArchiveSession::Run(std::string_view commandLine, char* output, std::size_t outputSize) {
    return Reported([&] { state_->CarryOut(ParseCommandLine(commandLine)); }, output, outputSize);
}

int ArchiveSession::Commit(char* output, std::size_t outputSize) {
    return Reported([&] { state_->Commit(); }, output, outputSize);
}

int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine, char* output,
                   std::size_t outputSize) {
    std::string archive;
    const int parsed = Reported([&] { archive = ParseCommandLine(commandLine).archive; }, output, outputSize);
    if (parsed != kArchiveOk) return parsed;
    ArchiveSession session(workDirectory, archive);
    const int result = session.Run(commandLine, output, outputSize);
    return result != kArchiveOk ? result : session.Commit(output, outputSize);
}

std::string ArchiveCommandLine(std::string_view switches, std::string_view archive, std::string_view name) {
    std::string line(switches);
    line += " \"";
    line += archive;
    line += "\" \"";
    line += name;
    line += '"';
    return line;
}

}  // namespace pelko
