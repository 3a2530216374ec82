#include "package/archive/ArchiveSource.h"

#include <cstring>
#include <memory>
#include <new>

#include "package/archive/ArchiveFailure.h"
#include "package/archive/BlockWriter.h"
#include "package/archive/WindowReader.h"

namespace pelko::archive {
namespace {

class SeparateSource {
public:
    SeparateSource(const std::string& readPath, std::string writePath, WriteTarget* target)
        : reader_(readPath, 0, 0), writePath_(std::move(writePath)), target_(target) {}
    // Reads only.
    explicit SeparateSource(WindowReader reader) : reader_(std::move(reader)), readOnly_(true) {}
    SeparateSource(const SeparateSource&) = delete;
    SeparateSource& operator=(const SeparateSource&) = delete;

    zip_int64_t Handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t OutOfMemory() { return Fail(ZIP_ER_MEMORY, 0); }
    // The libzip source this is the state of.
    void SetSource(zip_source_t* source) { source_ = source; }

private:
    zip_int64_t Fail(int zipError, int systemError) {
        zip_error_set(error_.Get(), zipError, systemError);
        return -1;
    }
    zip_int64_t Fail(int zipError, const SystemError& error) {
        NoteSystemError(error);
        return Fail(zipError, ErrorNumberOf(error));
    }
    zip_int64_t Supports() const;
    zip_int64_t Open();
    zip_int64_t Read(void* data, zip_uint64_t length);
    zip_int64_t Stat(void* data, zip_uint64_t length);
    zip_int64_t Seek(void* data, zip_uint64_t length, std::uint64_t& position, std::uint64_t size);
    zip_int64_t BeginWrite();
    zip_int64_t Write(const void* data, zip_uint64_t length);
    zip_int64_t FailWritingTarget(const SystemError& error);
    zip_int64_t CommitWrite();
    void ReadAgain();
    zip_int64_t Remove();

