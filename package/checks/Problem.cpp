#include "package/checks/Problem.h"

namespace pelko {

LogLine LogLineOf(const Problem& problem) { return {problem.severity, problem.message}; }

std::string InspectText(const Problem& problem) {
    std::string text;
    switch (problem.place) {
        case ProblemPlace::Package: return problem.message;
        case ProblemPlace::Template: text = "template"; break;
        case ProblemPlace::Manifest: text = "manifest"; break;
        case ProblemPlace::Descriptor: text = "descriptor"; break;
    }
    if (problem.line == 0) return text + ": " + problem.message;
    return text + " line " + std::to_string(problem.line) + ": " + problem.message;
}

}  // namespace pelko
