#include "cli/StandardStreams.h"

#include <cerrno>
#include <ostream>
#include <system_error>

#include "cli/Commands.h"
#include "system/CommandLine.h"

namespace pelko::cli {

CheckedStreamBuffer::CheckedStreamBuffer(std::streambuf* target) : target_(target) {
    setp(held_, held_ + sizeof held_);
}

// Not every platform's stream leaves errno; a failure is told all the same.
bool CheckedStreamBuffer::Fail() {
    if (failure_.empty()) failure_ = errno != 0 ? std::generic_category().message(errno) : "write error";
    return false;
}

// A write a signal interrupts goes on with what is left.
bool CheckedStreamBuffer::WriteHeld() {
    const char* next = pbase();
    std::streamsize left = pptr() - pbase();
    if (left > 0) unflushed_ = true;
    while (left > 0) {
        errno = 0;
        const std::streamsize written = target_->sputn(next, left);
        next += written;
        left -= written;
        if (left > 0 && errno != EINTR) return Fail();
    }
    setp(held_, held_ + sizeof held_);
    return true;
}

CheckedStreamBuffer::int_type CheckedStreamBuffer::overflow(int_type character) {
    if (!failure_.empty() || !WriteHeld()) return traits_type::eof();
    if (traits_type::eq_int_type(character, traits_type::eof())) return traits_type::not_eof(character);
    *pptr() = traits_type::to_char_type(character);
    pbump(1);
    return character;
}

int CheckedStreamBuffer::sync() {
    if (!failure_.empty() || !WriteHeld()) return -1;
    if (!unflushed_) return 0;
    for (;;) {
        errno = 0;
        if (target_->pubsync() == 0) break;
        if (errno != EINTR) {
            Fail();
            return -1;
        }
    }
    unflushed_ = false;
    return 0;
}

int RunOnStandardStreams(const std::vector<std::string>& args) {
    CheckedStreamBuffer outBuffer(StandardOutput().rdbuf());
    CheckedStreamBuffer errBuffer(StandardError().rdbuf());
    std::ostream out(&outBuffer);
    std::ostream err(&errBuffer);
    err.setf(std::ios::unitbuf);  // messages appear when they are written, as on an unbuffered stderr
    int code = RunCommandLine(args, out, err);
    out.flush();
    err.flush();
    const bool lost = !outBuffer.Failure().empty() || !errBuffer.Failure().empty();
    if (!outBuffer.Failure().empty()) err << "pelko-cli: cannot write standard output: " << outBuffer.Failure() << '\n';
    if (!errBuffer.Failure().empty()) {
        out << "pelko-cli: cannot write standard error: " << errBuffer.Failure() << '\n';
        out.flush();
    }
    if (lost && code == kExitOk) code = kExitFailed;
    return code;
}

}  // namespace pelko::cli
