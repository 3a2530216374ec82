#include "package/archive/ArchiveSource.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace pelko::archive {
namespace {

// libzip reads the entries it carries over in 8 KiB pieces, each behind a
// small read of its local header; one read ahead serves most of them.
constexpr std::size_t kReadAhead = 256 * 1024;
// libzip writes in pieces of a few bytes to 8 KiB.
constexpr std::size_t kWriteBlock = 1024 * 1024;

mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

class SeparateSource {
public:
    SeparateSource(std::string readPath, std::string writePath, WriteTarget* target)
        : readPath_(std::move(readPath)), writePath_(std::move(writePath)), target_(target) {}
    // Reads only: length bytes from start on (length 0: to the end), of the
    // file at path or, with fd not -1, of that open file, which it then owns.
    SeparateSource(std::string path, int fd, std::uint64_t start, std::uint64_t length)
        : readPath_(std::move(path)), target_(nullptr), givenFd_(fd), windowStart_(start),
          windowLength_(length), readOnly_(true) {}
    ~SeparateSource() {
        CloseReading();
        Rollback();
        if (givenFd_ >= 0) close(givenFd_);
    }
    SeparateSource(const SeparateSource&) = delete;
    SeparateSource& operator=(const SeparateSource&) = delete;

    zip_int64_t Handle(void* data, zip_uint64_t length, zip_source_cmd_t command);
    zip_int64_t OutOfMemory() { return Fail(ZIP_ER_MEMORY, 0); }

private:
    zip_int64_t Fail(int zipError, int systemError) {
        zip_error_set(error_.Get(), zipError, systemError);
        return -1;
    }
    zip_int64_t Open();
    zip_int64_t Read(void* data, zip_uint64_t length);
    zip_int64_t Stat(void* data, zip_uint64_t length);
    bool StatusOfFile(struct stat& status) const;
    std::uint64_t SizeWithin(const struct stat& status) const;
    zip_int64_t Seek(void* data, zip_uint64_t length, std::uint64_t& position, std::uint64_t size);
    void CloseReading();
    zip_int64_t BeginWrite();
    void BeginWriteIntoTarget();
    zip_int64_t Write(const void* data, zip_uint64_t length);
    bool Flush();
    bool WriteAt(const char* bytes, std::size_t length, std::uint64_t position);
    void StartWriteBack(std::uint64_t position, std::size_t length);
    zip_int64_t CommitWrite();
    void Rollback();
    zip_int64_t Remove();

    std::string readPath_;
    std::string writePath_;
    WriteTarget* target_;  // may be null
    ZipError error_;

    int givenFd_ = -1;               // an open file read instead of readPath_
    std::uint64_t windowStart_ = 0;  // where the archive starts in the file
    std::uint64_t windowLength_ = 0; // 0: to the file's end
    bool readOnly_ = false;
    int readFd_ = -1;
    std::uint64_t readSize_ = 0;
    std::uint64_t readPosition_ = 0;
    std::unique_ptr<char[]> ahead_;  // kReadAhead bytes, aheadLength_ of them the file's from aheadStart_
    std::size_t aheadLength_ = 0;
    std::uint64_t aheadStart_ = 0;

