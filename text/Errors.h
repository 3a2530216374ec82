#pragma once
// Errors raised by the primitives. Each carries its message as UTF-8, ready for
// the error box; the fixed texts are those the user has always seen.
#include <stdexcept>
#include <string>
#include <string_view>

#include "system/SystemError.h"

namespace pelko {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// An error of a primitive that the system caused: the primitive's fixed
// message, which is all the error box shows, and the system's error, which
// the command line prints beside it.
class FileError : public Error {
public:
    FileError(const Error& fixed, SystemError system) : Error(fixed.what()), system_(std::move(system)) {}
    const SystemError& System() const { return system_; }

private:
    SystemError system_;
};

// "ファイル %s は開けません": path is a host path.
Error OpenError(std::string_view path);
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
