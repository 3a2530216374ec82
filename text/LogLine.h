#pragma once
// A line of a build's log, or of a check that speaks as the build would: a
// severity and a text. The severity is what programs act on (--strict, exit
// statuses, the window); the mark in front of the text is only how a line is
// shown, and is never read back.
#include <string>
#include <string_view>
#include <utility>

namespace pelko {

enum class Severity {
    Stop,     // "[X]": the build ends here
    Problem,  // "[!]": something to fix; the build goes on
    Success,  // "[O]": the package is written
    Note,     // "[i]": worth knowing, nothing to fix; the checks tell authors, the build never logs one
};

struct LogLine {
    Severity severity = Severity::Problem;
    std::string text;  // UTF-8, without the mark

    bool operator==(const LogLine&) const = default;
};

// "[X]", "[!]", "[O]" or "[i]".
std::string_view MarkOf(Severity severity);
// The line as the log shows it: its mark, then its text.
std::string Formatted(const LogLine& line);

inline LogLine StopLine(std::string text) { return {Severity::Stop, std::move(text)}; }
inline LogLine ProblemLine(std::string text) { return {Severity::Problem, std::move(text)}; }
inline LogLine SuccessLine(std::string text) { return {Severity::Success, std::move(text)}; }

}  // namespace pelko