    int writeFd_ = -1;
    bool writeFdIsTarget_ = false;  // the caller's file: never closed or renamed here
    std::uint64_t writeBase_ = 0;   // where the archive starts in that file
    std::string temporaryPath_;
    std::unique_ptr<char[]> block_;  // kWriteBlock bytes, blockLength_ of them not yet written, from blockStart_
    std::size_t blockLength_ = 0;
    std::uint64_t blockStart_ = 0;
    std::uint64_t writePosition_ = 0;
    std::uint64_t writeEnd_ = 0;    // the new file's size so far
};

bool SeparateSource::StatusOfFile(struct stat& status) const {
    return (givenFd_ >= 0 ? fstat(givenFd_, &status) : stat(readPath_.c_str(), &status)) == 0;
}

std::uint64_t SeparateSource::SizeWithin(const struct stat& status) const {
    const auto fileSize = static_cast<std::uint64_t>(status.st_size);
    const std::uint64_t rest = fileSize > windowStart_ ? fileSize - windowStart_ : 0;
    return windowLength_ == 0 ? rest : std::min(rest, windowLength_);
}

zip_int64_t SeparateSource::Open() {
    if (readFd_ < 0) {
        readFd_ = givenFd_ >= 0 ? givenFd_ : open(readPath_.c_str(), O_RDONLY | O_CLOEXEC);
        if (readFd_ < 0) return Fail(ZIP_ER_OPEN, errno);
        struct stat status {};
        if (fstat(readFd_, &status) != 0) {
            const int error = errno;
            CloseReading();
            return Fail(ZIP_ER_READ, error);
        }
        readSize_ = SizeWithin(status);
    }
    readPosition_ = 0;
    aheadLength_ = 0;
    return 0;
}

void SeparateSource::CloseReading() {
    if (readFd_ >= 0 && readFd_ != givenFd_) close(readFd_);
    readFd_ = -1;
    ahead_.reset();
    aheadLength_ = 0;
}

zip_int64_t SeparateSource::Read(void* data, zip_uint64_t length) {
    auto* out = static_cast<char*>(data);
    zip_uint64_t done = 0;
    while (done < length && readPosition_ < readSize_) {
        const bool inAhead = readPosition_ >= aheadStart_ && readPosition_ < aheadStart_ + aheadLength_;
        if (!inAhead) {
            if (!ahead_) ahead_.reset(new char[kReadAhead]);
            aheadLength_ = 0;
            ssize_t got;
            do {
                const std::size_t wanted =
                    static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, readSize_ - readPosition_));
                got = pread(readFd_, ahead_.get(), wanted, static_cast<off_t>(windowStart_ + readPosition_));
            } while (got < 0 && errno == EINTR);
            if (got < 0) return Fail(ZIP_ER_READ, errno);
            aheadLength_ = static_cast<std::size_t>(got);
            aheadStart_ = readPosition_;
            if (got == 0) break;  // the file became shorter
        }
        const std::size_t offset = static_cast<std::size_t>(readPosition_ - aheadStart_);
        const std::size_t piece =
            static_cast<std::size_t>(std::min<std::uint64_t>(length - done, aheadLength_ - offset));
        std::memcpy(out + done, ahead_.get() + offset, piece);
        done += piece;
        readPosition_ += piece;
    }
    return static_cast<zip_int64_t>(done);
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
    struct stat status {};
    if (!StatusOfFile(status)) return Fail(ZIP_ER_READ, errno);
    zip_stat_t result;
    zip_stat_init(&result);
    result.valid = ZIP_STAT_SIZE | ZIP_STAT_MTIME;
    result.size = SizeWithin(status);
    result.mtime = status.st_mtime;
    std::memcpy(data, &result, sizeof result);
    return sizeof result;
}

zip_int64_t SeparateSource::BeginWrite() {
    Rollback();
    if (!block_) block_.reset(new char[kWriteBlock]);
    blockLength_ = 0;
    blockStart_ = writePosition_ = writeEnd_ = 0;
    if (target_ != nullptr && target_->IsSet()) {
        BeginWriteIntoTarget();
        return 0;
    }
    std::string pattern = writePath_ + ".XXXXXX";
    writeFd_ = mkostemp(pattern.data(), O_CLOEXEC);
    if (writeFd_ < 0) return Fail(ZIP_ER_TMPOPEN, errno);
    temporaryPath_ = pattern;
    fchmod(writeFd_, NewFileMode());  // mkostemp makes the file private
    writeBase_ = 0;
    return 0;
}

void SeparateSource::BeginWriteIntoTarget() {
    writeFd_ = target_->fd;
    writeFdIsTarget_ = true;
    writeBase_ = target_->offset;
}

