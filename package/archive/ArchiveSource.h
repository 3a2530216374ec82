#pragma once
// libzip sources of our own: one that reads an archive from one file and
// writes the edited archive to another, so that a template's archive is read
// where it lies and the edited archive is written once, in large blocks; and
// one that only reads, in large blocks too. Both read and write through the
// platform layer's files.
#include <zip.h>

#include <cstdint>
#include <optional>
#include <string>

#include "package/archive/ZipHandles.h"
#include "system/Files.h"
#include "system/SystemError.h"

namespace pelko::archive {

// Another place for the edited archive: an open file, the caller's, that
// the archive is written into from offset on (the package it goes into).
// A complete write leaves the archive's size in written; a write to the file
// that failed leaves its error in writeError.
struct WriteTarget {
    File* file = nullptr;
    std::uint64_t offset = 0;
    std::uint64_t written = 0;
    std::optional<SystemError> writeError;
    bool IsSet() const { return file != nullptr; }
};

// Reads readPath, which it never writes; a write goes to a new file beside
// writePath that replaces writePath once complete -- or, while *target is
// set when the write begins, into that file instead, where a failed write
// leaves whatever it wrote for the caller to discard. nullptr with error set
// when memory runs out.
ZipSourcePtr SeparateArchiveSource(const std::string& readPath, const std::string& writePath,
                                   zip_error_t* error, WriteTarget* target = nullptr);

// The archive in length bytes from start on (length 0: to the end) of the
// file at path, or of the open file (which is never moved), opened with
// ZIP_RDONLY and its central directory checked against the local headers
// (ZIP_CHECKCONS); checking it costs a few large reads instead of a seek and
// a read per entry. nullptr with error set when it cannot be opened.
ZipArchivePtr OpenArchiveToRead(const std::string& path, std::uint64_t start, std::uint64_t length,
                                ZipError& error);
ZipArchivePtr OpenArchiveToRead(const File& file, std::uint64_t start, std::uint64_t length, ZipError& error);

}  // namespace pelko::archive
