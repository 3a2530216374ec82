#include "package/archive/BlockWriter.h"

#include <algorithm>
#include <cstring>

namespace pelko::archive {
namespace {

constexpr std::size_t kWriteBlock = 1024 * 1024;

}  // namespace

void BlockWriter::Start() {
    Rollback();
    if (!block_) block_.reset(new char[kWriteBlock]);
    blockLength_ = 0;
    blockStart_ = position_ = end_ = 0;
}

Outcome<void> BlockWriter::BeginReplacing(const std::string& path) {
    Start();
    Outcome<ReplacingFile> file = ReplacingFile::Create(path);
    if (!file) return file.Error();
    replacing_.emplace(std::move(*file));
    base_ = 0;
    return {};
}

void BlockWriter::BeginInto(File& file, std::uint64_t base) {
    Start();
    target_ = &file;
    base_ = base;
}

Outcome<void> BlockWriter::WriteAt(const char* bytes, std::uint64_t length, std::uint64_t position) {
    File& file = target_ != nullptr ? *target_ : replacing_->Output();
    return WriteAllAt(file, bytes, static_cast<std::size_t>(length), base_ + position);
}

// The package is synced before it counts as made; the disk can write what
// is complete while the rest is still being made, so that the sync at the
// end waits for little more than the last block.
Outcome<void> BlockWriter::Flush() {
    if (Outcome<void> written = WriteAt(block_.get(), blockLength_, blockStart_); !written) return written;
    if (target_ != nullptr) StartWriteBack(*target_, base_ + blockStart_, blockLength_);
    blockStart_ += blockLength_;
    blockLength_ = 0;
    return {};
}

// Writes go into the block while they continue it or fall inside it (libzip
// goes back to complete a local header it has just written); anything else
// writes the block first.
Outcome<void> BlockWriter::Write(const void* data, std::uint64_t length) {
    const auto* bytes = static_cast<const char*>(data);
    const bool inBlock = position_ >= blockStart_ && position_ <= blockStart_ + blockLength_ &&
                         position_ + length <= blockStart_ + kWriteBlock;
    if (!inBlock) {
        if (Outcome<void> flushed = Flush(); !flushed) return flushed;
        blockStart_ = position_;
    }
    if (length >= kWriteBlock) {  // too big to buffer: straight through, after what it may overwrite
        if (Outcome<void> flushed = Flush(); !flushed) return flushed;
        if (Outcome<void> written = WriteAt(bytes, length, position_); !written) return written;
        blockStart_ = position_ + length;
    } else {
        const auto offset = static_cast<std::size_t>(position_ - blockStart_);
        std::memcpy(block_.get() + offset, bytes, static_cast<std::size_t>(length));
        blockLength_ = std::max(blockLength_, offset + static_cast<std::size_t>(length));
    }
    position_ += length;
    end_ = std::max(end_, position_);
    return {};
}

// The file ends where the archive ends, whatever it held before.
Outcome<std::uint64_t> BlockWriter::FinishInto() {
    if (Outcome<void> flushed = Flush(); !flushed) return flushed.Error();
    if (Outcome<void> cut = Truncate(*target_, base_ + end_); !cut) return cut.Error();
    target_ = nullptr;
    block_.reset();
    return end_;
}

Outcome<void> BlockWriter::FinishFile() {
    if (Outcome<void> flushed = Flush(); !flushed) return flushed;
    return replacing_->Close();
}

Outcome<void> BlockWriter::Replace() {
    Outcome<void> replaced = replacing_->Commit();
    replacing_.reset();
    block_.reset();
    blockLength_ = 0;
    return replaced;
}

void BlockWriter::Rollback() {
    replacing_.reset();
    target_ = nullptr;
    blockLength_ = 0;
}

}  // namespace pelko::archive