bool SeparateSource::Flush() {
    if (!WriteAt(block_.get(), blockLength_, blockStart_)) return false;
    if (writeFdIsTarget_) StartWriteBack(blockStart_, blockLength_);
    blockStart_ += blockLength_;
    blockLength_ = 0;
    return true;
}

// The package is synced before it counts as made; the disk can write what
// is complete while the rest is still being made, so that the sync at the
// end waits for little more than the last block. Only a hint: its failure
// leaves that to the sync.
void SeparateSource::StartWriteBack(std::uint64_t position, std::size_t length) {
    if (length == 0) return;
    sync_file_range(writeFd_, static_cast<off_t>(writeBase_ + position), static_cast<off_t>(length),
                    SYNC_FILE_RANGE_WRITE);
}

bool SeparateSource::WriteAt(const char* bytes, std::size_t length, std::uint64_t position) {
    std::size_t done = 0;
    while (done < length) {
        const ssize_t written =
            pwrite(writeFd_, bytes + done, length - done, static_cast<off_t>(writeBase_ + position + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const int reason = written < 0 ? errno : ENOSPC;
            zip_error_set(error_.Get(), ZIP_ER_WRITE, reason);
            if (writeFdIsTarget_) target_->writeError = reason;
            return false;
        }
        done += static_cast<std::size_t>(written);
    }
    return true;
}

// Writes go into the block while they continue it or fall inside it (libzip
// goes back to complete a local header it has just written); anything else
// writes the block first.
zip_int64_t SeparateSource::Write(const void* data, zip_uint64_t length) {
    const auto* bytes = static_cast<const char*>(data);
    const bool inBlock = writePosition_ >= blockStart_ && writePosition_ <= blockStart_ + blockLength_ &&
                         writePosition_ + length <= blockStart_ + kWriteBlock;
    if (!inBlock) {
        if (!Flush()) return -1;
        blockStart_ = writePosition_;
    }
    if (length >= kWriteBlock) {  // too big to buffer: straight through, after what it may overwrite
        if (!Flush() || !WriteAt(bytes, length, writePosition_)) return -1;
        blockStart_ = writePosition_ + length;
    } else {
        const std::size_t offset = static_cast<std::size_t>(writePosition_ - blockStart_);
        std::memcpy(block_.get() + offset, bytes, length);
        blockLength_ = std::max(blockLength_, offset + static_cast<std::size_t>(length));
    }
    writePosition_ += length;
    writeEnd_ = std::max(writeEnd_, writePosition_);
    return static_cast<zip_int64_t>(length);
}

zip_int64_t SeparateSource::CommitWrite() {
    if (!Flush()) return -1;
    if (writeFdIsTarget_) {
        // The file ends where the archive ends, whatever it held before.
        if (ftruncate(writeFd_, static_cast<off_t>(writeBase_ + writeEnd_)) != 0) {
            const int reason = errno;
            target_->writeError = reason;
            return Fail(ZIP_ER_WRITE, reason);
        }
        target_->written = writeEnd_;
        writeFd_ = -1;
        writeFdIsTarget_ = false;
        block_.reset();
        return 0;
    }
    const int fd = writeFd_;
    writeFd_ = -1;
    if (close(fd) != 0) {
        const int error = errno;
        Rollback();
        return Fail(ZIP_ER_WRITE, error);
    }
    if (std::rename(temporaryPath_.c_str(), writePath_.c_str()) != 0) {
        const int error = errno;
        Rollback();
        return Fail(ZIP_ER_RENAME, error);
    }
    temporaryPath_.clear();
    block_.reset();
    blockLength_ = 0;
    return 0;
}

void SeparateSource::Rollback() {
    if (writeFd_ >= 0 && !writeFdIsTarget_) close(writeFd_);
    writeFd_ = -1;
    writeFdIsTarget_ = false;
    if (!temporaryPath_.empty()) unlink(temporaryPath_.c_str());
    temporaryPath_.clear();
    blockLength_ = 0;
}

zip_int64_t SeparateSource::Remove() {
    // An archive without entries is never written into another file.
    if (target_ != nullptr && target_->IsSet()) return Fail(ZIP_ER_OPNOTSUPP, 0);
    if (unlink(writePath_.c_str()) != 0 && errno != ENOENT) return Fail(ZIP_ER_REMOVE, errno);
    return 0;
}

zip_int64_t SeparateSource::Handle(void* data, zip_uint64_t length, zip_source_cmd_t command) {
    switch (command) {
        case ZIP_SOURCE_SUPPORTS:
            if (readOnly_) {
                return zip_source_make_command_bitmap(ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE,
                                                      ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR, ZIP_SOURCE_FREE,
                                                      ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_SUPPORTS, -1);
            }
            return zip_source_make_command_bitmap(
                ZIP_SOURCE_OPEN, ZIP_SOURCE_READ, ZIP_SOURCE_CLOSE, ZIP_SOURCE_STAT, ZIP_SOURCE_ERROR,
                ZIP_SOURCE_FREE, ZIP_SOURCE_SEEK, ZIP_SOURCE_TELL, ZIP_SOURCE_BEGIN_WRITE,
                ZIP_SOURCE_COMMIT_WRITE, ZIP_SOURCE_ROLLBACK_WRITE, ZIP_SOURCE_WRITE, ZIP_SOURCE_SEEK_WRITE,
                ZIP_SOURCE_TELL_WRITE, ZIP_SOURCE_REMOVE, ZIP_SOURCE_SUPPORTS, -1);
        case ZIP_SOURCE_OPEN: return Open();
        case ZIP_SOURCE_READ: return Read(data, length);
        case ZIP_SOURCE_CLOSE: CloseReading(); return 0;
        case ZIP_SOURCE_STAT: return Stat(data, length);
        case ZIP_SOURCE_SEEK: return Seek(data, length, readPosition_, readSize_);
        case ZIP_SOURCE_TELL: return static_cast<zip_int64_t>(readPosition_);
        case ZIP_SOURCE_BEGIN_WRITE: return BeginWrite();
        case ZIP_SOURCE_WRITE: return Write(data, length);
        case ZIP_SOURCE_SEEK_WRITE: return Seek(data, length, writePosition_, writeEnd_);
        case ZIP_SOURCE_TELL_WRITE: return static_cast<zip_int64_t>(writePosition_);
        case ZIP_SOURCE_COMMIT_WRITE: return CommitWrite();
        case ZIP_SOURCE_ROLLBACK_WRITE: Rollback(); return 0;
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

}  // namespace

namespace {

ZipSourcePtr SourceOver(std::unique_ptr<SeparateSource> state, zip_error_t* error) {
    ZipSourcePtr source(zip_source_function_create(&SeparateSourceCallback, state.get(), error));
    if (source) state.release();  // the source owns it now
    return source;
}

}  // namespace

ZipSourcePtr SeparateArchiveSource(const std::string& readPath, const std::string& writePath,
                                   zip_error_t* error, WriteTarget* target) {
    return SourceOver(std::make_unique<SeparateSource>(readPath, writePath, target), error);
}

ZipSourcePtr ReadingArchiveSource(const std::string& path, std::uint64_t start, std::uint64_t length,
                                  zip_error_t* error) {
    return SourceOver(std::make_unique<SeparateSource>(path, -1, start, length), error);
}

ZipSourcePtr ReadingArchiveSource(int fd, std::uint64_t start, std::uint64_t length, zip_error_t* error) {
    const int own = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (own < 0) {
        zip_error_set(error, ZIP_ER_OPEN, errno);
        return nullptr;
    }
    return SourceOver(std::make_unique<SeparateSource>(std::string(), own, start, length), error);
}

}  // namespace pelko::archive
