#pragma once
// pelko-cli check: what a template will do to the packages made from it,
// told to its author line by line before any package is made; and the same
// handset checks for inspect, on a package's two texts.
#include <iosfwd>
#include <string>

#include "package/checks/Inspect.h"

namespace pelko::cli {

// templatePath: the absolute path of a ".jad" descriptor. Prints one line
// per problem, "NAME.jad:LINE: TEXT" (or "NAME.jad: TEXT" when no line of
// the descriptor holds it), or "ok". Returns 0 when clean, 1 otherwise.
int CheckTemplate(const std::string& templatePath, std::ostream& out);

// Adds to report.problems what handsets make of the package's descriptor
// text and of its archive's manifest. The descriptor lines the report
// already requires are not reported twice.
void AddHandsetProblems(const std::string& packagePath, InspectReport& report);

}  // namespace pelko::cli
