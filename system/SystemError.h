#pragma once
// What the operating system said when a call failed, as one value that
// travels with the call's result, so that nothing has to read a global
// error number after the fact.
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace pelko {

struct SystemError {
    std::string action;   // what was being done: "open", "write", "rename", ...
    std::string subject;  // the path it was done to; empty when there is none
    int code = 0;         // the system's own number: errno here, GetLastError() on Windows
    std::string reason;   // the system's words for code
};

// True when the error says that its subject, or a folder on its path, does
// not exist.
bool IsNotFound(const SystemError& error);

// The C library's error number nearest to the error, for libraries that
// speak errno (libzip): code itself on POSIX, a translation on Windows.
int ErrorNumberOf(const SystemError& error);

// A value, or the system error that kept it from being made.
template <typename T>
class [[nodiscard]] Outcome {
public:
    Outcome(T value) : state_(std::in_place_index<0>, std::move(value)) {}
    Outcome(SystemError error) : state_(std::in_place_index<1>, std::move(error)) {}

    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() & { return std::get<0>(state_); }
    const T& operator*() const& { return std::get<0>(state_); }
    T&& operator*() && { return std::get<0>(std::move(state_)); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    // Only when it failed.
    const SystemError& Error() const { return std::get<1>(state_); }

private:
    std::variant<T, SystemError> state_;
};

// Done, or the system error that kept it from being done.
template <>
class [[nodiscard]] Outcome<void> {
public:
    Outcome() = default;
    Outcome(SystemError error) : error_(std::move(error)) {}

    explicit operator bool() const { return !error_.has_value(); }
    // Only when it failed.
    const SystemError& Error() const { return *error_; }

private:
    std::optional<SystemError> error_;
};

}  // namespace pelko
