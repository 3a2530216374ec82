#include "build/Archive.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <cstdint>
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

// Length of the UTF-8 sequence that starts at text[at]; 0 when there is none.
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = lead < 0x80                    ? 1
                               : lead >= 0xC2 && lead <= 0xDF ? 2
                               : lead >= 0xE0 && lead <= 0xEF ? 3
                               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                              : 0;
    if (length == 0 || text.size() - at < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[at + i]) & 0xC0) != 0x80) return 0;
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// Names reach a message quoted and in UTF-8. Host names already are UTF-8;
// entry names from a descriptor are CP932, which is converted.
std::string Shown(std::string_view name) {
    return "\"" + (IsUtf8(name) ? std::string(name) : Cp932ToUtf8(name)) + "\"";
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

struct ArchiveDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
// Discards every change unless Commit took the archive over.
using ArchivePtr = std::unique_ptr<zip_t, ArchiveDiscard>;

struct SourceFree {
    void operator()(zip_source_t* source) const noexcept { zip_source_free(source); }
};
// A source not (yet) owned by an archive; release it once an archive took it.
using SourcePtr = std::unique_ptr<zip_source_t, SourceFree>;

class ZipError {
public:
    ZipError() { zip_error_init(&error_); }
    ~ZipError() { zip_error_fini(&error_); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;
    zip_error_t* Get() { return &error_; }

private:
    zip_error_t error_;
};

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

ArchivePtr OpenArchive(const std::string& path, const std::string& shown, int flags) {
    // Through a file source rather than zip_open, so the error keeps errno.
    ZipError error;
    SourcePtr file(zip_source_file_create(path.c_str(), 0, -1, error.Get()));
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
    return ArchivePtr(archive);
}

// libzip writes a temporary file beside the archive and renames it over the
// archive only when everything is written; on failure the archive stays as
// it was and the handle is discarded.
void Commit(ArchivePtr& archive, const std::string& shown) {
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

// ------------------------------------------------------ choosing a method

// Learns what deflate at level 9 makes of a file without keeping the result:
// libzip compresses the file into an archive whose bytes are dropped as they
// come, all but the local header, whose size fields hold the answer. Memory
// stays bounded whatever the file's size, and the sizes are exactly those
// libzip produces when it stores the file for real.
class DeflateProbe {
public:
    // True when deflate makes the file smaller, as the zip tool decides
    // between deflating and storing at level 9.
    static bool Shrinks(const std::string& path, const std::string& shownName);

private:
    static constexpr std::size_t kLocalHeaderSize = 30;
    static constexpr std::size_t kCompressedSizeAt = 18;
    static constexpr std::size_t kOriginalSizeAt = 22;

    static zip_int64_t Callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t Handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t Write(const void* data, zip_uint64_t length);
    zip_int64_t SeekWrite(void* data, zip_uint64_t length);
    std::uint32_t HeaderField(std::size_t at) const;

    std::array<unsigned char, kLocalHeaderSize> header_{};
    zip_uint64_t position_ = 0;
    zip_uint64_t end_ = 0;
    ZipError error_;
};

bool DeflateProbe::Shrinks(const std::string& path, const std::string& shownName) {
    DeflateProbe sink;  // outlives the scratch archive, which calls into it
    ZipError error;
    SourcePtr output(zip_source_function_create(&DeflateProbe::Callback, &sink, error.Get()));
    zip_t* opened = output ? zip_open_from_source(output.get(), ZIP_TRUNCATE, error.Get()) : nullptr;
    if (opened == nullptr) {
        throw ArchiveFailure(ResultOf(error.Get()), "cannot compress: " + TextOf(error.Get()));
    }
    output.release();
    ArchivePtr scratch(opened);

    SourcePtr file(zip_source_file_create(path.c_str(), 0, -1, error.Get()));
    if (!file) {
        throw ArchiveFailure(kArchiveFileUnreadable, "cannot read " + shownName + ": " + TextOf(error.Get()));
    }
    const zip_int64_t index = zip_file_add(scratch.get(), "probe", file.get(), 0);
    if (index < 0) FailWith(scratch.get(), "cannot compress " + shownName);
    file.release();
    if (zip_set_file_compression(scratch.get(), static_cast<zip_uint64_t>(index), ZIP_CM_DEFLATE,
                                 kStrongestLevel) < 0) {
        FailWith(scratch.get(), "cannot compress " + shownName);
    }
    // The sink never fails, so a failure here is reading the file.
    if (zip_close(scratch.get()) != 0) {
        zip_error_t* failure = zip_get_error(scratch.get());
        throw ArchiveFailure(kArchiveFileUnreadable, "cannot read " + shownName + ": " + TextOf(failure));
    }
    scratch.release();

    const std::uint32_t compressed = sink.HeaderField(kCompressedSizeAt);
    const std::uint32_t original = sink.HeaderField(kOriginalSizeAt);
    // 0xFFFFFFFF: sizes in a Zip64 field, for files far beyond a handset's;
    // deflate them as libzip would.
    return compressed == 0xFFFFFFFFu || original == 0xFFFFFFFFu || compressed < original;
}

zip_int64_t DeflateProbe::Callback(void* self, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    return static_cast<DeflateProbe*>(self)->Handle(data, length, command);
}

// An empty, writable, seekable source: just what an archive written from
// scratch needs.
zip_int64_t DeflateProbe::Handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
                ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS,
                ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE,
                ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, -1);
        case ZIP_SOURCE_STAT: {
            auto* stat = static_cast<zip_stat_t*>(data);
            zip_stat_init(stat);
            stat->size = 0;
            stat->valid |= ZIP_STAT_SIZE;
            return sizeof(zip_stat_t);
        }
        case ZIP_SOURCE_SEEK:
            return zip_source_seek_compute_offset(0, 0, data, length, error_.Get()) < 0 ? -1 : 0;
        case ZIP_SOURCE_BEGIN_WRITE: position_ = end_ = 0; return 0;
        case ZIP_SOURCE_WRITE: return Write(data, length);
        case ZIP_SOURCE_SEEK_WRITE: return SeekWrite(data, length);
        case ZIP_SOURCE_TELL_WRITE: return static_cast<zip_int64_t>(position_);
        case ZIP_SOURCE_ERROR: return zip_error_to_data(error_.Get(), data, length);
        case ZIP_SOURCE_OPEN:
        case ZIP_SOURCE_READ:
        case ZIP_SOURCE_TELL:
        case ZIP_SOURCE_CLOSE:
        case ZIP_SOURCE_COMMIT_WRITE:
        case ZIP_SOURCE_ROLLBACK_WRITE:
        case ZIP_SOURCE_REMOVE:
        case ZIP_SOURCE_FREE: return 0;
        default: zip_error_set(error_.Get(), ZIP_ER_OPNOTSUPP, 0); return -1;
    }
}

