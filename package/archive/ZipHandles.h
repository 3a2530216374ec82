#pragma once
// Owners of libzip's handles, so that every way out releases them.
#include <zip.h>

#include <memory>
#include <string>

namespace pelko {

struct ZipArchiveDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
// Discards every change unless the archive was handed to zip_close.
using ZipArchivePtr = std::unique_ptr<zip_t, ZipArchiveDiscard>;

struct ZipSourceFree {
    void operator()(zip_source_t* source) const noexcept { zip_source_free(source); }
};
// A source not (yet) owned by an archive; release it once an archive took it.
using ZipSourcePtr = std::unique_ptr<zip_source_t, ZipSourceFree>;

struct ZipEntryClose {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};
using ZipEntryPtr = std::unique_ptr<zip_file_t, ZipEntryClose>;

class ZipError {
public:
    ZipError() { zip_error_init(&error_); }
    ~ZipError() { zip_error_fini(&error_); }
    ZipError(const ZipError&) = delete;
    ZipError& operator=(const ZipError&) = delete;
    zip_error_t* Get() { return &error_; }
    std::string Text() { return zip_error_strerror(&error_); }

private:
    zip_error_t error_;
};

}  // namespace pelko
