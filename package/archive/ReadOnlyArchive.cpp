#include "package/archive/ReadOnlyArchive.h"

#include <zip.h>

#include <utility>
#include <vector>

#include "package/archive/ArchiveFailure.h"
#include "package/archive/ArchiveSource.h"
#include "package/archive/ZipHandles.h"

namespace pelko {

struct ReadOnlyArchive::Zip {
    ZipArchivePtr archive;
    std::string name;  // the file, as a system error names it
};

namespace {

// Entry data goes through this much memory at a time.
constexpr std::size_t kReadBlock = 64 * 1024;

bool IsEmpty(zip_source_t* source) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    return zip_source_stat(source, &stat) == 0 && (stat.valid & ZIP_STAT_SIZE) && stat.size == 0;
}

struct Opening {
    ZipArchivePtr archive;
    std::string failure;
    std::optional<SystemError> system;
};

// The source is made by the caller, whose failure error already holds.
Opening OpenFrom(ZipSourcePtr source, ZipError& error, const std::string& name) {
    if (source && IsEmpty(source.get())) zip_error_set(error.Get(), ZIP_ER_NOZIP, 0);
    zip_t* opened = source && zip_error_code_zip(error.Get()) == ZIP_ER_OK
                        ? zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, error.Get())
                        : nullptr;
    if (!opened) return {nullptr, error.Text(), archive::SystemErrorOf(error.Get(), name)};
    source.release();  // the open archive owns its source now
    return {ZipArchivePtr(opened), {}, std::nullopt};
}


std::string LastFailure(zip_t* archive) { return zip_error_strerror(zip_get_error(archive)); }

// Damaged, or unread because the system failed, as the entry's error says.
void Failed(EntryData& data, zip_error_t* error, const std::string& name) {
    data.outcome = EntryData::Outcome::Damaged;
    data.failure = zip_error_strerror(error);
    data.system = archive::SystemErrorOf(error, name);
}

}  // namespace

ReadOnlyArchive::ReadOnlyArchive(std::unique_ptr<Zip> zip, std::string failure, std::optional<SystemError> system)
    : zip_(std::move(zip)), openFailure_(std::move(failure)), systemFailure_(std::move(system)) {}
ReadOnlyArchive::ReadOnlyArchive(ReadOnlyArchive&&) noexcept = default;
ReadOnlyArchive& ReadOnlyArchive::operator=(ReadOnlyArchive&&) noexcept = default;
ReadOnlyArchive::~ReadOnlyArchive() = default;

ReadOnlyArchive ReadOnlyArchive::OpenFile(const std::string& path, std::uint64_t start, std::uint64_t length) {
    ZipError error;
    archive::ForgetNotedSystemError();
    Opening opening = OpenFrom(archive::ReadingArchiveSource(path, start, length, error.Get()), error, path);
    return ReadOnlyArchive(std::make_unique<Zip>(Zip{std::move(opening.archive), path}), std::move(opening.failure),
                           std::move(opening.system));
}

ReadOnlyArchive ReadOnlyArchive::OpenPart(const File& file, std::uint64_t offset, std::uint64_t size) {
    ZipError error;
    archive::ForgetNotedSystemError();
    Opening opening = OpenFrom(archive::ReadingArchiveSource(file, offset, size, error.Get()), error, file.Name());
    return ReadOnlyArchive(std::make_unique<Zip>(Zip{std::move(opening.archive), file.Name()}), std::move(opening.failure),
                           std::move(opening.system));
}

ReadOnlyArchive ReadOnlyArchive::OpenBytes(std::string_view bytes) {
    ZipError error;
    Opening opening = OpenFrom(ZipSourcePtr(zip_source_buffer_create(bytes.data(), bytes.size(), 0, error.Get())),
                               error, {});
    return ReadOnlyArchive(std::make_unique<Zip>(Zip{std::move(opening.archive), {}}), std::move(opening.failure),
                           std::move(opening.system));
}

bool ReadOnlyArchive::IsOpen() const { return zip_ && zip_->archive; }

std::uint64_t ReadOnlyArchive::EntryCount() const {
    const zip_int64_t count = IsOpen() ? zip_get_num_entries(zip_->archive.get(), 0) : 0;
    return count > 0 ? static_cast<std::uint64_t>(count) : 0;
}

EntryRecord ReadOnlyArchive::Record(std::uint64_t index) const {
    EntryRecord record;
    if (!IsOpen()) {
        record.failure = openFailure_;
        return record;
    }
    zip_t* archive = zip_->archive.get();
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
        record.failure = LastFailure(archive);
        return record;
    }
    record.entry = ArchiveEntry{stat.name, (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0,
                                (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0};
    // Only what the central directory says: the data is not read for this.
    if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) && stat.encryption_method != ZIP_EM_NONE) {
        record.unusable = "encrypted";
    } else if ((stat.valid & ZIP_STAT_COMP_METHOD) && !zip_compression_method_supported(stat.comp_method, 0)) {
        record.unusable = "unsupported compression method";
    }
    return record;
}

std::optional<std::uint64_t> ReadOnlyArchive::Find(std::string_view name) const {
    if (!IsOpen()) return std::nullopt;
    const zip_int64_t index = zip_name_locate(zip_->archive.get(), std::string(name).c_str(), ZIP_FL_ENC_RAW);
    if (index < 0) return std::nullopt;
    return static_cast<std::uint64_t>(index);
}

EntryData ReadOnlyArchive::ReadData(std::uint64_t index, std::uint64_t limit, bool keep) const {
    EntryData data;
    archive::ForgetNotedSystemError();
    ZipEntryPtr entry(IsOpen() ? zip_fopen_index(zip_->archive.get(), index, 0) : nullptr);
    if (!IsOpen()) {
        data.outcome = EntryData::Outcome::NotOpened;
        data.failure = openFailure_;
        data.system = systemFailure_;
        return data;
    }
    if (!entry) {
        data.outcome = EntryData::Outcome::NotOpened;
        data.failure = LastFailure(zip_->archive.get());
        data.system = archive::SystemErrorOf(zip_get_error(zip_->archive.get()), zip_->name);
        return data;
    }
    std::vector<char> block(kReadBlock);
    while (data.count < limit) {
        const zip_int64_t got = zip_fread(entry.get(), block.data(), block.size());
        if (got < 0) {
            Failed(data, zip_file_get_error(entry.get()), zip_->name);
            return data;
        }
        if (got == 0) {
            data.complete = true;
            return data;
        }
        data.count += static_cast<std::uint64_t>(got);
        if (keep) data.bytes.append(block.data(), static_cast<std::size_t>(got));
    }
    // As much as asked for was read; the entry may end exactly there, and
    // only the read that finds its end checks its CRC.
    char probe = 0;
    const zip_int64_t more = zip_fread(entry.get(), &probe, 1);
    if (more < 0) Failed(data, zip_file_get_error(entry.get()), zip_->name);
    data.complete = more == 0 && data.count <= limit;
    return data;
}

EntryData ReadManifestEntry(const ReadOnlyArchive& archive, std::uint64_t index) {
    return archive.ReadData(index, kManifestReadLimit, true);
}

}  // namespace pelko
