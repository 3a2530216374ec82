#pragma once
// How the archive component fails: every failure is an ArchiveFailure,
// thrown where it is found and turned into a result and a message in one
// place only, Reported, at the edge of the component's functions.
#include <zip.h>

#include <cstddef>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "system/SystemError.h"

namespace pelko::archive {

// A command that cannot be carried out: what to return and what to say.
class ArchiveFailure : public std::runtime_error {
public:
    ArchiveFailure(int result, const std::string& message) : std::runtime_error(message), result_(result) {}
    int Result() const { return result_; }

private:
    int result_;
};

// A command line that is not one of the three the component knows.
ArchiveFailure Malformed(std::string_view detail);

// A name as a message shows it: quoted and in UTF-8.
std::string Shown(std::string_view name);

// The result the zip tool gives for the kind of failure libzip reports.
int ResultOf(const zip_error_t* error);

// Throws the failure that the archive's last libzip error stands for.
[[noreturn]] void FailWith(zip_t* archive, const std::string& what);

// Throws the failure that error stands for, what + ": " + its text.
[[noreturn]] void FailWithError(zip_error_t* error, const std::string& what);

// Throws the failure for a system error seen while doing what libzip calls
// zipError (ZIP_ER_READ, ZIP_ER_WRITE, ...), with the text libzip gives it.
[[noreturn]] void FailWithSystemError(int result, int zipError, const SystemError& error, const std::string& what);

// Copies as much of text as fits into output (at most outputSize - 1 bytes),
// cutting before a character rather than inside one, and always ends with
// NUL; outputSize 0 writes nothing.
void PutMessage(std::string_view text, char* output, std::size_t outputSize);

// The one place where failures become results: runs step, then returns 0 and
// leaves an empty text, or returns the failure's result and leaves its
// message. Memory running out and any other error are reported too, so no
// exception leaves the component.
int Reported(const std::function<void()>& step, char* output, std::size_t outputSize);

}  // namespace pelko::archive
