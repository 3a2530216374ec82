#include "package/archive/ArchiveFailure.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <system_error>

#include "package/archive/Archive.h"
#include "package/archive/ZipHandles.h"
#include "text/Cp932.h"

namespace pelko::archive {

ArchiveFailure Malformed(std::string_view detail) {
    return ArchiveFailure(kArchiveBadCommand, "malformed command line: " + std::string(detail));
}

// Host names already are UTF-8; entry names from a descriptor are CP932,
// which is converted.
std::string QuotedName(std::string_view name) {
    const std::string text = ReadableText(name);
    std::string shown;
    shown.reserve(text.size() + 2);
    shown.append(1, '"').append(text).append(1, '"');
    return shown;
}

int ResultOf(const zip_error_t* error) {
    switch (zip_error_code_zip(error)) {
        case ZIP_ER_NOENT: return kArchiveMissing;
        case ZIP_ER_NOZIP:
        case ZIP_ER_INCONS:
        case ZIP_ER_MULTIDISK:
        case ZIP_ER_CRC:
        case ZIP_ER_COMPRESSED_DATA: return kArchiveNotZip;
        case ZIP_ER_MEMORY: return kArchiveNoMemory;
        case ZIP_ER_TMPOPEN: return kArchiveTempFile;
        case ZIP_ER_OPEN:
        case ZIP_ER_READ:
        case ZIP_ER_SEEK:
        case ZIP_ER_EOF: return kArchiveReadError;
        case ZIP_ER_COMPNOTSUPP:
        case ZIP_ER_ENCRNOTSUPP: return kArchiveUnsupported;
        default: return kArchiveWriteError;
    }
}

namespace {

thread_local std::optional<SystemError> noted;

// What libzip was doing, in the words a SystemError uses.
std::string ActionOf(int zipError) {
    switch (zipError) {
        case ZIP_ER_OPEN: return "open";
        case ZIP_ER_READ:
        case ZIP_ER_EOF: return "read";
        case ZIP_ER_SEEK:
        case ZIP_ER_TELL: return "seek";
        case ZIP_ER_TMPOPEN: return "create";
        case ZIP_ER_RENAME: return "rename";
        case ZIP_ER_REMOVE: return "delete";
        case ZIP_ER_CLOSE: return "close";
        default: return "write";
    }
}

}  // namespace

void NoteSystemError(const SystemError& error) { noted = error; }

void ForgetNotedSystemError() { noted.reset(); }

SystemError OutOfMemory(const std::string& subject) { return SystemError{"allocate", subject, 0, "out of memory"}; }

std::optional<SystemError> SystemErrorOf(const zip_error_t* error, const std::string& subject) {
    const int zipError = zip_error_code_zip(error);
    if (zipError == ZIP_ER_MEMORY) return OutOfMemory(subject);
    if (zip_error_system_type(error) != ZIP_ET_SYS) return std::nullopt;
    const int code = zip_error_code_system(error);
    if (noted && ErrorNumberOf(*noted) == code) return noted;
    return SystemError{ActionOf(zipError), subject, code, std::generic_category().message(code)};
}

void FailWithError(zip_error_t* error, const std::string& what) {
    throw ArchiveFailure(ResultOf(error), what + ": " + zip_error_strerror(error), SystemErrorOf(error, what));
}

void FailWith(zip_t* archive, const std::string& what) {
    FailWithError(zip_get_error(archive), what);
}

void FailWithSystemError(int result, int zipError, const SystemError& error, const std::string& what) {
    ZipError zipped;
    zip_error_set(zipped.Get(), zipError, ErrorNumberOf(error));
    throw ArchiveFailure(result, what + ": " + zipped.Text(), error);
}

void PutMessage(std::string_view text, char* output, std::size_t outputSize) {
    if (output == nullptr || outputSize == 0) return;
    std::size_t length = std::min(text.size(), outputSize - 1);
    while (length > 0 && length < text.size() && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    std::memcpy(output, text.data(), length);
    output[length] = '\0';
}

int Reported(const std::function<void()>& step, char* output, std::size_t outputSize,
             std::optional<SystemError>* system) {
    std::optional<SystemError> ignored;
    std::optional<SystemError>& failedSystem = system ? *system : ignored;
    failedSystem.reset();
    ForgetNotedSystemError();
    try {
        step();
        PutMessage("", output, outputSize);
        return kArchiveOk;
    } catch (const ArchiveFailure& failure) {
        PutMessage(failure.what(), output, outputSize);
        failedSystem = failure.System();
        return failure.Result();
    } catch (const std::bad_alloc&) {
        PutMessage("out of memory", output, outputSize);
        failedSystem = OutOfMemory("");
        return kArchiveNoMemory;
    } catch (const std::exception& error) {
        PutMessage(std::string("archive command failed: ") + error.what(), output, outputSize);
        return kArchiveWriteError;
    }
}

}  // namespace pelko::archive
