#pragma once
// What every check reports, in one shape: the handset rules on a package's
// two texts, the package reader's findings and the template check's. Where a
// problem is shown decides how it is worded around: the build's log and
// `check` show its log line, `inspect` names the text and line it is in.
#include <string>
#include <vector>

#include "text/LogLine.h"

namespace pelko {

// The text a problem's line number counts in.
enum class ProblemPlace {
    Package,     // the package file as a whole; no line
    Template,    // the template's descriptor file
    Manifest,    // the manifest, as composed or as read from an archive
    Descriptor,  // the descriptor text, as composed or as read from a package
};

enum class ProblemRule {
    ManifestGrammar,    // what java.util.jar.Manifest refuses or warns about
    DescriptorGrammar,  // a key, a colon and a value on every line
    RequiredAttribute,  // the attributes every handset needs, well-formed
    LostAttribute,      // declared by the template's own archive manifest, gone from the new one
    Disagreement,       // one attribute, different values
    PlatformLimit,      // what ezplus handsets install
    PackageLayout,      // the container and its archive, as the package reader finds them
    TemplateOption,     // an option line the window cannot use as written
    TemplateFiles,      // the template's archive and the names its packages get
    TemplateText,       // the descriptor's bytes: CP932, not another encoding
};

struct Problem {
    ProblemRule rule = ProblemRule::PackageLayout;
    ProblemPlace place = ProblemPlace::Package;
    int line = 0;          // 1-based line in place; 0 when no line holds the problem
    std::string key;       // the attribute concerned, CP932; empty when there is none
    std::string message;   // UTF-8, without a mark
    Severity severity = Severity::Problem;
};
using Problems = std::vector<Problem>;

// The line the build's log and `check` show for the problem.
LogLine LogLineOf(const Problem& problem);

// The problem as `inspect` prints it: the package's text and line it is in,
// then the message.
std::string InspectText(const Problem& problem);

}  // namespace pelko
