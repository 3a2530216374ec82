#include "text/LogLine.h"

namespace pelko {

std::string_view MarkOf(Severity severity) {
    switch (severity) {
        case Severity::Stop: return "[X]";
        case Severity::Problem: return "[!]";
        case Severity::Success: return "[O]";
        case Severity::Note: return "[i]";
    }
    return "[!]";
}

std::string Formatted(const LogLine& line) { return std::string(MarkOf(line.severity)) + line.text; }

}  // namespace pelko