    WindowReader reader_;
    BlockWriter writer_;
    std::string writePath_;
    WriteTarget* target_ = nullptr;  // may be null
    bool intoTarget_ = false;        // the write in progress goes into target_
    bool readOnly_ = false;
    bool closedForCommit_ = false;  // libzip stopped reading to commit the write
    zip_source_t* source_ = nullptr;
    ZipError error_;
};

zip_int64_t SeparateSource::Supports() const {
    if (readOnly_) {
        return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT,
                                              ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL,
                                              ZIP_SOURCE_SUPPORTS, -1);
    }
    return zip_source_make_command_bitmap(
        ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
        ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_BEGIN_WRITE, ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE,
        ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE, ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, ZIP_SOURCE_SUPPORTS, -1);
}

zip_int64_t SeparateSource::Open() {
    if (Outcome<void> opened = reader_.OpenFile(); !opened) return Fail(ZIP_ER_OPEN, opened.Error());
    if (Outcome<void> rewound = reader_.Rewind(); !rewound) {
        reader_.Close();
        return Fail(ZIP_ER_READ, rewound.Error());
    }
    return 0;
}

zip_int64_t SeparateSource::Read(void* data, zip_uint64_t length) {
    const Outcome<std::uint64_t> got = reader_.Read(data, length);
    if (!got) return Fail(ZIP_ER_READ, got.Error());
    return static_cast<zip_int64_t>(*got);
}

zip_int64_t SeparateSource::Seek(void* data, zip_uint64_t length, std::uint64_t& position, std::uint64_t size) {
    const zip_int64_t target = zip_source_seek_compute_offset(position, size, data, length, error_.Get());
    if (target < 0) return -1;
    position = static_cast<std::uint64_t>(target);
    return 0;
}

// What libzip's file source says: a missing file is a read error with
// ENOENT, which libzip reports as an archive that does not exist.
zip_int64_t SeparateSource::Stat(void* data, zip_uint64_t length) {
    if (length < sizeof(zip_stat_t)) return Fail(ZIP_ER_INVAL, 0);
    const Outcome<FileStatus> status = reader_.Status();
    if (!status) return Fail(ZIP_ER_READ, status.Error());
    zip_stat_t result;
    zip_stat_init(&result);
    result.valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    result.size = status->size;
    result.mtime = static_cast<time_t>(status->modified);
    std::memcpy(data, &result, sizeof result);
    return sizeof result;
}

zip_int64_t SeparateSource::BeginWrite() {
    intoTarget_ = target_ != nullptr && target_->IsSet();
    if (intoTarget_) {
        writer_.BeginInto(*target_->file, target_->offset);
        return 0;
    }
    if (Outcome<void> begun = writer_.BeginReplacing(writePath_); !begun) return Fail(ZIP_ER_TMPOPEN, begun.Error());
    return 0;
}

zip_int64_t SeparateSource::FailWritingTarget(const SystemError& error) {
    if (intoTarget_) target_->writeError = error;
    return Fail(ZIP_ER_WRITE, error);
}

zip_int64_t SeparateSource::Write(const void* data, zip_uint64_t length) {
    if (Outcome<void> written = writer_.Write(data, length); !written) return FailWritingTarget(written.Error());
    return static_cast<zip_int64_t>(length);
}

zip_int64_t SeparateSource::CommitWrite() {
    if (intoTarget_) {
        const Outcome<std::uint64_t> size = writer_.FinishInto();
        if (!size) return FailWritingTarget(size.Error());
        target_->written = *size;
        intoTarget_ = false;
        return 0;
    }
    Outcome<void> done = writer_.FinishFile();
    const int zipError = done ? ZIP_ER_RENAME : ZIP_ER_WRITE;
    if (done) done = writer_.Replace();
    writer_.Rollback();
    if (done) return 0;
    ReadAgain();
    return Fail(zipError, done.Error());
}

// libzip closes the archive it reads before it commits the write; after a
// failed commit it is opened again, so that the session, which still holds
// its changes, can write them once more. Should that fail, the next commit
// says so.
void SeparateSource::ReadAgain() {
    if (!closedForCommit_ || source_ == nullptr) return;
    closedForCommit_ = false;
    static_cast<void>(zip_source_open(source_));
}

zip_int64_t SeparateSource::Remove() {
    // An archive without entries is never written into another file.
    if (target_ != nullptr && target_->IsSet()) return Fail(ZIP_ER_OPNOTSUPP, 0);
    if (Outcome<void> removed = RemoveFile(writePath_); !removed) return Fail(ZIP_ER_REMOVE, removed.Error());
    return 0;
}

zip_int64_t SeparateSource::Handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
        case ZIP_SOURCE_SUPPORTS: return Supports();
        case ZIP_SOURCE_OPEN: return Open();
        case ZIP_SOURCE_READ: return Read(data, length);
        case ZIP_SOURCE_CLOSE:
            reader_.Close();
            closedForCommit_ = writer_.IsWriting();
            return 0;
        case ZIP_SOURCE_STAT: return Stat(data, length);
        case ZIP_SOURCE_SEEK: return Seek(data, length, reader_.Position(), reader_.Size());
        case ZIP_SOURCE_TELL: return static_cast<zip_int64_t>(reader_.Position());
        case ZIP_SOURCE_BEGIN_WRITE: return BeginWrite();
        case ZIP_SOURCE_WRITE: return Write(data, length);
        case ZIP_SOURCE_SEEK_WRITE: return Seek(data, length, writer_.Position(), writer_.End());
        case ZIP_SOURCE_TELL_WRITE: return static_cast<zip_int64_t>(writer_.Position());
        case ZIP_SOURCE_COMMIT_WRITE: return CommitWrite();
        case ZIP_SOURCE_ROLLBACK_WRITE:
            writer_.Rollback();
            intoTarget_ = false;
            return 0;
        case ZIP_SOURCE_REMOVE: return Remove();
        case ZIP_SOURCE_ERROR: return zip_error_to_data(error_.Get(), data, length);
        case ZIP_SOURCE_FREE: delete this; return 0;
        default: return Fail(ZIP_ER_OPNOTSUPP, 0);
    }
}

zip_int64_t SeparateSourceCallback(void* state, void* data, zip_uint64_t length, zip_source_cmd_t command) {
    auto* source = static_cast<SeparateSource*>(state);
    try {
        return source->Handle(data, length, command);
    } catch (const std::bad_alloc&) {
        return source->OutOfMemory();  // no exception may cross libzip's C frames
    }
}

ZipSourcePtr SourceOver(std::unique_ptr<SeparateSource> state, zip_error_t* error) {
    ZipSourcePtr source(zip_source_function_create(&SeparateSourceCallback, state.get(), error));
    if (source) state.release()->SetSource(source.get());  // the source owns it now
    return source;
}

}  // namespace

ZipSourcePtr SeparateArchiveSource(const std::string& readPath, const std::string& writePath,
                                   zip_error_t* error, WriteTarget* target) {
    return SourceOver(std::make_unique<SeparateSource>(readPath, writePath, target), error);
}

ZipSourcePtr ReadingArchiveSource(const std::string& path, std::uint64_t start, std::uint64_t length,
                                  zip_error_t* error) {
    return SourceOver(std::make_unique<SeparateSource>(WindowReader(path, start, length)), error);
}

// A handle of its own, so that the source may outlive the caller's.
ZipSourcePtr ReadingArchiveSource(const File& file, std::uint64_t start, std::uint64_t length, zip_error_t* error) {
    Outcome<File> own = Duplicate(file);
    if (!own) {
        NoteSystemError(own.Error());
        zip_error_set(error, ZIP_ER_OPEN, ErrorNumberOf(own.Error()));
        return nullptr;
    }
    return SourceOver(std::make_unique<SeparateSource>(WindowReader(std::move(*own), start, length)), error);
}

}  // namespace pelko::archive
