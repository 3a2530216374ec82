#pragma once
// Errors raised by the primitives. Each carries its message as UTF-8, ready for
// the error box; the fixed texts are those the user has always seen.
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>

#include "system/SystemError.h"

namespace pelko {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
    // reason: the system's own words for a call that failed. It is kept
    // apart from the message, which the error box shows as it always has;
    // the command line adds it.
    Error(const std::string& message, std::string reason)
        : std::runtime_error(message), reason_(std::move(reason)) {}

    // Empty when no system call failed.
    const std::string& Reason() const { return reason_; }

private:
    std::string reason_;
};

// An error of a primitive that the system caused: the primitive's fixed
// message, which is all the error box shows, and the system's error, whose
// words are the reason the command line prints beside it.
class FileError : public Error {
public:
    FileError(const Error& fixed, SystemError system)
        : Error(fixed.what(), system.reason), system_(std::move(system)) {}
    const SystemError& System() const { return system_; }

private:
    SystemError system_;
};

// "ファイル %s は開けません": path is a host path.
Error OpenError(std::string_view path, std::string reason = {});
// "ファイル %s を作成できません"
Error CreateError(std::string_view path);
// "ストリームへの書き込みエラー"
Error StreamWriteError();
// "'%s' は整数ではありません": text is CP932 bytes, shown converted.
Error NotIntegerError(std::string_view cp932Text);
// "リストのインデックスが範囲を超えています (%d)"
Error ListIndexError(long index);

// The error box shows the message with a full stop added when the last
// character sorts after "." (the rule the users know from the original tool).
std::string ErrorBoxText(std::string_view message);

}  // namespace pelko