zip_int64_t DeflateProbe::Write(const void* data, zip_uint64_t length) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (zip_uint64_t i = 0; i < length && position_ + i < header_.size(); ++i) {
        header_[position_ + i] = bytes[i];
    }
    position_ += length;
    end_ = std::max(end_, position_);
    return static_cast<zip_int64_t>(length);
}

zip_int64_t DeflateProbe::SeekWrite(void* data, zip_uint64_t length) {
    const zip_int64_t at = zip_source_seek_compute_offset(position_, end_, data, length, error_.Get());
    if (at < 0) return -1;
    position_ = static_cast<zip_uint64_t>(at);
    return 0;
}

std::uint32_t DeflateProbe::HeaderField(std::size_t at) const {
    return static_cast<std::uint32_t>(header_[at]) | static_cast<std::uint32_t>(header_[at + 1]) << 8 |
           static_cast<std::uint32_t>(header_[at + 2]) << 16 |
           static_cast<std::uint32_t>(header_[at + 3]) << 24;
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

// Puts the file's bytes into the entry at index, or into a new entry named
// entryName. Deflated at level 9, or stored when that is not smaller.
void PutFile(zip_t* archive, std::optional<zip_uint64_t> index, const std::string& entryName,
             const std::string& path, const std::string& shownName) {
    const zip_int32_t method = DeflateProbe::Shrinks(path, shownName) ? ZIP_CM_DEFLATE : ZIP_CM_STORE;
    ZipError error;
    SourcePtr data(zip_source_file_create(path.c_str(), 0, -1, error.Get()));
    if (!data) {
        throw ArchiveFailure(kArchiveFileUnreadable, "cannot read " + shownName + ": " + TextOf(error.Get()));
    }

    zip_uint64_t at = 0;
    if (index) {
        if (zip_file_replace(archive, *index, data.get(), 0) < 0) {
            FailWith(archive, "cannot store " + shownName);
        }
        at = *index;
    } else {
        // The bytes are kept as given. libzip marks a name as UTF-8 when its
        // bytes are UTF-8 beyond ASCII; CP932 names stay unmarked.
        const zip_int64_t added = zip_file_add(archive, entryName.c_str(), data.get(), ZIP_FL_ENC_GUESS);
        if (added < 0) FailWith(archive, "cannot store " + shownName);
        at = static_cast<zip_uint64_t>(added);
    }
    data.release();  // the archive owns it now

    // Method first, then the old entry's leftovers: the order in which libzip
    // keeps both changes to a replaced entry.
    const zip_uint32_t level = method == ZIP_CM_DEFLATE ? kStrongestLevel : 0;
    if (zip_set_file_compression(archive, at, method, level) < 0) {
        FailWith(archive, "cannot store " + shownName);
    }
    if (!index) return;

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
    SourcePtr data(zip_source_zip(to, from, index, 0, 0, -1));
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
              const std::string& entryName, const std::string& path, const std::string& shownName) {
    ArchivePtr fresh = OpenArchive(archivePath, shownArchive, ZIP_TRUNCATE);
    PutFile(fresh.get(), std::nullopt, entryName, path, shownName);
    const zip_int64_t count = zip_get_num_entries(old, 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        CarryEntry(old, static_cast<zip_uint64_t>(i), fresh.get(), shownArchive);
    }
    Commit(fresh, shownArchive);
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
    SourcePtr file(zip_source_file_create(archivePath.c_str(), 0, -1, error.Get()));
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

Names NamesOf(const Command& command, const std::string& workDirectory) {
    return Names{InWorkDirectory(workDirectory, WithSlashes(command.archive)), Shown(command.archive),
                 Shown(command.name)};
}

// The new data goes into the entry of that name, which keeps its place, or
// into a new entry at the end; a new manifest goes first instead.
void Store(const Names& names, const std::string& entryName, const std::string& path) {
    ArchivePtr archive = OpenArchive(names.archivePath, names.shownArchive, 0);
    RequireFile(path, names.shownName);
    const std::vector<zip_uint64_t> existing = EntriesNamed(archive.get(), entryName);
    if (existing.empty() && entryName == kManifestEntry && zip_get_num_entries(archive.get(), 0) > 0) {
        AddFirst(archive.get(), names.archivePath, names.shownArchive, entryName, path, names.shownName);
        return;
    }
    std::optional<zip_uint64_t> index;
    if (!existing.empty()) index = existing.front();
    PutFile(archive.get(), index, entryName, path, names.shownName);
    Commit(archive, names.shownArchive);
}

// -Xqu9: the entry keeps the name's directories.
void Update(const Command& command, const std::string& workDirectory) {
    const Names names = NamesOf(command, workDirectory);
    const std::string entryName = EntryPathOf(WithSlashes(command.name), names.shownName);
    Store(names, entryName, InWorkDirectory(workDirectory, entryName));
}

// -Xqju9: the entry takes the bare name, at the archive's root.
void StoreAtRoot(const Command& command, const std::string& workDirectory) {
    const Names names = NamesOf(command, workDirectory);
    const std::string entryName = BareNameOf(command.name);
    Store(names, entryName, InWorkDirectory(workDirectory, Cp932WithSlashes(command.name)));
}

// -qd: an absent entry leaves nothing to do, which is no failure here.
void Delete(const Command& command, const std::string& workDirectory) {
    const Names names = NamesOf(command, workDirectory);
    const std::string entryName = BareNameOf(command.name);
    ArchivePtr archive = OpenArchive(names.archivePath, names.shownArchive, 0);
    const std::vector<zip_uint64_t> doomed = EntriesNamed(archive.get(), entryName);
    if (doomed.empty()) return;
    if (static_cast<zip_int64_t>(doomed.size()) == zip_get_num_entries(archive.get(), 0)) {
        const std::string empty = EmptyArchive(archive.get());
        archive.reset();
        ReplaceWith(names.archivePath, names.shownArchive, empty);
        return;
    }
    for (zip_uint64_t index : doomed) {
        if (zip_delete(archive.get(), index) < 0) FailWith(archive.get(), "cannot delete " + names.shownName);
    }
    Commit(archive, names.shownArchive);
}

void CarryOut(const Command& command, const std::string& workDirectory) {
    switch (command.operation) {
        case Operation::Update: Update(command, workDirectory); return;
        case Operation::Delete: Delete(command, workDirectory); return;
        case Operation::StoreAtRoot: StoreAtRoot(command, workDirectory); return;
    }
}

}  // namespace

int ArchiveCommand(const std::string& workDirectory, std::string_view commandLine, char* output,
                   std::size_t outputSize) {
    try {
        CarryOut(ParseCommandLine(commandLine), workDirectory);
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
