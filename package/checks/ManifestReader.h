#pragma once
// The manifest of a Java archive, read the way java.util.jar.Manifest (JDK
// 17) reads it, for the handset checks: its grammar problems, and the main
// section's attributes.
#include <string>
#include <string_view>
#include <vector>

#include "package/checks/Problem.h"

namespace pelko {

struct ManifestAttribute {
    int line;  // 1-based
    std::string_view name;   // within the line read
    std::string_view value;  // as written after ": "
};

// Walks every line, adding each problem the reader would refuse or warn
// about to problems; returns the attributes of the main section, which point
// into lines.
std::vector<ManifestAttribute> ReadManifest(const std::vector<std::string>& lines, Problems& problems);

}  // namespace pelko
