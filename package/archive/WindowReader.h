#pragma once
// The reading side of the archive sources: a window of a file (length bytes
// from start on; length 0: to the file's end) read through a 256 KiB
// read-ahead, so that libzip's many small reads, each behind a small read
// of a local header, become a few large ones.
#include <cstdint>
#include <memory>
#include <string>

#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko::archive {

class WindowReader {
public:
    // The file at path, opened by Open and closed by Close.
    WindowReader(std::string path, std::uint64_t start, std::uint64_t length);
    // An open file, which it owns from now on; Close leaves it open.
    WindowReader(File file, std::uint64_t start, std::uint64_t length);

    // Opens the file when it is not open.
    Outcome<void> OpenFile();
    // Measures the window of the open file and starts reading at its start.
    Outcome<void> Rewind();
    // Up to length bytes from the position on; fewer only at the window's
    // end, or where the file became shorter.
    Outcome<std::uint64_t> Read(void* data, std::uint64_t length);
    void Close();

    // The status of the file (at its path, when it has one), with the
    // window's size as its size.
    Outcome<FileStatus> Status() const;
    std::uint64_t Size() const { return size_; }
    std::uint64_t& Position() { return position_; }

private:
    std::uint64_t SizeWithin(std::uint64_t fileSize) const;
    Outcome<void> ReadAhead();

    std::string path_;       // empty for a file given open
    bool ownsPath_ = false;  // the file is opened and closed here
    File file_;
    std::uint64_t start_ = 0;
    std::uint64_t length_ = 0;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::unique_ptr<char[]> ahead_;  // holds aheadLength_ bytes of the window from aheadStart_
    std::size_t aheadLength_ = 0;
    std::uint64_t aheadStart_ = 0;
};

}  // namespace pelko::archive
