#pragma once
// A ZIP archive opened only to be read: how the checks see a template's
// archive, the archive a build wrote and a package's archive. Opening checks
// the central directory against the local headers; entry data is read
// through libzip's own checks of sizes and CRC. Nothing here changes a file.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "package/archive/ManifestNames.h"
#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko {

// A manifest larger than this is not read back: a handset's manifest is a
// few hundred bytes, and an archive must not make us inflate without end.
inline constexpr std::uint64_t kManifestReadLimit = 1024 * 1024;

struct ArchiveEntry {
    std::string name;  // the raw bytes of the entry name
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
};

// What the central directory says of one entry.
struct EntryRecord {
    std::optional<ArchiveEntry> entry;  // nullopt when the record cannot be read
    std::string failure;                // why not, in libzip's words
    // Why a reader could not take the entry's data: "encrypted" or
    // "unsupported compression method"; empty when it can.
    std::string unusable;
};

struct EntryData {
    enum class Outcome {
        Read,       // bytes up to the end, or up to the limit
        NotOpened,  // the entry cannot be opened for reading
        Damaged,    // reading its data failed (a bad CRC, inflated data that does not fit)
    };
    Outcome outcome = Outcome::Read;
    std::string failure;      // libzip's reason, unless Read
    std::optional<SystemError> system;  // when the system failed to read it, unless Read
    std::uint64_t count = 0;  // bytes read
    bool complete = false;    // read to its end without passing the limit
    std::string bytes;        // what was read, when asked to keep it
};

class ReadOnlyArchive {
public:
    // length bytes of the file at path from start on (length 0: to its end).
    static ReadOnlyArchive OpenFile(const std::string& path, std::uint64_t start = 0, std::uint64_t length = 0);
    // size bytes of an open file from offset on; the file is not moved, and
    // the archive reads through a handle of its own.
    static ReadOnlyArchive OpenPart(const File& file, std::uint64_t offset, std::uint64_t size);
    // Bytes in memory, which must outlive the archive.
    static ReadOnlyArchive OpenBytes(std::string_view bytes);

    ReadOnlyArchive(ReadOnlyArchive&&) noexcept;
    ReadOnlyArchive& operator=(ReadOnlyArchive&&) noexcept;
    ~ReadOnlyArchive();

    // An archive of no bytes at all is no ZIP archive, as zip_open says of an
    // empty file; libzip's sources alone would take it for one without entries.
    bool IsOpen() const;
    // Why it did not open, in libzip's words.
    const std::string& OpenFailure() const { return openFailure_; }
    // When it did not open because the system failed to read it: that error.
    const std::optional<SystemError>& SystemFailure() const { return systemFailure_; }

    std::uint64_t EntryCount() const;
    EntryRecord Record(std::uint64_t index) const;
    // The entry of exactly that name, as stored.
    std::optional<std::uint64_t> Find(std::string_view name) const;
    // Reads the entry's data from its start, stopping once limit bytes are
    // read; keep: whether bytes holds them.
    EntryData ReadData(std::uint64_t index, std::uint64_t limit, bool keep) const;

private:
    struct Zip;
    ReadOnlyArchive(std::unique_ptr<Zip> zip, std::string failure, std::optional<SystemError> system);

    std::unique_ptr<Zip> zip_;
    std::string openFailure_;
    std::optional<SystemError> systemFailure_;
};

// The manifest entry at index, read whole when it is no larger than
// kManifestReadLimit (complete is false otherwise).
EntryData ReadManifestEntry(const ReadOnlyArchive& archive, std::uint64_t index);

}  // namespace pelko
