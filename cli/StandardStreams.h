#pragma once
// Standard output and standard error as the commands write them: over the
// platform's streams, remembering the first write that failed, so that a
// command whose output was lost does not exit as if it had been read (as
// GNU tools do: `pelko-cli --help >/dev/full` fails).
#include <streambuf>
#include <string>
#include <vector>

namespace pelko::cli {

class CheckedStreamBuffer : public std::streambuf {
public:
    // Writes go on to target, which stays the caller's.
    explicit CheckedStreamBuffer(std::streambuf* target);
    CheckedStreamBuffer(const CheckedStreamBuffer&) = delete;
    CheckedStreamBuffer& operator=(const CheckedStreamBuffer&) = delete;

    // The system's reason for the first write that failed; empty while none has.
    const std::string& Failure() const { return failure_; }

protected:
    int_type overflow(int_type character) override;
    int sync() override;

private:
    bool WriteHeld();
    bool Fail();

    std::streambuf* target_;
    char held_[4096];
    bool unflushed_ = false;  // target holds bytes not yet flushed
    std::string failure_;
};

// Runs the command line on standard output and standard error. A stream that
// failed is reported on the other one, and makes a successful exit status 1;
// whatever the command made (a package) stays.
int RunOnStandardStreams(const std::vector<std::string>& args);

}  // namespace pelko::cli
