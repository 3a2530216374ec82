#pragma once
// The names a package carries, all derived from the template's file name and
// never from the output's: saving block.jad as game.kjx still stores
// block.kjx, block.jad and block.jar. The build and the template check both
// name packages here.
#include <optional>
#include <string>
#include <string_view>

#include "text/LogLine.h"

namespace pelko {

// In CP932, as they go into the package.
struct PackageNaming {
    std::string containerName;    // stored in the header
    std::string descriptorName;   // stored in the header
    std::string archiveFileName;  // the "MIDlet-Jar-URL: " value
};

struct NamedPackage {
    // Empty names when the template's base name cannot be written in CP932.
    PackageNaming naming;
    // The "[X]" line when the names cannot go into the package's header.
    std::optional<LogLine> refusal;
};

// templatePath: the host path of the template's descriptor.
NamedPackage NamePackage(std::string_view templatePath);

// The template's archive beside its descriptor: the same path with ".jar".
std::string TemplateArchivePath(std::string_view templatePath);

}  // namespace pelko
