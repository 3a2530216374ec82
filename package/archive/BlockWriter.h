#pragma once
// The writing side of the archive sources: libzip writes in pieces of a few
// bytes to 8 KiB, which go out here in 1 MiB blocks -- into a new file that
// replaces the archive once complete, or into the caller's file from an
// offset on, where the disk may start on each block at once.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "system/Files.h"
#include "system/SystemError.h"
#include "system/TemporaryFiles.h"

namespace pelko::archive {

class BlockWriter {
public:
    // A new file beside path that Replace puts in its place.
    Outcome<void> BeginReplacing(const std::string& path);
    // Into file from base on; the file stays the caller's.
    void BeginInto(File& file, std::uint64_t base);
    bool IsWriting() const { return replacing_.has_value() || target_ != nullptr; }

    Outcome<void> Write(const void* data, std::uint64_t length);
    std::uint64_t& Position() { return position_; }
    std::uint64_t End() const { return end_; }

    // Into the caller's file: writes the rest and makes the file end where
    // the archive ends; returns the archive's size. The writer is done then.
    Outcome<std::uint64_t> FinishInto();
    // Into a new file: writes the rest and closes it, then renames it over
    // the archive. After a failure of either Rollback is due.
    Outcome<void> FinishFile();
    Outcome<void> Replace();
    // Drops what was written: a new file is removed.
    void Rollback();

private:
    void Start();
    Outcome<void> Flush();
    Outcome<void> WriteAt(const char* bytes, std::uint64_t length, std::uint64_t position);

    std::optional<ReplacingFile> replacing_;
    File* target_ = nullptr;   // the caller's file, never closed here
    std::uint64_t base_ = 0;   // where the archive starts in the file
    std::unique_ptr<char[]> block_;  // holds blockLength_ bytes not yet written, from blockStart_
    std::size_t blockLength_ = 0;
    std::uint64_t blockStart_ = 0;
    std::uint64_t position_ = 0;
    std::uint64_t end_ = 0;    // the archive's size so far
};

}  // namespace pelko::archive
