#pragma once
// The manifest of a Java archive, as an entry name and as the build names
// the manifest file in its command lines (relative to the work directory,
// with the backslash the command lines have always used).
#include <string_view>

namespace pelko {

inline constexpr std::string_view kManifestEntry = "META-INF/MANIFEST.MF";
inline constexpr std::string_view kManifestCommandName = "META-INF\\MANIFEST.MF";

}  // namespace pelko
