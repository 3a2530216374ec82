#pragma once
// How the archive component fails: every failure is an ArchiveFailure,
// thrown where it is found and turned into a result and a message in one
// place only, Reported, at the edge of the component's functions.
#include <zip.h>

#include <cstddef>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "system/SystemError.h"

namespace pelko::archive {

// A command that cannot be carried out: what to return and what to say, and
// the system error behind it when the system failed (a read, a write,
// memory) rather than the command, the archive or the file it names.
class ArchiveFailure : public std::runtime_error {
public:
    ArchiveFailure(int result, const std::string& message, std::optional<SystemError> system = std::nullopt)
        : std::runtime_error(message), result_(result), system_(std::move(system)) {}
    int Result() const { return result_; }
    const std::optional<SystemError>& System() const { return system_; }

private:
    int result_;
    std::optional<SystemError> system_;
};

// libzip passes a system error on as a number alone; the component's own
// sources note the whole error here as they meet it, so that the failure
// can name the file and the system's words. One note a thread: a call of the
// component runs on one thread from start to end.
void NoteSystemError(const SystemError& error);
void ForgetNotedSystemError();

// The system error a libzip error stands for, nullopt when it is none: the
// one noted last when its code matches, otherwise one made from the code
// with subject as its subject. Memory that ran out counts as one.
std::optional<SystemError> SystemErrorOf(const zip_error_t* error, const std::string& subject);

// The system error of memory that ran out.
SystemError OutOfMemory(const std::string& subject);

// A command line that is not one of the three the component knows.
ArchiveFailure Malformed(std::string_view detail);

// A name as a message shows it: quoted and in UTF-8.
std::string QuotedName(std::string_view name);

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
// message, and its system error in *system when that is given. Memory
// running out and any other error are reported too, so no exception leaves
// the component.
int Reported(const std::function<void()>& step, char* output, std::size_t outputSize,
             std::optional<SystemError>* system = nullptr);

}  // namespace pelko::archive
