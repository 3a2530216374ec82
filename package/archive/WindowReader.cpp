#include "package/archive/WindowReader.h"

#include <algorithm>
#include <cstring>

namespace pelko::archive {
namespace {

constexpr std::size_t kReadAhead = 256 * 1024;

}  // namespace

WindowReader::WindowReader(std::string path, std::uint64_t start, std::uint64_t length)
    : path_(std::move(path)), ownsPath_(true), start_(start), length_(length) {}

WindowReader::WindowReader(File file, std::uint64_t start, std::uint64_t length)
    : file_(std::move(file)), start_(start), length_(length) {}

std::uint64_t WindowReader::SizeWithin(std::uint64_t fileSize) const {
    const std::uint64_t rest = fileSize > start_ ? fileSize - start_ : 0;
    return length_ == 0 ? rest : std::min(rest, length_);
}

Outcome<void> WindowReader::OpenFile() {
    if (file_.IsOpen()) return {};
    Outcome<File> opened = OpenToRead(path_);
    if (!opened) return opened.Error();
    file_ = std::move(*opened);
    return {};
}

Outcome<void> WindowReader::Rewind() {
    const Outcome<FileStatus> status = StatusOf(file_);
    if (!status) return status.Error();
    size_ = SizeWithin(status->size);
    position_ = 0;
    aheadLength_ = 0;
    return {};
}

void WindowReader::Close() {
    if (ownsPath_) file_.Close();
    ahead_.reset();
    aheadLength_ = 0;
}

Outcome<FileStatus> WindowReader::Status() const {
    Outcome<FileStatus> status = ownsPath_ ? StatusOf(path_) : StatusOf(file_);
    if (status) status->size = SizeWithin(status->size);
    return status;
}

Outcome<void> WindowReader::ReadAhead() {
    if (!ahead_) ahead_.reset(new char[kReadAhead]);
    aheadLength_ = 0;
    const auto wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kReadAhead, size_ - position_));
    const Outcome<std::size_t> got = ReadAt(file_, ahead_.get(), wanted, start_ + position_);
    if (!got) return got.Error();
    aheadLength_ = *got;
    aheadStart_ = position_;
    return {};
}

Outcome<std::uint64_t> WindowReader::Read(void* data, std::uint64_t length) {
    auto* out = static_cast<char*>(data);
    std::uint64_t done = 0;
    while (done < length && position_ < size_) {
        const bool inAhead = position_ >= aheadStart_ && position_ < aheadStart_ + aheadLength_;
        if (!inAhead) {
            if (Outcome<void> read = ReadAhead(); !read) return read.Error();
            if (aheadLength_ == 0) break;  // the file became shorter
        }
        const auto offset = static_cast<std::size_t>(position_ - aheadStart_);
        const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, aheadLength_ - offset));
        std::memcpy(out + done, ahead_.get() + offset, piece);
        done += piece;
        position_ += piece;
    }
    return done;
}

}  // namespace pelko::archive
